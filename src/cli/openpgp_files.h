#pragma once

#include <optional>
#include <string>

#include "cli/cipher_command.h"

// plimo-cipher at the OpenPGP level: a file or standard input made into an OpenPGP message, or a
// message decrypted, every byte kept as it is (no line break is made CR LF: the message carries
// any bytes, and gpg gives them back as they were). The layer's refusals are shown through
// ShowNote, as the editor shows them.
//
// What is written is kept only when the command is done: a decryption gives plain text before
// the integrity check at the message's end can fail, so a file's result goes to a temporary that
// is named only then (WriteFileAtomicallyFrom), and standard output gets the result whole or
// nothing. RNP writes its own diagnostics to standard error while it fails; they go nowhere,
// and the command says what failed in its own words.

// The output's name: "letter.txt" encrypted gives "letter.asc"; "letter.asc" and "letter.gpg"
// decrypted give "letter.txt", as does gpg's "letter.txt.gpg".
std::string OpenPgpOutputPath(const std::string& path, CipherDirection direction);

// One file, its result beside it; nothing when the layer refused (its message shown) and nothing
// was written. Throws CommandError when the file cannot be read, the output exists (unless
// job.force) or cannot be written.
std::optional<std::string> OpenPgpFile(const TCipherJob& job, const std::string& path);

// From `in` to its end, to `out`, written once the command is done; false when refused. Throws
// CommandError when reading or writing fails.
bool OpenPgpStream(const TCipherJob& job, int in, int out);
