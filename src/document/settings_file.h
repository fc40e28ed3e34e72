#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_state.h"
#include "core/command_error.h"

// The settings file: three lines, each ended by CR LF: the title, the type size in decimal and
// the Level A password. Its name (TAppState::SettingsFile) is resolved against the current
// directory at each access. Reading or writing failures throw CommandError ("Cannot open file
// <name>", "Cannot create file <name>"); start-up decides whether to go on without it.

// Reads the file into the state; a missing file is created empty (owner-only) and the state
// keeps its values. A file that exists but cannot be read (no permission, far too large, not a
// regular file) is never overwritten with defaults, since its third line may be the only copy of
// the Level A password; nor is any file read, made or written in a folder that is not the user's
// own (OpenPrivateFolder), where another user could have planted it. The state then keeps its
// values, SettingsUnreadable is set, and CommandError says why ("Cannot open file plimo.dat:
// ..."). Every later save then throws SettingsNotSaved and leaves the file as it is.
void LoadSettings(TAppState& state);

// Title from line 1, type size from line 2 (kDefaultTypeSize unless a whole number in
// kMinTypeSize..kMaxTypeSize), Level A password from line 3 (the factory password when empty).
// Lines beyond the third are ignored; missing lines read as empty.
void ApplySettings(TAppState& state, const std::vector<std::string>& SettingsLines);

// Replaces an empty LevelAPwd in the state by the factory password, then rewrites the whole
// file atomically, owner-only whatever its mode was: it holds the Level A password. Title and
// type size are the state's. The password is the state's only when it was changed in this run;
// otherwise the one the file holds now is kept (and taken into the state), so that a second
// running copy cannot write back a password the first one has replaced.
void SaveSettings(TAppState& state);

// Level A's password as the settings file holds it now, taken into the state (LevelAPwd and
// the password it last stored) for a Level A command about to use it: another running copy, or
// the shell tool's user, may have changed the file since this one read it, and a text encrypted
// under an older password would not decrypt with the one the file holds. The state keeps its
// password when the file cannot be read now, or could not be at start-up.
void RefreshLevelAPwd(TAppState& state);

// A save refused because the file could not be read at start-up; nothing was written.
class SettingsNotSaved final : public CommandError {
public:
    using CommandError::CommandError;
};

// The secondary window's own copy of the settings, separate from AppState.
struct TSecondaryState {
    std::string ProductName = "Plimo Text Editorius";
    std::string Version = std::string(kVersion);
    std::string AppTitle = ProductName + " " + Version;
    std::string SettingsFile = "plimo.dat";
    std::int32_t TypeSize = kDefaultTypeSize;
    std::string LevelAPwd;
    std::string StoredLevelAPwd;
    bool SettingsUnreadable = false;
};

// As LoadSettings, on the secondary state; a missing file leaves LevelAPwd as it is (empty).
void LoadSecondarySettings(TSecondaryState& state);

// As SaveSettings, except that an empty LevelAPwd is written as an empty line.
void SaveSecondarySettings(TSecondaryState& state);

// The settings file's lines: split at CR LF, a lone CR or a lone LF. A break at the very end
// starts no further line.
std::vector<std::string> SplitSettingsLines(std::string_view bytes);

// A strict decimal whole number: an optional "-", then digits only, within 32 bits.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);
