#include "core/wrap_layout.h"

#include <algorithm>
#include <cassert>

#include "core/word_table.h"

namespace wrap {
namespace {

bool IsBlank(unsigned char byte)
{
    return byte == ' ' || byte == '\t';
}

}  // namespace

Fixed Advance(const Metrics& metrics, unsigned char byte, Fixed x)
{
    if (byte != '\t')
        return metrics.advance[byte];
    const Fixed stop = std::max<Fixed>(metrics.tabStop, 1);
    return (x / stop + 1) * stop - x;
}

Row LayRow(const Metrics& metrics, Fixed width, const TextPieces& line, std::size_t start)
{
    width = std::max<Fixed>(width, 1);
    const std::size_t n = line.size();
    Fixed x = 0;
    // The last place after `start` where the row may end, or `start`.
    std::size_t breakAt = start;
    unsigned char previous = 0;
    for (std::size_t i = start; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (i > start && word_table::MayBreakBetween(previous, byte))
            breakAt = i;
        previous = byte;
        if (IsBlank(byte)) {
            x += Advance(metrics, byte, x);
            continue;
        }
        const Fixed w = metrics.advance[byte];
        if (x + w + metrics.overhang[byte] > width && i > start)
            return {start, breakAt > start ? breakAt : i, i + 1};
        x += w;
    }
    return {start, n, n};
}

LineWrap::LineWrap(const Metrics& metrics, Fixed width) : m_metrics(metrics), m_width(width)
{
}

void LineWrap::edited(std::size_t pos)
{
    // A row start stays while every byte that decided it lies before the edit.
    while (m_points.size() > 1 && m_points.back().guard > pos)
        m_points.pop_back();
    m_rowCount = 0;
    m_rowsSeen = (m_points.size() - 1) * kRowsPerPoint + 1;
}

template <typename Stop>
std::size_t LineWrap::walk(const TextPieces& line, std::size_t from, Stop stop, Row& found)
{
    assert(from < m_points.size());
    std::size_t index = from * kRowsPerPoint;
    std::size_t start = m_points[from].start;
    for (;;) {
        const Row row = LayRow(m_metrics, m_width, line, start);
        m_rowsSeen = std::max(m_rowsSeen, index + 1);
        if (row.end >= line.size()) {
            m_rowCount = index + 1;
            found = row;
            return index;
        }
        if (stop(index, row)) {
            found = row;
            return index;
        }
        ++index;
        start = row.end;
        if (index % kRowsPerPoint == 0 && index / kRowsPerPoint == m_points.size())
            m_points.push_back({start, row.examined});
    }
}

std::size_t LineWrap::lastPointByStart(std::size_t pos) const
{
    const auto after =
        std::upper_bound(m_points.begin(), m_points.end(), pos,
                         [](std::size_t p, const Point& pt) { return p < pt.start; });
    return static_cast<std::size_t>(after - m_points.begin()) - 1;
}

Row LineWrap::row(const TextPieces& line, std::size_t index)
{
    Row found;
    const std::size_t from = std::min(index / kRowsPerPoint, m_points.size() - 1);
    walk(
        line, from, [index](std::size_t i, const Row&) { return i == index; }, found);
    return found;
}

std::size_t LineWrap::rowOf(const TextPieces& line, std::size_t pos)
{
    Row found;
    return walk(
        line, lastPointByStart(pos), [pos](std::size_t, const Row& row) { return pos < row.end; },
        found);
}

std::size_t LineWrap::rowCount(const TextPieces& line)
{
    if (m_rowCount == 0) {
        Row found;
        walk(
            line, m_points.size() - 1, [](std::size_t, const Row&) { return false; }, found);
    }
    return m_rowCount;
}

Fixed LineWrap::xOf(const TextPieces& line, std::size_t pos)
{
    pos = std::min(pos, line.size());
    Row found;
    walk(
        line, lastPointByStart(pos), [pos](std::size_t, const Row& row) { return pos < row.end; },
        found);
    Fixed x = 0;
    for (std::size_t i = found.start; i < pos; ++i)
        x += Advance(m_metrics, static_cast<unsigned char>(line[i]), x);
    return x;
}

std::size_t LineWrap::endOf(const TextPieces& line, std::size_t index)
{
    const Row found = row(line, index);
    if (found.end >= line.size() || found.end == found.start)
        return found.end;
    // A row that ends in a blank keeps the caret before it, on the row.
    const auto last = static_cast<std::uint8_t>(line[found.end - 1]);
    return word_table::ClassOf(last) == word_table::WordClass::Blank ? found.end - 1 : found.end;
}

std::size_t LineWrap::rowsAtLeast() const
{
    return m_rowCount != 0 ? m_rowCount : m_rowsSeen;
}

std::size_t LineWrap::positionAt(const TextPieces& line, std::size_t index, Fixed x)
{
    const Row found = row(line, index);
    Fixed left = 0;
    for (std::size_t i = found.start; i < found.end; ++i) {
        const Fixed w = Advance(m_metrics, static_cast<unsigned char>(line[i]), left);
        if (2 * x < 2 * left + w)
            return i;
        left += w;
    }
    const bool last = found.end >= line.size();
    return last || found.end == found.start ? found.end : found.end - 1;
}

}  // namespace wrap
