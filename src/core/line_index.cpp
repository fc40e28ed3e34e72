#include "core/line_index.h"

#include <algorithm>
#include <cassert>

#if defined(__x86_64__) && defined(__GNUC__)
// The line scan takes 32 bytes a step where the processor has AVX2, checked when running.
#define PLIMO_BREAKS_WITH_AVX2 1
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Where the n-th set bit (from 0) of a mask with more than n set bits is.
inline std::size_t NthBit(unsigned mask, std::size_t n)
{
    for (; n > 0; --n)
        mask &= mask - 1;
    return static_cast<std::size_t>(__builtin_ctz(mask));
}

#if defined(__SSE2__)
// Bit b set where a CR LF starts at p[b], for the 16 bytes from p (reads p[16] too).
inline unsigned BreakMask16(const char* p)
{
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
        _mm_cmpeq_epi8(here, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(next, _mm_set1_epi8('\n')))));
}
#endif

#if defined(PLIMO_BREAKS_WITH_AVX2)

// 0xFF in each of the 32 bytes from p where a CR LF starts (reads p[32] too).
__attribute__((target("avx2"))) inline __m256i BreaksAt32(const char* p)
{
    const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
    return _mm256_and_si256(_mm256_cmpeq_epi8(here, _mm256_set1_epi8('\r')),
                            _mm256_cmpeq_epi8(next, _mm256_set1_epi8('\n')));
}

// 32 bytes a step, the per-byte counts summed only every 255 steps.
__attribute__((target("avx2"))) std::size_t CountAvx2(const char* p, std::size_t& i, std::size_t hi)
{
    std::size_t count = 0;
    while (i + 32 <= hi) {
        __m256i perByte = _mm256_setzero_si256();
        const std::size_t steps = std::min<std::size_t>((hi - i) / 32, 255);
        for (std::size_t s = 0; s < steps; ++s, i += 32)
            perByte = _mm256_sub_epi8(perByte, BreaksAt32(p + i));
        const __m256i sums = _mm256_sad_epu8(perByte, _mm256_setzero_si256());
        count +=
            static_cast<std::size_t>(_mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) +
                                     _mm256_extract_epi64(sums, 2) + _mm256_extract_epi64(sums, 3));
    }
    return count;
}

// The k-th break (from 0) at or after i, 32 bytes a step; kNone with i left where the steps
// stopped and `count` the breaks passed. Every AVX2 processor counts bits in one instruction,
// where the SSE2 build would call a library routine for each 16 bytes.
__attribute__((target("avx2,popcnt"))) std::size_t FindNthAvx2(const char* p, std::size_t& i,
                                                               std::size_t hi, std::size_t k,
                                                               std::size_t& count)
{
    for (; i + 32 <= hi; i += 32) {
        const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(BreaksAt32(p + i)));
        const auto found = static_cast<std::size_t>(__builtin_popcount(mask));
        if (count + found > k)
            return i + NthBit(mask, k - count);
        count += found;
    }
    return kNone;
}

const bool kHasAvx2 = __builtin_cpu_supports("avx2");
#endif

// Breaks (CR at q, LF at q + 1) with q in [lo, hi) of one contiguous piece; hi < s.size().
std::size_t CountIn(std::string_view s, std::size_t lo, std::size_t hi)
{
    std::size_t count = 0;
    const char* p = s.data();
    std::size_t i = lo;
#if defined(PLIMO_BREAKS_WITH_AVX2)
    if (kHasAvx2)
        count += CountAvx2(p, i, hi);
#endif
#if defined(__SSE2__)
    for (; i + 16 <= hi; i += 16)
        count += static_cast<std::size_t>(__builtin_popcount(BreakMask16(p + i)));
#endif
    for (; i < hi; ++i)
        count += (p[i] == '\r') & (p[i + 1] == '\n');
    return count;
}

// The k-th break (from 0) with q in [lo, hi) of one piece, or kNone having counted `*seen`
// breaks there; hi < s.size().
std::size_t FindNthIn(std::string_view s, std::size_t lo, std::size_t hi, std::size_t k,
                      std::size_t* seen)
{
    const char* p = s.data();
    std::size_t count = 0;
    std::size_t i = lo;
#if defined(PLIMO_BREAKS_WITH_AVX2)
    if (kHasAvx2) {
        const std::size_t q = FindNthAvx2(p, i, hi, k, count);
        if (q != kNone)
            return q;
    }
#endif
#if defined(__SSE2__)
    for (; i + 16 <= hi; i += 16) {
        const unsigned mask = BreakMask16(p + i);
        const auto found = static_cast<std::size_t>(__builtin_popcount(mask));
        if (count + found > k)
            return i + NthBit(mask, k - count);
        count += found;
    }
#endif
    for (; i < hi; ++i)
        if (p[i] == '\r' && p[i + 1] == '\n' && count++ == k)
            return i;
    *seen = count;
    return kNone;
}

// The breaks with q in [from, to) of the whole text, whose pieces meet at the gap.
std::size_t CountBreaks(const TextPieces& t, std::size_t from, std::size_t to)
{
    if (t.size() < 2)
        return 0;
    to = std::min(to, t.size() - 1);
    if (from >= to)
        return 0;
    const std::size_t n1 = t.first.size();
    std::size_t count = 0;
    if (from + 1 < n1)
        count += CountIn(t.first, from, std::min(to, n1 - 1));
    if (n1 > 0 && from <= n1 - 1 && n1 - 1 < to)
        count += t.first.back() == '\r' && t.second.front() == '\n';
    if (to > n1)
        count += CountIn(t.second, std::max(from, n1) - n1, to - n1);
    return count;
}

// The k-th break (from 0) with q in [from, to) of the whole text, or kNone.
std::size_t FindNthBreak(const TextPieces& t, std::size_t from, std::size_t to, std::size_t k)
{
    if (t.size() < 2)
        return kNone;
    to = std::min(to, t.size() - 1);
    if (from >= to)
        return kNone;
    const std::size_t n1 = t.first.size();
    std::size_t seen = 0;
    if (from + 1 < n1) {
        const std::size_t q = FindNthIn(t.first, from, std::min(to, n1 - 1), k, &seen);
        if (q != kNone)
            return q;
        k -= seen;
    }
    if (n1 > 0 && from <= n1 - 1 && n1 - 1 < to && t.first.back() == '\r' &&
        t.second.front() == '\n') {
        if (k == 0)
            return n1 - 1;
        --k;
    }
    if (to > n1) {
        const std::size_t q = FindNthIn(t.second, std::max(from, n1) - n1, to - n1, k, &seen);
        if (q != kNone)
            return q + n1;
    }
    return kNone;
}

std::size_t FindBreak(const TextPieces& t, std::size_t from, std::size_t to)
{
    return FindNthBreak(t, from, to, 0);
}

// Lays points over breaks met in order: one at the first line start kSpan or more bytes after
// the last point. The line start `stopAt` already has its point.
class PointBuilder final {
public:
    PointBuilder(std::vector<LinePoint>& out, LinePoint start, std::size_t stopAt)
        : m_out(out), m_last(start.pos), m_line(start.line), m_stopAt(stopAt)
    {
    }

    // Takes in the breaks at q in [from, to).
    void scan(const TextPieces& t, std::size_t from, std::size_t to)
    {
        while (from < to) {
            // Breaks before q0 cannot start a point: count them without looking at each.
            const std::size_t q0 = m_last + LineIndex::kSpan - 2;
            if (q0 >= to) {
                m_line += CountBreaks(t, from, to);
                return;
            }
            if (q0 > from) {
                m_line += CountBreaks(t, from, q0);
                from = q0;
            }
            const std::size_t q = FindBreak(t, from, to);
            if (q == kNone)
                return;
            add(q);
            from = q + 1;
        }
    }

    void add(std::size_t q)
    {
        ++m_line;
        const std::size_t x = q + 2;
        if (x != m_stopAt && x - m_last >= LineIndex::kSpan) {
            m_out.push_back({x, m_line});
            m_last = x;
        }
    }

    std::size_t line() const { return m_line; }

private:
    std::vector<LinePoint>& m_out;
    std::size_t m_last;
    std::size_t m_line;
    std::size_t m_stopAt;
};

}  // namespace

LineIndex::LineIndex() : m_points{{0, 0}}, m_fold(1)
{
}

LineIndex::LineIndex(const TextPieces& text) : m_points{{0, 0}}
{
    PointBuilder build(m_points, {0, 0}, kNone);
    build.scan(text, 0, text.size());
    m_breaks = build.line();
    m_fold = m_points.size();
    m_points.shrink_to_fit();
}

LinePoint LineIndex::point(std::size_t i) const
{
    const LinePoint p = m_points[i];
    if (i < m_fold)
        return p;
    return {p.pos + m_shift.pos, p.line + m_shift.line};
}

void LineIndex::moveFold(std::size_t fold) noexcept
{
    for (std::size_t i = m_fold; i < fold; ++i) {
        m_points[i].pos += m_shift.pos;
        m_points[i].line += m_shift.line;
    }
    for (std::size_t i = fold; i < m_fold; ++i) {
        m_points[i].pos -= m_shift.pos;
        m_points[i].line -= m_shift.line;
    }
    m_fold = fold;
    if (m_fold == m_points.size())
        m_shift = {0, 0};
}

// The last point whose field is at most `value`; the points grow in both fields.
template <std::size_t LinePoint::*Field>
std::size_t LineIndex::lastPointUpTo(std::size_t value) const
{
    std::size_t lo = 0;
    std::size_t hi = m_points.size() - 1;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo + 1) / 2;
        if (point(mid).*Field <= value)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

std::size_t LineIndex::lastPointAtOrBefore(std::size_t pos) const
{
    return lastPointUpTo<&LinePoint::pos>(pos);
}

// Where block i ends: its next point, or (the last block) as if a break ended the text.
std::size_t LineIndex::blockEnd(std::size_t i, std::size_t textSize) const
{
    return i + 1 < m_points.size() ? point(i + 1).pos : textSize + 2;
}

std::size_t LineIndex::lineStart(const TextPieces& text, std::size_t line) const
{
    line = std::min(line, m_breaks);
    const std::size_t i = lastPointUpTo<&LinePoint::line>(line);
    const LinePoint p = point(i);
    if (line == p.line)
        return p.pos;
    const std::size_t end = std::min(p.pos + kSpan, blockEnd(i, text.size()) - 1);
    const std::size_t q = FindNthBreak(text, p.pos, end, line - p.line - 1);
    // The index agrees with the text: the line's break lies within the block.
    assert(q != kNone);
    return q == kNone ? p.pos : q + 2;
}

std::size_t LineIndex::lineOf(const TextPieces& text, std::size_t pos) const
{
    pos = std::min(pos, text.size());
    const LinePoint p = point(lastPointAtOrBefore(pos));
    if (pos < p.pos + 2)
        return p.line;
    // Between points, breaks lie in the first kSpan bytes of the block.
    return p.line + CountBreaks(text, p.pos, std::min(pos - 1, p.pos + kSpan));
}

std::size_t LineIndex::firstTailBlock(std::size_t a, std::size_t b, std::size_t from) const
{
    std::size_t j = b;
    while (j > a && point(j - 1).pos + kSpan > from)
        --j;
    return j;
}

std::size_t LineIndex::pointsAfterEditBound(std::size_t pos, std::size_t erased,
                                            std::size_t inserted) const
{
    const std::size_t a = lastPointAtOrBefore(pos);
    const std::size_t b = lastPointAtOrBefore(pos + erased + 1) + 1;
    const std::size_t tails = b - firstTailBlock(a, b, pos + erased + 1);
    // Points stand kSpan apart within the scanned ranges: the head, the new bytes, the tails.
    return (kSpan + inserted + 2 + tails * kSpan) / kSpan + tails + 3;
}

void LineIndex::reserve(std::size_t extraPoints)
{
    // Grown by half at a time: reserve() alone would grow by the few points each edit needs,
    // copying the whole index every time one is added.
    const std::size_t needed = m_points.size() + extraPoints;
    if (needed > m_points.capacity())
        m_points.reserve(std::max(needed, m_points.capacity() + m_points.capacity() / 2));
    m_fresh.reserve(extraPoints);
}

void LineIndex::update(const TextPieces& text, std::size_t pos, std::size_t erased,
                       std::size_t inserted) noexcept
{
    const std::size_t n = m_points.size();
    const std::size_t oldSize = text.size() + erased - inserted;
    const auto toNew = [&](std::size_t oldPos) { return oldPos - erased + inserted; };

    // Points up to pos stay; those in (pos, pos + erased + 2) may have lost their CR LF.
    const std::size_t a = lastPointAtOrBefore(pos);
    const std::size_t b = lastPointAtOrBefore(pos + erased + 1) + 1;
    const LinePoint start = point(a);
    const std::size_t stopAt = b < n ? toNew(point(b).pos) : kNone;

    m_fresh.clear();
    PointBuilder build(m_fresh, start, stopAt);
    // Breaks before the edit, then those touching the new bytes, then those after the erased
    // bytes, as far as the next kept point.
    if (pos >= 1)
        build.scan(text, start.pos, std::min(pos - 1, start.pos + kSpan));
    build.scan(text, pos == 0 ? 0 : pos - 1, pos + inserted + 1);
    const std::size_t tailFrom = pos + erased + 1;
    for (std::size_t j = firstTailBlock(a, b, tailFrom); j < b; ++j) {
        const std::size_t lo = std::max(point(j).pos, tailFrom);
        const std::size_t hi = std::min(point(j).pos + kSpan, blockEnd(j, oldSize) - 2);
        if (lo < hi)
            build.scan(text, toNew(lo), toNew(hi));
    }
    if (b < n && point(b).pos - 2 >= tailFrom)
        build.add(toNew(point(b).pos - 2));

    const std::size_t lineShift = b < n ? build.line() - point(b).line : 0;
    m_breaks = b < n ? m_breaks + lineShift : build.line();

    moveFold(b);
    const std::size_t kept = std::min(m_fresh.size(), b - (a + 1));
    std::copy_n(m_fresh.begin(), kept, m_points.begin() + static_cast<std::ptrdiff_t>(a + 1));
    const auto at = m_points.begin() + static_cast<std::ptrdiff_t>(a + 1 + kept);
    if (kept < b - (a + 1))
        m_points.erase(at, m_points.begin() + static_cast<std::ptrdiff_t>(b));
    else
        m_points.insert(at, m_fresh.begin() + static_cast<std::ptrdiff_t>(kept), m_fresh.end());
    m_fold = a + 1 + m_fresh.size();
    m_shift.pos += inserted - erased;
    m_shift.line += lineShift;
    if (m_fold == m_points.size())
        m_shift = {0, 0};
#ifndef NDEBUG
    // The points the edit made stand in order between their neighbours.
    for (std::size_t i = a; i + 1 < m_points.size() && i <= m_fold; ++i)
        assert(point(i).pos < point(i + 1).pos && point(i).line < point(i + 1).line);
#endif
}
