#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/show_note.h"

// Records every ShowNote text while it lives, then puts the previous handler back.
class NoteRecorder {
public:
    NoteRecorder()
        : m_previous(SetNoteHandler([this](std::string_view text) { notes.emplace_back(text); }))
    {
    }
    ~NoteRecorder() { SetNoteHandler(std::move(m_previous)); }
    NoteRecorder(const NoteRecorder&) = delete;
    NoteRecorder& operator=(const NoteRecorder&) = delete;

    std::vector<std::string> notes;

private:
    NoteHandler m_previous;
};
