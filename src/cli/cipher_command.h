#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/levels.h"
#include "cli/cipher_options.h"
#include "core/app_state.h"
#include "core/translate.h"

// plimo-cipher: the editor's cipher from the shell, for scripts and whole folders of files. It
// runs the editor's own steps, not a copy of them: LoadDocument (line breaks made CR LF), the
// level's EncryptWithLevel or DecryptWithLevel with their checks and messages, and SaveDocument,
// the editor's atomic writer. So each output equals the file the editor saves for the same
// text and key.

inline constexpr int kCipherExitDone = 0;
inline constexpr int kCipherExitRefused = 1;  // a text refused, a file or key that failed
inline constexpr int kCipherExitUsage = 2;    // a command line that cannot be run

namespace cli_messages {
inline constexpr std::string_view kProgram = "plimo-cipher";
// Follows the output's path.
inline constexpr std::string_view kOutputExists =
    QT_TRANSLATE_NOOP("Plimo", " exists and was not replaced (--force replaces it)");
inline constexpr std::string_view kSeeHelp =
    QT_TRANSLATE_NOOP("Plimo", "Try 'plimo-cipher --help'.");
inline constexpr std::string_view kSettingsHint = QT_TRANSLATE_NOOP(
    "Plimo",
    "Level A takes its password from the editor's settings file; name it with --settings FILE.");
inline constexpr std::string_view kNoKeySource = QT_TRANSLATE_NOOP(
    "Plimo", " needs --password-file FILE: standard input is no terminal to ask on");
inline constexpr std::string_view kEntriesDiffer =
    QT_TRANSLATE_NOOP("Plimo", "the two entries differ: nothing was encrypted");
inline constexpr std::string_view kNothingTyped =
    QT_TRANSLATE_NOOP("Plimo", "nothing was typed: nothing was done");
inline constexpr std::string_view kCannotReadInput =
    QT_TRANSLATE_NOOP("Plimo", "Cannot read standard input");
// Follows "Cannot open file <path>".
inline constexpr std::string_view kChangedWhileRead = QT_TRANSLATE_NOOP(
    "Plimo", ": another program changed it while it was read; nothing was written");
inline constexpr std::string_view kCannotWriteOutput =
    QT_TRANSLATE_NOOP("Plimo", "Cannot write standard output");
inline constexpr std::string_view kWarning = QT_TRANSLATE_NOOP("Plimo", "warning: ");
}  // namespace cli_messages

// What a run does to each text: the direction, the level, and its key as the editor's password
// box would hold it (empty at Level A, whose key comes with the state from the settings file;
// at the OpenPGP level, the passphrase's bytes as they were typed).
struct TCipherJob {
    CipherDirection direction = CipherDirection::Encrypt;
    EncryptionLevel level = EncryptionLevel::A;
    std::string typed;
    bool force = false;  // an existing output file may be replaced
    bool openPgp = false;
    std::size_t s2kIterations = 0;  // see TCipherIo
};

// The name the editor gives a document after the command: the extension of the file name (after
// its last dot, unless the name starts with that dot) replaced by FileExt, or FileExt added when
// there is none. "letter.txt" with "txc" gives "letter.txc".
std::string OutputPathFor(const std::string& path, std::string_view FileExt);

// One file as the editor treats it: Open, the job's level (the state is a copy for this file,
// holding the Level A password and the Level B tables), then Save under OutputPathFor the
// FileExt the level left. The text is held once, encrypted in its own buffer, written once.
// Returns the output's path, or nothing when the level refused the text (its messages shown
// through ShowNote) and nothing was written. Throws CommandError when the file cannot be read,
// the output exists (unless job.force) or cannot be written, or a Level B code stops the
// command.
std::optional<std::string> CipherFile(TAppState state, const TCipherJob& job,
                                      const std::string& path);

// The same from the file descriptor `in` (read to its end) to `out`; false when the level
// refused and nothing was written. Throws CommandError as CipherFile does, and when reading or
// writing fails.
bool CipherStream(TAppState state, const TCipherJob& job, int in, int out);

// Where a run reads and writes; tests give their own.
struct TCipherIo {
    int input = 0;   // the text when no FILE is named
    int output = 1;  // its result, and --help, --version
    // One line for standard error (UTF-8, without its line break).
    std::function<void(std::string_view)> error;
    // Asks for a code or password without echo; unset when there is no terminal to ask on.
    // Nothing when the user typed nothing before the input ended.
    std::function<std::optional<std::string>(std::string_view prompt)> ask;
    // The S2K count of the OpenPGP messages made; 0: tuned to this machine (tests give a small
    // one, as tuning and each key derivation take a tenth of a second or more).
    std::size_t s2kIterations = 0;
};

// Standard input and output, standard error, and the terminal when standard input is one.
TCipherIo StandardCipherIo();

// The whole command: the words after the program's name. Returns the exit status. The editor's
// messages are written to io.error, each after the name of the file it is about.
int RunCipherCommand(const std::vector<std::string>& args, const TCipherIo& io);
