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

// A change of the text: [pos, pos + erased) became `inserted` bytes, or the whole text changed.
struct TextChange {
    std::size_t pos = 0;
    std::size_t erased = 0;
    std::size_t inserted = 0;
    bool whole = false;
};

// Undo and redo of the edits of one ByteText. Every edit goes through here so that it can be
// taken back. Typed characters at the caret gather into one step, and so do characters that
// Backspace and Delete take one after the other, until the caret goes elsewhere, a line break
// is typed or deleted, or another kind of edit comes, as text boxes do; every other edit is a
// step of its own. A whole-text replacement (encryption, decryption,
// replace-all) is one step that keeps the replaced text by moving it, so undoing it costs no
// pass over the text.
//
// Undoing a step puts the caret after the bytes it brings back, redoing it after the bytes it
// puts in, as text boxes do; a whole-text step brings back the selection it found. An edit
// made after an undo drops the steps that could have been redone. A refused edit (over the
// text's capacity) records nothing; std::bad_alloc leaves text and history as they were.
class EditHistory final {
public:
    // A character (or a short run, such as a composed one) typed in place of the selection.
    bool type(ByteText& text, TextSelection selection, std::string_view typed);
    // The character (or line break) Backspace or Delete takes at the caret: it joins the one
    // taken just before it, right before it (Backspace) or where it was (Delete).
    bool deleteCharacter(ByteText& text, std::size_t pos, std::size_t len);
    // Any other edit: paste, cut, a drop, a line break typed.
    bool edit(ByteText& text, TextSelection before, std::size_t pos, std::size_t len,
              std::string_view with);
    // `alsoMoved` runs each time this step is undone (with true) or redone (with false), after
    // the text has moved: what else the command changed besides the text, for the caller to
    // put back (the document's extension after a decryption, say).
    bool replaceWhole(ByteText& text, TextSelection before, std::string&& replacement,
                      TextSelection after, std::function<void(bool undone)> alsoMoved = {});

    // The typing or deleting step in progress takes no more: the caret moved.
    void closeTyping() { m_groupOpen = false; }

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    // The selection to show; nothing, and no change at all, when there was nothing to undo or
    // redo.
    std::optional<TextSelection> undo(ByteText& text);
    std::optional<TextSelection> redo(ByteText& text);
    // What the next undo or redo changes in the text (nothing when there is none).
    std::optional<TextChange> undoChange() const;
    std::optional<TextChange> redoChange() const;

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
        enum class Kind { Other, Typing, Deleting } kind = Kind::Other;
        std::function<void(bool undone)> alsoMoved;
    };

    // The step that puts `with` in place of the text's [pos, pos + len), both within the text.
    static Step makeStep(const ByteText& text, TextSelection before, std::size_t pos,
                         std::size_t len, std::string_view with);
    void swapStep(ByteText& text, Step& step) const;
    static std::optional<std::size_t> MovedAt(const Step& step);
    static TextChange ChangeOf(const Step& step);
    bool record(ByteText& text, Step&& step, std::string_view with);
    // The last step, when the next edit of its kind may join it.
    Step* openStep(Step::Kind kind);

    std::vector<Step> m_steps;
    std::size_t m_done = 0;
    bool m_groupOpen = false;  // the last step may take the next one of its kind
    std::optional<std::size_t> m_lastMovedAt;
    EditObserver* m_observer = nullptr;
};
