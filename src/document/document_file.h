#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The most text the editing area holds, in bytes after line breaks have become CR LF.
inline constexpr std::size_t kMemoCapacity = 256u * 1024 * 1024;

// Every line break (CR LF, a lone CR, a lone LF) becomes CR LF; every other byte stays as it is.
std::string NormaliseLineBreaks(std::string_view bytes);

// Reads the document file at `path` (the file system's own bytes) for the editing area, its line
// breaks normalised. Throws CommandError "Cannot open file <path>" when it cannot be read, and
// "Text exceeds memo capacity" when the text would hold more than `capacity` bytes or memory
// runs out.
std::string LoadDocument(const std::string& path, std::size_t capacity = kMemoCapacity);

// Writes the editing area's bytes exactly as they are, atomically (see WriteFileAtomically);
// a new file gets 0666 less the umask. Throws CommandError "Cannot create file <path>".
void SaveDocument(const std::string& path, std::string_view bytes);

// What tells whether another program changed a file since we read or wrote it: its size and
// modification time. `regularFile` is false for a missing file, a folder or anything else.
struct FileStamp {
    bool regularFile = false;
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);
