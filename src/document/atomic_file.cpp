#include "document/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "core/command_error.h"
#include "document/file_messages.h"

namespace {

TWriteFunction g_write = ::write;
TFsyncFunction g_fsync = ::fsync;

// Symbolic links nest at most this deep before we give up, as the kernel does.
constexpr int kMaxLinkHops = 40;
// Keeps the temporary's name within NAME_MAX even for a target with a very long name.
constexpr std::size_t kMaxTempStem = 100;
constexpr int kTempNameAttempts = 100;

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

// The temporary file until it has been renamed over the target; removed on every other path.
class TempFile final {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }

    bool Create(const std::string& folder, const std::string& base, mode_t mode)
    {
        static unsigned counter = 0;
        const std::string stem = folder + "/." + base.substr(0, kMaxTempStem) + ".tmp";
        for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
            timespec now{};
            ::clock_gettime(CLOCK_REALTIME, &now);
            const std::string candidate = stem + std::to_string(::getpid()) + "-" +
                                          std::to_string(now.tv_nsec) + "-" +
                                          std::to_string(++counter);
            const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd >= 0) {
                m_fd = fd;
                m_path = candidate;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    int Fd() const { return m_fd; }
    const std::string& Path() const { return m_path; }

    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        // Some file systems report a failed write-back only here.
        return ::close(fd) == 0;
    }

    void Committed() { m_path.clear(); }

private:
    int m_fd = -1;
    std::string m_path;
};

bool WriteAll(int fd, std::string_view bytes)
{
    const char* data = bytes.data();
    std::size_t left = bytes.size();
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

bool Sync(int fd)
{
    int result;
    do {
        result = g_fsync(fd);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// Makes the rename itself durable. The file's content is already safe, and some file systems
// refuse fsync on a folder, so a failure here is not reported.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool Replace(const std::string& path, std::string_view bytes, mode_t newFileMode)
{
    std::string target = path;
    if (!ResolveLinks(target))
        return false;

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return false;  // a folder, a device, a pipe: never replace those by a file
    if (!exists && errno != ENOENT)
        return false;

    const std::string folder = DirName(target);
    TempFile temp;
    if (!temp.Create(folder, BaseName(target), exists ? kPrivateFileMode : newFileMode))
        return false;
    if (exists) {
        // Ownership only where we may set it; the mode bits always.
        [[maybe_unused]] const int owned = ::fchown(temp.Fd(), existing.st_uid, existing.st_gid);
        if (::fchmod(temp.Fd(), existing.st_mode & 07777) != 0)
            return false;
    }
    if (!WriteAll(temp.Fd(), bytes) || !Sync(temp.Fd()) || !temp.Close())
        return false;
    if (::rename(temp.Path().c_str(), target.c_str()) != 0)
        return false;
    temp.Committed();
    SyncFolder(folder);
    return true;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t newFileMode)
{
    if (path.empty() || !Replace(path, bytes, newFileMode))
        throw CommandError(std::string(kCannotCreateFile) + path);
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
