#include <QApplication>

#include "ui/frmSigns.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrane"));
    frmSigns window;
    window.show();
    return app.exec();
}
