#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/translate.h"

// What Open tells the user about a file's bytes where they are not what the editor assumes
// (Windows-1252 with CR LF line breaks). It only tells: the bytes stay exactly as read.

// The length of the well-formed UTF-8 sequence of two to four bytes that starts at `at`, or 0
// (an ASCII byte, a byte that cannot start one, a sequence cut short, too long a form, a
// surrogate or a code point beyond U+10FFFF).
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t at);

// True when the bytes hold at least one multi-byte UTF-8 sequence and every byte above 0x7F is
// part of one: a UTF-8 text, shown here as two or three Windows-1252 characters a letter.
bool LooksLikeUtf8(std::string_view bytes);

// The line breaks of a file that were not CR LF, by kind; Open made them CR LF.
struct TLoneBreaks {
    std::size_t lf = 0;
    std::size_t cr = 0;
};

inline constexpr std::string_view kUtf8Note = QT_TRANSLATE_NOOP(
    "Plimo",
    "This file looks like UTF-8: letters beyond A-Z show as two or three symbols and are saved "
    "unchanged");

// What the status bar says for a while after Open, one after the other (each is a line of its
// own): the UTF-8 note for `text` (the text as opened), then which breaks were not CR LF ("Line
// breaks were LF: Save writes CR LF"). None for a text as the editor assumes it.
std::vector<std::string> OpenNotes(std::string_view text, TLoneBreaks lone);
