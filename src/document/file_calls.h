#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

// What every reader and writer of files here shares: the one owner of an open file descriptor,
// the loops that finish a read or a write the kernel did in part, and the system calls that
// change files on the disk. Those calls go through replaceable functions, so that tests can make
// a disk fill up or fail midway, or end the process between any two of them.

// An open file descriptor, closed once by whoever holds it last.
class FileDescriptor final {
public:
    explicit FileDescriptor(int fd = -1) noexcept : m_fd(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes it now. Some file systems report a failed write-back only here: false then.
    bool close();

private:
    int m_fd;
};

// Writes all of `bytes`: false on an error, or on a write that makes no progress (a disk that
// takes nothing more would loop for ever).
bool WriteAll(int fd, std::string_view bytes);
// read(2), again when interrupted by a signal.
ssize_t ReadSome(int fd, char* buffer, std::size_t count);

bool SyncFile(int fd);
// Hands a range of the file to the disk (sync_file_range); a file system that does not know the
// hint is no failure. Any other error is one: the fsync that follows would not report it again.
bool SyncRange(int fd, off_t offset, off_t count, unsigned flags);
bool TruncateFile(int fd, off_t size);
// Removes `name` from the folder open as `folder` (AT_FDCWD: the current one).
bool RemoveFile(int folder, const std::string& name);
// Makes new names in a folder durable. The files' contents are safe already, and some file
// systems refuse fsync on a folder, so a failure is not reported.
void SyncFolder(int folder);

// The folder part of a path ("." for a bare name) and its last name.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// The replaceable calls. Each setter returns the function it replaces; nullptr restores the
// system call.
using TWriteFunction = ssize_t (*)(int fd, const void* buffer, size_t count);
using TFsyncFunction = int (*)(int fd);
using TSyncRangeFunction = int (*)(int fd, off_t offset, off_t count, unsigned flags);
TWriteFunction SetAtomicWriteFunction(TWriteFunction function);
TFsyncFunction SetAtomicFsyncFunction(TFsyncFunction function);
TSyncRangeFunction SetAtomicSyncRangeFunction(TSyncRangeFunction function);

// Called before each call above that changes a file (write, fsync, sync_file_range, ftruncate,
// unlink): the seam where a test ends the process at a step of its choice. Returns the observer
// it replaces; nullptr: none.
using TFileCallObserver = void (*)();
TFileCallObserver SetFileCallObserver(TFileCallObserver observer);
