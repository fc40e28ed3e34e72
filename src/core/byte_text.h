#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A run of the text's bytes that may straddle the gap of the buffer: the bytes of `first`,
// then those of `second`. Valid until the next edit.
struct TextPieces {
    std::string_view first;
    std::string_view second;

    std::size_t size() const { return first.size() + second.size(); }
    char operator[](std::size_t i) const
    {
        return i < first.size() ? first[i] : second[i - first.size()];
    }
    std::string copy() const;
};

namespace byte_text_detail {

// A known line start and its line number.
struct LinePoint {
    std::size_t pos;
    std::size_t line;
};

// Where the lines of a text start. Not every line start is kept: a point is kept at the first
// line start at least kSpan bytes after the previous point, so a text of dense short lines costs
// about one point per kSpan bytes, and a line start between points is found by scanning at most
// kSpan bytes. Long lines get a point each.
class LineIndex final {
public:
    static constexpr std::size_t kSpan = 1024;

    LineIndex();
    // Built by one pass over the whole text.
    explicit LineIndex(const TextPieces& text);

    std::size_t breaks() const { return m_breaks; }
    std::size_t pointCount() const { return m_points.size(); }
    std::size_t bytesUsed() const
    {
        return (m_points.capacity() + m_fresh.capacity()) * sizeof(LinePoint);
    }

    std::size_t lineStart(const TextPieces& text, std::size_t line) const;
    std::size_t lineOf(const TextPieces& text, std::size_t pos) const;

    // An upper bound of the points an edit can add, for reserve(): after that, update() cannot
    // fail.
    std::size_t pointsAfterEditBound(std::size_t pos, std::size_t erased,
                                     std::size_t inserted) const;
    void reserve(std::size_t extraPoints);
    // The text's [pos, pos + erased) became `inserted` bytes; `text` is the text after the edit.
    // Needs the room reserve() made for pointsAfterEditBound() more points.
    void update(const TextPieces& text, std::size_t pos, std::size_t erased,
                std::size_t inserted) noexcept;

private:
    LinePoint point(std::size_t i) const;
    // The points before `fold` hold their values; those from it on lack m_shift.
    void moveFold(std::size_t fold) noexcept;
    template <std::size_t LinePoint::*Field>
    std::size_t lastPointUpTo(std::size_t value) const;
    std::size_t lastPointAtOrBefore(std::size_t pos) const;
    std::size_t blockEnd(std::size_t i, std::size_t textSize) const;
    // Points the edit's tail needs: blocks from `first` whose interior reaches past `from`.
    std::size_t firstTailBlock(std::size_t a, std::size_t b, std::size_t from) const;

    std::vector<LinePoint> m_points;
    std::vector<LinePoint> m_fresh;  // the points an edit makes, in room reserved beforehand
    // Edits shift every later point; the shift is kept here, applied to the points from
    // m_fold on when read, and folded in only as far as the next edit elsewhere needs, so that
    // typing in one place costs nothing per point.
    std::size_t m_fold = 0;
    LinePoint m_shift{0, 0};
    std::size_t m_breaks = 0;
};

}  // namespace byte_text_detail

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
        byte_text_detail::LineIndex m_index;
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
    void erase(std::size_t pos, std::size_t len) { replace(pos, len, {}); }

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

    std::string m_bytes;
    std::size_t m_gapStart = 0;
    std::size_t m_gapLen = 0;
    std::size_t m_capacity;
    byte_text_detail::LineIndex m_index;
};
