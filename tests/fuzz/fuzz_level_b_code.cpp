// The Level B code: its whole-number conversion against a reference written from the rules, and
// the Level B encryption and decryption against a model of what each code must do.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "cipher/level_b_tables.h"
#include "cipher/levels.h"
#include "cipher/shift_cipher.h"
#include "cipher/whole_number.h"
#include "core/app_state.h"
#include "core/command_error.h"
#include "core/win1252.h"
#include "fuzz_support.h"

namespace {

constexpr std::string_view kDecimalDigits = "0123456789";
constexpr std::string_view kHexDigits = "0123456789abcdefABCDEF";

// Leading blanks, an optional sign, then decimal digits, or hexadecimal ones after "$", "x",
// "X", "0x" or "0X"; nothing after them; the signed value within 32 bits.
std::optional<std::int32_t> ReferenceStrToInt(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = text.substr(first);
    const bool negative = rest.front() == '-';
    if (rest.front() == '-' || rest.front() == '+')
        rest.remove_prefix(1);

    int base = 10;
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
        base = 16;
        rest.remove_prefix(1);
    } else if (rest.starts_with("0x") || rest.starts_with("0X")) {
        base = 16;
        rest.remove_prefix(2);
    }
    const std::string_view digits = base == 16 ? kHexDigits : kDecimalDigits;
    if (rest.empty() || rest.find_first_not_of(digits) != std::string_view::npos)
        return std::nullopt;

    // Beyond ten decimal or eight hexadecimal significant digits no value fits.
    const std::size_t significant = rest.find_first_not_of('0');
    if (significant == std::string_view::npos)
        return 0;
    const std::string_view value = rest.substr(significant);
    if (value.size() > (base == 16 ? 8u : 10u))
        return std::nullopt;
    const std::uint64_t magnitude = std::strtoull(std::string(value).c_str(), nullptr, base);
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    if (magnitude > limit)
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                              : static_cast<std::int64_t>(magnitude));
}

std::string Show(const std::optional<std::int32_t>& value)
{
    return value ? std::to_string(*value) : std::string("nothing");
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The key joined from the tables by the code's first three characters, or nothing when one of
// them is missing or no digit.
std::optional<std::string> ReferenceKey(std::string_view code)
{
    if (code.size() < 3 || !IsDigit(code[0]) || !IsDigit(code[1]) || !IsDigit(code[2]))
        return std::nullopt;
    const TLevelBKeyTables& tables = LevelBKeyTableData();
    std::string key;
    for (std::size_t t = 0; t < 3; ++t)
        key += tables[t][static_cast<std::size_t>(code[t] - '0')];
    return key;
}

TAppState FreshState()
{
    TAppState state;
    SetStateDefaults(state, LevelBKeyTableData());
    return state;
}

std::string Describe(std::string_view code, std::string_view text)
{
    return "code " + fuzz::Hex(code) + ", text " + fuzz::Hex(text);
}

void CheckConversion(std::string_view code)
{
    const auto got = TryStrToInt(code);
    const auto expected = ReferenceStrToInt(code);
    FUZZ_CHECK(got == expected, "TryStrToInt(" + fuzz::Hex(code) + ") gave " + Show(got) +
                                    ", expected " + Show(expected));
    try {
        const std::int32_t value = StrToInt(code);
        FUZZ_CHECK(expected && value == *expected, "StrToInt(" + fuzz::Hex(code) + ") gave " +
                                                       std::to_string(value) + ", expected " +
                                                       Show(expected));
    } catch (const CommandError& error) {
        const std::string message = "'" + win1252::ToUtf8(code) + "' is not a valid integer value.";
        FUZZ_CHECK(!expected, "StrToInt(" + fuzz::Hex(code) + ") threw for " + Show(expected));
        // what() is a C string: a typed NUL ends it.
        FUZZ_CHECK(error.what() == message.substr(0, message.find('\0')),
                   "StrToInt message " + fuzz::Hex(error.what()));
    }
}

void CheckBuildKey(std::string_view code)
{
    const auto expected = ReferenceKey(code);
    try {
        const std::string key = BuildLevelBKey(LevelBKeyTableData(), code);
        FUZZ_CHECK(expected && key == *expected,
                   "BuildLevelBKey(" + fuzz::Hex(code) + ") gave " + fuzz::Hex(key));
    } catch (const CommandError& error) {
        FUZZ_CHECK(!expected, "BuildLevelBKey(" + fuzz::Hex(code) + ") threw " + error.what());
        FUZZ_CHECK(*error.what() != '\0', "BuildLevelBKey threw an empty message");
    }
}

void CheckDecrypt(fuzz::QuietNotes& notes, std::string_view code, std::string_view text)
{
    const auto value = ReferenceStrToInt(code);
    const bool inRange = value && *value >= 0 && *value <= 999;
    const auto key = ReferenceKey(code);
    TAppState state = FreshState();
    notes.Clear();
    TLevelResult result;
    try {
        result = DecryptWithLevel(state, EncryptionLevel::B, text, code);
    } catch (const CommandError&) {
        // The command stops before anything is shown: the code does not convert, or it is in
        // range but lacks three leading digits.
        FUZZ_CHECK(!value || (inRange && !key),
                   "DecryptWithLevel threw for " + Describe(code, text));
        FUZZ_CHECK(notes.Count() == 0, "a note before the error: " + notes.Last());
        return;
    }
    FUZZ_CHECK(value && (!inRange || key),
               "DecryptWithLevel did not throw for " + Describe(code, text));
    if (!inRange) {
        FUZZ_CHECK(result.outcome == LevelOutcome::Failed && result.text.empty(),
                   "out-of-range code decrypted: " + Describe(code, text));
        FUZZ_CHECK(
            notes.Count() == 1 && notes.Last() == std::to_string(*value) +
                                                      std::string(level_messages::kCodeOutOfRange),
            "out-of-range note " + fuzz::Hex(notes.Last()));
        return;
    }
    FUZZ_CHECK(state.LevelBKey == *key,
               "LevelBKey " + fuzz::Hex(state.LevelBKey) + " for " + Describe(code, text));
    if (text.size() < kCipherMinTextLength) {
        FUZZ_CHECK(result.outcome == LevelOutcome::Failed && result.text.empty(),
                   "short text decrypted: " + Describe(code, text));
        // The cipher's refusal, then the level's.
        FUZZ_CHECK(notes.Count() == 2 && notes.Last() == level_messages::kDecryptTooShort[1],
                   "note " + notes.Last());
        return;
    }
    const std::string plain = detail::DecryptReference(text, *key);
    FUZZ_CHECK(result.outcome == LevelOutcome::Done && result.text == plain,
               "decrypted " + fuzz::Hex(result.text) + ", expected " + fuzz::Hex(plain) + " for " +
                   Describe(code, text));
    FUZZ_CHECK(state.FileExt == kPlainExtension && state.PlainText, Describe(code, text));
}

void CheckEncrypt(fuzz::QuietNotes& notes, std::string_view code, std::string_view text)
{
    const bool threeDigits = code.size() == 3 && ReferenceKey(code);
    TAppState state = FreshState();
    notes.Clear();
    const TLevelResult result = EncryptWithLevel(state, EncryptionLevel::B, text, code);
    if (!threeDigits) {
        FUZZ_CHECK(result.outcome == LevelOutcome::Failed && result.text.empty(),
                   "encrypted under a refused code: " + Describe(code, text));
        FUZZ_CHECK(notes.Count() > 0, "refused code without a note: " + Describe(code, text));
        return;
    }
    const std::string key = *ReferenceKey(code);
    FUZZ_CHECK(state.LevelBKey == key, "LevelBKey " + fuzz::Hex(state.LevelBKey));
    const bool encrypts = text.size() >= kCipherMinTextLength && !FirstUnrestorable(text, key);
    if (!encrypts) {
        FUZZ_CHECK(result.outcome == LevelOutcome::Failed && result.text.empty(),
                   "refusable text encrypted: " + Describe(code, text));
        // A short text: the cipher's refusal, then the level's; otherwise the one character lost.
        const bool tooShort = text.size() < kCipherMinTextLength;
        FUZZ_CHECK(notes.Count() == (tooShort ? 2u : 1u) &&
                       (!tooShort || notes.Last() == level_messages::kEncryptTooShort[1]),
                   "note " + notes.Last() + " for " + Describe(code, text));
        return;
    }
    const std::string cipher = detail::EncryptReference(text, key);
    FUZZ_CHECK(result.outcome == LevelOutcome::Done && result.text == cipher,
               "encrypted " + fuzz::Hex(result.text) + ", expected " + fuzz::Hex(cipher) + " for " +
                   Describe(code, text));

    // The same code takes it back.
    TAppState again = FreshState();
    const TLevelResult back = DecryptWithLevel(again, EncryptionLevel::B, result.text, code);
    FUZZ_CHECK(back.outcome == LevelOutcome::Done && back.text == text,
               "round trip gave " + fuzz::Hex(back.text) + " for " + Describe(code, text));
}

}  // namespace

// First byte: the code's length (0..63); then the code; the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzz::QuietNotes notes;
    fuzz::InputReader reader(data, size);
    const std::size_t codeLength = reader.Byte() % 64;
    const std::string_view code = reader.Bytes(codeLength);
    const std::string_view text = reader.Rest();

    CheckConversion(code);
    CheckBuildKey(code);
    CheckDecrypt(notes, code, text);
    CheckEncrypt(notes, code, text);
    return 0;
}
