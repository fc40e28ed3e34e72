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

// Hits must be addressable by FindPos and FindNext.
constexpr std::size_t kMaxSearchable = std::numeric_limits<std::int32_t>::max();

}  // namespace

CaselessFinder::CaselessFinder(std::string_view needle) : m_upper(win1252::UpperCopy(needle))
{
    if (m_upper.empty())
        return;
    std::tie(m_firstA, m_firstB) = Preimages(m_upper.front());
    std::tie(m_lastA, m_lastB) = Preimages(m_upper.back());
}

bool CaselessFinder::RestMatches(const char* at) const
{
    // The first and last byte have already been matched.
    for (std::size_t k = 1; k + 1 < m_upper.size(); ++k)
        if (win1252::Upper(at[k]) != m_upper[k])
            return false;
    return true;
}

std::size_t CaselessFinder::FindIn(std::string_view text, std::size_t from) const
{
    const std::size_t n = m_upper.size();
    if (n == 0 || from > text.size() || text.size() - from < n)
        return npos;
    const char* p = text.data();
    const std::size_t lastStart = text.size() - n;
    std::size_t i = from;
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
        while (mask != 0) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (RestMatches(p + at))
                return at;
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= lastStart; ++i)
        if (win1252::Upper(p[i]) == m_upper.front() &&
            win1252::Upper(p[i + n - 1]) == m_upper.back() && RestMatches(p + i))
            return i;
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
