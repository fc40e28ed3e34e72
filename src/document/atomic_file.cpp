#include "document/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <utility>

#include "core/command_error.h"
#include "document/file_messages.h"

namespace {

int SyncRangeCall(int fd, off_t offset, off_t count, unsigned flags)
{
    return ::sync_file_range(fd, offset, count, flags);
}

TWriteFunction g_write = ::write;
TFsyncFunction g_fsync = ::fsync;
TSyncRangeFunction g_syncRange = SyncRangeCall;

// Symbolic links nest at most this deep before we give up, as the kernel does.
constexpr int kMaxLinkHops = 40;
// Keeps the temporary's name within NAME_MAX even for a target with a very long name.
constexpr std::size_t kMaxTempStem = 100;
constexpr int kTempNameAttempts = 100;
constexpr std::size_t kCopyChunk = 1 << 20;
// A large file goes to the disk a region at a time while it is written, so that the final fsync
// finds little left; once a region is on the disk its pages are let go, so that a file of
// gigabytes holds at most the window's regions of the page cache. Fresh memory costs more than
// memory just freed, and other programs' cached files stay.
constexpr off_t kWritebackRegion = off_t(4) << 20;
constexpr off_t kWritebackWindow = 8 * kWritebackRegion;
constexpr std::string_view kCopySuffix = ".old";
constexpr std::string_view kRecordSuffix = ".target";

class Fd final {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Some file systems report a failed write-back only here.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

std::string DirName(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links so that the file behind them is replaced and the links survive.
// Returns false when the chain is broken beyond repair (unreadable link, a loop).
bool ResolveLinks(std::string& target)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0) + 256, '\0');
        const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= link.size())
            return false;
        link.resize(static_cast<std::size_t>(length));
        target = link.front() == '/' ? link : DirName(target) + "/" + link;
    }
    return false;
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

// A name beside the target that no other file has: ".<name>.tmp<pid>-<ns>-<n>".
std::string TempStem(const std::string& base)
{
    // Appended piece by piece: g++ 12 at -O3 warns (-Wrestrict) about "." + std::string.
    std::string stem(".");
    stem.append(base, 0, kMaxTempStem);
    stem += ".tmp";
    return stem;
}

std::string UniqueSuffix()
{
    static unsigned counter = 0;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::to_string(::getpid()) + "-" + std::to_string(now.tv_nsec) + "-" +
           std::to_string(++counter);
}

bool ProcessIsGone(const std::string& digits)
{
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const pid_t pid = static_cast<pid_t>(std::stol(digits));
    return pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

// The process id in "<prefix><pid>-...", or "" when the name is not of that shape.
std::string PidAfter(std::string_view name, std::string_view prefix)
{
    if (!name.starts_with(prefix))
        return {};
    name.remove_prefix(prefix.size());
    const auto dash = name.find('-');
    return dash == std::string_view::npos ? std::string() : std::string(name.substr(0, dash));
}

// "<name>.<pid>-<ns>-<n>": the pid stands between the last dot and the dash after it.
std::string PidOfSafeCopy(const std::string& stem)
{
    const auto last = stem.rfind('-');
    const auto dash =
        last == std::string::npos || last == 0 ? std::string::npos : stem.rfind('-', last - 1);
    const auto dot = dash == std::string::npos ? std::string::npos : stem.rfind('.', dash);
    return dot == std::string::npos ? std::string() : stem.substr(dot + 1, dash - dot - 1);
}

// A save killed before it renamed its named temporary leaves that file behind. Ours carry the
// process id, so those of processes that are gone can go.
void RemoveStaleTemporaries(const std::string& folder, const std::string& base)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::string stem = TempStem(base);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (ProcessIsGone(PidAfter(name, stem)))
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

bool WriteAll(int fd, const char* data, std::size_t left)
{
    while (left > 0) {
        const ssize_t written = g_write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        // No progress at all would loop for ever; treat it as a full disk.
        if (written == 0)
            return false;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool WriteAll(int fd, std::string_view bytes)
{
    return WriteAll(fd, bytes.data(), bytes.size());
}

// A write-back hint the file system does not know is no failure; any other error is one, as it
// is not reported again by the fsync that follows.
bool SyncRange(int fd, off_t offset, off_t count, unsigned flags)
{
    int result;
    do {
        result = g_syncRange(fd, offset, count, flags);
    } while (result != 0 && errno == EINTR);
    return result == 0 || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
           errno == ESPIPE;
}

// Writes a file from its start, sending each full region to the disk as it goes.
class RegionWriter final {
public:
    explicit RegionWriter(int fd) : m_fd(fd) {}

    bool Write(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const std::size_t now = std::min(
                bytes.size(), static_cast<std::size_t>(m_sent + kWritebackRegion - m_written));
            if (!WriteAll(m_fd, bytes.data(), now))
                return false;
            bytes.remove_prefix(now);
            m_written += static_cast<off_t>(now);
            if (m_written == m_sent + kWritebackRegion && !SendRegion())
                return false;
        }
        return true;
    }

private:
    bool SendRegion()
    {
        if (!SyncRange(m_fd, m_sent, kWritebackRegion, SYNC_FILE_RANGE_WRITE))
            return false;
        m_sent += kWritebackRegion;
        if (m_sent - m_settled <= kWritebackWindow)
            return true;
        // The oldest region still in flight: waited for, which bounds the memory, then dropped.
        if (!SyncRange(
                m_fd, m_settled, kWritebackRegion,
                SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER))
            return false;
        ::posix_fadvise(m_fd, m_settled, kWritebackRegion, POSIX_FADV_DONTNEED);
        m_settled += kWritebackRegion;
        return true;
    }

    int m_fd;
    off_t m_written = 0;  // from the file's start
    off_t m_sent = 0;     // what was handed to the disk
    off_t m_settled = 0;  // what is on the disk and no longer cached
};

// All of `pieces` from the file's start: exactly `size` bytes, or false.
bool WriteAll(int fd, const TBytePieces& pieces)
{
    RegionWriter writer(fd);
    std::size_t written = 0;
    while (written < pieces.size) {
        const std::string_view piece = pieces.next();
        if (piece.empty() || piece.size() > pieces.size - written || !writer.Write(piece))
            return false;
        written += piece.size();
    }
    return true;
}

bool Sync(int fd)
{
    int result;
    do {
        result = g_fsync(fd);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// Makes a rename or a new name durable. The content is already safe, and some file systems
// refuse fsync on a folder, so a failure here is not reported.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Copies everything from `from` (read from its start) to `to` (written from its start).
bool CopyContent(int from, int to)
{
    if (::lseek(from, 0, SEEK_SET) != 0 || ::lseek(to, 0, SEEK_SET) != 0)
        return false;
    const auto buffer = std::make_unique<char[]>(kCopyChunk);
    off_t total = 0;
    for (;;) {
        const ssize_t got = ::read(from, buffer.get(), kCopyChunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        if (!WriteAll(to, buffer.get(), static_cast<std::size_t>(got)))
            return false;
        total += got;
    }
    return ::ftruncate(to, total) == 0 && Sync(to);
}

// The file being written, until it has its final name; nothing of it outlives a failure.
class TempFile final {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile()
    {
        if (!m_name.empty())
            ::unlink(m_name.c_str());
    }

    // Owner-only while it is written. An unnamed file where the file system has them, so a
    // kill leaves nothing behind; otherwise a hidden name beside the target.
    bool Create(const std::string& folder, const std::string& base)
    {
        m_folder = folder;
        m_base = base;
        const int unnamed = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (unnamed >= 0) {
            m_fd = std::make_unique<Fd>(unnamed);
            return true;
        }
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
        for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
            const std::string candidate = NameCandidate();
            const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                m_fd = std::make_unique<Fd>(fd);
                m_name = candidate;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    int fd() const { return m_fd->get(); }

    // Closes the finished file and gives it the target's name in one step.
    bool RenameOver(const std::string& target)
    {
        if (m_name.empty() && !LinkUnnamed())
            return false;
        if (!m_fd->close() || ::rename(m_name.c_str(), target.c_str()) != 0)
            return false;
        m_name.clear();
        return true;
    }

private:
    std::string NameCandidate() const { return m_folder + "/" + TempStem(m_base) + UniqueSuffix(); }

    // The unnamed file gets a name only once it is complete, for the instant before the rename.
    bool LinkUnnamed()
    {
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd->get());
        for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
            const std::string candidate = NameCandidate();
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) ==
                    0 ||
                ::linkat(m_fd->get(), "", AT_FDCWD, candidate.c_str(), AT_EMPTY_PATH) == 0) {
                m_name = candidate;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    std::unique_ptr<Fd> m_fd;
    std::string m_folder;
    std::string m_base;
    std::string m_name;  // while the file has a name of its own
};

bool MakeFolders(const std::string& folder)
{
    if (folder.empty())
        return false;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    if (!MakeFolders(DirName(folder)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string AbsolutePath(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string result = real;
        std::free(real);
        return result;
    }
    return path;
}

// The safe copy of a file rewritten in place, and the small record beside it that names the
// file, so that a copy left by a killed save can be traced back.
class SafeCopy final {
public:
    SafeCopy() = default;
    SafeCopy(const SafeCopy&) = delete;
    SafeCopy& operator=(const SafeCopy&) = delete;
    ~SafeCopy()
    {
        if (!m_kept)
            Remove();
    }

    bool Make(int target, const std::string& targetPath)
    {
        const std::string folder = SafeCopyFolder();
        if (!MakeFolders(folder))
            return false;
        const std::string stem =
            folder + "/" + BaseName(targetPath).substr(0, kMaxTempStem) + "." + UniqueSuffix();
        m_copy = stem + std::string(kCopySuffix);
        Fd copy(::open(m_copy.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!copy.valid()) {
            m_copy.clear();
            return false;
        }
        if (!CopyContent(target, copy.get()) || !copy.close())
            return false;
        m_record = stem + std::string(kRecordSuffix);
        Fd record(::open(m_record.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!record.valid()) {
            m_record.clear();
            return false;
        }
        if (!WriteAll(record.get(), AbsolutePath(targetPath)) || !Sync(record.get()) ||
            !record.close())
            return false;
        SyncFolder(folder);
        return true;
    }

    bool RestoreInto(int target) const
    {
        Fd copy(::open(m_copy.c_str(), O_RDONLY | O_CLOEXEC));
        return copy.valid() && CopyContent(copy.get(), target);
    }

    // The copy stays for the user, who is told where it is; its record goes, so that it is not
    // reported again.
    const std::string& Keep()
    {
        m_kept = true;
        ::unlink(m_record.c_str());
        return m_copy;
    }

private:
    void Remove()
    {
        if (!m_record.empty())
            ::unlink(m_record.c_str());
        if (!m_copy.empty())
            ::unlink(m_copy.c_str());
    }

    std::string m_copy;
    std::string m_record;
    bool m_kept = false;
};

[[noreturn]] void CannotCreate(const std::string& path, const std::string& detail = {})
{
    throw CommandError(std::string(kCannotCreateFile) + path + detail);
}

// Rewrites the file in place, for the cases a rename cannot serve.
void RewriteInPlace(const std::string& path, const std::string& target, const struct stat& existing,
                    const TBytePieces& bytes, TExistingMode mode)
{
    Fd file(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    struct stat st {};
    if (!file.valid() || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_ino != existing.st_ino || st.st_dev != existing.st_dev)
        CannotCreate(path);
    SafeCopy copy;
    if (!copy.Make(file.get(), target))
        CannotCreate(path);
    if (mode == TExistingMode::Private)
        ::fchmod(file.get(), kPrivateFileMode);
    const bool written = ::lseek(file.get(), 0, SEEK_SET) == 0 && WriteAll(file.get(), bytes) &&
                         ::ftruncate(file.get(), static_cast<off_t>(bytes.size)) == 0 &&
                         Sync(file.get());
    if (written && file.close())
        return;
    if (file.valid() && copy.RestoreInto(file.get()))
        CannotCreate(path);
    CannotCreate(path, ". Its previous content is kept in " + copy.Keep());
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

void WriteFileAtomically(const std::string& path, const TBytePieces& bytes, mode_t newFileMode,
                         TExistingMode existingMode)
{
    std::string target = path;
    if (path.empty() || !ResolveLinks(target))
        CannotCreate(path);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        CannotCreate(path);  // a folder, a device, a pipe: never replace those by a file
    if (!exists && errno != ENOENT)
        CannotCreate(path);

    const std::string folder = DirName(target);
    const std::string base = BaseName(target);
    RemoveStaleTemporaries(folder, base);

    // A rename gives the name to a new file: other names of the old one keep the old content.
    bool inPlace = exists && existing.st_nlink > 1;
    TempFile temp;
    if (!inPlace && !temp.Create(folder, base)) {
        if (!exists)
            CannotCreate(path);
        inPlace = true;  // a folder we may not write in: the file itself may still be writable
    }
    if (!inPlace && exists) {
        [[maybe_unused]] const int owned = ::fchown(temp.fd(), existing.st_uid, existing.st_gid);
        struct stat made {};
        inPlace = ::fstat(temp.fd(), &made) != 0 || made.st_uid != existing.st_uid ||
                  made.st_gid != existing.st_gid;
    }
    if (inPlace) {
        RewriteInPlace(path, target, existing, bytes, existingMode);
        return;
    }

    mode_t mode = newFileMode & ~CurrentUmask() & 07777;
    if (exists)
        mode = existingMode == TExistingMode::Private ? kPrivateFileMode : existing.st_mode & 07777;
    // Owner-only while it is written; its own mode only once it is complete.
    if (!WriteAll(temp.fd(), bytes) || ::fchmod(temp.fd(), mode) != 0 || !Sync(temp.fd()) ||
        !temp.RenameOver(target))
        CannotCreate(path);
    SyncFolder(folder);
}

std::string SafeCopyFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::string(data) + "/plimo/unfinished-saves";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/share/plimo/unfinished-saves";
    return {};
}

std::vector<TInterruptedSave> TakeInterruptedSaves()
{
    std::vector<TInterruptedSave> found;
    const std::string folder = SafeCopyFolder();
    DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str());
    if (!dir)
        return found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.ends_with(kRecordSuffix))
            continue;
        const std::string stem(name.substr(0, name.size() - kRecordSuffix.size()));
        if (!ProcessIsGone(PidOfSafeCopy(stem)))
            continue;
        const std::string record = folder + "/" + std::string(name);
        std::string target;
        if (std::FILE* f = std::fopen(record.c_str(), "re")) {
            char buffer[4096];
            std::size_t got;
            while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
                target.append(buffer, got);
            std::fclose(f);
        }
        const std::string copy = folder + "/" + stem + std::string(kCopySuffix);
        struct stat st {};
        if (::stat(copy.c_str(), &st) == 0)
            found.push_back({target, copy});
        ::unlink(record.c_str());
    }
    ::closedir(dir);
    return found;
}

TWriteFunction SetAtomicWriteFunction(TWriteFunction function)
{
    const TWriteFunction previous = g_write;
    g_write = function ? function : ::write;
    return previous;
}

TFsyncFunction SetAtomicFsyncFunction(TFsyncFunction function)
{
    const TFsyncFunction previous = g_fsync;
    g_fsync = function ? function : ::fsync;
    return previous;
}

TSyncRangeFunction SetAtomicSyncRangeFunction(TSyncRangeFunction function)
{
    const TSyncRangeFunction previous = g_syncRange;
    g_syncRange = function ? function : SyncRangeCall;
    return previous;
}
