#include <QApplication>

#include "app/frm_veltrin.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrin"));
    QApplication::setApplicationVersion(QStringLiteral("1.9"));

    frmVeltrin window;
    window.show();
    return QApplication::exec();
}
