#pragma once

#include <cstddef>
#include <optional>

#include "core/byte_text.h"

// Where the caret goes in the text by characters, words and lines, as the desktop's text boxes
// move it: a line break is one step, the caret never stands between its CR and LF, and words are
// the runs of word_table::WordClass, each within its line.
namespace caret {

// A run of the text, [start, end).
struct Span {
    std::size_t start = 0;
    std::size_t end = 0;
    friend bool operator==(const Span&, const Span&) = default;
};

// `pos` clamped to the text, and moved from between a CR and its LF to the end of its line.
std::size_t Normalized(const ByteText& text, std::size_t pos);
std::size_t NextChar(const ByteText& text, std::size_t pos);
std::size_t PreviousChar(const ByteText& text, std::size_t pos);

// Ctrl+Right: past the rest of a word (or of a run of punctuation) and the blanks after it; a
// line's end steps to the next line.
std::size_t NextWord(const ByteText& text, std::size_t pos);
// Ctrl+Left: back over blanks, then to the start of the word (or run of punctuation) before.
std::size_t PreviousWord(const ByteText& text, std::size_t pos);

// The start of the word a double click at `pos` takes; nothing where the caret would not move
// (already at that start, or at the end of a line after a blank or punctuation).
std::optional<std::size_t> StartOfWord(const ByteText& text, std::size_t pos);
// The end of the word that starts at `pos`; nothing where the caret would not move.
std::optional<std::size_t> EndOfWord(const ByteText& text, std::size_t pos);
// What a double click at `pos` selects: the word or run of punctuation there; on blanks, the word
// before them.
Span WordAt(const ByteText& text, std::size_t pos);
// What a triple click selects: the line with its break.
Span LineAt(const ByteText& text, std::size_t pos);

}  // namespace caret
