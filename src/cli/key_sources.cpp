#include "cli/key_sources.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <string.h>  // explicit_bzero

#include <array>
#include <cerrno>
#include <cstdlib>

#include "cipher/openpgp.h"
#include "core/command_error.h"
#include "core/translate.h"
#include "core/win1252.h"
#include "document/file_calls.h"
#include "document/file_messages.h"
#include "document/file_read.h"
#include "document/settings_file.h"

namespace {

// As the editor's settings reader: a larger file is not a settings file.
constexpr std::size_t kSettingsFileLimit = 1024 * 1024;
// A password file is one short line; a larger file is the wrong file.
constexpr std::size_t kPasswordFileLimit = 64 * 1024;

bool IsLineBreak(char ch)
{
    return ch == '\r' || ch == '\n';
}

// One code point decoded from valid UTF-8 at `at` (advanced past it), or nothing.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length;
    char32_t ch;
    char32_t smallest;
    if (lead < 0x80) {
        ++at;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, ch = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, ch = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, ch = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - at < length)
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        ch = (ch << 6) | (next & 0x3F);
    }
    if (ch < smallest || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return std::nullopt;
    at += length;
    return ch;
}

// The terminal's settings while echo is off, put back by the signal handler too.
struct TEchoState {
    int fd = -1;
    termios saved{};
};
TEchoState g_echo;
constexpr std::array<int, 4> kInterruptions = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void RestoreEchoAndDie(int signal)
{
    ::tcsetattr(g_echo.fd, TCSAFLUSH, &g_echo.saved);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Echo off for its lifetime, on the terminal at `fd`.
class EchoOff final {
public:
    explicit EchoOff(int fd)
    {
        if (::tcgetattr(fd, &g_echo.saved) != 0)
            return;
        g_echo.fd = fd;
        struct sigaction action {};
        action.sa_handler = RestoreEchoAndDie;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < kInterruptions.size(); ++i)
            ::sigaction(kInterruptions[i], &action, &m_previous[i]);
        termios quiet = g_echo.saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;  // the Enter still shows, so the next prompt starts a line
        m_active = ::tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (g_echo.fd < 0)
            return;
        if (m_active)
            ::tcsetattr(g_echo.fd, TCSAFLUSH, &g_echo.saved);
        for (std::size_t i = 0; i < kInterruptions.size(); ++i)
            ::sigaction(kInterruptions[i], &m_previous[i], nullptr);
        g_echo.fd = -1;
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    bool m_active = false;
    std::array<struct sigaction, kInterruptions.size()> m_previous{};
};

}  // namespace

std::string DefaultSettingsPath(std::string_view SettingsFile)
{
    const std::string here(SettingsFile);
    struct stat st {};
    if (::lstat(here.c_str(), &st) == 0)
        return here;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        return std::string(dataHome) + "/plimo/" + here;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/share/plimo/" + here;
    return here;  // missing, so reading it says which file is meant
}

void ReadSettingsForLevelA(TAppState& state, const std::string& path)
{
    std::string bytes;
    if (ReadWholeFile(path, kSettingsFileLimit, bytes) != TReadResult::Ok)
        throw CommandError(Tr(kCannotOpenFile) + path);
    ApplySettings(state, SplitSettingsLines(bytes));
}

std::string PasswordFromFileBytes(std::string_view bytes, const std::string& path, TKeyBytes form)
{
    if (bytes.ends_with("\r\n"))
        bytes.remove_suffix(2);
    else if (!bytes.empty() && IsLineBreak(bytes.back()))
        bytes.remove_suffix(1);
    if (bytes.find_first_of("\r\n") != std::string_view::npos)
        throw CommandError(path + " holds more than one line: a password or code is one line");
    return form == TKeyBytes::AsTheyAre ? std::string(bytes) : PasswordBoxBytes(bytes);
}

std::string ReadPasswordFile(const std::string& path, std::string* warning, TKeyBytes form)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat st {};
    if (!file.valid() || ::fstat(file.get(), &st) != 0)
        throw CommandError(Tr(kCannotOpenFile) + path);
    if (!S_ISREG(st.st_mode))
        throw CommandError(
            Tr(kCannotOpenFile) + path +
            Tr(QT_TRANSLATE_NOOP("Plimo", ": a password file must be a regular file")));
    if (warning && (st.st_mode & (S_IRGRP | S_IROTH)) != 0)
        *warning =
            Tr(QT_TRANSLATE_NOOP("Plimo", "warning: other users may read the password file ")) +
            path + Tr(QT_TRANSLATE_NOOP("Plimo", " (chmod go-r makes it yours alone)"));
    // Room for the largest file at once: the bytes are never moved, leaving a copy behind.
    struct Read {
        std::string bytes;
        char buffer[4096];
        ~Read()
        {
            WipeSecret(bytes);
            explicit_bzero(buffer, sizeof buffer);
        }
    } read;
    read.bytes.reserve(kPasswordFileLimit);
    bool failed = false;
    for (;;) {
        const ssize_t got = ReadSome(file.get(), read.buffer, sizeof read.buffer);
        if (got <= 0 || read.bytes.size() + static_cast<std::size_t>(got) > kPasswordFileLimit) {
            failed = got != 0;
            break;
        }
        read.bytes.append(read.buffer, static_cast<std::size_t>(got));
    }
    if (failed)
        throw CommandError(Tr(kCannotOpenFile) + path);
    return PasswordFromFileBytes(read.bytes, path, form);
}

std::string PasswordBoxBytes(std::string_view typed)
{
    std::string out;
    for (std::size_t at = 0; at < typed.size();) {
        const auto ch = DecodeUtf8(typed, at);
        if (!ch)
            return std::string(typed);
        const int byte = win1252::FromUnicode(*ch);
        if (byte >= 0)
            out += static_cast<char>(byte);
        else
            out.append(*ch > 0xFFFF ? 2 : 1, '?');
    }
    return out;
}

std::optional<std::string> AskOnTerminal(std::string_view prompt)
{
    // The prompt goes to the terminal even when standard error is sent elsewhere.
    const FileDescriptor tty(::open("/dev/tty", O_WRONLY | O_CLOEXEC));
    WriteAll(tty.valid() ? tty.get() : STDERR_FILENO, prompt);

    const EchoOff quiet(STDIN_FILENO);
    std::string line;
    for (;;) {
        char ch;
        const ssize_t got = ::read(STDIN_FILENO, &ch, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return line.empty() ? std::nullopt : std::optional<std::string>(line);
        if (ch == '\n')
            break;
        line += ch;
    }
    if (line.ends_with('\r'))
        line.pop_back();
    return line;
}
