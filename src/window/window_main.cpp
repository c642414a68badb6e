#include <QApplication>
#include <QIcon>

#include "commands/create_view.h"
#include "commands/version_text.h"
#include "window/frm_veltrin.h"

int main(int argc, char* argv[]) {
    // Before Qt starts a thread of its own, so that every thread holds them off until the window takes them.
    veltrin::HoldEndRequests();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrin"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(veltrin::kVersionMajor).arg(veltrin::kVersionMinor));
    // The installed icon theme names it; on Windows the executable's own icon is used.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("veltrin")));

    frmVeltrin window;
    window.show();
    return QApplication::exec();
}
