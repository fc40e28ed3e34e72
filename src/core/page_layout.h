#pragma once

#include <cstddef>
#include <vector>

#include "core/byte_text.h"
#include "core/row_layout.h"
#include "core/wrap_layout.h"

// The text cut into pages of a fixed number of rows, each row laid out by the editing area's
// wrap rule at the page's width. The pages are counted a piece of the text at a time, so that a
// long text is counted between other work; only where each page starts is kept, and a page's
// rows are laid out again (by a RowLayout) when it is drawn. The text must stay the same while
// its pages are counted and drawn.
class PageCount final {
public:
    PageCount(const ByteText& text, const wrap::Metrics& metrics, wrap::Fixed width,
              std::size_t rowsPerPage);

    // Lays out the rows of about the next `bytes` bytes of the text (one row at least). True once
    // the whole text is counted.
    bool countOn(std::size_t bytes);
    bool done() const { return m_done; }
    // The pages found so far; all of them once done(). An empty text is one empty page.
    std::size_t pages() const { return m_starts.size(); }
    // The first row of a page found so far.
    RowPos pageStart(std::size_t page) const { return m_starts.at(page); }
    std::size_t rowsPerPage() const { return m_rowsPerPage; }
    // The bytes counted so far.
    std::size_t bytesCounted() const { return m_lineStart + m_rowStart; }

private:
    const ByteText& m_text;
    wrap::Metrics m_metrics;
    wrap::Fixed m_width;
    std::size_t m_rowsPerPage;
    std::vector<RowPos> m_starts{RowPos{}};
    // Where the count stands: the row `m_row` of line `m_line`, which starts `m_rowStart` bytes
    // into the line at m_lineStart; m_lineEnd is where its CR LF starts (or the text's end).
    std::size_t m_line = 0;
    std::size_t m_lineStart = 0;
    std::size_t m_lineEnd = 0;
    std::size_t m_row = 0;
    std::size_t m_rowStart = 0;
    std::size_t m_rowsOnPage = 0;
    bool m_done = false;
};

// Where the first CR LF at or after `from` starts in `text`, or text.size().
std::size_t LineBreakFrom(const TextPieces& text, std::size_t from);
