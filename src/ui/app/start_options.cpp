#include "ui/app/start_options.h"

#include <filesystem>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

#include "core/app_state.h"
#include "core/translate.h"

namespace {

constexpr const char* kLauncherMark = "PLIMO_STARTED_BY_LAUNCHER";

StartRequest Refuse(std::string problem)
{
    StartRequest r;
    r.action = StartRequest::Action::Refuse;
    r.problem = std::move(problem);
    return r;
}

}  // namespace

StartRequest ParseCommandLine(const std::vector<std::string>& args)
{
    StartRequest request;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.starts_with('-')) {
            if (arg == "--help" || arg == "-h")
                request.action = StartRequest::Action::PrintHelp;
            else if (arg == "--version")
                request.action = StartRequest::Action::PrintVersion;
            else
                return Refuse(Tr(QT_TRANSLATE_NOOP("Plimo", "unknown option ")) + arg);
        } else if (!request.file.empty()) {
            return Refuse(Tr(QT_TRANSLATE_NOOP("Plimo", "only one file can be opened")));
        } else if (arg.empty()) {
            return Refuse(Tr(QT_TRANSLATE_NOOP("Plimo", "the file name is empty")));
        } else {
            request.file = arg;
        }
    }
    // Asked for help or the version, the program prints and ends; no file is opened.
    if (request.action != StartRequest::Action::Run)
        request.file.clear();
    return request;
}

std::string UsageText()
{
    return Tr(QT_TRANSLATE_NOOP(
        "Plimo",
        "Usage: plimo [FILE]\n"
        "Plimo Text Editor: edit plain 8-bit (Windows-1252) text and encrypt it at Level A,\n"
        "B or C.\n"
        "\n"
        "  FILE          open this file at start, as File > Open does\n"
        "  -h, --help    print this help and exit\n"
        "  --version     print the version and exit\n"
        "  --            the next argument is the file, even if it starts with \"-\"\n"));
}

std::string VersionText()
{
    return std::string(kProductName) + " " + std::string(kVersion) + "\n";
}

std::string AbsolutePath(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec)
        return path;
    // "." steps go; ".." steps stay, since a folder before one may be a link.
    bool hasParentStep = false;
    for (const auto& part : absolute)
        hasParentStep = hasParentStep || part == "..";
    return hasParentStep ? absolute.string() : absolute.lexically_normal().string();
}

bool TakeLauncherMark()
{
    const bool marked = qEnvironmentVariable(kLauncherMark) == QLatin1String("1");
    qunsetenv(kLauncherMark);
    return marked;
}

std::string UserDocumentsFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QFile::encodeName(folder).toStdString();
}
