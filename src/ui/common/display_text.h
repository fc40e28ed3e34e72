#pragma once

#include <string>
#include <string_view>

#include <QString>

// The program's own texts between bytes and what Qt shows: captions, box contents, messages,
// paths. (The editing area's text has its own codec, which also keeps lone line breaks and NUL.)
namespace display_text {

// A one-line text (a caption, a box's text) between Windows-1252 bytes and QString. CR LF and
// lone breaks are plain characters here; a character without a byte becomes '?'.
QString FromBytes(std::string_view bytes);
std::string ToBytes(QStringView text);

// Windows-1252 bytes as lines of display text: CR LF, a lone CR and a lone LF each end a line.
QString LinesFromBytes(std::string_view bytes);

// UTF-8 (a file system path, a text written in the source) for display.
QString FromUtf8(std::string_view utf8);

// A menu caption showing the text as it is: '&' would otherwise mark an access letter.
QString MenuCaption(std::string_view bytes);

}  // namespace display_text
