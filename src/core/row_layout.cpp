#include "core/row_layout.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <limits>

namespace {

// Beyond this many wraps kept, those far from the view are dropped.
constexpr std::size_t kKeptWraps = 4096;

}  // namespace

RowLayout::RowLayout(const ByteText& text) : m_text(text) {}

void RowLayout::setGeometry(const wrap::Metrics& metrics, wrap::Fixed width)
{
    const std::size_t topByte = startOf(m_top);
    m_wraps.clear();
    m_metrics = metrics;
    m_width = std::max<wrap::Fixed>(1, width);
    m_top = rowOf(topByte);
}

TextPieces RowLayout::lineBytes(std::size_t line) const
{
    const std::size_t start = m_text.lineStart(line);
    return m_text.pieces(start, m_text.lineEnd(line) - start);
}

wrap::LineWrap& RowLayout::wrapOf(std::size_t line)
{
    assert(line < m_text.lineCount());
    auto& slot = m_wraps[line];
    if (!slot)
        slot = std::make_unique<wrap::LineWrap>(m_metrics, m_width);
    return *slot;
}

wrap::Row RowLayout::row(RowPos at)
{
    return wrapOf(at.line).row(lineBytes(at.line), at.row);
}

bool RowLayout::isLastRow(RowPos at, const wrap::Row& row) const
{
    return row.end >= m_text.lineEnd(at.line) - m_text.lineStart(at.line);
}

bool RowLayout::next(RowPos& at)
{
    if (!isLastRow(at, row(at))) {
        ++at.row;
        return true;
    }
    if (at.line + 1 >= m_text.lineCount())
        return false;
    at = {at.line + 1, 0};
    return true;
}

bool RowLayout::previous(RowPos& at)
{
    if (at.row > 0) {
        --at.row;
        return true;
    }
    if (at.line == 0)
        return false;
    --at.line;
    // The last row of a line above: only that line is laid out, never more.
    at.row = rowCount(at.line) - 1;
    return true;
}

RowPos RowLayout::moved(RowPos from, long rows)
{
    for (long n = 0; n < std::labs(rows) && (rows > 0 ? next(from) : previous(from)); ++n) {
    }
    return from;
}

RowPos RowLayout::rowOf(std::size_t pos)
{
    const std::size_t line = m_text.lineOf(pos);
    return {line, wrapOf(line).rowOf(lineBytes(line), pos - m_text.lineStart(line))};
}

long RowLayout::rowsBetween(RowPos from, RowPos to, long limit)
{
    if (to.line < from.line || (to.line == from.line && to.row < from.row))
        return -1;
    for (long n = 0; n <= limit; ++n) {
        if (from == to)
            return n;
        if (!next(from))
            return -1;
    }
    return -1;
}

std::size_t RowLayout::rowCount(std::size_t line)
{
    return wrapOf(line).rowCount(lineBytes(line));
}

bool RowLayout::lineLaidOut(std::size_t line) const
{
    const auto it = m_wraps.find(line);
    return it != m_wraps.end() && it->second->rowCountKnown();
}

bool RowLayout::isOneRow(std::size_t line)
{
    const TextPieces bytes = lineBytes(line);
    return wrapOf(line).row(bytes, 0).end >= bytes.size();
}

wrap::Fixed RowLayout::xOf(std::size_t pos)
{
    const std::size_t line = m_text.lineOf(pos);
    return wrapOf(line).xOf(lineBytes(line), pos - m_text.lineStart(line));
}

std::size_t RowLayout::positionAt(RowPos at, wrap::Fixed x)
{
    return m_text.lineStart(at.line) + wrapOf(at.line).positionAt(lineBytes(at.line), at.row, x);
}

std::size_t RowLayout::endOf(RowPos at)
{
    return m_text.lineStart(at.line) + wrapOf(at.line).endOf(lineBytes(at.line), at.row);
}

std::size_t RowLayout::startOf(RowPos at)
{
    if (m_wraps.empty() && at.row == 0)
        return m_text.lineStart(at.line);
    return m_text.lineStart(at.line) + row(at).start;
}

std::size_t RowLayout::vertical(std::size_t pos, long rows, wrap::Fixed goalX, bool keepColumn)
{
    RowPos at = rowOf(pos);
    bool moved = true;
    for (long n = 0; n < std::labs(rows) && moved; ++n)
        moved = rows > 0 ? next(at) : previous(at);
    if (!moved && !keepColumn)
        return rows > 0 ? m_text.size() : 0;
    return positionAt(at, goalX);
}

void RowLayout::setTop(RowPos top)
{
    assert(top.line < m_text.lineCount());
    m_top = top;
}

bool RowLayout::showsEnd(long rows)
{
    // Every line is a row at least: more lines than rows below the top cannot all show.
    if (m_text.lineCount() - m_top.line > static_cast<std::size_t>(std::max(0L, rows)))
        return false;
    RowPos at = m_top;
    for (long n = 1; n < rows; ++n)
        if (!next(at))
            return true;
    return !next(at);
}

RowPos RowLayout::lastTop(long rows)
{
    RowPos at{m_text.lineCount() - 1, 0};
    at.row = rowCount(at.line) - 1;
    return moved(at, 1 - std::max(1L, rows));
}

// A line laid out counts its rows; one being laid out counts what its length promises at the
// mean advance, and at least one row more than those laid out; every other line counts one, as a
// line of prose does. So the range is exact for short lines and refines as long ones are shown,
// and finding the rows above the view costs only the lines laid out, never a pass over the text.
std::size_t RowLayout::estimatedRows(std::size_t line, const wrap::LineWrap& w) const
{
    if (w.rowCountKnown())
        return w.rowsAtLeast();
    const wrap::Fixed mean = std::max<wrap::Fixed>(1, m_metrics.advance['x']);
    const auto length = static_cast<wrap::Fixed>(m_text.lineEnd(line) - m_text.lineStart(line));
    const auto promised = static_cast<std::size_t>(length * mean / m_width);
    return std::max({std::size_t{2}, promised + 1, w.rowsAtLeast() + 1});
}

RowLayout::Estimate RowLayout::estimate(RowPos at) const
{
    Estimate e{at.line + at.row, m_text.lineCount()};
    for (const auto& [line, w] : m_wraps) {
        const std::size_t extra = estimatedRows(line, *w) - 1;
        e.total += extra;
        if (line < at.line)
            e.above += extra;
    }
    return e;
}

RowPos RowLayout::rowAtValue(std::size_t value)
{
    std::size_t v = value;
    std::size_t line = 0;
    for (auto it = m_wraps.begin(); it != m_wraps.end(); ++it) {
        if (v < it->first - line)
            break;
        v -= it->first - line;
        line = it->first;
        const std::size_t rows = estimatedRows(line, *it->second);
        if (v < rows) {
            const TextPieces bytes = lineBytes(line);
            wrap::LineWrap& w = *it->second;
            // Past the rows the estimate promised: the line's last row.
            return {line, w.rowOf(bytes, w.row(bytes, v).start)};
        }
        v -= rows;
        ++line;
    }
    return {std::min(line + v, m_text.lineCount() - 1), 0};
}

void RowLayout::edited(std::size_t firstLine, std::size_t pos, std::size_t lastLineBefore,
                       std::size_t lineCountBefore)
{
    assert(firstLine <= lastLineBefore && lastLineBefore < lineCountBefore);
    const std::size_t firstStart = m_text.lineStart(firstLine);
    if (auto it = m_wraps.find(firstLine); it != m_wraps.end())
        it->second->edited(pos > firstStart ? pos - 1 - firstStart : 0);
    const std::size_t lineCount = m_text.lineCount();
    std::map<std::size_t, std::unique_ptr<wrap::LineWrap>> kept;
    for (auto& [line, wrapPtr] : m_wraps) {
        if (line <= firstLine)
            kept.emplace(line, std::move(wrapPtr));
        else if (line > lastLineBefore)
            kept.emplace(line + lineCount - lineCountBefore, std::move(wrapPtr));
    }
    m_wraps = std::move(kept);
    if (m_top.line > lastLineBefore)
        m_top.line += lineCount - lineCountBefore;
    else if (m_top.line > firstLine)
        m_top = {firstLine, 0};
    settleTop();
}

void RowLayout::historyMoved(std::optional<std::size_t> at)
{
    // The lines before the step's place kept their rows, and so did the line it starts in, up
    // to it (a long line is not laid out again from its start); the rest is laid out anew as
    // shown. After a whole-text step, everything is.
    const std::size_t firstLine = at ? m_text.lineOf(*at > 0 ? *at - 1 : 0) : 0;
    if (!at) {
        m_wraps.clear();
    } else {
        m_wraps.erase(m_wraps.upper_bound(firstLine), m_wraps.end());
        if (auto it = m_wraps.find(firstLine); it != m_wraps.end()) {
            const std::size_t start = m_text.lineStart(firstLine);
            it->second->edited(*at > start ? *at - 1 - start : 0);
        }
    }
    if (!at || m_top.line > firstLine)
        m_top.row = 0;
    settleTop();
}

void RowLayout::settleTop()
{
    m_top.line = std::min(m_top.line, m_text.lineCount() - 1);
    const TextPieces bytes = lineBytes(m_top.line);
    wrap::LineWrap& w = wrapOf(m_top.line);
    m_top.row = w.rowOf(bytes, w.row(bytes, m_top.row).start);
}

void RowLayout::clear()
{
    m_wraps.clear();
    m_top = {};
}

void RowLayout::trim(std::size_t keepPos)
{
    if (m_wraps.size() <= kKeptWraps)
        return;
    const std::size_t keepLine = m_text.lineOf(keepPos);
    const std::size_t from = m_top.line > kKeptWraps / 4 ? m_top.line - kKeptWraps / 4 : 0;
    const std::size_t to = m_top.line + kKeptWraps / 2;
    for (auto it = m_wraps.begin(); it != m_wraps.end();) {
        if ((it->first < from || it->first > to) && it->first != keepLine)
            it = m_wraps.erase(it);
        else
            ++it;
    }
}
