#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "cipher/levels.h"
#include "cipher/openpgp.h"
#include "core/app_state.h"
#include "core/translate.h"

// The OpenPGP level, offered after Levels A to C by the editor's panels and by plimo-cipher: an
// OpenPGP message made with a passphrase (cipher/openpgp.h), which gpg and every other OpenPGP
// program read. Its caption and extension, its checks of the passphrase with their messages,
// and its commands on the whole text with their effects on the state.
//
// The passphrase is the bytes as typed, UTF-8 as gpg takes them: not the Windows-1252 bytes the
// older levels take from their boxes, so that a passphrase with "é" opens the same messages in
// Plimo and in gpg. Nothing here keeps it, nor puts it in the state.

inline constexpr std::string_view kOpenPgpLevelCaption =
    QT_TRANSLATE_NOOP("Plimo", "Strong - OpenPGP");
// FileExt after encryption: the armoured message's extension, as gpg names it.
inline constexpr std::string_view kOpenPgpExtension = "asc";
// The extension gpg gives a binary message, which decryption takes too.
inline constexpr std::string_view kBinaryOpenPgpExtension = "gpg";
// A shorter passphrase is taken, with a word of advice: one of fewer characters falls to a
// computer that tries the likely ones, even at the S2K's tenth of a second a try.
inline constexpr std::size_t kAdvisedPassphraseLength = 12;

namespace openpgp_level_messages {
inline constexpr std::string_view kPassphrasesDiffer = QT_TRANSLATE_NOOP(
    "Plimo",
    "The two passphrases differ: please type the same passphrase in both boxes. Nothing has "
    "been changed.");
// After the advice, when the editor has encrypted all the same.
inline constexpr std::string_view kEncryptedAllTheSame =
    QT_TRANSLATE_NOOP("Plimo", " The text is encrypted with it.");
}  // namespace openpgp_level_messages

// How many characters a passphrase has: its UTF-8 characters (a byte that is no UTF-8 counts as
// one).
std::size_t PassphraseLength(std::string_view passphrase);

// What is said of a passphrase of `length` characters: its length against the advised one when it
// is shorter, else nothing.
std::string ShortPassphraseAdvice(std::size_t length);

// Encrypts the whole text with the passphrase typed twice (`again`): an empty one, two that
// differ and the layer's refusals each show their message and change nothing. Done: the
// armoured message (CR LF lines), FileExt "asc", PlainText true (the message is plain ASCII made
// to be mailed), and the advice when the passphrase is short.
TLevelResult EncryptWithOpenPgp(TAppState& state, std::string_view text,
                                std::string_view passphrase, std::string_view again,
                                const TOpenPgpOptions& options = {});

// Decrypts an armoured or binary message: Done gives the plain bytes exactly, FileExt "txt",
// PlainText true; every refusal shows its own message and changes nothing.
TLevelResult DecryptWithOpenPgp(TAppState& state, std::string_view text,
                                std::string_view passphrase);

// True for the bytes of a binary message (a .gpg file): they start with a message's packet and
// hold, within their first KiB, a control character that no text holds. Such a file is opened as
// it is: making its line breaks CR LF would damage it.
bool IsBinaryOpenPgpMessage(std::string_view bytes);
