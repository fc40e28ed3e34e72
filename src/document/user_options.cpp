#include "document/user_options.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/command_error.h"
#include "core/translate.h"
#include "document/atomic_file.h"
#include "document/file_messages.h"
#include "document/file_read.h"
#include "document/open_notes.h"
#include "document/private_folder.h"

namespace {

constexpr std::string_view kRecentKey = "recent=";
constexpr std::string_view kLineNumbersOn = "line-numbers=on";
constexpr std::string_view kRecoveryOff = "recovery=off";
constexpr std::string_view kOptionsName = "options";
// A few hundred short lines; anything much larger is not ours.
constexpr std::size_t kOptionsFileLimit = 1024 * 1024;

std::string Escaped(std::string_view value)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (const std::size_t length = Utf8SequenceAt(value, i); length > 0) {
            out.append(value.substr(i, length));
            i += length;
            continue;
        }
        if (byte == '%' || byte < 0x20 || byte >= 0x7F) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += static_cast<char>(byte);
        }
        ++i;
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A "%" not followed by two hex digits stays as it is.
std::string Unescaped(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size() && HexDigit(value[i + 1]) >= 0 &&
            HexDigit(value[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(value[i + 1]) * 16 + HexDigit(value[i + 2]));
            i += 2;
        } else {
            out += value[i];
        }
    }
    return out;
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

}  // namespace

std::string UserOptionsFolder()
{
    // A relative XDG folder is ignored, as the desktop's folder rules say.
    const std::string config = Environment("XDG_CONFIG_HOME");
    if (!config.empty() && config.front() == '/')
        return config + "/plimo";
    const std::string home = Environment("HOME");
    return home.empty() ? std::string() : home + "/.config/plimo";
}

std::string UserOptionsFile()
{
    const std::string folder = UserOptionsFolder();
    return folder.empty() ? folder : folder + "/" + std::string(kOptionsName);
}

TUserOptions ParseUserOptions(std::string_view bytes)
{
    TUserOptions options;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.substr(0, kRecentKey.size()) == kRecentKey) {
            std::string path = Unescaped(line.substr(kRecentKey.size()));
            if (!path.empty() && options.recentFiles.size() < kRecentFilesKept &&
                std::find(options.recentFiles.begin(), options.recentFiles.end(), path) ==
                    options.recentFiles.end())
                options.recentFiles.push_back(std::move(path));
        } else if (line == kLineNumbersOn) {
            options.lineNumbers = true;
        } else if (line == "line-numbers=off") {
            options.lineNumbers = false;
        } else if (line == kRecoveryOff) {
            options.keepRecoveryCopies = false;
        } else if (!line.empty() && line != "recovery=on") {
            options.otherLines.emplace_back(line);
        }
    }
    return options;
}

std::string FormatUserOptions(const TUserOptions& options)
{
    std::string out;
    for (const std::string& line : options.otherLines)
        out.append(line).append("\n");
    if (options.lineNumbers)
        out.append(kLineNumbersOn).append("\n");
    if (!options.keepRecoveryCopies)
        out.append(kRecoveryOff).append("\n");
    for (const std::string& path : options.recentFiles)
        out.append(kRecentKey).append(Escaped(path)).append("\n");
    return out;
}

TUserOptions LoadUserOptions()
{
    const std::string file = UserOptionsFile();
    if (file.empty())
        return {};
    std::string bytes;
    int error = 0;
    switch (ReadWholeFile(file, kOptionsFileLimit, bytes, &error)) {
        case TReadResult::Ok:
            return ParseUserOptions(bytes);
        case TReadResult::Missing:
            return {};
        case TReadResult::TooLarge:
            throw CommandError(Tr(kCannotOpenFile) + file +
                               Tr(QT_TRANSLATE_NOOP("Plimo", ": it is far too large")));
        case TReadResult::Failed:
            break;
    }
    throw CommandError(Tr(kCannotOpenFile) + file + ": " + std::strerror(error));
}

void SaveUserOptions(const TUserOptions& options)
{
    const std::string file = UserOptionsFile();
    if (file.empty())
        throw CommandError(
            Tr(kCannotCreateFile) + std::string(kOptionsName) +
            Tr(QT_TRANSLATE_NOOP("Plimo",
                                 ": neither XDG_CONFIG_HOME nor HOME names a folder for it")));
    try {
        OpenPrivateFolder(UserOptionsFolder(), true);
    } catch (const CommandError& e) {
        throw CommandError(Tr(kCannotCreateFile) + file + ": " + e.what());
    }
    WriteFileAtomically(file, FormatUserOptions(options), kPrivateFileMode,
                        TExistingMode::Private);
}

void AddRecentFile(TUserOptions& options, const std::string& path)
{
    std::vector<std::string>& list = options.recentFiles;
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > kRecentFilesKept)
        list.resize(kRecentFilesKept);
}
