#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/translate.h"

// Passphrase encryption as an OpenPGP message, through the RNP library: in process, no agent,
// no keyring, no passphrase or text kept from one call to the next. No packet or cipher code of
// our own.
//
// What encryption writes, so that every OpenPGP program reads it (gpg 2.2 included):
//   - one symmetric-key packet: the key from the passphrase by the iterated and salted S2K with
//     SHA-256, its count tuned to about kS2kTargetMs on this machine;
//   - AES-256 in integrity-protected data (SEIPD with MDC); no AEAD, which gpg 2.2 cannot read;
//   - the literal data marked binary, nameless and dated 0, so the bytes come back exactly and
//     the message tells nothing of the file or of when it was made;
//   - no compression: faster, and the message's size says nothing of how repetitive the text
//     is (its length it tells, within some 70 bytes and a quarter of a thousandth);
//   - ASCII armour ("-----BEGIN PGP MESSAGE-----", lines of 76 characters) with CR LF line
//     breaks, as the editing area and its files have them; or binary packets.
// Decryption reads armoured or binary messages, compressed or not, in any cipher RNP knows, with
// or without signatures (which it does not check), encrypted with a passphrase. Up to a KiB of
// text before the armour header is passed over, as in a mail that quotes a message.
//
// The passphrase: bytes as given (gpg and terminals use UTF-8), 1 to kOpenPgpMaxPassphrase of
// them, no NUL. This layer never copies it: RNP takes it into a buffer of its own that it wipes
// when done. The caller wipes its own copy (WipeSecret).
//
// On any outcome but Done, `out` is empty, its memory given back, any plain text decrypted
// into it wiped first; the input is only read. Memory that cannot be had throws std::bad_alloc,
// leaving `out` so too; an exception from a reader or writer passes through after the same
// cleaning. The RNP library writes its own diagnostics to standard error when a message fails
// (Debian builds it so, and no call turns them off): where in RNP, and what failed.

enum class OpenPgpOutcome {
    Done,
    EmptyPassphrase,
    UnusablePassphrase,  // more than kOpenPgpMaxPassphrase bytes, or a NUL byte
    WrongPassphrase,
    Damaged,       // the integrity check fails, cut short, broken armour or packets
    ForPublicKey,  // encrypted to public keys only: no passphrase opens it
    NotEncrypted,  // an OpenPGP message that is only stored or signed
    Unsupported,   // an algorithm RNP lacks, or data without integrity protection
    NotOpenPgp,    // no OpenPGP message at all: plain text, a key, nothing
    ReadFailed,    // the stream forms' reader failed
    WriteFailed,   // the stream forms' writer failed
    Failed,        // RNP refused for a reason none of the above names
};

namespace openpgp_messages {
inline constexpr std::string_view kEmptyPassphrase = QT_TRANSLATE_NOOP(
    "Plimo", "Please type a passphrase: it cannot be empty. Nothing has been changed.");
inline constexpr std::string_view kUnusablePassphrase = QT_TRANSLATE_NOOP(
    "Plimo",
    "This passphrase cannot be used: it may have at most 255 bytes (a character outside ASCII "
    "takes two or more) and no NUL character. Nothing has been changed.");
inline constexpr std::string_view kWrongPassphrase = QT_TRANSLATE_NOOP(
    "Plimo", "The passphrase is wrong: the text was not decrypted. Nothing has been changed.");
inline constexpr std::string_view kDamaged = QT_TRANSLATE_NOOP(
    "Plimo",
    "The OpenPGP message is damaged or was altered (its integrity check fails, or it is cut "
    "short): it was not decrypted. Nothing has been changed.");
inline constexpr std::string_view kForPublicKey = QT_TRANSLATE_NOOP(
    "Plimo",
    "This OpenPGP message was encrypted to a public key, not with a passphrase: only the holder "
    "of the secret key can decrypt it, with a program such as gpg. Nothing has been changed.");
inline constexpr std::string_view kNotEncrypted = QT_TRANSLATE_NOOP(
    "Plimo",
    "This OpenPGP message is not encrypted (it is only stored or signed): there is nothing to "
    "decrypt. Nothing has been changed.");
inline constexpr std::string_view kUnsupported = QT_TRANSLATE_NOOP(
    "Plimo",
    "This OpenPGP message is encrypted in a way that is not supported here (an unknown "
    "algorithm, or no integrity protection): it was not decrypted. Nothing has been changed.");
inline constexpr std::string_view kNotOpenPgp = QT_TRANSLATE_NOOP(
    "Plimo",
    "The text is no OpenPGP message: there is nothing to decrypt. Nothing has been changed.");
inline constexpr std::string_view kReadFailed =
    QT_TRANSLATE_NOOP("Plimo", "The input could not be read to its end.");
inline constexpr std::string_view kWriteFailed =
    QT_TRANSLATE_NOOP("Plimo", "The output could not be written.");
inline constexpr std::string_view kFailed = QT_TRANSLATE_NOOP(
    "Plimo", "The OpenPGP library could not complete the command. Nothing has been changed.");
}  // namespace openpgp_messages

// What the user is told of an outcome; empty for Done.
std::string_view OpenPgpMessage(OpenPgpOutcome outcome);

inline constexpr std::size_t kOpenPgpMaxPassphrase = 255;  // RNP's buffer holds 256 with NUL
inline constexpr std::size_t kS2kTargetMs = 150;
// OpenPGP encodes S2K counts from 1,024 to this, in 256 steps.
inline constexpr std::size_t kMaxS2kIterations = 65'011'712;
// The least a tuned count may be, should a busy machine make the measure come out low.
inline constexpr std::size_t kMinTunedS2kIterations = 16'777'216;
// The armour's first line; a text that starts with it (after blanks) is a message.
inline constexpr std::string_view kOpenPgpArmourHeader = "-----BEGIN PGP MESSAGE-----";

struct TOpenPgpOptions {
    bool armour = true;  // false: binary packets (a .gpg file)
    // The S2K's count, which RNP rounds up to one OpenPGP can encode; 0: TunedS2kIterations().
    std::size_t s2kIterations = 0;
};

// The count that makes the S2K take about kS2kTargetMs here, within
// kMinTunedS2kIterations..kMaxS2kIterations: RNP's S2K timed once a process (about a tenth
// of a second). Where even the maximum takes less, the maximum it is.
std::size_t TunedS2kIterations();

// The most bytes a message of a plainSize-byte text can take; encryption reserves this much so
// that the message is written once into memory that never moves.
std::size_t OpenPgpMessageSizeBound(std::size_t plainSize, bool armour);

// True when text, after spaces, tabs and line breaks, starts with kOpenPgpArmourHeader.
bool StartsWithOpenPgpArmour(std::string_view text);
// True when bytes start with a packet that begins a binary message (session keys, encrypted,
// compressed or literal data, a signature, a marker), which decryption reads as packets. Some
// plain texts do too: a Windows-1252 text that begins with "É" or "Ã", say.
bool StartsWithOpenPgpPacket(std::string_view bytes);

// The whole text at once, for the editing area: `out` (its old content dropped; it must not
// view the input) gets the message or the plain bytes. `out` is reserved at its final size
// first, so a text of n bytes needs n + OpenPgpMessageSizeBound(n) at most; a decryption,
// n + 3/4 of an armoured message's size (more only for a compressed message, whose size tells
// nothing of its text's).
OpenPgpOutcome OpenPgpEncrypt(std::string_view plain, std::string_view passphrase, std::string& out,
                              const TOpenPgpOptions& options = {});
OpenPgpOutcome OpenPgpDecrypt(std::string_view message, std::string_view passphrase,
                              std::string& out);

// Gives up to `size` bytes into `buffer`: how many (0 at the end of the input), or nothing when
// reading failed (the reader keeps why).
using TOpenPgpReader = std::function<std::optional<std::size_t>(char* buffer, std::size_t size)>;
// Takes the next bytes; false when they could not be written (the writer keeps why).
using TOpenPgpWriter = std::function<bool(std::string_view bytes)>;

// The same for files and pipes of any size, piece by piece, in memory of a few hundred KiB:
// reads to the end of the input and writes as it goes. The caller keeps what was written only
// on Done (a temporary renamed, a pipe's reader told to drop it): a decryption writes plain
// text before the integrity check at the message's end can fail.
OpenPgpOutcome OpenPgpEncryptStream(const TOpenPgpReader& read, std::string_view passphrase,
                                    const TOpenPgpWriter& write,
                                    const TOpenPgpOptions& options = {});
OpenPgpOutcome OpenPgpDecryptStream(const TOpenPgpReader& read, std::string_view passphrase,
                                    const TOpenPgpWriter& write);

// A reader and a writer over an open file descriptor (a file, a pipe, a terminal) that go on
// after EINTR and short writes; errno says why one failed.
TOpenPgpReader OpenPgpFdReader(int fd);
TOpenPgpWriter OpenPgpFdWriter(int fd);

// Overwrites every byte the string's buffer holds (up to its capacity) in a way the compiler
// keeps, then empties it. For passphrases and plain text that is let go.
void WipeSecret(std::string& secret);
