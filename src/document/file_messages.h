#pragma once

#include <string_view>

// The file layer's own errors, in one place for every window that shows them.

// Errors that end a command; the path follows the first two.
inline constexpr std::string_view kCannotOpenFile = "Cannot open file ";
inline constexpr std::string_view kCannotCreateFile = "Cannot create file ";
inline constexpr std::string_view kTextExceedsCapacity = "Text exceeds memo capacity";
// Memory ran out for a command that is not the load of a text.
inline constexpr std::string_view kOutOfMemory = "Out of memory: the command was not completed.";
