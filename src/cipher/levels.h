#pragma once

#include <array>
#include <string>
#include <string_view>

#include "cipher/shift_cipher.h"
#include "core/app_state.h"
#include "core/translate.h"

// The three encryption levels: where each takes its key, its checks, messages and effects on
// the state. Texts are Windows-1252 bytes.
//
// BuildLevelBKey   - the 12-character Level B key joined from the tables by the code's first
//                    three digits; throws CommandError naming a non-digit or missing character.
// EncryptWithLevel - encrypts text at level with the level's key (typed: the password box);
//                    Done with the cipher text, or Failed after its messages.
// DecryptWithLevel - the inverse; throws CommandError (the command stops, nothing shown through
//                    ShowNote) when a Level B code does not convert or lacks three digits.
// EncryptWithLevelInPlace / DecryptWithLevelInPlace - the same, with the result made in the
//                    text's own buffer, so that a text of hundreds of megabytes needs no second
//                    one: Done leaves the result in text, Failed leaves text empty (as a Failed
//                    result is), and a throw leaves it as it was.
// IsValidLevelAPwd - true for exactly eight ASCII letters or digits.
// ClassifyLevelAPwdUpdate - which of the three cases the Level A password Update command meets.
// UnrestorableMessage - the refusal naming the character at index (< text's length), its line
//                    and column.
//
// Both directions take the key alike: Level A the stored LevelAPwd (a typed password is
// ignored, with a note), Level B the key joined from the typed code once the code passes the
// direction's checks, Level C the typed password. The cipher gets the level as EncryptionLevel
// and hands its refusals back; they are shown here, each before the level's own message, so
// the messages of a command come from this layer alone and in a fixed order.
//
// Encryption never loses data: a text holding a character that would not come back under the
// key (FirstUnrestorable) is refused after the level's own checks, and nothing changes.
// A Level B decryption code outside 0..999 shows its message and stops there, decrypting nothing.

enum class LevelOutcome { Done, Failed };

struct TLevelResult {
    LevelOutcome outcome = LevelOutcome::Failed;
    std::string text;  // Done: the text for the editing area. Failed: empty.
};

inline constexpr std::array<std::string_view, 3> kLevelCaptions = {
    QT_TRANSLATE_NOOP("Plimo", "Good - Level A"), QT_TRANSLATE_NOOP("Plimo", "Very Good - Level B"),
    QT_TRANSLATE_NOOP("Plimo", "Secure - Level C")};
// FileExt after encryption, by level; every decryption gives kPlainExtension.
inline constexpr std::array<std::string_view, 3> kLevelExtensions = {"txa", "txb", "txc"};
inline constexpr std::string_view kPlainExtension = "txt";

namespace level_messages {
inline constexpr std::string_view kPasswordIgnored =
    QT_TRANSLATE_NOOP("Plimo", "Your password will be ignored because you have chosen Level A.");
inline constexpr std::string_view kCodeNotThreeCharacters =
    QT_TRANSLATE_NOOP("Plimo", "Password needs to be of 3 numbers and numbers only.");
inline constexpr std::string_view kCodeNotDigits =
    QT_TRANSLATE_NOOP("Plimo", "Password needs to be only numbers from 000 to 999.");
// Follows the code's value, written in decimal, without a blank.
inline constexpr std::string_view kCodeOutOfRange =
    QT_TRANSLATE_NOOP("Plimo", "Your password digits need to be from 000 to 999.");
// Encryption results too short, by level.
inline constexpr std::array<std::string_view, 3> kEncryptTooShort = {
    QT_TRANSLATE_NOOP("Plimo", "Text is too short [A]. Minimum is 8 characters."),
    QT_TRANSLATE_NOOP("Plimo", "Text is too short (B). Minimum is 8 characters."),
    QT_TRANSLATE_NOOP("Plimo", "Text is too short (C). It needs to 8 or more characters long.")};
// Decryption results too short, by level.
inline constexpr std::array<std::string_view, 3> kDecryptTooShort = {
    QT_TRANSLATE_NOOP("Plimo", "Text is too short. Minimum size is 8 characters."),
    QT_TRANSLATE_NOOP("Plimo", "Text is too short. Minimum is 8 characters."),
    QT_TRANSLATE_NOOP("Plimo", "Text is too short. Minimum is 8 characters.")};
inline constexpr std::string_view kLevelAPwdRefused = QT_TRANSLATE_NOOP(
    "Plimo",
    "Sorry, password for Level A was not updated. It needs to be made of letters, numbers and 8 "
    "characters together.");
inline constexpr std::string_view kLevelAPwdUpdated =
    QT_TRANSLATE_NOOP("Plimo", "Password for Level A has been updated!");
}  // namespace level_messages

std::string BuildLevelBKey(const TLevelBKeyTables& tables, std::string_view code);

TLevelResult EncryptWithLevel(TAppState& state, EncryptionLevel level, std::string_view text,
                              std::string_view typed);

TLevelResult DecryptWithLevel(TAppState& state, EncryptionLevel level, std::string_view text,
                              std::string_view typed);

LevelOutcome EncryptWithLevelInPlace(TAppState& state, EncryptionLevel level, std::string& text,
                                     std::string_view typed);

LevelOutcome DecryptWithLevelInPlace(TAppState& state, EncryptionLevel level, std::string& text,
                                     std::string_view typed);

// The level's whole command for a text the caller transforms piece by piece (a file too large
// to hold twice): every check, message and effect on the state of EncryptWithLevel or
// DecryptWithLevel on `text`, without the transform. Done: `key` is the key to give
// EncryptPiece or DecryptPiece.
LevelOutcome PrepareWithLevel(TAppState& state, CipherDirection direction, EncryptionLevel level,
                              std::string_view text, std::string_view typed, std::string& key);

// PrepareWithLevel to encrypt, without its check that every character comes back, for a caller
// that makes that check itself on each piece just before it encrypts it (FirstUnrestorable with
// the piece's offset), so that a large text is read once. Done has told and done what encrypting
// a text that passes the check tells and does. Should the caller then find a character that
// would not come back, it keeps nothing it encrypted, shows UnrestorableMessage, and drops
// `state`: the refusal would have left the state's FileExt and PlainText as they were.
LevelOutcome PrepareEncryptionInPieces(TAppState& state, EncryptionLevel level,
                                       std::string_view text, std::string_view typed,
                                       std::string& key);

bool IsValidLevelAPwd(std::string_view candidate);

// Unchanged: the candidate equals LevelAPwd; the UI clears the box, nothing else.
// Refused:   the UI shows kLevelAPwdRefused; the box keeps its text and colour.
// Accepted:  the UI turns the box lime, sets LevelAPwd, calls SaveSettings, shows
//            kLevelAPwdUpdated, then clears the box and restores its colour.
enum class LevelAPwdUpdate { Unchanged, Refused, Accepted };

LevelAPwdUpdate ClassifyLevelAPwdUpdate(const TAppState& state, std::string_view candidate);

std::string UnrestorableMessage(std::string_view text, std::size_t index);
// The same for the character `ch` at `line` and `column` (from 1) of a text not held whole.
std::string UnrestorableMessage(unsigned char ch, std::size_t line, std::size_t column);
