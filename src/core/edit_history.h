#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/byte_text.h"

// A selection in byte positions, as the editing area reports it.
struct TextSelection {
    std::size_t start = 0;
    std::size_t length = 0;
    friend bool operator==(const TextSelection&, const TextSelection&) = default;
};

// What watches the text's changes as they are made, undone and redone (the recovery journal):
// told after each change, with the text as it is then. It must not throw, and must not edit.
class EditObserver {
public:
    virtual ~EditObserver() = default;
    // The text's [pos, pos + erased) became `inserted`.
    virtual void edited(const ByteText& text, std::size_t pos, std::size_t erased,
                        std::string_view inserted) noexcept = 0;
    // The whole text was replaced at once (a whole-text command, its undo or redo).
    virtual void replacedWhole(const ByteText& text) noexcept = 0;
};

// Undo and redo of the edits of one ByteText. Every edit goes through here so that it can be
// taken back. Typed characters at the caret gather into one step until the caret goes
// elsewhere, a line break is typed or another kind of edit comes, as the editing area has always
// done; every other edit is a step of its own. A whole-text replacement (encryption, decryption,
// replace-all) is one step that keeps the replaced text by moving it, so undoing it costs no
// pass over the text.
//
// Each step remembers the selection before it and after it, for the caller to restore. An edit
// made after an undo drops the steps that could have been redone. A refused edit (over the
// text's capacity) records nothing; std::bad_alloc leaves text and history as they were.
class EditHistory final {
public:
    // A character (or a short run, such as a composed one) typed in place of the selection.
    bool type(ByteText& text, TextSelection selection, std::string_view typed);
    // Any other edit: paste, cut, delete, a line break typed.
    bool edit(ByteText& text, TextSelection before, std::size_t pos, std::size_t len,
              std::string_view with);
    // `alsoMoved` runs each time this step is undone (with true) or redone (with false), after
    // the text has moved: what else the command changed besides the text, for the caller to
    // put back (the document's extension after a decryption, say).
    bool replaceWhole(ByteText& text, TextSelection before, std::string&& replacement,
                      TextSelection after, std::function<void(bool undone)> alsoMoved = {});

    // The typing step in progress takes no more characters: the caret moved.
    void closeTyping() { m_typingOpen = false; }

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    // The selection to show; nothing, and no change at all, when there was nothing to undo or
    // redo.
    std::optional<TextSelection> undo(ByteText& text);
    std::optional<TextSelection> redo(ByteText& text);

    // Forgets the steps; the observer is not told (the caller knows it starts a new document).
    void clear();
    // nullptr: none. Not owned.
    void setObserver(EditObserver* observer) { m_observer = observer; }
    std::size_t stepCount() const { return m_steps.size(); }
    // Where the last undo or redo changed the text: nothing before this position changed.
    // Nothing for a whole-text step.
    std::optional<std::size_t> lastMovedAt() const { return m_lastMovedAt; }

private:
    struct Step {
        // Done, the step's bytes are the text's [pos, pos + presentLen) and `held` is what they
        // replaced; undoing swaps the two, and so does redoing. A whole-text step holds the
        // whole other text instead.
        std::size_t pos = 0;
        std::size_t presentLen = 0;
        std::variant<std::string, ByteText::Whole> held;
        TextSelection before;
        TextSelection after;
        bool typing = false;
        std::function<void(bool undone)> alsoMoved;
    };

    // The step that puts `with` in place of the text's [pos, pos + len), both within the text.
    static Step makeStep(const ByteText& text, TextSelection before, std::size_t pos,
                         std::size_t len, std::string_view with);
    void swapStep(ByteText& text, Step& step) const;
    static std::optional<std::size_t> MovedAt(const Step& step);
    bool record(ByteText& text, Step&& step, std::string_view with);

    std::vector<Step> m_steps;
    std::size_t m_done = 0;
    bool m_typingOpen = false;
    std::optional<std::size_t> m_lastMovedAt;
    EditObserver* m_observer = nullptr;
};
