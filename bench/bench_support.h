#pragma once

// Pieces the benchmark programs share: clocks, a prose-like text, a Desktop that never blocks
// on a modal window, and the main window built on it.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
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

// A field of /proc/self/status in KiB (VmRSS: resident now; VmHWM: the peak since the last
// ResetPeak), or 0.
inline double StatusKB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::strtod(line.c_str() + length + 1, nullptr);
    return 0;
}

// Starts a new peak, so that VmHWM tells the peak of what follows.
inline void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Median, 99th percentile and worst of a set of times.
struct Spread {
    double median = 0;
    double p99 = 0;
    double max = 0;
    std::size_t count = 0;
};

inline Spread SpreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return {values[n / 2], values[std::min(n - 1, n * 99 / 100)], values.back(), n};
}

// Counts the paints a widget receives.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

// Lets the widget handle what a change posted (layout, scroll bar, update request) and makes
// sure the screen has been painted once since. False when no paint reached the viewport.
inline bool PaintNow(QAbstractScrollArea& area, const PaintCounter& paints)
{
    const int before = paints.count;
    QCoreApplication::processEvents();
    if (paints.count == before)
        area.viewport()->repaint();
    return paints.count > before;
}

// A key pressed and released as the keyboard sends it, then what it caused painted.
inline void PressKey(QAbstractScrollArea& area, const PaintCounter& paints, int key,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(&area, &press);
    QCoreApplication::sendEvent(&area, &release);
    PaintNow(area, paints);
}

// A letter typed; every `breakEvery`-th key (0: none) is Return instead.
inline void TypeKey(QAbstractScrollArea& area, const PaintCounter& paints, int k,
                    int breakEvery = 0)
{
    if (breakEvery > 0 && k % breakEvery == breakEvery - 1) {
        PressKey(area, paints, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        return;
    }
    const int letter = k % 26;
    PressKey(area, paints, Qt::Key_A + letter, Qt::NoModifier, QString(QChar(u'a' + letter)));
}

// The widget floor: a bare QPlainTextEdit set up as the editing area is (wrapping at its
// width, at a word boundary or anywhere; the vertical scroll bar always shown, the horizontal
// never; no frame; the same font and size), shown.
inline void LikeTheArea(QPlainTextEdit& bare, const QWidget& area)
{
    bare.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    bare.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    bare.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bare.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    bare.setFrameShape(QFrame::NoFrame);
    bare.setFont(area.font());
    bare.resize(area.size());
    bare.show();
    QCoreApplication::processEvents();
}

// Every question gets `yes`, the open dialog picks `openPath` (or cancels), the save dialog
// cancels, errors go to standard error: no modal window ever blocks a benchmark.
class QuietDesktop final : public Desktop {
public:
    bool yes = false;
    std::optional<std::string> openPath;

    bool askYesNo(const std::string&, const std::string&) override { return yes; }
    RestoreAnswer askRestore(const std::string&, const std::string&) override
    {
        return RestoreAnswer::Later;
    }
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
// temporary working folder, since the main window writes its settings file into the current one
// (and its recent files into the configuration folder, which moves there too).
class GuiBenchmark final {
public:
    GuiBenchmark(int& argc, char** argv) : m_platform(OffscreenUnlessTold()), m_app(argc, argv) {}
    // False, with a message, when there is no folder to work in.
    bool enterWorkFolder()
    {
        if (m_workDir.isValid() && QDir::setCurrent(m_workDir.path())) {
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_workDir.filePath("config")));
            qputenv("XDG_STATE_HOME", QFile::encodeName(m_workDir.filePath("state")));
            return true;
        }
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
