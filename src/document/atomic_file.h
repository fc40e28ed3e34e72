#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Mode bits for a file that does not exist yet; the process's umask still applies.
inline constexpr mode_t kDocumentFileMode = 0666;
// The settings file holds the Level A password: owner only.
inline constexpr mode_t kPrivateFileMode = 0600;

// What happens to the mode bits of a file that exists already.
enum class TExistingMode {
    Keep,     // documents: the file keeps its mode
    Private,  // the settings file: owner-only, whatever it was before
};

// Replaces the whole content of `path` with `bytes`, or leaves the old file exactly as it was.
//
// Normally the bytes go to an unnamed temporary file in the target's folder, which is flushed to
// disk and only then given a name and renamed over the target, so a crash, a kill or a full disk
// never leaves a half-written target nor a temporary that lives on. Where a rename would lose
// what users rely on (a file with several hard links, one owned by someone else or by another
// group, a writable file in a folder we may not write), the file is rewritten in place instead:
// its old content is first copied to SafeCopyFolder() and synced, and the copy is removed only
// once the new content is on disk. A failure midway puts the old content back; if even that
// fails, the message says where the copy is.
//
// A file of more than a few MiB is handed to the disk a region at a time while it is written, so
// that the final fsync finds little left, and each region once on the disk leaves the page cache:
// a file of gigabytes holds a few tens of MiB of memory, and a write-back error fails the save
// where it is met.
//
// A new file gets `newFileMode` less the umask. A symbolic link is followed: the file it points
// to is replaced and the link stays. Throws CommandError("Cannot create file " + path) on any
// failure.
void WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t newFileMode,
                         TExistingMode existingMode = TExistingMode::Keep);

// The bytes of a file produced piece by piece, so that a large result need not be held whole:
// next() gives the following piece; the pieces add up to exactly `size` bytes.
struct TBytePieces {
    std::size_t size = 0;
    std::function<std::string_view()> next;
};

// The same, from pieces. A piece missing or too long fails the write like a full disk.
void WriteFileAtomically(const std::string& path, const TBytePieces& bytes, mode_t newFileMode,
                         TExistingMode existingMode = TExistingMode::Keep);

// Where in-place rewrites keep the old content until the new one is safe:
// ${XDG_DATA_HOME:-$HOME/.local/share}/plimo/unfinished-saves. Empty when there is no home.
std::string SafeCopyFolder();

// A rewrite in place that was killed before it finished: `copy` holds the old content of
// `target`.
struct TInterruptedSave {
    std::string target;
    std::string copy;
};

// The interrupted rewrites whose process is gone. Each is reported once: the copy stays where it
// is for the user, the record that names its target is removed.
std::vector<TInterruptedSave> TakeInterruptedSaves();

// The write, fsync and sync_file_range calls the writer makes, replaceable so that tests can
// simulate a disk that fills up or fails midway. Each setter returns the function it replaces;
// nullptr restores the system call.
using TWriteFunction = ssize_t (*)(int fd, const void* buffer, size_t count);
using TFsyncFunction = int (*)(int fd);
using TSyncRangeFunction = int (*)(int fd, off_t offset, off_t count, unsigned flags);
TWriteFunction SetAtomicWriteFunction(TWriteFunction function);
TFsyncFunction SetAtomicFsyncFunction(TFsyncFunction function);
TSyncRangeFunction SetAtomicSyncRangeFunction(TSyncRangeFunction function);
