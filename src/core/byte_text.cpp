#include "core/byte_text.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <functional>
#include <utility>


ByteText::ByteText(std::size_t capacity) : m_capacity(capacity)
{
}

char ByteText::at(std::size_t pos) const
{
    return pos < m_gapStart ? m_bytes[pos] : m_bytes[pos + m_gapLen];
}

TextPieces ByteText::pieces(std::size_t pos, std::size_t len) const
{
    const std::size_t n = size();
    pos = std::min(pos, n);
    len = std::min(len, n - pos);
    const char* data = m_bytes.data();
    if (pos + len <= m_gapStart)
        return {{data + pos, len}, {}};
    if (pos >= m_gapStart)
        return {{data + pos + m_gapLen, len}, {}};
    const std::size_t before = m_gapStart - pos;
    return {{data + pos, before}, {data + m_gapStart + m_gapLen, len - before}};
}

std::string ByteText::bytes(std::size_t pos, std::size_t len) const
{
    return pieces(pos, len).copy();
}

std::string_view ByteText::text()
{
    // The gap goes to the nearer end of the text: the fewer bytes move.
    if (m_gapStart < size() - m_gapStart)
        moveGap(0);
    else
        closeGap();
    return {m_bytes.data() + (m_gapStart == 0 ? m_gapLen : 0), size()};
}

void ByteText::moveGap(std::size_t pos) noexcept
{
    assert(pos <= size() && m_gapStart + m_gapLen <= m_bytes.size());
    char* data = m_bytes.data();
    if (pos < m_gapStart)
        std::memmove(data + pos + m_gapLen, data + pos, m_gapStart - pos);
    else if (pos > m_gapStart)
        std::memmove(data + m_gapStart, data + m_gapStart + m_gapLen, pos - m_gapStart);
    m_gapStart = pos;
}

void ByteText::closeGap() noexcept
{
    moveGap(size());
}

bool ByteText::makeWhole(std::string&& bytes, Whole& out) const
{
    if (bytes.size() > m_capacity)
        return false;
    LineIndex index(TextPieces{bytes, {}});
    out.m_index = std::move(index);
    out.m_bytes = std::move(bytes);
    return true;
}

void ByteText::swapWhole(Whole& whole) noexcept
{
    closeGap();
    m_bytes.resize(size());  // shrinking keeps the allocation: nothing can fail
    std::swap(m_bytes, whole.m_bytes);
    std::swap(m_index, whole.m_index);
    m_gapStart = m_bytes.size();
    m_gapLen = 0;
}

std::string ByteText::release()
{
    closeGap();
    m_bytes.resize(size());  // shrinking keeps the allocation: nothing can fail
    std::string out = std::move(m_bytes);
    m_bytes.clear();
    m_gapStart = m_gapLen = 0;
    m_index = LineIndex();
    return out;
}

bool ByteText::setText(std::string&& bytes)
{
    Whole whole;
    if (!makeWhole(std::move(bytes), whole))
        return false;
    swapWhole(whole);
    return true;
}

bool ByteText::replace(std::size_t pos, std::size_t len, std::string_view with)
{
    const std::size_t n = size();
    pos = std::min(pos, n);
    len = std::min(len, n - pos);
    if (with.size() > m_capacity || n - len > m_capacity - with.size())
        return false;
    // Bytes of the text itself would move under our feet.
    std::string own;
    const std::less<const char*> before;
    if (!with.empty() && !before(with.data(), m_bytes.data()) &&
        before(with.data(), m_bytes.data() + m_bytes.size())) {
        own.assign(with);
        with = own;
    }
    // Everything that can fail comes before the first change.
    m_index.reserve(m_index.pointsAfterEditBound(pos, len, with.size()));
    moveGap(pos);
    if (m_gapLen + len < with.size()) {
        const std::size_t grow = with.size() - len - m_gapLen + std::max<std::size_t>(4096, n / 64);
        const std::size_t tailFrom = m_gapStart + m_gapLen;
        const std::size_t tail = m_bytes.size() - tailFrom;
        if (m_bytes.capacity() >= m_bytes.size() + grow) {
            // The room the buffer came with (a document is read with some): no reallocation.
            m_bytes.resize(m_bytes.size() + grow);
            char* data = m_bytes.data();
            std::memmove(data + tailFrom + grow, data + tailFrom, tail);
        } else {
            // A new buffer of exactly the size needed, each part copied once to its place:
            // resize() would copy the whole text and then move its tail, and could double the
            // allocation.
            std::string bigger;
            bigger.reserve(m_bytes.size() + grow);
            bigger.append(m_bytes, 0, tailFrom).append(grow, '\0').append(m_bytes, tailFrom, tail);
            m_bytes.swap(bigger);
        }
        m_gapLen += grow;
    }
    m_gapLen += len;
    if (!with.empty())  // an erase may pass no data at all, and memcpy takes no null
        std::memcpy(m_bytes.data() + m_gapStart, with.data(), with.size());
    m_gapStart += with.size();
    m_gapLen -= with.size();
    m_index.update(pieces(), pos, len, with.size());
    assert(size() <= m_capacity);
    return true;
}

std::size_t ByteText::lineStart(std::size_t line) const
{
    return m_index.lineStart(pieces(), line);
}

std::size_t ByteText::lineEnd(std::size_t line) const
{
    if (line + 1 >= lineCount())
        return size();
    return lineStart(line + 1) - 2;
}

std::size_t ByteText::lineOf(std::size_t pos) const
{
    return m_index.lineOf(pieces(), pos);
}
