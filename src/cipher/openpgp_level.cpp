#include "cipher/openpgp_level.h"

#include <algorithm>

#include "core/show_note.h"
#include "core/translate.h"

namespace {

// A message's packets hold some in their first bytes (a version, an algorithm, a length); texts
// hold tabs, line and page breaks and at times an escape, but none of these.
bool IsBinaryControl(unsigned char ch)
{
    return ch < 0x20 && ch != '\t' && ch != '\n' && ch != '\v' && ch != '\f' && ch != '\r' &&
           ch != 0x1B;
}

constexpr std::size_t kBinaryWindow = 1024;

TLevelResult Refused(OpenPgpOutcome outcome)
{
    ShowNote(OpenPgpMessage(outcome));
    return {};
}

}  // namespace

std::size_t PassphraseLength(std::string_view passphrase)
{
    return static_cast<std::size_t>(std::count_if(passphrase.begin(), passphrase.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string ShortPassphraseAdvice(std::size_t length)
{
    if (length >= kAdvisedPassphraseLength)
        return {};
    std::string advice = TrNote(QT_TRANSLATE_NOOP("Plimo", "This passphrase has "));
    advice += std::to_string(length);
    advice += length == 1 ? TrNote(QT_TRANSLATE_NOOP("Plimo", " character"))
                          : TrNote(QT_TRANSLATE_NOOP("Plimo", " characters"));
    advice += ": ";
    advice += std::to_string(kAdvisedPassphraseLength);
    advice += TrNote(
        QT_TRANSLATE_NOOP("Plimo", " or more are advised, as a shorter one is easier to guess."));
    return advice;
}

TLevelResult EncryptWithOpenPgp(TAppState& state, std::string_view text,
                                std::string_view passphrase, std::string_view again,
                                const TOpenPgpOptions& options)
{
    // An empty passphrase is told as such, whatever the second box holds.
    if (!passphrase.empty() && passphrase != again) {
        ShowNote(openpgp_level_messages::kPassphrasesDiffer);
        return {};
    }
    TLevelResult result;
    const OpenPgpOutcome outcome = OpenPgpEncrypt(text, passphrase, result.text, options);
    if (outcome != OpenPgpOutcome::Done)
        return Refused(outcome);
    if (std::string advice = ShortPassphraseAdvice(PassphraseLength(passphrase)); !advice.empty())
        ShowNote(advice += TrNote(openpgp_level_messages::kEncryptedAllTheSame));
    state.FileExt = std::string(kOpenPgpExtension);
    // Quick Email's warning is for the older levels' cipher text, which may hold any character.
    state.PlainText = true;
    result.outcome = LevelOutcome::Done;
    return result;
}

TLevelResult DecryptWithOpenPgp(TAppState& state, std::string_view text,
                                std::string_view passphrase)
{
    TLevelResult result;
    const OpenPgpOutcome outcome = OpenPgpDecrypt(text, passphrase, result.text);
    if (outcome != OpenPgpOutcome::Done)
        return Refused(outcome);
    state.FileExt = std::string(kPlainExtension);
    state.PlainText = true;
    result.outcome = LevelOutcome::Done;
    return result;
}

bool IsBinaryOpenPgpMessage(std::string_view bytes)
{
    if (!StartsWithOpenPgpPacket(bytes))
        return false;
    const std::string_view start = bytes.substr(0, kBinaryWindow);
    return std::any_of(start.begin(), start.end(),
                       [](char c) { return IsBinaryControl(static_cast<unsigned char>(c)); });
}
