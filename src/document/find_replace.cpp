#include "document/find_replace.h"

#include <cstdint>
#include <limits>
#include <tuple>
#include <utility>

#include "core/upper1252.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The two bytes whose upper case is `capital` (itself, and its small letter if it has one).
// The upper-casing is one-to-one apart from pairing each small letter with its capital.
std::pair<char, char> Preimages(char capital)
{
    const auto target = static_cast<std::uint8_t>(capital);
    char other = capital;
    for (int b = 0; b < 256; ++b)
        if (b != target && win1252::kUpperTable[b] == target)
            other = static_cast<char>(b);
    return {capital, other};
}

constexpr std::size_t kCheckSlack = 256;
constexpr std::size_t kChecksPerByte = 2;

// Hits must be addressable by FindPos and FindNext.
constexpr std::size_t kMaxSearchable = std::numeric_limits<std::int32_t>::max();

}  // namespace

CaselessFinder::CaselessFinder(std::string_view needle) : m_upper(win1252::UpperCopy(needle))
{
    if (m_upper.empty())
        return;
    std::tie(m_firstA, m_firstB) = Preimages(m_upper.front());
    std::tie(m_lastA, m_lastB) = Preimages(m_upper.back());

    m_border.assign(m_upper.size(), 0);
    for (std::size_t i = 1, k = 0; i < m_upper.size(); ++i) {
        while (k > 0 && m_upper[i] != m_upper[k])
            k = m_border[k - 1];
        if (m_upper[i] == m_upper[k])
            ++k;
        m_border[i] = k;
    }
}

bool CaselessFinder::RestMatches(const char* at) const
{
    // The first and last byte have already been matched.
    for (std::size_t k = 1; k + 1 < m_upper.size(); ++k)
        if (win1252::Upper(at[k]) != m_upper[k])
            return false;
    return true;
}

// Knuth-Morris-Pratt over the upper-cased bytes: each byte of the text is looked at once.
std::size_t CaselessFinder::FindLinear(std::string_view text, std::size_t from) const
{
    const std::size_t n = m_upper.size();
    std::size_t k = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = win1252::Upper(text[i]);
        while (k > 0 && m_upper[k] != c)
            k = m_border[k - 1];
        if (m_upper[k] == c)
            ++k;
        if (k == n)
            return i + 1 - n;
    }
    return npos;
}

std::size_t CaselessFinder::FindIn(std::string_view text, std::size_t from) const
{
    const std::size_t n = m_upper.size();
    if (n == 0 || from > text.size() || text.size() - from < n)
        return npos;
    const char* p = text.data();
    const std::size_t lastStart = text.size() - n;
    std::size_t i = from;
    // Bytes the checks may still compare before the linear scan takes over. The filter is
    // several times faster than that scan, so it may spend a little on checks.
    std::size_t checkBudget = kCheckSlack;
#if defined(__SSE2__)
    // Candidates are starts whose first and last byte both fit; 16 starts per step.
    const __m128i firstA = _mm_set1_epi8(m_firstA);
    const __m128i firstB = _mm_set1_epi8(m_firstB);
    const __m128i lastA = _mm_set1_epi8(m_lastA);
    const __m128i lastB = _mm_set1_epi8(m_lastB);
    for (; i + 15 <= lastStart; i += 16) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + n - 1));
        const __m128i headOk =
            _mm_or_si128(_mm_cmpeq_epi8(head, firstA), _mm_cmpeq_epi8(head, firstB));
        const __m128i tailOk =
            _mm_or_si128(_mm_cmpeq_epi8(tail, lastA), _mm_cmpeq_epi8(tail, lastB));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(headOk, tailOk)));
        checkBudget += kChecksPerByte * 16;
        while (mask != 0) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (RestMatches(p + at))
                return at;
            if (checkBudget < n)
                return FindLinear(text, at + 1);
            checkBudget -= n;
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= lastStart; ++i) {
        checkBudget += kChecksPerByte;
        if (win1252::Upper(p[i]) != m_upper.front() ||
            win1252::Upper(p[i + n - 1]) != m_upper.back())
            continue;
        if (RestMatches(p + i))
            return i;
        if (checkBudget < n)
            return FindLinear(text, i + 1);
        checkBudget -= n;
    }
    return npos;
}

FindOutcome FindFrom(std::string_view whole, std::int32_t start, std::string_view needle)
{
    FindOutcome outcome;
    const std::size_t skip = start > 0 ? static_cast<std::size_t>(start) : 0;
    if (needle.empty() || skip >= whole.size())
        return outcome;
    const std::string_view searchable = whole.substr(0, kMaxSearchable);
    const std::size_t hit = CaselessFinder(needle).FindIn(searchable, skip);
    if (hit == CaselessFinder::npos)
        return outcome;

    const std::size_t next = hit + needle.size();
    outcome.Hit = static_cast<std::int32_t>(hit);
    // Start over once fewer characters than the needle remain: nothing more can be found.
    const bool wrap = next + needle.size() > whole.size();
    outcome.FindNext = wrap ? 0 : static_cast<std::int32_t>(next);
    return outcome;
}

std::optional<std::string> ReplaceAllCaseless(std::string_view text, std::string_view from,
                                              std::string_view to)
{
    const CaselessFinder finder(from);
    std::size_t hit = finder.FindIn(text);
    if (hit == CaselessFinder::npos)
        return std::nullopt;

    std::string result;
    // One allocation when the text does not grow; growth beyond it is amortised.
    result.reserve(text.size());
    // The result equals the text only when every occurrence is already spelled as `to`.
    bool changed = to.size() != from.size();
    std::size_t done = 0;
    while (hit != CaselessFinder::npos) {
        result.append(text.substr(done, hit - done));
        changed = changed || text.substr(hit, from.size()) != to;
        result.append(to);
        done = hit + from.size();
        hit = finder.FindIn(text, done);
    }
    result.append(text.substr(done));
    if (!changed)
        return std::nullopt;
    return result;
}
