#pragma once

#include <cstdint>

// Where words begin and end and where a row may break, byte by byte, as the desktop's text boxes
// see the Windows-1252 characters: one table lookup per byte, no Unicode tables at run time.
namespace word_table {

// What Ctrl+Left, Ctrl+Right and a double click take together: a run of blanks (space, tab,
// vertical tab, form feed, no-break space), a run of ASCII punctuation (". , ? ! @ # $ : ; - < >
// [ ] ( ) { } = / + % & ^ * ' \" ` ~ | \\"), or a run of anything else (letters, digits, "_",
// the other 8-bit characters).
enum class WordClass : std::uint8_t { Blank, Separator, Word };

WordClass ClassOf(std::uint8_t byte);

// Whether a row may end between two neighbouring bytes of a line: after a blank before a word,
// after a hyphen, a slash, a dash, "?", "!" or "|" before a letter, never before closing
// punctuation or inside a word. A vertical tab or form feed breaks nothing: it shows as a box.
bool MayBreakBetween(std::uint8_t before, std::uint8_t after);

}  // namespace word_table
