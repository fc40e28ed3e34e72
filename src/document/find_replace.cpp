#include "document/find_replace.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <tuple>
#include <utility>

#include "core/upper1252.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::array<std::uint8_t, 256> MakeIdentity()
{
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<std::uint8_t>(b);
    return table;
}
constexpr std::array<std::uint8_t, 256> kIdentity = MakeIdentity();

// Letters and digits as the desktop's text boxes see the Windows-1252 characters (the letters
// with their small and capital forms, ª º µ ƒ and the modifier circumflex, the superscript
// digits and the vulgar fractions), and "_".
constexpr std::array<bool, 256> MakeWordBytes()
{
    std::array<bool, 256> table{};
    const auto set = [&table](int from, int to) {
        for (int b = from; b <= to; ++b)
            table[b] = true;
    };
    set('0', '9');
    set('A', 'Z');
    set('a', 'z');
    set('_', '_');
    for (int b : {0x83, 0x88, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0xAA, 0xB2, 0xB3, 0xB5,
                  0xB9, 0xBA})
        set(b, b);
    set(0xBC, 0xBE);
    set(0xC0, 0xD6);
    set(0xD8, 0xF6);
    set(0xF8, 0xFF);
    return table;
}
constexpr std::array<bool, 256> kWordBytes = MakeWordBytes();

// The two bytes that fold to `capital` (itself, and its small letter if it has one and case does
// not matter). The upper-casing is one-to-one apart from pairing each small letter with its
// capital.
std::pair<char, char> Preimages(const std::uint8_t* fold, char capital)
{
    const auto target = static_cast<std::uint8_t>(capital);
    char other = capital;
    for (int b = 0; b < 256; ++b)
        if (b != target && fold[b] == target)
            other = static_cast<char>(b);
    return {capital, other};
}

constexpr std::size_t kCheckSlack = 256;
constexpr std::size_t kChecksPerByte = 2;

// Hits must be addressable by FindPos and FindNext.
constexpr std::size_t kMaxSearchable = std::numeric_limits<std::int32_t>::max();

// The search backwards looks at this much before its start first, then twice as much each time.
constexpr std::size_t kFirstLookBack = 64 * 1024;
constexpr std::size_t kLongestLookBack = 64 * 1024 * 1024;

}  // namespace

bool IsWordByte(char byte)
{
    return kWordBytes[static_cast<std::uint8_t>(byte)];
}

TextFinder::TextFinder(std::string_view needle, FindOptions options)
    : m_fold(options.matchCase ? kIdentity.data() : win1252::kUpperTable.data()), m_key(needle)
{
    if (m_key.empty())
        return;
    for (char& c : m_key)
        c = Fold(c);
    std::tie(m_firstA, m_firstB) = Preimages(m_fold, m_key.front());
    std::tie(m_lastA, m_lastB) = Preimages(m_fold, m_key.back());
    m_wordBefore = options.wholeWords && IsWordByte(needle.front());
    m_wordAfter = options.wholeWords && IsWordByte(needle.back());

    m_border.assign(m_key.size(), 0);
    for (std::size_t i = 1, k = 0; i < m_key.size(); ++i) {
        while (k > 0 && m_key[i] != m_key[k])
            k = m_border[k - 1];
        if (m_key[i] == m_key[k])
            ++k;
        m_border[i] = k;
    }
}

bool TextFinder::RestMatches(const char* at) const
{
    // The first and last byte have already been matched.
    for (std::size_t k = 1; k + 1 < m_key.size(); ++k)
        if (Fold(at[k]) != m_key[k])
            return false;
    return true;
}

// Knuth-Morris-Pratt over the folded bytes: each byte of the text is looked at once.
std::size_t TextFinder::FindLinear(std::string_view text, std::size_t from) const
{
    const std::size_t n = m_key.size();
    std::size_t k = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = Fold(text[i]);
        while (k > 0 && m_key[k] != c)
            k = m_border[k - 1];
        if (m_key[k] == c)
            ++k;
        if (k == n)
            return i + 1 - n;
    }
    return npos;
}

std::size_t TextFinder::FindCandidate(std::string_view text, std::size_t from) const
{
    const std::size_t n = m_key.size();
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
        if (Fold(p[i]) != m_key.front() || Fold(p[i + n - 1]) != m_key.back())
            continue;
        if (RestMatches(p + i))
            return i;
        if (checkBudget < n)
            return FindLinear(text, i + 1);
        checkBudget -= n;
    }
    return npos;
}

bool TextFinder::IsWholeWord(std::string_view text, std::size_t at) const
{
    if (m_wordBefore && at > 0 && IsWordByte(text[at - 1]))
        return false;
    const std::size_t end = at + m_key.size();
    return !(m_wordAfter && end < text.size() && IsWordByte(text[end]));
}

std::size_t TextFinder::FindIn(std::string_view text, std::size_t from,
                               std::size_t startLimit) const
{
    const std::size_t n = m_key.size();
    if (n == 0)
        return npos;
    // Only starts before the limit: the scan ends where a hit starting there would end.
    const std::string_view scan =
        startLimit < text.size() ? text.substr(0, std::min(text.size(), startLimit + n - 1))
                                 : text;
    for (std::size_t at = FindCandidate(scan, from); at != npos;
         at = FindCandidate(scan, at + 1)) {
        if (IsWholeWord(text, at))
            return at;
    }
    return npos;
}

std::size_t TextFinder::FindLastBefore(std::string_view text, std::size_t before) const
{
    std::size_t end = std::min(before, text.size());
    for (std::size_t look = kFirstLookBack; end > 0;
         look = std::min(look * 2, kLongestLookBack)) {
        const std::size_t begin = end > look ? end - look : 0;
        std::size_t last = npos;
        for (std::size_t at = FindIn(text, begin, end); at != npos; at = FindIn(text, at + 1, end))
            last = at;
        if (last != npos)
            return last;
        end = begin;
    }
    return npos;
}

namespace {

FindOutcome OutcomeOf(std::size_t hit, std::size_t wholeSize, std::size_t needleSize)
{
    FindOutcome outcome;
    if (hit == TextFinder::npos)
        return outcome;
    const std::size_t next = hit + needleSize;
    outcome.Hit = static_cast<std::int32_t>(hit);
    // Start over once fewer characters than the needle remain: nothing more can be found.
    const bool wrap = next + needleSize > wholeSize;
    outcome.FindNext = wrap ? 0 : static_cast<std::int32_t>(next);
    return outcome;
}

}  // namespace

FindOutcome FindFrom(std::string_view whole, std::int32_t start, std::string_view needle,
                     FindOptions options)
{
    const std::size_t skip = start > 0 ? static_cast<std::size_t>(start) : 0;
    if (needle.empty() || skip >= whole.size())
        return {};
    const std::string_view searchable = whole.substr(0, kMaxSearchable);
    const std::size_t hit = TextFinder(needle, options).FindIn(searchable, skip);
    return OutcomeOf(hit, whole.size(), needle.size());
}

FindOutcome FindBefore(std::string_view whole, std::size_t before, std::string_view needle,
                       FindOptions options)
{
    const TextFinder finder(needle, options);
    const std::string_view searchable = whole.substr(0, kMaxSearchable);
    std::size_t hit = finder.FindLastBefore(searchable, before);
    if (hit == TextFinder::npos)
        hit = finder.FindLastBefore(searchable, searchable.size());
    return OutcomeOf(hit, whole.size(), needle.size());
}

HitCount::HitCount(TextFinder finder, std::size_t shown) : m_finder(std::move(finder)), m_shown(shown)
{
}

bool HitCount::CountOn(std::string_view text, std::size_t bytes)
{
    if (m_done || m_scanned > text.size()) {
        m_done = true;
        return true;
    }
    const std::size_t limit = bytes < text.size() - m_scanned ? m_scanned + bytes : text.size();
    for (std::size_t at = m_finder.FindIn(text, m_next, limit); at != TextFinder::npos;
         at = m_finder.FindIn(text, m_next, limit)) {
        ++m_total;
        if (at <= m_shown)
            ++m_atOrBefore;
        m_next = at + m_finder.Length();
    }
    m_scanned = limit;
    m_next = std::max(m_next, limit);
    m_done = limit >= text.size() || m_finder.Length() == 0;
    return m_done;
}

std::optional<std::string> ReplaceAll(std::string_view text, std::string_view from,
                                      std::string_view to, FindOptions options)
{
    const TextFinder finder(from, options);
    std::size_t hit = finder.FindIn(text);
    if (hit == TextFinder::npos)
        return std::nullopt;

    std::string result;
    // One allocation when the text does not grow; growth beyond it is amortised.
    result.reserve(text.size());
    // The result equals the text only when every occurrence is already spelled as `to`.
    bool changed = to.size() != from.size();
    std::size_t done = 0;
    while (hit != TextFinder::npos) {
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
