#include "core/caret_motion.h"

#include <algorithm>
#include <cassert>

#include "core/word_table.h"

namespace caret {
namespace {

using word_table::WordClass;

// One line of the text, with its class lookups.
struct Line {
    const ByteText& text;
    std::size_t start;
    std::size_t end;

    Line(const ByteText& t, std::size_t pos)
        : text(t), start(t.lineStart(t.lineOf(pos))), end(t.lineEnd(t.lineOf(pos)))
    {
    }
    WordClass at(std::size_t pos) const
    {
        assert(pos >= start && pos < end);
        return word_table::ClassOf(static_cast<std::uint8_t>(text.at(pos)));
    }
    // Past the run of `c` from pos.
    std::size_t skip(std::size_t pos, WordClass c) const
    {
        while (pos < end && at(pos) == c)
            ++pos;
        return pos;
    }
    // Back over the run of `c` before pos.
    std::size_t skipBack(std::size_t pos, WordClass c) const
    {
        while (pos > start && at(pos - 1) == c)
            --pos;
        return pos;
    }
    // Back over blanks, then over the word or run of punctuation before them.
    std::size_t wordBefore(std::size_t pos) const
    {
        pos = skipBack(pos, WordClass::Blank);
        return pos > start ? skipBack(pos, at(pos - 1)) : pos;
    }
};

}  // namespace

std::size_t Normalized(const ByteText& text, std::size_t pos)
{
    pos = std::min(pos, text.size());
    if (pos > 0 && pos < text.size() && text.at(pos - 1) == '\r' && text.at(pos) == '\n' &&
        text.lineEnd(text.lineOf(pos - 1)) == pos - 1)
        return pos - 1;
    return pos;
}

std::size_t NextChar(const ByteText& text, std::size_t pos)
{
    if (pos >= text.size())
        return text.size();
    const std::size_t line = text.lineOf(pos);
    return pos == text.lineEnd(line) && line + 1 < text.lineCount() ? pos + 2 : pos + 1;
}

std::size_t PreviousChar(const ByteText& text, std::size_t pos)
{
    if (pos == 0)
        return 0;
    const std::size_t line = text.lineOf(pos);
    return pos == text.lineStart(line) && line > 0 ? pos - 2 : pos - 1;
}

std::size_t NextWord(const ByteText& text, std::size_t pos)
{
    pos = Normalized(text, pos);
    const Line line(text, pos);
    if (pos == line.end)
        return NextChar(text, pos);
    // A run of punctuation is a word; so is a run of anything else that is not blank.
    const WordClass first = line.at(pos);
    if (first != WordClass::Blank)
        pos = line.skip(pos, first);
    return line.skip(pos, WordClass::Blank);
}

std::size_t PreviousWord(const ByteText& text, std::size_t pos)
{
    pos = Normalized(text, pos);
    const Line line(text, pos);
    if (pos == line.start)
        return PreviousChar(text, pos);
    return line.wordBefore(pos);
}

std::optional<std::size_t> StartOfWord(const ByteText& text, std::size_t pos)
{
    pos = Normalized(text, pos);
    const Line line(text, pos);
    if (pos == line.start)
        return std::nullopt;
    if (pos == line.end && line.at(pos - 1) != WordClass::Word)
        return std::nullopt;
    // From just after the character at pos, as if the caret stood on it.
    const std::size_t start = line.wordBefore(pos < line.end ? pos + 1 : pos);
    if (start == pos)
        return std::nullopt;
    return start;
}

std::optional<std::size_t> EndOfWord(const ByteText& text, std::size_t pos)
{
    pos = Normalized(text, pos);
    const Line line(text, pos);
    if (pos >= line.end)
        return std::nullopt;
    const WordClass c = line.at(pos);
    const std::size_t end = c == WordClass::Blank ? pos : line.skip(pos, c);
    if (end == pos)
        return std::nullopt;
    return end;
}

Span WordAt(const ByteText& text, std::size_t pos)
{
    const std::size_t start = StartOfWord(text, pos).value_or(Normalized(text, pos));
    return {start, EndOfWord(text, start).value_or(start)};
}

Span LineAt(const ByteText& text, std::size_t pos)
{
    const std::size_t line = text.lineOf(Normalized(text, pos));
    return {text.lineStart(line), NextChar(text, text.lineEnd(line))};
}

}  // namespace caret
