#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Mode bits for a file that does not exist yet; the process's umask still applies.
inline constexpr mode_t kDocumentFileMode = 0666;
// The settings file holds the Level A password: owner only.
inline constexpr mode_t kPrivateFileMode = 0600;

// What happens to the mode bits of a file that exists already.
enum class TExistingMode {
    Keep,     // documents: the file keeps its mode
    Private,  // the settings file: owner-only, whatever it was before
};

// The bytes of a file produced piece by piece, so that a large result need not be held whole:
// next() gives the following piece; the pieces add up to exactly `size` bytes.
struct TBytePieces {
    std::size_t size = 0;
    std::function<std::string_view()> next;
};

// A file a command reads, which its output must never replace through a link.
struct TFileId {
    dev_t device = 0;
    ino_t inode = 0;
};

// Replaces the whole content of `path` with `bytes`, or leaves the old file exactly as it was.
//
// Normally the bytes go to an unnamed temporary file in the target's folder, which is flushed to
// disk and only then given a name and renamed over the target, so a crash, a kill or a full disk
// never leaves a half-written target nor a temporary that lives on; of two saves at once, the
// last whole one wins. Where a rename would lose what users rely on (a file with several hard
// links, one owned by someone else or by another group, a writable file in a folder we may not
// write), the file is rewritten in place instead, one writer at a time, protected by a safe copy
// (see RewriteInPlace). A large file goes to the disk a region at a time while it is written
// (see RegionWriter).
//
// A new file gets `newFileMode` less the umask. A symbolic link is followed: the file it points
// to is replaced and the link stays; but never a link that the kernel's protected-symlink rule
// would refuse to follow (a link another user made in a sticky folder that anyone may write to),
// whatever the system's setting, and never a link that leads to `input`. Throws
// CommandError("Cannot create file " + path ...) on any failure, with the reason where the user
// can do something about it.
void WriteFileAtomically(const std::string& path, const TBytePieces& bytes, mode_t newFileMode,
                         TExistingMode existingMode = TExistingMode::Keep,
                         const TFileId* input = nullptr);
// Writes the bytes a producer pushes to the descriptor it is given, as many as it likes, so that
// a result of unknown size (a message decrypted as it is read) need not be held: the file is
// replaced, as above, only when `produce` returns true; otherwise nothing is named and nothing
// is left, whatever the producer wrote. Where the file must be rewritten in place, the bytes
// are made in memory first (a file in memory, not the disk) and then written over it. Returns
// what `produce` returned; throws as above.
using TByteProducer = std::function<bool(int fd)>;
bool WriteFileAtomicallyFrom(const std::string& path, const TByteProducer& produce,
                             mode_t newFileMode, const TFileId* input = nullptr);
// The same, from bytes held whole.
void WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t newFileMode,
                         TExistingMode existingMode = TExistingMode::Keep);

