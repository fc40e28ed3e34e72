#pragma once

#include <functional>
#include <string_view>

// Every message of the program goes through ShowNote. The text is Windows-1252; a text marked
// for translation (core/translate.h) is shown in the user's language. The message
// window installs the handler that shows it modally; tests install a recorder. Without a
// handler the text goes to standard error.
using NoteHandler = std::function<void(std::string_view)>;

void ShowNote(std::string_view text);

// Installs a handler and returns the one it replaces.
NoteHandler SetNoteHandler(NoteHandler handler);
