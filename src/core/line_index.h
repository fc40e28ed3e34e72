#pragma once

#include <cstddef>
#include <vector>

#include "core/text_pieces.h"

// A known line start and its line number.
struct LinePoint {
    std::size_t pos;
    std::size_t line;
};

// Where the lines of a text start; a line break is exactly the pair CR LF. Not every line start
// is kept: a point is kept at the first line start at least kSpan bytes after the previous point,
// so a text of dense short lines costs about one point per kSpan bytes, and a line start between
// points is found by scanning at most kSpan bytes. Long lines get a point each.
class LineIndex final {
public:
    static constexpr std::size_t kSpan = 1024;

    LineIndex();
    // Built by one pass over the whole text.
    explicit LineIndex(const TextPieces& text);

    std::size_t breaks() const { return m_breaks; }
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

    // Point 0 is {0, 0}; the points grow strictly in both fields, each at a line start kSpan or
    // more bytes after the one before.
    std::vector<LinePoint> m_points;
    std::vector<LinePoint> m_fresh;  // the points an edit makes, in room reserved beforehand
    // Edits shift every later point; the shift is kept here, applied to the points from
    // m_fold on when read, and folded in only as far as the next edit elsewhere needs, so that
    // typing in one place costs nothing per point.
    std::size_t m_fold = 0;
    LinePoint m_shift{0, 0};
    std::size_t m_breaks = 0;
};
