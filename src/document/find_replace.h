#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Search and replace in the 8-bit text of the editing area, without regard to case unless asked.
// Positions are 0-based byte positions in the whole text, where a line break (CR LF) counts two.

// How a sought text is matched. Both off is the plain caseless search.
struct FindOptions {
    // Letters match only as typed.
    bool matchCase = false;
    // A hit may not continue a word: where the sought text begins (ends) with a letter, digit or
    // "_", the character before (after) the hit must be none.
    bool wholeWords = false;
};

// True for the bytes words are made of: the letters and digits of Windows-1252, and "_".
bool IsWordByte(char byte);

// Finds one sought text, folded to upper case once unless case matters, in any number of texts,
// which are never copied or folded as a whole: a 16-byte filter on the first and last byte, then
// a check of the rest. Texts that keep passing the filter without matching (long runs of one
// letter) are finished with a linear scan instead, so no search takes longer than a few passes
// over the text.
class TextFinder final {
public:
    explicit TextFinder(std::string_view needle, FindOptions options = {});

    // The leftmost hit starting at or after `from` (and before `startLimit`), or npos. An empty
    // sought text occurs nowhere. Whole words are judged by the text around the hit, past
    // `startLimit` too.
    std::size_t FindIn(std::string_view text, std::size_t from = 0) const
    {
        return FindIn(text, from, npos);
    }
    std::size_t FindIn(std::string_view text, std::size_t from, std::size_t startLimit) const;
    // The rightmost hit starting before `before`, or npos; looks back from there a growing piece
    // at a time, so a near hit costs a near look.
    std::size_t FindLastBefore(std::string_view text, std::size_t before) const;

    std::size_t Length() const { return m_key.size(); }

    static constexpr std::size_t npos = std::string_view::npos;

private:
    std::size_t FindCandidate(std::string_view text, std::size_t from) const;
    bool RestMatches(const char* at) const;
    std::size_t FindLinear(std::string_view text, std::size_t from) const;
    bool IsWholeWord(std::string_view text, std::size_t at) const;
    char Fold(char byte) const { return static_cast<char>(m_fold[static_cast<std::uint8_t>(byte)]); }

    const std::uint8_t* m_fold;  // byte -> the byte it is compared as
    std::string m_key;           // the sought text, folded
    // m_border[k]: length of the longest proper border of the first k + 1 bytes of m_key.
    std::vector<std::size_t> m_border;
    // The bytes that fold to the first and to the last byte of m_key; the two of a pair are
    // equal when only one byte does (case matters, ß, digits, a capital with no small letter).
    char m_firstA = 0;
    char m_firstB = 0;
    char m_lastA = 0;
    char m_lastB = 0;
    bool m_wordBefore = false;  // the hit's start must not follow a word byte
    bool m_wordAfter = false;   // its end must not precede one
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
FindOutcome FindFrom(std::string_view whole, std::int32_t start, std::string_view needle,
                     FindOptions options = {});

// The search backwards: the rightmost hit that starts before `before`; when there is none, the
// search wraps round to the last hit of the whole text. FindNext as FindFrom gives it for that
// hit, so that a search forwards goes on after it.
FindOutcome FindBefore(std::string_view whole, std::size_t before, std::string_view needle,
                       FindOptions options = {});

// The hits a run of forward searches visits from the start of a text (each search going on
// just after the hit before), counted a piece of the text at a time, so that a long text can be
// counted between other work. The text must stay the same from one piece to the next.
class HitCount final {
public:
    // `shown`: where the hit being shown starts, to tell which of them it is.
    HitCount(TextFinder finder, std::size_t shown);

    // Counts the hits that start in the next `bytes` bytes of the text, or to its end. True once
    // the whole text is counted.
    bool CountOn(std::string_view text, std::size_t bytes);
    bool Done() const { return m_done; }
    std::size_t Total() const { return m_total; }
    // The shown hit's number, from 1: the hits starting at or before it (1 at least).
    std::size_t Index() const { return m_atOrBefore > 0 ? m_atOrBefore : 1; }

private:
    TextFinder m_finder;
    std::size_t m_shown;
    std::size_t m_scanned = 0;  // every hit starting before this is counted
    std::size_t m_next = 0;     // where the next search starts
    std::size_t m_total = 0;
    std::size_t m_atOrBefore = 0;
    bool m_done = false;
};

// Every occurrence of `from` replaced by `to` as typed, left to right, without overlap; the
// inserted text is never searched again. Returns nothing when the result equals the text
// (empty `from`, no occurrence, or every occurrence already spelled as `to`), so that the
// caller leaves the editing area, its caret and its selection alone.
std::optional<std::string> ReplaceAll(std::string_view text, std::string_view from,
                                      std::string_view to, FindOptions options = {});
