#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Upper-casing of Windows-1252 text as the Windows ANSI upper-casing does it: one byte in, one
// byte out, so positions never move. Letters whose capital has no Windows-1252 byte (µ, ß, ƒ)
// stay as they are.
namespace win1252 {

namespace detail {
constexpr std::array<std::uint8_t, 256> MakeUpperTable()
{
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<std::uint8_t>(b);
    for (int b = 'a'; b <= 'z'; ++b)
        table[b] = static_cast<std::uint8_t>(b - 0x20);
    for (int b = 0xE0; b <= 0xFE; ++b)
        if (b != 0xF7)  // the division sign sits among the small letters
            table[b] = static_cast<std::uint8_t>(b - 0x20);
    table[0x9A] = 0x8A;  // š Š
    table[0x9C] = 0x8C;  // œ Œ
    table[0x9E] = 0x8E;  // ž Ž
    table[0xFF] = 0x9F;  // ÿ Ÿ
    return table;
}
}  // namespace detail

inline constexpr std::array<std::uint8_t, 256> kUpperTable = detail::MakeUpperTable();

constexpr std::uint8_t Upper(std::uint8_t byte)
{
    return kUpperTable[byte];
}

constexpr char Upper(char byte)
{
    return static_cast<char>(kUpperTable[static_cast<std::uint8_t>(byte)]);
}

// Upper-cases n bytes from src into dst, 16 bytes at a time where the processor allows.
// src and dst may be the same buffer; otherwise they must not overlap.
void UpperCopy(const char* src, std::size_t n, char* dst);

void UpperInPlace(std::string& text);
std::string UpperCopy(std::string_view text);

}  // namespace win1252
