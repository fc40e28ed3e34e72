#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The 8-bit text of the editor is Windows-1252. These are the one place that knows its
// characters; everything above speaks bytes.
namespace win1252 {

// The Unicode character of a byte. The five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 control of the same number so that every byte has a character.
char16_t ToUnicode(std::uint8_t byte);

// The byte of a Unicode character, or -1 when Windows-1252 has none.
int FromUnicode(char32_t ch);

// Windows-1252 bytes to UTF-8 (for file names, URIs and anything that leaves the process).
std::string ToUtf8(std::string_view bytes);

}  // namespace win1252
