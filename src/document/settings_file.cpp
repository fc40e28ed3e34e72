#include "document/settings_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <filesystem>

#include "core/command_error.h"
#include "core/translate.h"
#include "document/atomic_file.h"
#include "document/file_calls.h"
#include "document/file_messages.h"
#include "document/file_read.h"
#include "document/private_folder.h"

namespace {

enum TSettingsLine : std::size_t { kTitleLine, kTypeSizeLine, kPasswordLine };

// We write three short lines; a file this large is not ours, and reading it all would only stall
// the start.
constexpr std::size_t kSettingsFileLimit = 1024 * 1024;

constexpr std::string_view kSettingsLeftAlone = QT_TRANSLATE_NOOP(
    "Plimo",
    "The file is left as it is: settings changed in this run are not saved, and Level A uses the "
    "factory password until the file can be read.");
constexpr std::string_view kSettingsNotSaved1 =
    QT_TRANSLATE_NOOP("Plimo", "Settings are not saved: the settings file ");
constexpr std::string_view kSettingsNotSaved2 =
    QT_TRANSLATE_NOOP("Plimo", " could not be read at start-up and is left as it is.");

// The values both windows keep, as references into their own state records.
struct TSettingsValues {
    std::string& AppTitle;
    std::int32_t& TypeSize;
    std::string& LevelAPwd;
    std::string& StoredLevelAPwd;
    bool& SettingsUnreadable;
};

std::string LineOrEmpty(const std::vector<std::string>& lines, std::size_t index)
{
    return index < lines.size() ? lines[index] : std::string();
}

// The password a file's lines give: its third line, the factory password when that is empty.
std::string PasswordOf(const std::vector<std::string>& lines)
{
    std::string password = LineOrEmpty(lines, kPasswordLine);
    return password.empty() ? std::string(kFactoryLevelAPwd) : password;
}

void Apply(const std::vector<std::string>& lines, TSettingsValues values)
{
    values.AppTitle = LineOrEmpty(lines, kTitleLine);
    // A hand-edited size the font engine cannot draw, or no number at all, gives the default.
    const auto size = ParseWholeNumber(LineOrEmpty(lines, kTypeSizeLine));
    values.TypeSize =
        size && *size >= kMinTypeSize && *size <= kMaxTypeSize ? *size : kDefaultTypeSize;
    values.LevelAPwd = PasswordOf(lines);
}

std::string UnreadableReason(const std::string& file, TReadResult result, int error)
{
    if (result == TReadResult::TooLarge)
        return Tr(
            QT_TRANSLATE_NOOP("Plimo", "it is larger than 1 MiB, far more than settings take"));
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? Tr(QT_TRANSLATE_NOOP("Plimo", "it is a folder"))
                                   : Tr(QT_TRANSLATE_NOOP("Plimo", "it is not a regular file"));
    return std::strerror(error);
}

[[noreturn]] void Unreadable(const std::string& file, const std::string& reason, bool& flag)
{
    flag = true;
    throw CommandError(Tr(kCannotOpenFile) + file + ": " + reason + ". " + Tr(kSettingsLeftAlone));
}

// The settings file's folder must be the user's own: anyone else who may write there could
// replace plimo.dat by a link to another of the user's files, or read the password from a file
// of their own making. Throws CommandError naming the folder.
void CheckSettingsFolder(const std::string& file)
{
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::absolute(std::filesystem::path(file), error).parent_path();
    OpenPrivateFolder(error ? FolderOf(file) : folder.string(), false);
}

// Returns false when the file is missing; it is then created empty.
bool ReadLines(const std::string& file, std::vector<std::string>& lines, bool& unreadable)
{
    try {
        CheckSettingsFolder(file);
    } catch (const CommandError& error) {
        Unreadable(file, error.what(), unreadable);
    }
    std::string bytes;
    int error = 0;
    const TReadResult result = ReadWholeFile(file, kSettingsFileLimit, bytes, &error);
    switch (result) {
        case TReadResult::Ok:
            lines = SplitSettingsLines(bytes);
            return true;
        case TReadResult::Missing:
            WriteFileAtomically(file, std::string_view(), kPrivateFileMode, TExistingMode::Private);
            return false;
        case TReadResult::Failed:
        case TReadResult::TooLarge:
            break;
    }
    Unreadable(file, UnreadableReason(file, result, error), unreadable);
}

void WriteLines(const std::string& file, const TSettingsValues& values)
{
    if (values.SettingsUnreadable)
        throw SettingsNotSaved(Tr(kSettingsNotSaved1) + file + Tr(kSettingsNotSaved2));
    try {
        CheckSettingsFolder(file);
    } catch (const CommandError& error) {
        throw CommandError(Tr(kCannotCreateFile) + file + ": " + error.what());
    }
    // A password this run did not change yields to the one the file holds now.
    if (values.LevelAPwd == values.StoredLevelAPwd && !values.StoredLevelAPwd.empty()) {
        std::string bytes;
        if (ReadWholeFile(file, kSettingsFileLimit, bytes) == TReadResult::Ok && !bytes.empty())
            values.LevelAPwd = PasswordOf(SplitSettingsLines(bytes));
    }
    const std::string bytes = values.AppTitle + "\r\n" + std::to_string(values.TypeSize) + "\r\n" +
                              values.LevelAPwd + "\r\n";
    WriteFileAtomically(file, bytes, kPrivateFileMode, TExistingMode::Private);
    values.StoredLevelAPwd = values.LevelAPwd;
}

}  // namespace

std::vector<std::string> SplitSettingsLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

std::optional<std::int32_t> ParseWholeNumber(std::string_view text)
{
    // from_chars takes an optional "-" and digits only: no "+", no spaces, no other base.
    std::int32_t value = 0;
    const char* const last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

namespace {

template <typename State>
TSettingsValues ValuesOf(State& state)
{
    return {state.AppTitle, state.TypeSize, state.LevelAPwd, state.StoredLevelAPwd,
            state.SettingsUnreadable};
}

template <typename State>
void Load(State& state)
{
    std::vector<std::string> lines;
    if (ReadLines(state.SettingsFile, lines, state.SettingsUnreadable)) {
        Apply(lines, ValuesOf(state));
        state.StoredLevelAPwd = state.LevelAPwd;
    }
}

}  // namespace

void ApplySettings(TAppState& state, const std::vector<std::string>& SettingsLines)
{
    Apply(SettingsLines, ValuesOf(state));
}

void LoadSettings(TAppState& state)
{
    Load(state);
}

void SaveSettings(TAppState& state)
{
    if (state.LevelAPwd.empty())
        state.LevelAPwd = std::string(kFactoryLevelAPwd);
    WriteLines(state.SettingsFile, ValuesOf(state));
}

void RefreshLevelAPwd(TAppState& state)
{
    if (state.SettingsUnreadable)
        return;
    try {
        CheckSettingsFolder(state.SettingsFile);
    } catch (const CommandError&) {
        return;
    }
    std::string bytes;
    if (ReadWholeFile(state.SettingsFile, kSettingsFileLimit, bytes) != TReadResult::Ok ||
        bytes.empty())
        return;
    state.LevelAPwd = PasswordOf(SplitSettingsLines(bytes));
    state.StoredLevelAPwd = state.LevelAPwd;
}

void LoadSecondarySettings(TSecondaryState& state)
{
    Load(state);
}

void SaveSecondarySettings(TSecondaryState& state)
{
    WriteLines(state.SettingsFile, ValuesOf(state));
}
