#pragma once

#include <string>

#include <QStringView>

// Characters typed, pasted or dropped into the editing area, as the bytes of its text.
namespace text_codec {

// Each character with no Windows-1252 byte becomes '?' (one for a character outside the 16-bit
// range, too, and for NUL), so that what the user sees is what is saved. Every line break ('\n', '\r',
// CR LF, U+2029) becomes CR LF.
std::string InputToBytes(QStringView text);

}  // namespace text_codec
