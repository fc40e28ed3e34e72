#pragma once

#include <string>
#include <string_view>

#include <QString>

// The bijection between the editor's 8-bit text (Windows-1252 bytes, CR LF between lines) and
// the text of the Qt document. CR LF is a block break; a lone CR, a lone LF and NUL have no place
// in a QTextDocument (it breaks blocks at CR and truncates at NUL), so they travel as private-use
// characters. Every byte string survives BytesToQt followed by QtRawToBytes.
namespace text_codec {

inline constexpr char16_t kLoneCr = 0xE00D;
inline constexpr char16_t kLoneLf = 0xE00A;
inline constexpr char16_t kNul = 0xE000;

// Bytes to the plain text for QTextDocument::setPlainText (blocks separated by '\n').
QString BytesToQt(std::string_view bytes);

// QTextDocument::toRawText() (blocks separated by U+2029) to bytes. A character with no byte
// becomes '?'.
std::string QtRawToBytes(QStringView raw);

// Characters typed or pasted: each one with no Windows-1252 byte becomes '?', so that what the
// user sees is what is saved. Line breaks ('\n', '\r', U+2029) stay line breaks.
QString SanitizeInput(QStringView text);

// The byte count of a piece of raw document text, CR LF counted as two.
qsizetype ByteLength(QStringView raw);

}  // namespace text_codec
