#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>

#include "core/byte_text.h"
#include "core/wrap_layout.h"

// A visual row: row `row` of line `line`.
struct RowPos {
    std::size_t line = 0;
    std::size_t row = 0;
    friend bool operator==(const RowPos&, const RowPos&) = default;
};

// The rows of the lines a view shows, laid out on demand, and the row at the top of the view.
// Only the lines looked at are laid out (a long line only as far as looked at, see
// wrap::LineWrap); the rest count as one row each until then, which makes the row count of the
// whole text an estimate that grows exact where the view has been. Positions are byte positions
// of the text; no position stands between a CR and its LF.
class RowLayout final {
public:
    explicit RowLayout(const ByteText& text);
    RowLayout(const RowLayout&) = delete;
    RowLayout& operator=(const RowLayout&) = delete;

    // New advances or a new width: everything is laid out anew, the top row's first byte stays
    // on the top row.
    void setGeometry(const wrap::Metrics& metrics, wrap::Fixed width);
    const wrap::Metrics& metrics() const { return m_metrics; }
    wrap::Fixed width() const { return m_width; }

    wrap::Row row(RowPos at);
    bool isLastRow(RowPos at, const wrap::Row& row) const;
    bool next(RowPos& at);
    bool previous(RowPos& at);
    // `from` moved by `rows` (down when positive), as far as the text goes.
    RowPos moved(RowPos from, long rows);
    // The row that shows the caret at `pos`.
    RowPos rowOf(std::size_t pos);
    // Rows from `from` down to `to`, or -1 when `to` is above `from` or more than `limit` below.
    long rowsBetween(RowPos from, RowPos to, long limit);

    std::size_t rowCount(std::size_t line);
    bool lineLaidOut(std::size_t line) const;
    bool isOneRow(std::size_t line);

    // The caret's x at `pos` in its row, in 1/64 pixel from the row's left edge.
    wrap::Fixed xOf(std::size_t pos);
    // The caret position nearest x on a row (see wrap::LineWrap::positionAt).
    std::size_t positionAt(RowPos at, wrap::Fixed x);
    // Where End takes the caret on a row.
    std::size_t endOf(RowPos at);
    // The text's first position on a row.
    std::size_t startOf(RowPos at);
    // Up and Down: the position nearest `goalX` `rows` rows below `pos` (above when negative).
    // Short of rows, the text's end or start; or, `keepColumn` (the page keys), the position
    // nearest goalX on the last or first row.
    std::size_t vertical(std::size_t pos, long rows, wrap::Fixed goalX, bool keepColumn = false);

    RowPos top() const { return m_top; }
    void setTop(RowPos top);
    // Whether `rows` rows from the top reach the text's last row.
    bool showsEnd(long rows);
    // The top that shows the text's last row as the last of `rows` rows.
    RowPos lastTop(long rows);

    // The scroll range in rows, estimated where lines are not laid out: the rows above `at`
    // (the value of that row), and all of them.
    struct Estimate {
        std::size_t above = 0;
        std::size_t total = 0;
    };
    Estimate estimate(RowPos at) const;
    RowPos rowAtValue(std::size_t value);

    // The text changed: [pos, pos + erased) of the lines from firstLine to lastLineBefore (line
    // numbers before the edit) became new bytes. Lines before keep their rows, and the first line
    // keeps its rows before pos; lines after keep theirs under their new numbers.
    void edited(std::size_t firstLine, std::size_t pos, std::size_t lastLineBefore,
                std::size_t lineCountBefore);
    // An undo or redo moved the text from `at` on (nothing: the whole text).
    void historyMoved(std::optional<std::size_t> at);
    // A new text: nothing laid out, the top at the start.
    void clear();
    // Forgets lines far from the top, except the line of `keepPos`, when many are laid out.
    void trim(std::size_t keepPos);

private:
    TextPieces lineBytes(std::size_t line) const;
    wrap::LineWrap& wrapOf(std::size_t line);
    // Rows a laid-out line counts for the scroll range: known, or estimated from its length.
    std::size_t estimatedRows(std::size_t line, const wrap::LineWrap& w) const;
    // The top row made a real row of its line again after the line changed.
    void settleTop();

    const ByteText& m_text;
    wrap::Metrics m_metrics;
    wrap::Fixed m_width = 1;
    // Wraps of the lines laid out lately, by line number; each refers to m_metrics.
    std::map<std::size_t, std::unique_ptr<wrap::LineWrap>> m_wraps;
    RowPos m_top;
};
