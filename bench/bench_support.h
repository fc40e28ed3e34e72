#pragma once

// Pieces the benchmark programs share: clocks, a prose-like text, a Desktop that never blocks
// on a modal window, and the main window built on it.

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <optional>
#include <random>
#include <string>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "core/app_state.h"
#include "ui/main/fCPas.h"
#include "ui/platform/desktop.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline constexpr std::size_t kMB = 1024 * 1024;

inline double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Processor time of the calling thread, or of the whole process (the widget may hand work to
// other threads). The machine may be shared, and waiting is not working.
inline double CpuSeconds(clockid_t clock = CLOCK_THREAD_CPUTIME_ID)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Prose-like text: words of mixed case, some 8-bit letters, CR LF about every 70 characters.
inline std::string MakeProse(std::size_t size)
{
    // clang-format off
    static const char* const kWords[] = {
        "the", "of", "and", "Editor", "text", "line", "CAF\xC9", "na\xEFve", "Gro\xDF",
        "\x8Akoda", "find", "Replace", "window", "panel", "cipher", "level", "Key", "shift",
        "file", "open", "save", "settings", "\xE9t\xE9", "word"};
    // clang-format on
    std::mt19937 random(1);
    std::string text;
    text.reserve(size + 16);
    std::size_t lineStart = 0;
    while (text.size() < size) {
        text += kWords[random() % std::size(kWords)];
        if (text.size() - lineStart > 70) {
            text += "\r\n";
            lineStart = text.size();
        } else {
            text += ' ';
        }
    }
    text.resize(size);
    return text;
}

// The processor time of the whole process: the widget may hand work to other threads.
inline double ProcessCpuSeconds()
{
    return CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
}

// Every question gets `yes`, the open dialog picks `openPath` (or cancels), the save dialog
// cancels, errors go to standard error: no modal window ever blocks a benchmark.
class QuietDesktop final : public Desktop {
public:
    bool yes = false;
    std::optional<std::string> openPath;

    bool askYesNo(const std::string&, const std::string&) override { return yes; }
    void showError(const std::string& caption, const std::string& message) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), message.c_str());
    }
    std::optional<std::string> openFileDialog(const FileDialogRequest&) override
    {
        return openPath;
    }
    std::optional<std::string> saveFileDialog(const FileDialogRequest&) override { return {}; }
    void openUrl(const std::string&) override {}
    QStringList screenFontFamilies() override { return {QStringLiteral("DejaVu Sans")}; }
    QSize virtualDesktopSize() override { return {1280, 1024}; }
    QSize primaryScreenSize() override { return {1280, 1024}; }
};

// A benchmark program's Qt side: the offscreen platform unless another is asked for, and a
// temporary working folder, since the main window writes its settings file into the current one.
class GuiBenchmark final {
public:
    GuiBenchmark(int& argc, char** argv) : m_platform(OffscreenUnlessTold()), m_app(argc, argv) {}
    // False, with a message, when there is no folder to work in.
    bool enterWorkFolder()
    {
        if (m_workDir.isValid() && QDir::setCurrent(m_workDir.path()))
            return true;
        std::fprintf(stderr, "cannot make a temporary working folder\n");
        return false;
    }

private:
    static bool OffscreenUnlessTold()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }

    bool m_platform;
    QApplication m_app;
    QTemporaryDir m_workDir;
};

// The main window as the program opens it, shown, with its own state and a quiet desktop.
struct MainWindow {
    QuietDesktop desktop;
    TAppState state;
    TfC w{desktop, state};
    MainWindow()
    {
        w.show();
        QCoreApplication::processEvents();
    }
};

}  // namespace bench
