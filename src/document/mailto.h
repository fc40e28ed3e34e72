#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/translate.h"

// Quick e-mail: the whole text handed to the mail program as a mailto: request.

inline constexpr std::string_view kMailNotStandardNote = QT_TRANSLATE_NOOP(
    "Plimo",
    "This may not be standard text. We do not recommend sending it via email and Plimo may not "
    "be capable to do so.");
inline constexpr std::string_view kMailTooShortNote =
    QT_TRANSLATE_NOOP("Plimo", "The text to email is too short. Consider updating it.");
inline constexpr std::string_view kMailSubject = "Subject here";

// A text (CR LF counting two) shorter than this gets the "too short" warning.
inline constexpr std::size_t kMailMinTextLength = 10;

constexpr bool IsTooShortToMail(std::string_view text)
{
    return text.size() < kMailMinTextLength;
}

// Percent-encodes bytes for a URI: every byte except A-Z a-z 0-9 - . _ ~ becomes %XX.
std::string PercentEncode(std::string_view bytes);

// "mailto:?subject=Subject%20here&body=" and then each line of `text` (Windows-1252,
// CR LF between lines) as percent-encoded UTF-8, each followed by "%0D%0A". A last line that
// is empty is not counted, so an empty text gives an empty body.
std::string BuildMailtoRequest(std::string_view text);
