#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/translate.h"

// The printable-character shift cipher. Texts and keys are Windows-1252 bytes.
//
// EncryptInto / DecryptInto - check the inputs and, when none is refused, transform the text
//     into a caller's buffer, so that a large text costs no new allocation. They return the
//     refusals, and show nothing: the caller tells the user (ShowCipherRefusals). When refused,
//     out is emptied. When text views the whole of out, the text is transformed in place, in
//     its own buffer.
// EncryptRefusals / DecryptRefusals - the same checks alone, transforming nothing.
// EncryptText / DecryptText - the whole operation with the level as its text "1".."3": shows
//     the refusals through ShowNote, then returns the transformed text, as long as the input,
//     or the empty text when refused. The level text converts like StrToInt.
// CipherRefusalMessage / ShowCipherRefusals - what the user is told of a refusal, by direction.
// FirstUnrestorable - 0-based index of the first character of text that would not come back from
//     encryption then decryption under key, or nothing; needs no encryption.
// detail::EncryptReference / DecryptReference - the plain character-by-character arithmetic,
//     without checks; the measure the fast code is tested against.
//
// Each character meets one key character: the key position runs over the characters 1 to m - 1
// of an m-character key and starts again, advancing over every text character. The key's last
// character never takes part; stored files depend on this cycle, so it must never change.
// CR, LF and tab pass through unchanged. The level plays no part in the arithmetic: encryption
// refuses, silently, a level other than A, B or C (a level text other than 1, 2 or 3, also one
// that does not convert); decryption ignores it.

// Level A, B or C: index 0, 1, 2 in every level list; its level text is one more ("1".."3").
enum class EncryptionLevel { A = 0, B = 1, C = 2 };

enum class CipherDirection { Encrypt, Decrypt };

// Why the cipher refuses a text, in the order the user is told. One call can meet several.
enum class CipherRefusal {
    TextTooShort,
    KeyTooShort,
    KeyTooLong,    // encryption only
    UnknownLevel,  // encryption only; told to nobody
};

// The refusals of one call; none when the text was transformed.
class TCipherRefusals {
public:
    constexpr void Add(CipherRefusal refusal) { m_bits |= Bit(refusal); }
    constexpr bool Has(CipherRefusal refusal) const { return (m_bits & Bit(refusal)) != 0; }
    constexpr bool Any() const { return m_bits != 0; }
    constexpr bool operator==(const TCipherRefusals&) const = default;

private:
    static constexpr unsigned Bit(CipherRefusal refusal)
    {
        return 1u << static_cast<unsigned>(refusal);
    }
    unsigned m_bits = 0;
};

namespace cipher_messages {
inline constexpr std::string_view kTextTooShortToEncrypt =
    QT_TRANSLATE_NOOP("Plimo", "Entered text is too short to encrypt.");
inline constexpr std::string_view kEncryptKeyTooShort =
    QT_TRANSLATE_NOOP("Plimo", "Please your password needs to be longer.");
inline constexpr std::string_view kEncryptKeyTooLong =
    QT_TRANSLATE_NOOP("Plimo", "Your password needs to be shorter.");
inline constexpr std::string_view kTextTooShortToDecrypt =
    QT_TRANSLATE_NOOP("Plimo", "Entered text is too short to decrypt.");
inline constexpr std::string_view kDecryptKeyTooShort =
    QT_TRANSLATE_NOOP("Plimo", "Please your password should be longer.");
}  // namespace cipher_messages

inline constexpr std::size_t kCipherMinTextLength = 8;
inline constexpr std::size_t kCipherMinKeyLength = 6;
inline constexpr std::size_t kCipherMaxEncryptKeyLength = 12;

std::string EncryptText(std::string_view text, std::string_view key, std::string_view level);
std::string DecryptText(std::string_view text, std::string_view key, std::string_view level);

[[nodiscard]] TCipherRefusals EncryptInto(std::string_view text, std::string_view key,
                                          EncryptionLevel level, std::string& out);
[[nodiscard]] TCipherRefusals DecryptInto(std::string_view text, std::string_view key,
                                          EncryptionLevel level, std::string& out);

// The transform alone, for a text handled in pieces once its checks found nothing to refuse:
// `piece` starts at character `offset` of the whole text, so the key cycle goes on where the
// piece before it stopped; `out` gets piece.size() bytes. The key needs two characters or more.
void EncryptPiece(std::string_view piece, std::string_view key, std::size_t offset, char* out);
void DecryptPiece(std::string_view piece, std::string_view key, std::size_t offset, char* out);

// EncryptPiece and the check FirstUnrestorable(piece, key, offset) together, reading a usual
// piece (printable characters, tabs, line breaks) once for both: gives what the check gives;
// when that is a character, `out` holds nothing to keep.
std::optional<std::size_t> EncryptPieceChecked(std::string_view piece, std::string_view key,
                                               std::size_t offset, char* out);

TCipherRefusals EncryptRefusals(std::string_view text, std::string_view key, EncryptionLevel level);
TCipherRefusals DecryptRefusals(std::string_view text, std::string_view key);

// Empty for a refusal the direction never makes, and for the unknown level, which is not told.
std::string_view CipherRefusalMessage(CipherDirection direction, CipherRefusal refusal);

// Each refusal's message through ShowNote, in the order of CipherRefusal.
void ShowCipherRefusals(CipherDirection direction, TCipherRefusals refusals);

// Keys shorter than two characters have no key cycle (the cipher refuses them anyway): nothing.
std::optional<std::size_t> FirstUnrestorable(std::string_view text, std::string_view key);
// The same for a piece that starts at character `offset` of the whole text, as EncryptPiece
// takes it; the index is the piece's own.
std::optional<std::size_t> FirstUnrestorable(std::string_view piece, std::string_view key,
                                             std::size_t offset);

namespace detail {
// Both need a key of at least two characters and return the empty text otherwise.
std::string EncryptReference(std::string_view text, std::string_view key);
std::string DecryptReference(std::string_view text, std::string_view key);
}  // namespace detail
