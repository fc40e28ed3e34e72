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

// The same a piece at a time, for a text too large to hold twice: writes the normalised form of
// `piece` to `out`, which has room for twice its size, and returns how many bytes it wrote.
// `afterCr` carries whether the piece before ended with a CR, whose LF, when this piece starts
// with one, belongs to it; start with false. Pieces cut anywhere add up to NormaliseLineBreaks.
std::size_t NormalisePiece(std::string_view piece, bool& afterCr, char* out);
// The size NormaliseLineBreaks(bytes) would have.
std::size_t NormalisedSize(std::string_view bytes);

// Where character `index` of NormaliseLineBreaks(bytes) is, lines counted from 1 and split at
// CR LF, as the editing area shows them, and where it is in `bytes` (`offset`); `index` is not
// that of a line break.
struct TTextPlace {
    std::size_t line = 1;
    std::size_t column = 1;
    std::size_t offset = 0;
};
TTextPlace PlaceInNormalised(std::string_view bytes, std::size_t index);

// True when every line break of `bytes` is CR LF already: NormaliseLineBreaks would give them
// back unchanged. Reads the bytes at memory speed.
bool AllBreaksCrLf(std::string_view bytes);
namespace detail {
// The same without the processor's wider instructions, so that tests reach both.
bool AllBreaksCrLfBaseline(std::string_view bytes);
}  // namespace detail

// Reads the document file at `path` (the file system's own bytes) for the editing area, its line
// breaks normalised; a file whose bytes `keepAsItIs` accepts (a binary file that normalising
// would damage) is given exactly as it is. Throws CommandError "Cannot open file <path>" when it
// cannot be read, and "Text exceeds memo capacity" when the text would hold more than
// `capacity` bytes or memory runs out. `lone` (when given) gets the line breaks that were not
// CR LF.
using TKeepAsItIs = bool (*)(std::string_view bytes);
std::string LoadDocument(const std::string& path, std::size_t capacity = kMemoCapacity,
                         TLoneBreaks* lone = nullptr, TKeepAsItIs keepAsItIs = nullptr);

// Writes the editing area's bytes exactly as they are, atomically (see WriteFileAtomically);
// a new file gets 0666 less the umask. Never through a link to `input`, the file a command read
// the text from. Throws CommandError "Cannot create file <path>".
void SaveDocument(const std::string& path, std::string_view bytes, const TFileId* input = nullptr);

// What tells whether another program changed a file since we read or wrote it: its size and
// modification time, and which file the name leads to (device and inode) and when that file
// last changed in any way (its change time, which no program can set back): a file replaced by
// rename, or rewritten and given its old time again, is noticed too. `regularFile` is false for
// a missing file, a folder or anything else.
struct FileStamp {
    bool regularFile = false;
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uintmax_t device = 0;
    std::uintmax_t inode = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// Writes bytes produced piece by piece, as SaveDocument does.
void SaveDocument(const std::string& path, const TBytePieces& bytes,
                  const TFileId* input = nullptr);

// A document file whose bytes are already what LoadDocument would give (every line break CR
// LF), viewed where the file system keeps them instead of read into a buffer: for a command
// that transforms a large file without holding it whole. Open gives nothing when the file is
// not such a file (a line break to normalise, empty, not a regular file, over `capacity`, not
// to be mapped); LoadDocument then reads it, with its checks and messages.
class MappedDocument final {
public:
    static std::optional<MappedDocument> Open(const std::string& path, std::size_t capacity);
    // The same for any line breaks: the command normalises them as it goes (crlf() false).
    static std::optional<MappedDocument> OpenAsItIs(const std::string& path, std::size_t capacity);
    MappedDocument(MappedDocument&& other) noexcept;
    MappedDocument& operator=(MappedDocument&&) = delete;
    MappedDocument(const MappedDocument&) = delete;
    MappedDocument& operator=(const MappedDocument&) = delete;
    ~MappedDocument();

    std::string_view bytes() const { return {m_data, m_size}; }
    // False once the file was changed by another program since it was opened: its bytes were
    // not all read as they were. (A part cut off the file reads as zeros, never as a crash.)
    bool unchanged() const;
    // False once a part of the file was cut off while it was read (it read as zeros); unlike
    // unchanged(), a write of the command's own to the very file does not count.
    bool whole() const;
    bool crlf() const { return m_crlf; }
    TFileId id() const { return m_id; }

private:
    MappedDocument(const std::string& path, const char* data, std::size_t size, TFileId id);
    std::string m_path;
    FileStamp m_stamp;
    TFileId m_id;
    bool m_crlf = false;
    const char* m_data;
    std::size_t m_size;
};
