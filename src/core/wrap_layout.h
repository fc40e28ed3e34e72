#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/text_pieces.h"

// Word wrap of one line of 8-bit text (the bytes between two CR LF). Each byte is one character
// with one advance, so a row is laid out by adding widths from a table; no shaping is needed.
//
// The rule: a row ends at the last place where it may break (after a run of blanks before a word,
// after a hyphen or a slash before a letter: word_table::MayBreakBetween) before the first
// character that would pass the width; blanks themselves hang past the edge and never wrap. A row
// with no such place ends before that character (at least one character a row, however narrow
// the width).
namespace wrap {

// Widths in 1/64 pixel, as the font engine measures them; wide enough for a row of hanging
// blanks hundreds of megabytes long.
using Fixed = std::int64_t;

struct Metrics {
    // The advance of each byte as drawn: NUL, lone CR and lone LF as their visible stand-ins.
    // The tab's own entry is not used.
    std::array<Fixed, 256> advance{};
    // How far each byte's ink reaches past its advance: a row's last character must fit with it.
    std::array<Fixed, 256> overhang{};
    // A tab reaches the next multiple of tabStop from the row's left edge.
    Fixed tabStop = 80 * 64;
};

Fixed Advance(const Metrics& metrics, unsigned char byte, Fixed x);

// A row: the line's bytes [start, end). The choice of `end` looked at the bytes before
// `examined` and no further, so an edit at or after `examined` leaves it as it is.
struct Row {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t examined = 0;
};

// The row of `line` that starts at offset `start`. Widths below 1 count as 1.
Row LayRow(const Metrics& metrics, Fixed width, const TextPieces& line, std::size_t start);

// The rows of one line, laid out only as far as asked: a row is laid out from the nearest known
// row start before it, kept every kRowsPerPoint rows. So a line of hundreds of megabytes costs
// what has been shown of it, and an edit keeps every row start before it.
class LineWrap final {
public:
    static constexpr std::size_t kRowsPerPoint = 64;

    LineWrap(const Metrics& metrics, Fixed width);

    // The line changed at `pos` (and perhaps after it).
    void edited(std::size_t pos);

    // Row `index`; past the last row, the last row.
    Row row(const TextPieces& line, std::size_t index);
    // The row that shows the caret at `pos`: a position where a row ends starts the next row,
    // except at the end of the line.
    std::size_t rowOf(const TextPieces& line, std::size_t pos);
    // Lays out the whole line.
    std::size_t rowCount(const TextPieces& line);
    // Whether the whole line has been laid out since the last edit.
    bool rowCountKnown() const { return m_rowCount != 0; }
    // The rows known to be there without laying out more: all of them once counted, else the
    // rows laid out so far (and the line has more).
    std::size_t rowsAtLeast() const;

    // The caret's x at `pos` within its row.
    Fixed xOf(const TextPieces& line, std::size_t pos);
    // The caret position nearest x on row `index`. Past the end of a row that is not the last,
    // the position before the row's last byte, so that the caret stays on that row.
    std::size_t positionAt(const TextPieces& line, std::size_t index, Fixed x);
    // Where End takes the caret on row `index`: the row's end, or before its last byte when that
    // is a blank the row broke after.
    std::size_t endOf(const TextPieces& line, std::size_t index);

private:
    // The start of row point * kRowsPerPoint, and where the rows before it stopped looking.
    struct Point {
        std::size_t start;
        std::size_t guard;
    };

    // Lays out rows from point `from` on until `stop(index, row)` or the line's last row, keeping
    // the points it passes; the index of the row it stopped at.
    template <typename Stop>
    std::size_t walk(const TextPieces& line, std::size_t from, Stop stop, Row& found);
    std::size_t lastPointByStart(std::size_t pos) const;

    const Metrics& m_metrics;
    Fixed m_width;
    // The known row starts: rows 0, kRowsPerPoint, 2 * kRowsPerPoint, ..., without a hole.
    std::vector<Point> m_points{{0, 0}};
    std::size_t m_rowCount = 0;  // 0 until the whole line has been laid out
    std::size_t m_rowsSeen = 1;  // rows laid out since the last edit
};

}  // namespace wrap
