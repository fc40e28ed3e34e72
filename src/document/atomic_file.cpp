#include "document/atomic_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "core/command_error.h"
#include "core/translate.h"
#include "document/file_calls.h"
#include "document/file_messages.h"
#include "document/region_writer.h"
#include "document/safe_copy.h"
#include "document/temp_file.h"

namespace {

// Symbolic links nest at most this deep before we give up, as the kernel does.
constexpr int kMaxLinkHops = 40;

[[noreturn]] void CannotCreate(const std::string& path, const std::string& detail = {})
{
    throw CommandError(Tr(kCannotCreateFile) + path + detail);
}

// The kernel's rule for links in shared folders, which it cannot apply for us because the writer
// resolves links itself: a link in a sticky folder that anyone may write to is followed only
// when its owner is the user or the folder's owner. Anyone else's link there may lead to a
// private file of the user's.
bool IsPlantedLink(const std::string& path)
{
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return false;
    struct stat dir {};
    if (::stat(FolderOf(path).c_str(), &dir) != 0)
        return true;
    const bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
    return shared && link.st_uid != ::geteuid() && link.st_uid != dir.st_uid;
}

// Follows symbolic links so that the file behind them is replaced and the links survive. Throws
// when the chain is broken beyond repair (unreadable link, a loop), passes through a link another
// user planted, or leads to the command's input.
std::string ResolveTarget(const std::string& path, const TFileId* input)
{
    std::string target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            struct stat file {};
            if (hop > 0 && input && ::stat(target.c_str(), &file) == 0 &&
                file.st_dev == input->device && file.st_ino == input->inode)
                CannotCreate(
                    path,
                    Tr(QT_TRANSLATE_NOOP(
                        "Plimo", ": it is a link to the file being read, which it would replace")));
            return target;
        }
        if (IsPlantedLink(target))
            CannotCreate(
                path,
                Tr(QT_TRANSLATE_NOOP(
                    "Plimo", ": it leads through a link another user made in a shared folder")));
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0) + 256, '\0');
        const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= link.size())
            CannotCreate(path);
        link.resize(static_cast<std::size_t>(length));
        target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
    }
    CannotCreate(path);
}

mode_t CurrentUmask()
{
    // Reading it from the kernel leaves the process's umask alone for other threads.
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

void SyncFolderAt(const std::string& folder)
{
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        SyncFolder(fd.get());
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t newFileMode,
                         TExistingMode existingMode)
{
    bool given = false;
    const TBytePieces whole{bytes.size(), [&given, bytes] {
                                return std::exchange(given, true) ? std::string_view() : bytes;
                            }};
    WriteFileAtomically(path, whole, newFileMode, existingMode);
}

namespace {

// Where a write goes: the file behind the links, and whether it exists.
struct TWriteTarget {
    std::string target;
    bool exists = false;
    struct stat existing {};
};

TWriteTarget PrepareTarget(const std::string& path, const TFileId* input)
{
    if (path.empty())
        CannotCreate(path);
    TWriteTarget t;
    t.target = ResolveTarget(path, input);
    t.exists = ::stat(t.target.c_str(), &t.existing) == 0;
    if (t.exists && !S_ISREG(t.existing.st_mode))
        CannotCreate(path);  // a folder, a device, a pipe: never replace those by a file
    if (!t.exists && errno != ENOENT)
        CannotCreate(path);
    RemoveStaleTemporaries(FolderOf(t.target), NameOf(t.target));
    return t;
}

// Makes `temp` in the target's folder, unless the file must be rewritten in place: true then.
bool MustRewriteInPlace(const std::string& path, const TWriteTarget& t, TempFile& temp)
{
    // A rename gives the name to a new file: other names of the old one keep the old content.
    bool inPlace = t.exists && t.existing.st_nlink > 1;
    if (!inPlace && !temp.Create(FolderOf(t.target), NameOf(t.target))) {
        if (!t.exists)
            CannotCreate(path);
        inPlace = true;  // a folder we may not write in: the file itself may still be writable
    }
    if (!inPlace && t.exists) {
        [[maybe_unused]] const int owned =
            ::fchown(temp.fd(), t.existing.st_uid, t.existing.st_gid);
        struct stat made {};
        inPlace = ::fstat(temp.fd(), &made) != 0 || made.st_uid != t.existing.st_uid ||
                  made.st_gid != t.existing.st_gid;
    }
    return inPlace;
}

// Gives the complete temporary the file's mode and name, on the disk.
void NameTemporary(const std::string& path, const TWriteTarget& t, TempFile& temp,
                   mode_t newFileMode, TExistingMode existingMode)
{
    mode_t mode = newFileMode & ~CurrentUmask() & 07777;
    if (t.exists)
        mode =
            existingMode == TExistingMode::Private ? kPrivateFileMode : t.existing.st_mode & 07777;
    // Owner-only while it is written; its own mode only once it is complete.
    if (::fchmod(temp.fd(), mode) != 0 || !SyncFile(temp.fd()) || !temp.RenameOver(t.target))
        CannotCreate(path);
    SyncFolderAt(FolderOf(t.target));
}

}  // namespace

void WriteFileAtomically(const std::string& path, const TBytePieces& bytes, mode_t newFileMode,
                         TExistingMode existingMode, const TFileId* input)
{
    const TWriteTarget t = PrepareTarget(path, input);
    TempFile temp;
    if (MustRewriteInPlace(path, t, temp)) {
        RewriteInPlace(path, t.target, t.existing, bytes, existingMode);
        return;
    }
    if (!WritePieces(temp.fd(), bytes))
        CannotCreate(path);
    NameTemporary(path, t, temp, newFileMode, existingMode);
}

bool WriteFileAtomicallyFrom(const std::string& path, const TByteProducer& produce,
                             mode_t newFileMode, const TFileId* input)
{
    const TWriteTarget t = PrepareTarget(path, input);
    TempFile temp;
    if (!MustRewriteInPlace(path, t, temp)) {
        if (!produce(temp.fd()))
            return false;
        NameTemporary(path, t, temp, newFileMode, TExistingMode::Keep);
        return true;
    }
    // The rewrite in place takes its bytes in pieces it asks for: they are made first.
    const FileDescriptor made(::memfd_create("plimo-output", MFD_CLOEXEC));
    if (!made.valid())
        CannotCreate(path);
    if (!produce(made.get()))
        return false;
    struct stat st {};
    if (::fstat(made.get(), &st) != 0)
        CannotCreate(path);
    const auto size = static_cast<std::size_t>(st.st_size);
    void* const mapped =
        size == 0 ? nullptr : ::mmap(nullptr, size, PROT_READ, MAP_SHARED, made.get(), 0);
    if (mapped == MAP_FAILED)
        CannotCreate(path);
    const std::string_view bytes(static_cast<const char*>(mapped), size);
    bool given = false;
    const TBytePieces whole{
        size, [&given, bytes] { return std::exchange(given, true) ? std::string_view() : bytes; }};
    try {
        RewriteInPlace(path, t.target, t.existing, whole, TExistingMode::Keep);
    } catch (...) {
        if (mapped)
            ::munmap(mapped, size);
        throw;
    }
    if (mapped)
        ::munmap(mapped, size);
    return true;
}
