#pragma once

#include <string_view>

// The file layer's own errors, in one place for every window that shows them.

// Errors that end a command; the path follows the first two.
inline constexpr std::string_view kCannotOpenFile = "Cannot open file ";
inline constexpr std::string_view kCannotCreateFile = "Cannot create file ";
inline constexpr std::string_view kTextExceedsCapacity = "Text exceeds memo capacity";
