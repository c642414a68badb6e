// The window as veltrin starts it, with Create pressed at once, for the killed runs: prints the status that the run
// leaves, "Done!" or "Error!", or the version text when the run was ended, and stays open until it is closed.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "commands/create_view.h"
#include "window/qt/frm_veltrin.h"

int main(int argc, char* argv[]) {
    veltrin::HoldEndRequests();  // as the window's own main does, before Qt starts a thread
    QApplication app(argc, argv);
    frmVeltrin window;
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        QMetaObject::invokeMethod(window.Widget(veltrin::Control::cmdCreate), "click");
        std::printf("%s\n", qPrintable(window.Widget(veltrin::Control::lblStatus)->property("text").toString()));
        std::fflush(stdout);
    });
    return QApplication::exec();
}
