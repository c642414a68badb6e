#include <QApplication>

#include "commands/create_view.h"
#include "commands/version_text.h"
#include "window/qt/frm_veltrin.h"

int main(int argc, char* argv[]) {
    // Before Qt starts a thread of its own, so that every thread holds them off until the window takes them.
    veltrin::HoldEndRequests();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrin"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(veltrin::kVersionMajor).arg(veltrin::kVersionMinor));

    frmVeltrin window;
    window.show();
    return QApplication::exec();
}
