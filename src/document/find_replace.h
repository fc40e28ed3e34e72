#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Search and replace in the 8-bit text of the editing area without regard to case. Positions
// are 0-based byte positions in the whole text, where a line break (CR LF) counts two.

// Finds one sought text, upper-cased once, in any number of texts, which are never copied or
// upper-cased as a whole: a 16-byte filter on the first and last byte, then a check of the rest.
// Texts that keep passing the filter without matching (long runs of one letter) are finished
// with a linear scan instead, so no search takes longer than a few passes over the text.
class CaselessFinder final {
public:
    explicit CaselessFinder(std::string_view needle);

    // The leftmost position at or after `from` where the sought text occurs, or npos. An empty
    // sought text occurs nowhere.
    std::size_t FindIn(std::string_view text, std::size_t from = 0) const;

    std::size_t Length() const { return m_upper.size(); }

    static constexpr std::size_t npos = std::string_view::npos;

private:
    bool RestMatches(const char* at) const;
    std::size_t FindLinear(std::string_view text, std::size_t from) const;

    std::string m_upper;
    // m_border[k]: length of the longest proper border of the first k + 1 bytes of m_upper.
    std::vector<std::size_t> m_border;
    // The bytes that upper-case to the first and to the last byte of m_upper; the two of a pair
    // are equal when only one byte does (ß, digits, the capitals themselves for a capital with
    // no small letter).
    char m_firstA = 0;
    char m_firstB = 0;
    char m_lastA = 0;
    char m_lastB = 0;
};

struct FindOutcome {
    std::int32_t Hit = -1;      // where the hit begins in the whole text; -1 for no hit
    std::int32_t FindNext = 0;  // the value for AppState.FindNext
    bool Found() const { return Hit >= 0; }
};

// One search: skips the first `start` characters of `whole` (none when start <= 0, all when it
// reaches the end) and finds the leftmost `needle`. FindNext is the position just past the hit,
// or 0 so that the next search starts over: after no hit, and after a hit that leaves fewer
// characters than the needle has (an occurrence at the very end is still reached).
// Positions must fit FindPos, so only the first 2^31 - 1 characters can hold a hit.
FindOutcome FindFrom(std::string_view whole, std::int32_t start, std::string_view needle);

// Every occurrence of `from` replaced by `to` as typed, left to right, without overlap; the
// inserted text is never searched again. Returns nothing when the result equals the text
// (empty `from`, no occurrence, or every occurrence already spelled as `to`), so that the
// caller leaves the editing area, its caret and its selection alone.
std::optional<std::string> ReplaceAllCaseless(std::string_view text, std::string_view from,
                                              std::string_view to);
