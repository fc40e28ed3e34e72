#include "document/file_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

int SyncRangeCall(int fd, off_t offset, off_t count, unsigned flags)
{
    return ::sync_file_range(fd, offset, count, flags);
}

TWriteFunction g_write = ::write;
TFsyncFunction g_fsync = ::fsync;
TSyncRangeFunction g_syncRange = SyncRangeCall;
TFileCallObserver g_observer = nullptr;

void Observe()
{
    if (g_observer)
        g_observer();
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileDescriptor::close()
{
    return ::close(std::exchange(m_fd, -1)) == 0;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        Observe();
        const ssize_t written = g_write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

ssize_t ReadSome(int fd, char* buffer, std::size_t count)
{
    ssize_t got;
    do {
        got = ::read(fd, buffer, count);
    } while (got < 0 && errno == EINTR);
    return got;
}

bool SyncFile(int fd)
{
    int result;
    do {
        Observe();
        result = g_fsync(fd);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

bool SyncRange(int fd, off_t offset, off_t count, unsigned flags)
{
    int result;
    do {
        Observe();
        result = g_syncRange(fd, offset, count, flags);
    } while (result != 0 && errno == EINTR);
    return result == 0 || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
           errno == ESPIPE;
}

bool TruncateFile(int fd, off_t size)
{
    Observe();
    return ::ftruncate(fd, size) == 0;
}

bool RemoveFile(int folder, const std::string& name)
{
    Observe();
    return ::unlinkat(folder, name.c_str(), 0) == 0;
}

void SyncFolder(int folder)
{
    Observe();
    ::fsync(folder);
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

TWriteFunction SetAtomicWriteFunction(TWriteFunction function)
{
    return std::exchange(g_write, function ? function : ::write);
}

TFsyncFunction SetAtomicFsyncFunction(TFsyncFunction function)
{
    return std::exchange(g_fsync, function ? function : ::fsync);
}

TSyncRangeFunction SetAtomicSyncRangeFunction(TSyncRangeFunction function)
{
    return std::exchange(g_syncRange, function ? function : SyncRangeCall);
}

TFileCallObserver SetFileCallObserver(TFileCallObserver observer)
{
    return std::exchange(g_observer, observer);
}
