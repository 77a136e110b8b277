#include <QApplication>

#include "base/OdbcPool.h"
#include "itemdata/LookupService.h"
#include "ui/frmSigns.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    int status = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Kestrane"));
        frmSigns window;
        window.show();
        status = app.exec();
    }
    // A database call that a silent server holds inside its driver is not
    // waited for: everything of the program's own is saved by now, and
    // ending here skips tearing down the ODBC environment under that call.
    if (OdbcPool::runningUses() > 0 || LookupService::runningWork() > 0) {
        std::fflush(nullptr);
        _exit(status);
    }
    return status;
}
