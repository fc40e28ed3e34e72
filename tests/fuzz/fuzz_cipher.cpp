// The shift cipher: the fast paths agree with the plain character-by-character arithmetic, the
// refusals are the documented ones, and encryption then decryption restores every text the
// restorability check accepts, and loses exactly the character it names otherwise. plimo-cipher's
// file path gives the file the editor saves (or refuses with the editor's messages) and
// decrypts it back.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "cipher/level_b_tables.h"
#include "cipher/levels.h"
#include "cipher/shift_cipher.h"
#include "cli/cipher_command.h"
#include "document/document_file.h"
#include "document/file_read.h"
#include "fuzz_support.h"

namespace {

// A level text and the level it names; nothing for a text naming none.
struct TLevelCase {
    std::string_view text;
    std::optional<EncryptionLevel> level;
};
constexpr TLevelCase kLevels[] = {{"1", EncryptionLevel::A}, {"2", EncryptionLevel::B},
                                  {"3", EncryptionLevel::C}, {"0", std::nullopt},
                                  {"4", std::nullopt},       {" 2", EncryptionLevel::B},
                                  {"x", std::nullopt}};
// What a bad cast of a list index would give.
constexpr auto kNoLevel = static_cast<EncryptionLevel>(3);

std::string Describe(std::string_view key, std::string_view text)
{
    return "key " + fuzz::Hex(key) + ", text " + fuzz::Hex(text);
}

// The refusals as the rules state them, and how many of them the user is told.
struct TExpectedRefusals {
    TCipherRefusals refusals;
    std::size_t told = 0;

    void Add(CipherRefusal refusal, bool tell)
    {
        refusals.Add(refusal);
        told += tell;
    }
};

TExpectedRefusals ExpectedRefusals(bool encrypt, std::string_view key, std::string_view text,
                                   bool levelKnown)
{
    TExpectedRefusals expected;
    if (text.size() < 8)
        expected.Add(CipherRefusal::TextTooShort, true);
    if (key.size() < 6)
        expected.Add(CipherRefusal::KeyTooShort, true);
    if (encrypt && key.size() > 12)
        expected.Add(CipherRefusal::KeyTooLong, true);
    if (encrypt && !levelKnown)
        expected.Add(CipherRefusal::UnknownLevel, false);
    return expected;
}

void CheckEncrypt(fuzz::QuietNotes& notes, std::string_view key, std::string_view text,
                  const TLevelCase& level)
{
    const TExpectedRefusals refused = ExpectedRefusals(true, key, text, level.level.has_value());
    const bool accepted = !refused.refusals.Any();
    const std::string expected = accepted ? detail::EncryptReference(text, key) : std::string();
    notes.Clear();
    const std::string got = EncryptText(text, key, level.text);
    FUZZ_CHECK(got == expected, "EncryptText gave " + fuzz::Hex(got) + ", expected " +
                                    fuzz::Hex(expected) + " for level " + std::string(level.text) +
                                    ", " + Describe(key, text));
    FUZZ_CHECK(notes.Count() == refused.told, "EncryptText told " + std::to_string(notes.Count()) +
                                                  " refusals: " + Describe(key, text));

    // Into a buffer that already holds something, and in place over the text itself; the
    // level form tells nobody.
    const EncryptionLevel named = level.level.value_or(kNoLevel);
    std::string buffer = "left over from an earlier call";
    FUZZ_CHECK(EncryptInto(text, key, named, buffer) == refused.refusals && buffer == expected,
               "EncryptInto: " + Describe(key, text));
    std::string inPlace(text);
    FUZZ_CHECK(EncryptInto(inPlace, key, named, inPlace) == refused.refusals && inPlace == expected,
               "EncryptInto in place: " + Describe(key, text));
    FUZZ_CHECK(notes.Count() == refused.told, "EncryptInto told the user: " + notes.Last());
}

void CheckDecrypt(fuzz::QuietNotes& notes, std::string_view key, std::string_view text,
                  const TLevelCase& level)
{
    const TExpectedRefusals refused = ExpectedRefusals(false, key, text, level.level.has_value());
    const bool accepted = !refused.refusals.Any();
    const std::string expected = accepted ? detail::DecryptReference(text, key) : std::string();
    notes.Clear();
    const std::string got = DecryptText(text, key, level.text);
    FUZZ_CHECK(got == expected, "DecryptText gave " + fuzz::Hex(got) + ", expected " +
                                    fuzz::Hex(expected) + " for " + Describe(key, text));
    FUZZ_CHECK(notes.Count() == refused.told, "DecryptText told " + std::to_string(notes.Count()) +
                                                  " refusals: " + Describe(key, text));
    std::string inPlace(text);
    FUZZ_CHECK(
        DecryptInto(inPlace, key, level.level.value_or(kNoLevel), inPlace) == refused.refusals &&
            inPlace == expected,
        "DecryptInto in place: " + Describe(key, text));
    FUZZ_CHECK(notes.Count() == refused.told, "DecryptInto told the user: " + notes.Last());
}

void CheckRoundTrip(std::string_view key, std::string_view text)
{
    const std::string back = detail::DecryptReference(detail::EncryptReference(text, key), key);
    FUZZ_CHECK(back.size() == text.size(), "round trip changed the length: " + Describe(key, text));
    std::optional<std::size_t> firstLost;
    for (std::size_t i = 0; i < text.size() && !firstLost; ++i)
        if (back[i] != text[i])
            firstLost = i;
    const auto reported = FirstUnrestorable(text, key);
    FUZZ_CHECK(reported == firstLost, "FirstUnrestorable gave " +
                                          (reported ? std::to_string(*reported) : "nothing") +
                                          ", the round trip first differs at " +
                                          (firstLost ? std::to_string(*firstLost) : "nothing") +
                                          " for " + Describe(key, text));

    // Through the checked entry points as the levels call them.
    if (!reported && text.size() >= kCipherMinTextLength &&
        key.size() <= kCipherMaxEncryptKeyLength) {
        const std::string restored = DecryptText(EncryptText(text, key, "1"), key, "1");
        FUZZ_CHECK(restored == text, "EncryptText then DecryptText gave " + fuzz::Hex(restored) +
                                         " for " + Describe(key, text));
    }
}

std::string ReadBack(const std::string& path)
{
    std::string bytes;
    return ReadWholeFile(path, 1 << 20, bytes) == TReadResult::Ok ? bytes : "<unreadable>";
}

// The command's file path at Level C against the editor's steps: Open's normalisation, then
// EncryptWithLevel; the output exactly when the editor's command is done, the same messages.
void CheckCommandFile(fuzz::QuietNotes& notes, std::string_view key, std::string_view text)
{
    static const fuzz::ScratchFile input("letter.txt");
    static const std::string output = input.Path().substr(0, input.Path().size() - 3) + "txc";
    TAppState state;
    SetStateDefaults(state, LevelBKeyTableData());
    const std::string normalised = NormaliseLineBreaks(text);

    notes.Clear();
    const TLevelResult editor = EncryptWithLevel(state, EncryptionLevel::C, normalised, key);
    const std::size_t editorNotes = notes.Count();
    const std::string editorLast = notes.Last();

    notes.Clear();
    input.Write(text);
    const TCipherJob encrypt{CipherDirection::Encrypt, EncryptionLevel::C, std::string(key)};
    const auto written = CipherFile(state, encrypt, input.Path());
    FUZZ_CHECK(written.has_value() == (editor.outcome == LevelOutcome::Done) &&
                   notes.Count() == editorNotes && notes.Last() == editorLast,
               "the command and the editor disagree on refusing: " + Describe(key, text));
    if (!written)
        return;
    FUZZ_CHECK(*written == output && ReadBack(output) == editor.text,
               "the command's file differs from the editor's: " + Describe(key, text));

    const TCipherJob decrypt{CipherDirection::Decrypt, EncryptionLevel::C, std::string(key), true};
    FUZZ_CHECK(
        CipherFile(state, decrypt, output) == input.Path() && ReadBack(input.Path()) == normalised,
        "the command did not decrypt its file back: " + Describe(key, text));
    std::remove(output.c_str());
}

}  // namespace

// First byte: bits 0-2 the level text, bit 3 a long key (6..85 bytes, decryption only: it tests
// key cycles longer than the fast path's tile), bits 4-7 with the second byte the key's length.
// Then the key, and the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzz::QuietNotes notes;
    fuzz::InputReader reader(data, size);
    const std::uint8_t control = reader.Byte();
    const std::uint8_t lengthByte = reader.Byte();
    const TLevelCase& level = kLevels[(control & 7) % std::size(kLevels)];
    const bool longKey = (control & 8) != 0;
    const std::size_t keyLength = longKey ? kCipherMinKeyLength + lengthByte % 80
                                          : kCipherMinKeyLength + ((control >> 4) + lengthByte) % 7;
    const std::string_view key = reader.Bytes(keyLength);
    const std::string_view text = reader.Rest();

    CheckEncrypt(notes, key, text, level);
    CheckDecrypt(notes, key, text, level);
    if (key.size() >= 2)
        CheckRoundTrip(key, text);
    CheckCommandFile(notes, key, text);
    return 0;
}
