#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/app_state.h"

// Where plimo-cipher takes each level's key from, as the editor does: Level A from the settings
// file, Levels B and C from what the user types (a password file, or the terminal).

// The settings file when --settings names none: `SettingsFile` (plimo.dat) in the current folder
// when there is one, else the one in the per-user working folder the launcher starts the editor
// in, ${XDG_DATA_HOME:-$HOME/.local/share}/plimo (a relative XDG_DATA_HOME is ignored, as the
// launcher does). `SettingsFile` itself when neither XDG_DATA_HOME nor HOME names a folder.
std::string DefaultSettingsPath(std::string_view SettingsFile);

// Reads the settings file at `path` as the editor's start-up does (ApplySettings: an empty
// password line gives the factory password). A missing or unreadable file throws CommandError
// "Cannot open file <path>": it is never replaced by the factory values, and never created.
void ReadSettingsForLevelA(TAppState& state, const std::string& path);

// How a typed key's bytes are taken: as the editor's password box gives them (PasswordBoxBytes),
// for Levels A to C; as they are, for an OpenPGP passphrase (UTF-8, as gpg takes it).
enum class TKeyBytes { PasswordBox, AsTheyAre };

// The password or code a password file's bytes hold: one line break (CR LF, LF or CR) at the
// end is not part of it, as the Enter that ends a typed password is not; see
// PasswordBoxBytes for the characters. Throws CommandError when another line break is left.
std::string PasswordFromFileBytes(std::string_view bytes, const std::string& path,
                                  TKeyBytes form = TKeyBytes::PasswordBox);

// Reads a password file through PasswordFromFileBytes: a regular file only, opened without
// waiting (a pipe with nobody writing to it would stop the command for ever). Throws
// CommandError "Cannot open file <path>..." saying why. A file that other users may read gets a
// warning in `warning`, when given. What was read on the way is overwritten.
std::string ReadPasswordFile(const std::string& path, std::string* warning = nullptr,
                             TKeyBytes form = TKeyBytes::PasswordBox);

// The bytes the editor's password box gives for text the user typed: a text that is valid UTF-8
// (what terminals and most editors write) becomes Windows-1252, each character without a
// Windows-1252 byte becoming "?" (two for one beyond U+FFFF, as the box counts UTF-16 units);
// anything else is taken as Windows-1252 bytes already.
std::string PasswordBoxBytes(std::string_view typed);

// Asks on the terminal (standard input must be one) without echo; nothing at the end of input.
// The line break that ends the answer is not part of it. Echo comes back also when the user
// interrupts the program.
std::optional<std::string> AskOnTerminal(std::string_view prompt);
