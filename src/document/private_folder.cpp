#include "document/private_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/command_error.h"

namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr std::string_view kWhy = ", and Plimo keeps private files only in a folder of your own: ";

[[noreturn]] void Refuse(const std::string& folder, std::string_view what, const std::string& fix)
{
    std::string message = "the folder ";
    message += folder;
    message += what;
    message += kWhy;
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
        throw CommandError(
            "there is no folder for private files: neither XDG_DATA_HOME nor HOME "
            "names one");
    struct stat link {};
    if (::lstat(folder.c_str(), &link) != 0) {
        if (errno != ENOENT || !create)
            return FileDescriptor();
        if (!MakeFolders(folder))
            Refuse(folder, " cannot be made (" + std::string(std::strerror(errno)) + ")",
                   "make it with mode 700, or name another folder");
    } else if (S_ISLNK(link.st_mode) && link.st_uid != ::geteuid()) {
        Refuse(folder, " is a link another user made",
               "remove the link (rm " + Quoted(folder) + ")");
    }
    FileDescriptor opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st {};
    if (!opened.valid() || ::fstat(opened.get(), &st) != 0)
        Refuse(folder, " cannot be opened as a folder", "remove or rename what has its name");
    if (st.st_uid != ::geteuid())
        Refuse(folder, " belongs to another user",
               "have it removed (its owner or root can), or name another folder");
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        // A shared folder such as /tmp is not to be made private; a folder of one's own is.
        if ((st.st_mode & S_ISVTX) != 0)
            Refuse(folder, " can be written by other users", "use a folder of your own");
        Refuse(folder, " can be written by other users",
               "make it yours alone (chmod go-w " + Quoted(folder) + ")");
    }
    return opened;
}
