#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/atomic_file.h"
#include "document/open_notes.h"

// The most text the editing area holds, in bytes after line breaks have become CR LF.
inline constexpr std::size_t kMemoCapacity = std::size_t{1} << 30;  // 1 GiB

// Every line break (CR LF, a lone CR, a lone LF) becomes CR LF; every other byte stays as it is.
std::string NormaliseLineBreaks(std::string_view bytes);

// True when every line break of `bytes` is CR LF already: NormaliseLineBreaks would give them
// back unchanged. Reads the bytes at memory speed.
bool AllBreaksCrLf(std::string_view bytes);
namespace detail {
// The same without the processor's wider instructions, so that tests reach both.
bool AllBreaksCrLfBaseline(std::string_view bytes);
}  // namespace detail

// Reads the document file at `path` (the file system's own bytes) for the editing area, its line
// breaks normalised. Throws CommandError "Cannot open file <path>" when it cannot be read, and
// "Text exceeds memo capacity" when the text would hold more than `capacity` bytes or memory
// runs out. `lone` (when given) gets the line breaks that were not CR LF.
std::string LoadDocument(const std::string& path, std::size_t capacity = kMemoCapacity,
                         TLoneBreaks* lone = nullptr);

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

// Writes bytes produced piece by piece, as SaveDocument does.
void SaveDocument(const std::string& path, const TBytePieces& bytes);

// A document file whose bytes are already what LoadDocument would give (every line break CR
// LF), viewed where the file system keeps them instead of read into a buffer: for a command
// that transforms a large file without holding it whole. Open gives nothing when the file is
// not such a file (a line break to normalise, empty, not a regular file, over `capacity`, not
// to be mapped); LoadDocument then reads it, with its checks and messages.
class MappedDocument final {
public:
    static std::optional<MappedDocument> Open(const std::string& path, std::size_t capacity);
    MappedDocument(MappedDocument&& other) noexcept;
    MappedDocument& operator=(MappedDocument&&) = delete;
    MappedDocument(const MappedDocument&) = delete;
    MappedDocument& operator=(const MappedDocument&) = delete;
    ~MappedDocument();

    std::string_view bytes() const { return {m_data, m_size}; }
    // False once the file was changed by another program since it was opened: its bytes were
    // not all read as they were. (A part cut off the file reads as zeros, never as a crash.)
    bool unchanged() const;

private:
    MappedDocument(const std::string& path, const char* data, std::size_t size);
    std::string m_path;
    FileStamp m_stamp;
    const char* m_data;
    std::size_t m_size;
};
