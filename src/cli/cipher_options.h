#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/shift_cipher.h"

// The command line of plimo-cipher:
//   plimo-cipher encrypt|decrypt --level A|B|C|P [--settings FILE] [--password-file FILE]
//                [--force] [FILE...]
// and --help, --version. Options may come before, between or after the other words; "--" ends
// them. Nothing secret is ever taken from the command line, where every user can read it.

struct TCipherOptions {
    enum class Action { Run, Help, Version };
    Action action = Action::Run;
    CipherDirection direction = CipherDirection::Encrypt;
    EncryptionLevel level = EncryptionLevel::A;  // unless openPgp
    bool openPgp = false;                        // --level P: OpenPGP messages with a passphrase
    std::optional<std::string> settingsFile;  // Level A: where the password is kept
    std::optional<std::string> passwordFile;  // Levels B, C and P: the code, password or passphrase
    bool force = false;                       // an existing output file may be replaced
    std::vector<std::string> files;           // none: standard input to standard output
};

// A command line that cannot be run; the message says why (UTF-8, no program name).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The words after the program's name. Throws UsageError; --help and --version win over any
// other word.
TCipherOptions ParseCipherArguments(const std::vector<std::string>& args);

// What --help prints.
extern const std::string_view kCipherHelp;
