#include "document/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "document/file_calls.h"

namespace {

// The first buffer for a file whose size the kernel does not tell (as in /proc).
constexpr std::size_t kUnknownSizeChunk = 64 * 1024;

}  // namespace

TReadResult ReadWholeFile(const std::string& path, std::size_t limit, std::string& out, int* error,
                          std::size_t (*spare)(std::size_t))
{
    const auto failed = [error](int code) {
        if (error)
            *error = code;
        return TReadResult::Failed;
    };
    out.clear();
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.valid())
        return errno == ENOENT ? TReadResult::Missing : failed(errno);
    const int fd = file.get();

    struct stat st {};
    // Only regular files: a pipe would block the program, a device may never end.
    if (::fstat(fd, &st) != 0)
        return failed(errno);
    if (!S_ISREG(st.st_mode))
        return failed(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    const auto statSize = static_cast<std::size_t>(std::max<off_t>(st.st_size, 0));
    if (statSize > limit)
        return TReadResult::TooLarge;

    // The size from fstat is a hint only: the file may grow or shrink while we read it.
    if (spare && statSize > 0)
        out.reserve(statSize + spare(statSize));
    out.resize(statSize > 0 ? statSize : std::min(kUnknownSizeChunk, limit));
    std::size_t size = 0;
    for (;;) {
        if (size == out.size()) {
            // Usually the end of the file, which a one-byte read confirms without growing the
            // buffer (growing would copy the whole text once more).
            char probe;
            const ssize_t more = ReadSome(fd, &probe, 1);
            if (more < 0)
                return failed(errno);
            if (more == 0)
                break;
            if (size >= limit)
                return TReadResult::TooLarge;
            out.resize(std::min(std::max(size * 2, kUnknownSizeChunk), limit));
            out[size++] = probe;
            continue;
        }
        const ssize_t got = ReadSome(fd, out.data() + size, out.size() - size);
        if (got < 0)
            return failed(errno);
        if (got == 0)
            break;
        size += static_cast<std::size_t>(got);
    }
    out.resize(size);
    return TReadResult::Ok;
}
