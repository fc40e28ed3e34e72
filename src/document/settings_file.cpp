#include "document/settings_file.h"

#include <charconv>

#include "core/command_error.h"
#include "document/atomic_file.h"
#include "document/file_messages.h"
#include "document/file_read.h"

namespace {

enum TSettingsLine : std::size_t { kTitleLine, kTypeSizeLine, kPasswordLine };

// We write three short lines; a file this large is not ours, and reading it all would only stall
// the start.
constexpr std::size_t kSettingsFileLimit = 1024 * 1024;

// The three values both windows keep, as references into their own state records.
struct TSettingsValues {
    std::string& AppTitle;
    std::int32_t& TypeSize;
    std::string& LevelAPwd;
};

std::string LineOrEmpty(const std::vector<std::string>& lines, std::size_t index)
{
    return index < lines.size() ? lines[index] : std::string();
}

void Apply(const std::vector<std::string>& lines, TSettingsValues values)
{
    values.AppTitle = LineOrEmpty(lines, kTitleLine);
    // A hand-edited size the font engine cannot draw, or no number at all, gives the default.
    const auto size = ParseWholeNumber(LineOrEmpty(lines, kTypeSizeLine));
    values.TypeSize =
        size && *size >= kMinTypeSize && *size <= kMaxTypeSize ? *size : kDefaultTypeSize;
    values.LevelAPwd = LineOrEmpty(lines, kPasswordLine);
    if (values.LevelAPwd.empty())
        values.LevelAPwd = std::string(kFactoryLevelAPwd);
}

// Returns false when the file is missing; it is then created empty.
bool ReadLines(const std::string& file, std::vector<std::string>& lines)
{
    std::string bytes;
    switch (ReadWholeFile(file, kSettingsFileLimit, bytes)) {
        case TReadResult::Ok:
            lines = SplitSettingsLines(bytes);
            return true;
        case TReadResult::Missing:
            WriteFileAtomically(file, {}, kPrivateFileMode);
            return false;
        case TReadResult::Failed:
        case TReadResult::TooLarge:
            break;
    }
    throw CommandError(std::string(kCannotOpenFile) + file);
}

void WriteLines(const std::string& file, const TSettingsValues& values)
{
    const std::string bytes = values.AppTitle + "\r\n" + std::to_string(values.TypeSize) + "\r\n" +
                              values.LevelAPwd + "\r\n";
    WriteFileAtomically(file, bytes, kPrivateFileMode);
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

void ApplySettings(TAppState& state, const std::vector<std::string>& SettingsLines)
{
    Apply(SettingsLines, {state.AppTitle, state.TypeSize, state.LevelAPwd});
}

void LoadSettings(TAppState& state)
{
    std::vector<std::string> SettingsLines;
    if (ReadLines(state.SettingsFile, SettingsLines))
        ApplySettings(state, SettingsLines);
}

void SaveSettings(TAppState& state)
{
    if (state.LevelAPwd.empty())
        state.LevelAPwd = std::string(kFactoryLevelAPwd);
    WriteLines(state.SettingsFile, {state.AppTitle, state.TypeSize, state.LevelAPwd});
}

void LoadSecondarySettings(TSecondaryState& state)
{
    std::vector<std::string> lines;
    if (ReadLines(state.SettingsFile, lines))
        Apply(lines, {state.AppTitle, state.TypeSize, state.LevelAPwd});
}

void SaveSecondarySettings(TSecondaryState& state)
{
    WriteLines(state.SettingsFile, {state.AppTitle, state.TypeSize, state.LevelAPwd});
}
