#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

// Mode bits for a file that does not exist yet; the process's umask still applies.
inline constexpr mode_t kDocumentFileMode = 0666;
// The settings file holds the Level A password: owner only.
inline constexpr mode_t kPrivateFileMode = 0600;

// Replaces the whole content of `path` with `bytes`, or leaves the old file exactly as it was.
// The bytes go to a temporary file in the target's folder, which is flushed to disk and then
// renamed over the target, so a crash or a full disk never leaves a half-written file. An
// existing target keeps its mode bits (and its owner, where the process may set it); a new file
// gets `newFileMode` less the umask. A symbolic link is followed: the file it points to is
// replaced and the link stays. Throws CommandError("Cannot create file " + path) on any failure,
// with no temporary file left behind.
void WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t newFileMode);

// The write and fsync calls the writer makes, replaceable so that tests can simulate a disk that
// fills up or fails midway. Each setter returns the function it replaces; nullptr restores the
// system call.
using TWriteFunction = ssize_t (*)(int fd, const void* buffer, size_t count);
using TFsyncFunction = int (*)(int fd);
TWriteFunction SetAtomicWriteFunction(TWriteFunction function);
TFsyncFunction SetAtomicFsyncFunction(TFsyncFunction function);
