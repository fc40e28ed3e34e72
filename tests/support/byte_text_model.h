#pragma once

// A plain model of ByteText and EditHistory, shared by the unit tests and the fuzz target (so it
// uses no Qt): the text as a std::string, its lines found by a naive scan for CR LF, and the
// list of texts the history's steps leave.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_text.h"
#include "core/edit_history.h"

namespace byte_text_model {

inline std::vector<std::size_t> LineStarts(const std::string& text)
{
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\r' && text[i + 1] == '\n')
            starts.push_back(i + 2);
    return starts;
}

// Empty when `text` holds the bytes of `model` and its line index agrees with the naive one:
// the start and end of every line, and the line of every `stride`-th position and of the
// positions next to each line start. Otherwise what differs first.
inline std::string Disagreement(const ByteText& text, const std::string& model,
                                std::size_t stride = 1)
{
    const auto number = [](std::size_t n) { return std::to_string(n); };
    if (text.bytes(0, text.size()) != model)
        return "bytes differ, size " + number(text.size()) + ", expected " + number(model.size());
    const std::vector<std::size_t> starts = LineStarts(model);
    if (text.lineCount() != starts.size())
        return "line count " + number(text.lineCount()) + ", expected " + number(starts.size());
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] - 2 : model.size();
        if (text.lineStart(k) != starts[k] || text.lineEnd(k) != end)
            return "line " + number(k) + " at " + number(text.lineStart(k)) + ".." +
                   number(text.lineEnd(k)) + ", expected " + number(starts[k]) + ".." + number(end);
    }
    std::size_t line = 0;
    for (std::size_t pos = 0; pos <= model.size(); ++pos) {
        if (line + 1 < starts.size() && starts[line + 1] == pos)
            ++line;
        const bool nearStart =
            pos - starts[line] <= 1 || (line + 1 < starts.size() && starts[line + 1] - pos <= 2);
        if ((nearStart || pos % stride == 0) && text.lineOf(pos) != line)
            return "line of " + number(pos) + ": " + number(text.lineOf(pos)) + ", expected " +
                   number(line);
    }
    if (text.lineStart(starts.size() + 5) != starts.back() ||
        text.lineOf(model.size() + 5) != starts.size() - 1)
        return "past the end not clamped to the last line";
    return {};
}

// The texts an EditHistory's steps leave, with the selection an undo and a redo of each step give
// back: the caret after the bytes that come back or go in, the selection before a whole-text
// step. A key typed where the last one left the caret, with nothing selected and no CR LF in it,
// joins the last step; so does nothing else.
class History final {
public:
    explicit History(std::string initial) : m_states{{std::move(initial), {}, {}}} {}

    const std::string& text() const { return m_states[m_done].text; }
    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done + 1 < m_states.size(); }
    bool typingOpen() const { return m_typingOpen; }
    std::size_t typingEnd() const { return m_typingEnd; }

    // Selections and positions within the text.
    void type(TextSelection selection, const std::string& typed)
    {
        const bool lineBreak = typed.find("\r\n") != std::string::npos;
        const bool joins =
            m_typingOpen && selection.start == m_typingEnd && selection.length == 0 && !lineBreak;
        std::string next = text();
        next.replace(selection.start, selection.length, typed);
        const TextSelection after{selection.start + typed.size(), 0};
        if (joins) {
            m_states.resize(m_done + 1);
            m_states[m_done].text = std::move(next);
            m_states[m_done].after = after;
        } else {
            push({std::move(next), {selection.start + selection.length, 0}, after});
        }
        m_typingOpen = !lineBreak;
        m_typingEnd = after.start;
    }

    // The selection before the edit is not what an undo gives back.
    void edit(TextSelection, std::size_t pos, std::size_t len, const std::string& with)
    {
        std::string next = text();
        next.replace(pos, len, with);
        push({std::move(next), {pos + len, 0}, {pos + with.size(), 0}});
    }

    // `id` names the step for what it also changed (see wholeUndone()).
    void whole(TextSelection before, std::string next, TextSelection after, int id = -1)
    {
        push({std::move(next), before, after, id});
    }

    // The id of the whole-text step an undo, or a redo, would move now; -1 for any other step
    // and where there is nothing to move.
    int wholeToUndo() const { return canUndo() ? m_states[m_done].wholeId : -1; }
    int wholeToRedo() const { return canRedo() ? m_states[m_done + 1].wholeId : -1; }

    // The selection the history should give back; an undo or redo that finds nothing changes
    // nothing, the typing included.
    std::optional<TextSelection> undo()
    {
        if (!canUndo())
            return std::nullopt;
        m_typingOpen = false;
        return m_states[m_done--].undone;
    }

    std::optional<TextSelection> redo()
    {
        if (!canRedo())
            return std::nullopt;
        m_typingOpen = false;
        return m_states[++m_done].after;
    }

private:
    struct State {
        std::string text;
        TextSelection undone;  // what undoing the step that led here gives back
        TextSelection after;
        int wholeId = -1;  // a whole-text step, by the id it was given
    };

    void push(State state)
    {
        m_states.resize(m_done + 1);
        m_states.push_back(std::move(state));
        ++m_done;
        m_typingOpen = false;
    }

    std::vector<State> m_states;
    std::size_t m_done = 0;
    bool m_typingOpen = false;
    std::size_t m_typingEnd = 0;
};

}  // namespace byte_text_model
