#include "core/edit_history.h"

#include <algorithm>
#include <utility>

namespace {

bool HasLineBreak(std::string_view bytes)
{
    return bytes.find("\r\n") != std::string_view::npos;
}

}  // namespace

EditHistory::Step* EditHistory::openStep(Step::Kind kind)
{
    if (!m_groupOpen || m_done != m_steps.size() || m_done == 0 || m_steps.back().kind != kind)
        return nullptr;
    return &m_steps.back();
}

bool EditHistory::type(ByteText& text, TextSelection selection, std::string_view typed)
{
    const std::size_t pos = std::min(selection.start, text.size());
    const std::size_t len = std::min(selection.length, text.size() - pos);
    const bool lineBreak = HasLineBreak(typed);
    Step* last = openStep(Step::Kind::Typing);
    if (last && !lineBreak && len == 0 && pos == last->pos + last->presentLen) {
        if (!text.insert(pos, typed))
            return false;
        last->presentLen += typed.size();
        last->after = {pos + typed.size(), 0};
        if (m_observer)
            m_observer->edited(text, pos, 0, typed);
        return true;
    }
    Step step = makeStep(text, selection, pos, len, typed);
    step.kind = Step::Kind::Typing;
    if (!record(text, std::move(step), typed))
        return false;
    // After a line break the next character starts a step of its own.
    m_groupOpen = !lineBreak;
    return true;
}

bool EditHistory::deleteCharacter(ByteText& text, std::size_t pos, std::size_t len)
{
    pos = std::min(pos, text.size());
    len = std::min(len, text.size() - pos);
    if (len == 0)
        return true;
    // A line break taken, or made by a lone CR and a lone LF meeting, is a step of its own.
    const bool lineBreak = text.lineOf(pos) != text.lineOf(pos + len) ||
                           (pos > 0 && pos + len < text.size() && text.at(pos - 1) == '\r' &&
                            text.at(pos + len) == '\n');
    Step* last = openStep(Step::Kind::Deleting);
    // Right before the bytes the last deletion took (Backspace), or where they were (Delete).
    if (last && !lineBreak && (pos + len == last->pos || pos == last->pos)) {
        auto& held = std::get<std::string>(last->held);
        std::string joined = text.bytes(pos, len);
        joined = pos == last->pos ? held + joined : joined + held;
        if (!text.replace(pos, len, {}))
            return false;
        held = std::move(joined);
        last->pos = pos;
        last->after = {pos, 0};
        if (m_observer)
            m_observer->edited(text, pos, len, {});
        return true;
    }
    Step step = makeStep(text, {pos, len}, pos, len, {});
    step.kind = Step::Kind::Deleting;
    if (!record(text, std::move(step), {}))
        return false;
    m_groupOpen = !lineBreak;
    return true;
}

bool EditHistory::edit(ByteText& text, TextSelection before, std::size_t pos, std::size_t len,
                       std::string_view with)
{
    pos = std::min(pos, text.size());
    len = std::min(len, text.size() - pos);
    m_groupOpen = false;
    return record(text, makeStep(text, before, pos, len, with), with);
}

EditHistory::Step EditHistory::makeStep(const ByteText& text, TextSelection before, std::size_t pos,
                                        std::size_t len, std::string_view with)
{
    Step step;
    step.pos = pos;
    step.presentLen = with.size();
    step.held = text.bytes(pos, len);
    step.before = before;
    step.after = {pos + with.size(), 0};
    return step;
}

bool EditHistory::record(ByteText& text, Step&& step, std::string_view with)
{
    // Room for the step first: once the text has changed, nothing may fail.
    m_steps.reserve(m_done + 1);
    const std::size_t erased = std::get<std::string>(step.held).size();
    if (!text.replace(step.pos, erased, with))
        return false;
    if (m_observer)
        m_observer->edited(text, step.pos, erased, with);
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_done), m_steps.end());
    m_steps.push_back(std::move(step));
    ++m_done;
    return true;
}

bool EditHistory::replaceWhole(ByteText& text, TextSelection before, std::string&& replacement,
                               TextSelection after, std::function<void(bool undone)> alsoMoved)
{
    ByteText::Whole whole;
    if (!text.makeWhole(std::move(replacement), whole))
        return false;
    m_steps.reserve(m_done + 1);
    text.swapWhole(whole);
    Step step;
    step.held.emplace<ByteText::Whole>(std::move(whole));
    step.before = before;
    step.after = after;
    step.alsoMoved = std::move(alsoMoved);
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_done), m_steps.end());
    m_steps.push_back(std::move(step));
    ++m_done;
    m_groupOpen = false;
    if (m_observer)
        m_observer->replacedWhole(text);
    return true;
}

std::optional<std::size_t> EditHistory::MovedAt(const Step& step)
{
    if (std::holds_alternative<ByteText::Whole>(step.held))
        return std::nullopt;
    return step.pos;
}

void EditHistory::swapStep(ByteText& text, Step& step) const
{
    if (auto* whole = std::get_if<ByteText::Whole>(&step.held)) {
        text.swapWhole(*whole);
        if (m_observer)
            m_observer->replacedWhole(text);
        return;
    }
    auto& held = std::get<std::string>(step.held);
    std::string present = text.bytes(step.pos, step.presentLen);
    // Each side of a step was a text the capacity took, so the swap is never refused.
    text.replace(step.pos, step.presentLen, held);
    if (m_observer)
        m_observer->edited(text, step.pos, step.presentLen, held);
    step.presentLen = held.size();
    held = std::move(present);
}

std::optional<TextSelection> EditHistory::undo(ByteText& text)
{
    if (!canUndo())
        return std::nullopt;
    Step& step = m_steps[m_done - 1];
    swapStep(text, step);
    m_lastMovedAt = MovedAt(step);
    --m_done;
    m_groupOpen = false;
    if (step.alsoMoved)
        step.alsoMoved(true);
    if (MovedAt(step))
        return TextSelection{step.pos + step.presentLen, 0};
    return step.before;
}

std::optional<TextSelection> EditHistory::redo(ByteText& text)
{
    if (!canRedo())
        return std::nullopt;
    Step& step = m_steps[m_done];
    swapStep(text, step);
    m_lastMovedAt = MovedAt(step);
    ++m_done;
    m_groupOpen = false;
    if (step.alsoMoved)
        step.alsoMoved(false);
    return step.after;
}

TextChange EditHistory::ChangeOf(const Step& step)
{
    if (std::holds_alternative<ByteText::Whole>(step.held))
        return {0, 0, 0, true};
    return {step.pos, step.presentLen, std::get<std::string>(step.held).size(), false};
}

std::optional<TextChange> EditHistory::undoChange() const
{
    if (!canUndo())
        return std::nullopt;
    return ChangeOf(m_steps[m_done - 1]);
}

std::optional<TextChange> EditHistory::redoChange() const
{
    if (!canRedo())
        return std::nullopt;
    return ChangeOf(m_steps[m_done]);
}

void EditHistory::clear()
{
    m_steps.clear();
    m_done = 0;
    m_groupOpen = false;
}
