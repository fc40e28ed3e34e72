#include "core/page_layout.h"

#include <algorithm>
#include <cstring>

std::size_t LineBreakFrom(const TextPieces& text, std::size_t from)
{
    while (from < text.size()) {
        // The next CR: in the first piece, else in the second.
        std::size_t cr = text.size();
        if (from < text.first.size()) {
            const void* hit = std::memchr(text.first.data() + from, '\r', text.first.size() - from);
            if (hit)
                cr = static_cast<std::size_t>(static_cast<const char*>(hit) - text.first.data());
        }
        if (cr == text.size()) {
            const std::size_t in = std::max(from, text.first.size()) - text.first.size();
            const void* hit = in < text.second.size()
                                  ? std::memchr(text.second.data() + in, '\r', text.second.size() - in)
                                  : nullptr;
            if (!hit)
                return text.size();
            cr = text.first.size() +
                 static_cast<std::size_t>(static_cast<const char*>(hit) - text.second.data());
        }
        if (cr + 1 < text.size() && text[cr + 1] == '\n')
            return cr;
        from = cr + 1;
    }
    return text.size();
}

PageCount::PageCount(const ByteText& text, const wrap::Metrics& metrics, wrap::Fixed width,
                     std::size_t rowsPerPage)
    : m_text(text), m_metrics(metrics), m_width(width), m_rowsPerPage(std::max<std::size_t>(1, rowsPerPage))
{
    m_lineEnd = LineBreakFrom(m_text.pieces(), 0);
}

bool PageCount::countOn(std::size_t bytes)
{
    const TextPieces all = m_text.pieces();
    const std::size_t stop = bytesCounted() + bytes;
    while (!m_done) {
        if (m_rowsOnPage == m_rowsPerPage) {
            m_starts.push_back({m_line, m_row});
            m_rowsOnPage = 0;
        }
        const TextPieces line = all.sub(m_lineStart, m_lineEnd - m_lineStart);
        const wrap::Row row = wrap::LayRow(m_metrics, m_width, line, m_rowStart);
        ++m_rowsOnPage;
        if (row.end < line.size()) {
            ++m_row;
            m_rowStart = row.end;
        } else if (m_lineEnd == all.size()) {
            m_done = true;
            m_rowStart = line.size();
        } else {
            ++m_line;
            m_row = 0;
            m_rowStart = 0;
            m_lineStart = m_lineEnd + 2;
            m_lineEnd = LineBreakFrom(all, m_lineStart);
        }
        if (bytesCounted() >= stop)
            break;
    }
    return m_done;
}
