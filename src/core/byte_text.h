#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/line_index.h"
#include "core/text_pieces.h"

// The document's bytes in one gap buffer, with the index of its lines. A line break is exactly
// the pair CR LF; a lone CR, a lone LF and NUL are ordinary bytes. Positions are byte positions;
// a text with n breaks has n + 1 lines, numbered from 0.
//
// Positions past the text are clamped: a position to size(), a length to what follows its
// position, a line to the last line. An edit that would make the text longer than capacity()
// is refused and changes nothing; std::bad_alloc leaves the text as it was.
class ByteText final {
public:
    static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 30;

    // The bytes and their line index as one movable whole: a whole-text replacement keeps the
    // text it replaces without copying a byte, and gets its index back for free.
    class Whole final {
    public:
        Whole() = default;
        std::size_t size() const { return m_bytes.size(); }

    private:
        friend class ByteText;
        LineIndex m_index;
        std::string m_bytes;
    };

    explicit ByteText(std::size_t capacity = kDefaultCapacity);

    std::size_t size() const { return m_bytes.size() - m_gapLen; }
    bool empty() const { return size() == 0; }
    std::size_t capacity() const { return m_capacity; }

    char at(std::size_t pos) const;
    TextPieces pieces(std::size_t pos, std::size_t len) const;
    TextPieces pieces() const { return pieces(0, size()); }
    std::string bytes(std::size_t pos, std::size_t len) const;
    // The whole text in one piece: the gap moves to the nearer end, which costs the bytes
    // between, and the next edit in the middle moves it back. Where two runs will do (writing a file),
    // pieces() costs nothing.
    std::string_view text();

    // Gives the bytes away without copying them and leaves the text empty.
    std::string release();
    // Takes the bytes over without copying them; builds the line index in one pass.
    bool setText(std::string&& bytes);
    bool replace(std::size_t pos, std::size_t len, std::string_view with);
    bool insert(std::size_t pos, std::string_view with) { return replace(pos, 0, with); }

    // A whole for swapWhole(); builds its line index. Refused (nothing) over capacity.
    bool makeWhole(std::string&& bytes, Whole& out) const;
    // Puts `whole` in place of the text and leaves the text it replaces in `whole`.
    void swapWhole(Whole& whole) noexcept;

    std::size_t lineCount() const { return m_index.breaks() + 1; }
    std::size_t lineStart(std::size_t line) const;
    // Where the line's CR LF starts, or size() for the last line.
    std::size_t lineEnd(std::size_t line) const;
    std::size_t lineOf(std::size_t pos) const;
    // Memory of the line index, for measurement.
    std::size_t lineIndexBytes() const { return m_index.bytesUsed(); }

private:
    void closeGap() noexcept;
    void moveGap(std::size_t pos) noexcept;

    // The text is m_bytes without the gap [m_gapStart, m_gapStart + m_gapLen), which lies within
    // m_bytes; the text never passes m_capacity.
    std::string m_bytes;
    std::size_t m_gapStart = 0;
    std::size_t m_gapLen = 0;
    std::size_t m_capacity;
    LineIndex m_index;
};
