#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Three tables of ten 4-character texts; Level B joins its key from one entry of each.
using TLevelBKeyTables = std::array<std::array<std::string, 10>, 3>;

inline constexpr std::string_view kProductName = "Plimo Text Editor";
inline constexpr std::string_view kVersion = "1.7";
inline constexpr std::string_view kFactoryLevelAPwd = "tzrhGowN";
inline constexpr std::string_view kUntitled = "untitled";
inline constexpr std::int32_t kDefaultTypeSize = 15;

// The one application-wide record. Texts are Windows-1252 bytes, except FileName, which is the
// file system's own path bytes (UTF-8). Logic takes the record it touches as a parameter so that
// tests can build their own; the windows pass the global AppState.
struct TAppState {
    std::string ProductName;
    std::string Version;
    std::string AppTitle;
    std::string SettingsFile;

    std::string FileName;
    std::string FileExt;
    bool HasFile = false;
    bool PlainText = false;

    std::int32_t TypeSize = 0;

    std::string LevelAPwd;
    // The Level A password as the settings file held it when last read or written: a save that
    // finds LevelAPwd still equal to it did not change the password.
    std::string StoredLevelAPwd;
    // The settings file exists but could not be read at start-up: it is left untouched.
    bool SettingsUnreadable = false;
    std::string LevelBKey;
    std::string LevelCPwd;
    TLevelBKeyTables LevelBKeyTables;

    std::int32_t FindPos = 0;
    std::int32_t FindNext = 0;

    bool FindToggle = false;
    bool RepToggle = false;
    bool EncToggle = false;
    bool DecToggle = false;
    bool TypeToggle = false;
    bool LAToggle = false;
    // The go-to-line panel's, beside the six.
    bool GoToggle = false;
};

extern TAppState AppState;

// The values start-up gives before the settings file is read (everything that does not belong
// to a window). The Level B tables are the cipher's data and are passed in.
void SetStateDefaults(TAppState& state, const TLevelBKeyTables& levelBTables);

// Type sizes outside this range (a hand-edited settings file) fall back to the default: the
// font engine would draw nothing, or take minutes to lay out the text.
inline constexpr std::int32_t kMinTypeSize = 1;
inline constexpr std::int32_t kMaxTypeSize = 500;
