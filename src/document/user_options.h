#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The editor's per-user options: a small text file of its own in the desktop's configuration
// folder, ${XDG_CONFIG_HOME:-~/.config}/plimo/options, never in plimo.dat, whose three lines
// other programs read. One option a line, "name=value"; a value's bytes that are not text ("%",
// control bytes, bytes that are no UTF-8) are written %XX, so that any path comes back as it was.
// The file is owner-only and written atomically; its folder must be the user's own
// (OpenPrivateFolder).

inline constexpr std::size_t kRecentFilesKept = 10;

struct TUserOptions {
    // The documents last opened or saved, newest first, as the file system's own path bytes.
    std::vector<std::string> recentFiles;
    // Settings > Line Numbers: the editing area's margin of line numbers ("line-numbers=on";
    // written only when on).
    bool lineNumbers = false;
    // Lines this version does not know, kept as they were for a version that does.
    std::vector<std::string> otherLines;
    // Settings > Keep Recovery Copies: a journal of the unsaved text, for the next start after a
    // crash. Written to the file only when off.
    bool keepRecoveryCopies = true;
};

// ${XDG_CONFIG_HOME}/plimo when that is an absolute path, else $HOME/.config/plimo; empty when
// there is neither.
std::string UserOptionsFolder();
// The options file in that folder, or empty.
std::string UserOptionsFile();

TUserOptions ParseUserOptions(std::string_view bytes);
std::string FormatUserOptions(const TUserOptions& options);

// Reads the options file; a missing file (or no folder for it) gives no options. Throws
// CommandError ("Cannot open file <path>: <why>") when it exists but cannot be read.
TUserOptions LoadUserOptions();
// Writes the options file, making its folder (0700) when missing. Throws CommandError ("Cannot
// create file <path>: <why>") when the folder is not the user's own or the write fails.
void SaveUserOptions(const TUserOptions& options);

// Puts `path` first in the list, once, and keeps the newest kRecentFilesKept.
void AddRecentFile(TUserOptions& options, const std::string& path);
