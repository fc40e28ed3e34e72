#include "cli/cipher_options.h"
#include "core/translate.h"

#include <cctype>

const std::string_view kCipherHelp =
    QT_TRANSLATE_NOOP("Plimo",
                      R"(Usage: plimo-cipher encrypt|decrypt --level A|B|C|P [OPTION...] [FILE...]
Encrypts or decrypts texts with Plimo's cipher, exactly as the editor does.

With no FILE, the text comes from standard input and the result goes to standard output.
Each FILE is read whole and the result is written beside it under the name the editor gives
it after the command: letter.txt encrypted at Level C becomes letter.txc, and letter.txc
decrypted becomes letter.txt. Line breaks become CR LF, as when the editor opens a file;
Level P keeps every byte as it is.

  --level A|B|C|P       A: the Level A password of the editor's settings file;
                        B: a three-digit code; C: a password of 6 to 12 characters;
                        P: "Strong - OpenPGP", a passphrase (12 characters or more are
                        advised): an OpenPGP message that gpg decrypts, written as .asc;
                        decryption reads .asc and .gpg messages, gpg's too
  --settings FILE       Level A: the settings file to read (default: plimo.dat in the
                        current folder when there is one, else the editor's own,
                        ${XDG_DATA_HOME:-~/.local/share}/plimo/plimo.dat)
  --password-file FILE  Levels B, C and P: a regular file holding the code, password or
                        passphrase on one line; a line break at its end is not part of it.
                        One that other users may read gets a warning. Without this option
                        it is asked for on the terminal without echo, twice when
                        encrypting.
  --force               replace output files that exist (they are never replaced otherwise),
                        but never through a symbolic link to the file being read
  --help                show this help and exit
  --version             show the version and exit

The code or password is never taken from the command line, where other users can read it.
Text typed at the prompt or held in a password file that is valid UTF-8 becomes
Windows-1252, as in the editor's password box; any other bytes are taken as they are.
A Level P passphrase is taken as its bytes are (UTF-8 from a terminal), as gpg takes it.

Exit status: 0 when every text was done; 1 when any was refused or failed (the other
files are still done); 2 when the command line cannot be run.

Examples:
  plimo-cipher decrypt --level C letters/*.txc
  printf 'Dear Ann,\nsee you at eight.\n' | plimo-cipher encrypt --level A > note.txa
  plimo-cipher decrypt --level B --password-file code.txt < report.txb | head -n 5
  plimo-cipher encrypt --level P --password-file pass.txt report.txt
)");

namespace {

enum class OptionWithValue { Level, Settings, PasswordFile };

struct TOptionName {
    std::string_view name;
    OptionWithValue option;
};

constexpr TOptionName kOptionsWithValue[] = {
    {"--level", OptionWithValue::Level},
    {"--settings", OptionWithValue::Settings},
    {"--password-file", OptionWithValue::PasswordFile},
};

void ParseLevel(const std::string& value, TCipherOptions& options)
{
    if (value.size() == 1) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
        if (letter >= 'A' && letter <= 'C') {
            options.level = static_cast<EncryptionLevel>(letter - 'A');
            return;
        }
        if (letter == 'P') {
            options.openPgp = true;
            return;
        }
    }
    throw UsageError(Tr(QT_TRANSLATE_NOOP("Plimo", "unknown level '")) + value +
                     Tr(QT_TRANSLATE_NOOP("Plimo", "': use A, B, C or P")));
}

void SetOnce(std::optional<std::string>& slot, std::string_view name, const std::string& value)
{
    if (slot)
        throw UsageError(std::string(name) + Tr(QT_TRANSLATE_NOOP("Plimo", " is given twice")));
    slot = value;
}

}  // namespace

TCipherOptions ParseCipherArguments(const std::vector<std::string>& args)
{
    TCipherOptions options;
    for (const std::string& arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            options.action =
                arg == "--version" ? TCipherOptions::Action::Version : TCipherOptions::Action::Help;
            return options;
        }
    }

    std::optional<std::string> level;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-') {
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--force") {
            options.force = true;
            continue;
        }
        bool known = false;
        for (const TOptionName& candidate : kOptionsWithValue) {
            const std::string_view name = candidate.name;
            std::string value;
            if (arg == name) {
                if (i + 1 == args.size())
                    throw UsageError(std::string(name) +
                                     Tr(QT_TRANSLATE_NOOP("Plimo", " needs a value")));
                value = args[++i];
            } else if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
                       arg[name.size()] == '=') {
                value = arg.substr(name.size() + 1);
            } else {
                continue;
            }
            known = true;
            switch (candidate.option) {
                case OptionWithValue::Level:
                    SetOnce(level, name, value);
                    break;
                case OptionWithValue::Settings:
                    SetOnce(options.settingsFile, name, value);
                    break;
                case OptionWithValue::PasswordFile:
                    SetOnce(options.passwordFile, name, value);
                    break;
            }
            break;
        }
        if (!known) {
            if (arg == "-")
                throw UsageError(Tr(QT_TRANSLATE_NOOP(
                    "Plimo", "'-' is no file: name no FILE to read standard input")));
            throw UsageError(Tr(QT_TRANSLATE_NOOP("Plimo", "unknown option '")) + arg + "'");
        }
    }

    if (words.empty())
        throw UsageError(Tr(QT_TRANSLATE_NOOP("Plimo", "no command: encrypt or decrypt")));
    if (words.front() == "encrypt")
        options.direction = CipherDirection::Encrypt;
    else if (words.front() == "decrypt")
        options.direction = CipherDirection::Decrypt;
    else
        throw UsageError(Tr(QT_TRANSLATE_NOOP("Plimo", "unknown command '")) + words.front() +
                         Tr(QT_TRANSLATE_NOOP("Plimo", "': use encrypt or decrypt")));
    if (!level)
        throw UsageError(Tr(QT_TRANSLATE_NOOP("Plimo", "no level: add --level A, B, C or P")));
    ParseLevel(*level, options);
    options.files.assign(words.begin() + 1, words.end());
    return options;
}
