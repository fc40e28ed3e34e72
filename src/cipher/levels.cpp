#include "cipher/levels.h"

#include "cipher/shift_cipher.h"
#include "cipher/whole_number.h"
#include "core/command_error.h"
#include "core/show_note.h"
#include "core/translate.h"
#include "core/win1252.h"

namespace {

constexpr std::size_t kLevelBCodeLength = 3;

bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

bool IsAsciiLetterOrDigit(char ch)
{
    return IsDigit(ch) || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

std::size_t Index(EncryptionLevel level)
{
    return static_cast<std::size_t>(level);
}

TLevelResult Failed()
{
    return {LevelOutcome::Failed, {}};
}

std::string NonDigitInCodeMessage(std::string_view code, std::size_t index)
{
    std::string message = NotAnIntegerMessage(code.substr(index, 1));
    message += Tr(QT_TRANSLATE_NOOP("Plimo", " Character "));
    message += std::to_string(index + 1);
    message += Tr(QT_TRANSLATE_NOOP("Plimo", " of '"));
    message += win1252::ToUtf8(code);
    message += Tr(QT_TRANSLATE_NOOP(
        "Plimo",
        "' needs to be a digit: a Level B code starts with three digits from 000 to 999."));
    return message;
}

std::string MissingDigitInCodeMessage(std::string_view code, std::size_t index)
{
    static constexpr std::array<std::string_view, 3> kOrdinals = {
        QT_TRANSLATE_NOOP("Plimo", "first"), QT_TRANSLATE_NOOP("Plimo", "second"),
        QT_TRANSLATE_NOOP("Plimo", "third")};
    std::string message = "'";
    message += win1252::ToUtf8(code);
    message += Tr(QT_TRANSLATE_NOOP("Plimo", "' has no "));
    message += Tr(kOrdinals[index]);
    message += Tr(QT_TRANSLATE_NOOP(
        "Plimo", " digit: a Level B code starts with three digits from 000 to 999."));
    return message;
}

// Encryption wants exactly three characters, each a digit; every non-digit is told.
bool AcceptLevelBCodeForEncryption(TAppState& state, std::string_view code)
{
    if (code.size() != kLevelBCodeLength) {
        ShowNote(level_messages::kCodeNotThreeCharacters);
        return false;
    }
    bool digits = true;
    for (const char ch : code) {
        if (!IsDigit(ch)) {
            ShowNote(level_messages::kCodeNotDigits);
            state.PlainText = true;
            digits = false;
        }
    }
    return digits;
}

// Decryption reads the code as a whole number, which must lie in 0..999; one that does not
// convert stops the command (CommandError). LevelBKey holds the code as typed meanwhile.
bool AcceptLevelBCodeForDecryption(TAppState& state, const std::string& code)
{
    state.LevelBKey = code;
    const std::int32_t value = StrToInt(code);
    if (value < 0 || value > 999) {
        // Decrypting with a refused code would only put garbage in place of the text.
        ShowNote(std::to_string(value) + TrNote(level_messages::kCodeOutOfRange));
        state.PlainText = false;
        return false;
    }
    return true;
}

// A character shows in a message only if it has a visible glyph; otherwise only its code does.
bool HasGlyph(unsigned char ch)
{
    if (ch <= 32 || ch == 127 || ch == 0xA0 || ch == 0xAD)
        return false;
    return !(ch == 0x81 || ch == 0x8D || ch == 0x8F || ch == 0x90 || ch == 0x9D);
}

}  // namespace

std::string BuildLevelBKey(const TLevelBKeyTables& tables, std::string_view code)
{
    std::string key;
    for (std::size_t t = 0; t < kLevelBCodeLength; ++t) {
        if (t >= code.size())
            throw CommandError(MissingDigitInCodeMessage(code, t));
        if (!IsDigit(code[t]))
            throw CommandError(NonDigitInCodeMessage(code, t));
        key += tables[t][static_cast<std::size_t>(code[t] - '0')];
    }
    return key;
}

namespace {

// The level's key, taken the same way in both directions, with the level's checks and notes;
// nothing when the code typed for Level B is refused, or the level is none of the three.
const std::string* ChooseKey(TAppState& state, EncryptionLevel level, std::string_view typed,
                             CipherDirection direction)
{
    switch (level) {
        case EncryptionLevel::A:
            if (!typed.empty())
                ShowNote(level_messages::kPasswordIgnored);
            return &state.LevelAPwd;
        case EncryptionLevel::B: {
            const std::string code(typed);  // typed may view the state it changes
            const bool accepted = direction == CipherDirection::Encrypt
                                      ? AcceptLevelBCodeForEncryption(state, code)
                                      : AcceptLevelBCodeForDecryption(state, code);
            if (!accepted)
                return nullptr;
            state.LevelBKey = BuildLevelBKey(state.LevelBKeyTables, code);
            return &state.LevelBKey;
        }
        case EncryptionLevel::C:
            state.LevelCPwd = std::string(typed);
            return &state.LevelCPwd;
    }
    return nullptr;
}

// The one encryption, into `out`, which may be the very buffer `text` views: the result then
// replaces the text in place. On Failed, out holds nothing useful. Without `out`, only the
// checks, messages and effects, and `key` gets the key the caller transforms with; with
// `callerChecks`, the caller looks for a character that would not come back.
LevelOutcome Encrypt(TAppState& state, EncryptionLevel level, std::string_view text,
                     std::string_view typed, std::string* out, std::string* keyOut = nullptr,
                     bool callerChecks = false)
{
    const std::string* key = ChooseKey(state, level, typed, CipherDirection::Encrypt);
    if (!key)
        return LevelOutcome::Failed;
    if (keyOut)
        *keyOut = *key;

    // Refuse rather than hand back a cipher text that would not decrypt to what was typed. The
    // check reads the plain text, which encrypting in place overwrites, so it runs first, and a
    // text it refuses is only put to the cipher's checks, not encrypted.
    const auto lost = callerChecks ? std::nullopt : FirstUnrestorable(text, *key);
    const TCipherRefusals refusals =
        lost || !out ? EncryptRefusals(text, *key, level) : EncryptInto(text, *key, level, *out);
    ShowCipherRefusals(CipherDirection::Encrypt, refusals);
    if (refusals.Any()) {
        state.FileExt = std::string(kLevelExtensions[Index(level)]);
        ShowNote(level_messages::kEncryptTooShort[Index(level)]);
        state.PlainText = true;
        return LevelOutcome::Failed;
    }
    if (lost) {
        ShowNote(UnrestorableMessage(text, *lost));
        return LevelOutcome::Failed;
    }
    state.FileExt = std::string(kLevelExtensions[Index(level)]);
    state.PlainText = false;
    return LevelOutcome::Done;
}

// The one decryption, into `out`, which may be the very buffer `text` views; without it, as
// Encrypt.
LevelOutcome Decrypt(TAppState& state, EncryptionLevel level, std::string_view text,
                     std::string_view typed, std::string* out, std::string* keyOut = nullptr)
{
    const std::string* key = ChooseKey(state, level, typed, CipherDirection::Decrypt);
    if (!key)
        return LevelOutcome::Failed;
    if (keyOut)
        *keyOut = *key;

    const TCipherRefusals refusals =
        out ? DecryptInto(text, *key, level, *out) : DecryptRefusals(text, *key);
    ShowCipherRefusals(CipherDirection::Decrypt, refusals);
    state.FileExt = std::string(kPlainExtension);
    if (refusals.Any()) {
        ShowNote(level_messages::kDecryptTooShort[Index(level)]);
        state.PlainText = false;
        return LevelOutcome::Failed;
    }
    state.PlainText = true;
    return LevelOutcome::Done;
}

TLevelResult Result(LevelOutcome outcome, std::string& text)
{
    if (outcome != LevelOutcome::Done)
        return Failed();
    return {outcome, std::move(text)};
}

}  // namespace

TLevelResult EncryptWithLevel(TAppState& state, EncryptionLevel level, std::string_view text,
                              std::string_view typed)
{
    std::string out;
    return Result(Encrypt(state, level, text, typed, &out), out);
}

TLevelResult DecryptWithLevel(TAppState& state, EncryptionLevel level, std::string_view text,
                              std::string_view typed)
{
    std::string out;
    return Result(Decrypt(state, level, text, typed, &out), out);
}

LevelOutcome EncryptWithLevelInPlace(TAppState& state, EncryptionLevel level, std::string& text,
                                     std::string_view typed)
{
    const LevelOutcome outcome = Encrypt(state, level, text, typed, &text);
    if (outcome != LevelOutcome::Done)
        text.clear();
    return outcome;
}

LevelOutcome DecryptWithLevelInPlace(TAppState& state, EncryptionLevel level, std::string& text,
                                     std::string_view typed)
{
    const LevelOutcome outcome = Decrypt(state, level, text, typed, &text);
    if (outcome != LevelOutcome::Done)
        text.clear();
    return outcome;
}

bool IsValidLevelAPwd(std::string_view candidate)
{
    if (candidate.size() != 8)
        return false;
    for (const char ch : candidate)
        if (!IsAsciiLetterOrDigit(ch))
            return false;
    return true;
}

LevelAPwdUpdate ClassifyLevelAPwdUpdate(const TAppState& state, std::string_view candidate)
{
    if (candidate == state.LevelAPwd)
        return LevelAPwdUpdate::Unchanged;
    return IsValidLevelAPwd(candidate) ? LevelAPwdUpdate::Accepted : LevelAPwdUpdate::Refused;
}

std::string UnrestorableMessage(std::string_view text, std::size_t index)
{
    // Lines are split at CR LF, as the editing area holds them.
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i + 1 < index; ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            ++line;
            lineStart = i + 2;
        }
    }
    return UnrestorableMessage(static_cast<unsigned char>(text[index]), line,
                               index - lineStart + 1);
}

std::string UnrestorableMessage(unsigned char ch, std::size_t line, std::size_t column)
{
    // Messages are appended piece by piece: "literal" + std::string trips a false -Wrestrict
    // warning in g++ 12 at -O3.
    std::string message =
        TrNote(QT_TRANSLATE_NOOP("Plimo", "Text was not encrypted: the character "));
    if (HasGlyph(ch)) {
        message += '"';
        message += static_cast<char>(ch);
        message += TrNote(QT_TRANSLATE_NOOP("Plimo", "\" (code "));
        message += std::to_string(ch);
        message += ')';
    } else {
        message += TrNote(QT_TRANSLATE_NOOP("Plimo", "with code "));
        message += std::to_string(ch);
    }
    message += TrNote(QT_TRANSLATE_NOOP("Plimo", " in line "));
    message += std::to_string(line);
    message += TrNote(QT_TRANSLATE_NOOP("Plimo", ", column "));
    message += std::to_string(column);
    message += TrNote(QT_TRANSLATE_NOOP(
        "Plimo", " would not come back when decrypted. Nothing has been changed."));
    return message;
}

LevelOutcome PrepareWithLevel(TAppState& state, CipherDirection direction, EncryptionLevel level,
                              std::string_view text, std::string_view typed, std::string& key)
{
    return direction == CipherDirection::Encrypt
               ? Encrypt(state, level, text, typed, nullptr, &key)
               : Decrypt(state, level, text, typed, nullptr, &key);
}

LevelOutcome PrepareEncryptionInPieces(TAppState& state, EncryptionLevel level,
                                       std::string_view text, std::string_view typed,
                                       std::string& key)
{
    return Encrypt(state, level, text, typed, nullptr, &key, true);
}
