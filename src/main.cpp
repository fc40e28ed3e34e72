#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>

#include "core/core_dumps.h"
#include "i18n/translations.h"
#include "ui/app/plimo_app.h"
#include "ui/app/start_options.h"
#include "ui/main/fCPas.h"
#include "ui/platform/qt_desktop.h"

int main(int argc, char** argv)
{
    TurnOffCoreDumps();
    LoadTranslations();
    const StartRequest request = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (request.action) {
        case StartRequest::Action::PrintHelp:
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        case StartRequest::Action::PrintVersion:
            std::fputs(VersionText().c_str(), stdout);
            return 0;
        case StartRequest::Action::Refuse:
            std::fprintf(stderr, "plimo: %s\n%s", request.problem.c_str(), UsageText().c_str());
            return 2;
        case StartRequest::Action::Run:
            break;
    }
    const bool launched = TakeLauncherMark();
    const std::string file = request.file.empty() ? std::string() : AbsolutePath(request.file);

    // The command line is the program's own: Qt sees only the program's name, so that a file
    // named like one of Qt's options is still a file.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    InstallTranslations(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("plimo"));
    QtDesktop desktop;
    PlimoWindows windows(desktop);
    if (launched)
        windows.main().setDialogStartFolder(UserDocumentsFolder());
    windows.main().show();
    if (!file.empty())
        windows.main().OpenFile(file);
    // After the file named: a text restored over it loses nothing, as the file is on the disk.
    windows.main().offerRecovery();
    return app.exec();
}
