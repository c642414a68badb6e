#include <QApplication>

#include "commands/version_text.h"
#include "window/qt/frm_veltrin.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrin"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(veltrin::kVersionMajor).arg(veltrin::kVersionMinor));

    frmVeltrin window;
    window.show();
    return QApplication::exec();
}
