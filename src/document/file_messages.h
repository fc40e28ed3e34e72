#pragma once

#include <string_view>

#include "core/translate.h"

// The file layer's own errors, in one place for every window that shows them.

// Errors that end a command; the path follows the first two.
inline constexpr std::string_view kCannotOpenFile = QT_TRANSLATE_NOOP("Plimo", "Cannot open file ");
inline constexpr std::string_view kCannotCreateFile =
    QT_TRANSLATE_NOOP("Plimo", "Cannot create file ");
inline constexpr std::string_view kTextExceedsCapacity =
    QT_TRANSLATE_NOOP("Plimo", "Text exceeds memo capacity");
// Memory ran out for a command that is not the load of a text.
inline constexpr std::string_view kOutOfMemory =
    QT_TRANSLATE_NOOP("Plimo", "Out of memory: the command was not completed.");
