#pragma once

#include <string>

class QLineEdit;

// A text box that holds a secret (a password, a code) keeps nothing of it where others could
// find it: a selection in it is never offered as the X primary selection, which any program may
// read, and emptying it leaves nothing to undo. The box's look, captions and echo mode stay as
// they are; a box that also hides what is typed sets QLineEdit::Password itself.

// Makes `box` such a box for its lifetime.
void KeepSecret(QLineEdit* box);

// Empties `box` with its undo and redo history (QLineEdit::clear() is a step Ctrl+Z takes back).
void EmptySecret(QLineEdit* box);

// Takes the box's text out as UTF-8 and empties the box as EmptySecret does; the copies made on
// the way are overwritten. The caller wipes the string it gets when done with it.
std::string TakeSecretUtf8(QLineEdit* box);
