#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The printable-character shift cipher. Texts and keys are Windows-1252 bytes.
//
// EncryptText / DecryptText - check the inputs (messages through ShowNote), then return the
//     transformed text, as long as the input, or the empty text when refused.
// EncryptInto / DecryptInto - the same into a caller's buffer, so that a large text costs no new
//     allocation; false (and out emptied) when refused. When text views the whole of out, the
//     text is transformed in place, in its own buffer.
// FirstUnrestorable - 0-based index of the first character of text that would not come back from
//     encryption then decryption under key, or nothing; needs no encryption.
// detail::EncryptReference / DecryptReference - the plain character-by-character arithmetic,
//     without checks; the measure the fast code is tested against.
//
// Each character meets one key character: the key position runs over the characters 1 to m - 1
// of an m-character key and starts again, advancing over every text character. The key's last
// character never takes part; stored files depend on this cycle, so it must never change.
// CR, LF and tab pass through unchanged. The level text converts like StrToInt; encryption
// refuses silently a level other than 1, 2 or 3 (also one that does not convert); decryption
// converts it and ignores the result.

namespace cipher_messages {
inline constexpr std::string_view kTextTooShortToEncrypt = "Entered text is too short to encrypt.";
inline constexpr std::string_view kEncryptKeyTooShort = "Please your password needs to be longer.";
inline constexpr std::string_view kEncryptKeyTooLong = "Your password needs to be shorter.";
inline constexpr std::string_view kTextTooShortToDecrypt = "Entered text is too short to decrypt.";
inline constexpr std::string_view kDecryptKeyTooShort = "Please your password should be longer.";
}  // namespace cipher_messages

inline constexpr std::size_t kCipherMinTextLength = 8;
inline constexpr std::size_t kCipherMinKeyLength = 6;
inline constexpr std::size_t kCipherMaxEncryptKeyLength = 12;

std::string EncryptText(std::string_view text, std::string_view key, std::string_view level);
std::string DecryptText(std::string_view text, std::string_view key, std::string_view level);

bool EncryptInto(std::string_view text, std::string_view key, std::string_view level,
                 std::string& out);
bool DecryptInto(std::string_view text, std::string_view key, std::string_view level,
                 std::string& out);

// Keys shorter than two characters have no key cycle (the cipher refuses them anyway): nothing.
std::optional<std::size_t> FirstUnrestorable(std::string_view text, std::string_view key);

namespace detail {
// Both need a key of at least two characters and return the empty text otherwise.
std::string EncryptReference(std::string_view text, std::string_view key);
std::string DecryptReference(std::string_view text, std::string_view key);
}  // namespace detail
