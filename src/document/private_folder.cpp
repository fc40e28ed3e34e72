#include "document/private_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/command_error.h"
#include "core/translate.h"

namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr std::string_view kWhy =
    QT_TRANSLATE_NOOP("Plimo", ", and Plimo keeps private files only in a folder of your own: ");

[[noreturn]] void Refuse(const std::string& folder, std::string_view what, const std::string& fix)
{
    std::string message = Tr(QT_TRANSLATE_NOOP("Plimo", "the folder "));
    message += folder;
    message += what;
    message += Tr(kWhy);
    message += fix;
    throw CommandError(message);
}

std::string Quoted(const std::string& folder)
{
    return "'" + folder + "'";
}

bool MakeFolders(const std::string& folder)
{
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const std::string parent = FolderOf(folder);
    if (parent != folder && !MakeFolders(parent))
        return false;
    return ::mkdir(folder.c_str(), kPrivateFolderMode) == 0 || errno == EEXIST;
}

}  // namespace

FileDescriptor OpenPrivateFolder(const std::string& folder, bool create)
{
    if (folder.empty())
        throw CommandError(Tr(QT_TRANSLATE_NOOP(
            "Plimo",
            "there is no folder for private files: neither XDG_DATA_HOME nor HOME "
            "names one")));
    struct stat link {};
    if (::lstat(folder.c_str(), &link) != 0) {
        if (errno != ENOENT || !create)
            return FileDescriptor();
        if (!MakeFolders(folder))
            Refuse(folder,
                   Tr(QT_TRANSLATE_NOOP("Plimo", " cannot be made (")) +
                       std::string(std::strerror(errno)) + ")",
                   Tr(QT_TRANSLATE_NOOP("Plimo", "make it with mode 700, or name another folder")));
    } else if (S_ISLNK(link.st_mode) && link.st_uid != ::geteuid()) {
        Refuse(folder, Tr(QT_TRANSLATE_NOOP("Plimo", " is a link another user made")),
               Tr(QT_TRANSLATE_NOOP("Plimo", "remove the link (rm ")) + Quoted(folder) + ")");
    }
    FileDescriptor opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st {};
    if (!opened.valid() || ::fstat(opened.get(), &st) != 0)
        Refuse(folder, Tr(QT_TRANSLATE_NOOP("Plimo", " cannot be opened as a folder")),
               Tr(QT_TRANSLATE_NOOP("Plimo", "remove or rename what has its name")));
    if (st.st_uid != ::geteuid())
        Refuse(folder, Tr(QT_TRANSLATE_NOOP("Plimo", " belongs to another user")),
               Tr(QT_TRANSLATE_NOOP(
                   "Plimo", "have it removed (its owner or root can), or name another folder")));
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        // A shared folder such as /tmp is not to be made private; a folder of one's own is.
        if ((st.st_mode & S_ISVTX) != 0)
            Refuse(folder, Tr(QT_TRANSLATE_NOOP("Plimo", " can be written by other users")),
                   Tr(QT_TRANSLATE_NOOP("Plimo", "use a folder of your own")));
        Refuse(folder, Tr(QT_TRANSLATE_NOOP("Plimo", " can be written by other users")),
               Tr(QT_TRANSLATE_NOOP("Plimo", "make it yours alone (chmod go-w ")) + Quoted(folder) +
                   ")");
    }
    return opened;
}
