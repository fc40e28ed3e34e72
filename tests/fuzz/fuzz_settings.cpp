// The settings file reader: any bytes as the file's content. The state it leaves is always one
// the program can run with, matches a plain reading of the three lines, and survives a save and
// a reload unchanged; the strict whole-number reader agrees with strtoll.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/level_b_tables.h"
#include "core/app_state.h"
#include "core/command_error.h"
#include "document/settings_file.h"
#include "fuzz_support.h"

namespace {

// Lines end at CR LF, a lone CR or a lone LF; a break at the very end starts no further line.
std::vector<std::string> ReferenceLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::string current;
    bool open = false;  // a line has begun and not yet ended
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            current += c;
            open = true;
        }
    }
    if (open)
        lines.push_back(current);
    return lines;
}

// An optional "-" and digits only, checked by hand; strtoll gives the value and the range.
std::optional<std::int32_t> ReferenceWholeNumber(std::string_view text)
{
    const std::size_t digitsFrom = !text.empty() && text[0] == '-' ? 1 : 0;
    if (digitsFrom == text.size())
        return std::nullopt;
    for (std::size_t i = digitsFrom; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(copy.c_str(), &end, 10);
    if (errno == ERANGE || end != copy.c_str() + copy.size())
        return std::nullopt;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string Show(const std::optional<std::int32_t>& value)
{
    return value ? std::to_string(*value) : std::string("nothing");
}

void CheckWholeNumber(std::string_view text)
{
    const auto got = ParseWholeNumber(text);
    const auto expected = ReferenceWholeNumber(text);
    FUZZ_CHECK(got == expected, "ParseWholeNumber(" + fuzz::Hex(text) + ") gave " + Show(got) +
                                    ", expected " + Show(expected));
}

std::string LineOrEmpty(const std::vector<std::string>& lines, std::size_t index)
{
    return index < lines.size() ? lines[index] : std::string();
}

TAppState FreshState()
{
    TAppState state;
    SetStateDefaults(state, LevelBKeyTableData());
    return state;
}

std::string Describe(std::string_view input, const TAppState& state)
{
    return "input " + fuzz::Hex(input) + " gave AppTitle " + fuzz::Hex(state.AppTitle) +
           ", TypeSize " + std::to_string(state.TypeSize) + ", LevelAPwd " +
           fuzz::Hex(state.LevelAPwd);
}

// Everything the settings file does not hold stays at its default.
bool OthersUnchanged(const TAppState& state, const TAppState& fresh)
{
    return state.ProductName == fresh.ProductName && state.Version == fresh.Version &&
           state.SettingsFile == fresh.SettingsFile && state.FileName == fresh.FileName &&
           state.FileExt == fresh.FileExt && state.HasFile == fresh.HasFile &&
           state.PlainText == fresh.PlainText && state.LevelBKey == fresh.LevelBKey &&
           state.LevelCPwd == fresh.LevelCPwd && state.LevelBKeyTables == fresh.LevelBKeyTables &&
           state.FindPos == fresh.FindPos && state.FindNext == fresh.FindNext &&
           state.FindToggle == fresh.FindToggle && state.RepToggle == fresh.RepToggle &&
           state.EncToggle == fresh.EncToggle && state.DecToggle == fresh.DecToggle &&
           state.TypeToggle == fresh.TypeToggle && state.LAToggle == fresh.LAToggle &&
           state.GoToggle == fresh.GoToggle;
}

bool SameSettings(const TAppState& a, const TAppState& b)
{
    return a.AppTitle == b.AppTitle && a.TypeSize == b.TypeSize && a.LevelAPwd == b.LevelAPwd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile file("plimo.dat");
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::vector<std::string> lines = SplitSettingsLines(input);
    FUZZ_CHECK(lines == ReferenceLines(input), "SplitSettingsLines(" + fuzz::Hex(input) + ")");

    CheckWholeNumber(input);
    for (const std::string& line : lines)
        CheckWholeNumber(line);

    const TAppState fresh = FreshState();
    TAppState state = fresh;
    ApplySettings(state, lines);
    FUZZ_CHECK(state.TypeSize >= kMinTypeSize && state.TypeSize <= kMaxTypeSize,
               Describe(input, state));
    FUZZ_CHECK(!state.LevelAPwd.empty(), Describe(input, state));
    FUZZ_CHECK(OthersUnchanged(state, fresh), Describe(input, state));

    const std::string title = LineOrEmpty(lines, 0);
    const auto typeSize = ReferenceWholeNumber(LineOrEmpty(lines, 1));
    const std::string password = LineOrEmpty(lines, 2);
    FUZZ_CHECK(state.AppTitle == title, Describe(input, state));
    const bool sizeUsable = typeSize && *typeSize >= kMinTypeSize && *typeSize <= kMaxTypeSize;
    FUZZ_CHECK(state.TypeSize == (sizeUsable ? *typeSize : kDefaultTypeSize),
               Describe(input, state));
    FUZZ_CHECK(state.LevelAPwd == (password.empty() ? std::string(kFactoryLevelAPwd) : password),
               Describe(input, state));

    // The same bytes through the file, for the main window's state and the secondary window's.
    file.Write(input);
    TAppState loaded = fresh;
    loaded.SettingsFile = file.Path();
    try {
        LoadSettings(loaded);
    } catch (const CommandError& error) {
        FUZZ_CHECK(false, std::string("LoadSettings threw ") + error.what());
    }
    FUZZ_CHECK(SameSettings(loaded, state), "LoadSettings: " + Describe(input, loaded));

    TSecondaryState secondary;
    secondary.SettingsFile = file.Path();
    LoadSecondarySettings(secondary);
    FUZZ_CHECK(secondary.AppTitle == state.AppTitle && secondary.TypeSize == state.TypeSize &&
                   secondary.LevelAPwd == state.LevelAPwd,
               "LoadSecondarySettings: input " + fuzz::Hex(input) + " gave AppTitle " +
                   fuzz::Hex(secondary.AppTitle) + ", TypeSize " +
                   std::to_string(secondary.TypeSize) + ", LevelAPwd " +
                   fuzz::Hex(secondary.LevelAPwd));

    // What is saved reads back as the same settings, in the three-line form.
    SaveSettings(loaded);
    const std::string expectedFile = state.AppTitle + "\r\n" + std::to_string(state.TypeSize) +
                                     "\r\n" + state.LevelAPwd + "\r\n";
    TAppState reloaded = fresh;
    reloaded.SettingsFile = file.Path();
    LoadSettings(reloaded);
    FUZZ_CHECK(SameSettings(reloaded, state), "after SaveSettings: " + Describe(input, reloaded));
    std::string written;
    {
        std::ifstream in(file.Path(), std::ios::binary);
        written.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    FUZZ_CHECK(written == expectedFile, "SaveSettings wrote " + fuzz::Hex(written) + ", expected " +
                                            fuzz::Hex(expectedFile));
    return 0;
}
