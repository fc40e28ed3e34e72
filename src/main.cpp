#include <QApplication>

#include "ui/app/plimo_app.h"
#include "ui/main/fCPas.h"
#include "ui/platform/qt_desktop.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtDesktop desktop;
    PlimoWindows windows(desktop);
    windows.main().show();
    return app.exec();
}
