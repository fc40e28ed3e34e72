// Documents through the main window: the Open command's path (LoadDocument and the editing
// area taking the bytes) to the first painted screen, against the floor a bare QPlainTextEdit
// set up as the editing area needs to set the same text and paint it, and against the limit of
// reading the file and finding its lines with memchr; 50 MB, 200 MB and 1 GiB of prose; files of
// only line feeds, of 10 million short lines and of one long line; the resident memory each
// leaves, each in a process of its own; keys typed in 50 MB and 200 MB, Ctrl+End; Save against
// write + fsync of the same bytes; undo of Encrypt against the Encrypt; Select All with a
// Shift+click or a Copy in 1 GiB against a copy of its bytes. Every comparison times
// its sides in the same iteration, taking turns to go first, so that a ratio holds under
// whatever else the machine is doing. A summary with the targets follows Google Benchmark's
// table.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; the files (about 1.6 GB)
// live in a temporary folder under TMPDIR.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "cipher/levels.h"
#include "core/app_state.h"
#include "document/document_file.h"
#include "document/file_read.h"
#include "document/recovery_journal.h"
#include "ui/editor/memo.h"
#include "ui/main/cipher_panel.h"
#include "ui/main/fCPas.h"

namespace {

using bench::Clock;
using bench::kMB;
using bench::PaintCounter;
using bench::PaintNow;
using bench::Seconds;

constexpr std::string_view kLevelCPassword = "Kestrel7";

double MsSince(Clock::time_point start)
{
    return Seconds(Clock::now() - start) * 1e3;
}

template <typename Work>
double TimeMs(Work&& work)
{
    const auto t0 = Clock::now();
    work();
    return MsSince(t0);
}

// One side of a comparison over the iterations of a benchmark.
struct Tally {
    double totalMs = 0;
    double bestMs = std::numeric_limits<double>::infinity();
    int count = 0;
    void Add(double ms)
    {
        totalMs += ms;
        bestMs = std::min(bestMs, ms);
        ++count;
    }
    double Mean() const { return count ? totalMs / count : 0; }
};

// The summary printed after the run: one line per figure, with its target.
struct SummaryRow {
    std::string what;
    std::string figure;
    std::string target;
    std::optional<bool> met;
};

std::vector<SummaryRow>& Summary()
{
    static std::vector<SummaryRow> rows;
    return rows;
}

std::string Fixed(double v, int decimals = 2)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    return buffer;
}

void Note(const std::string& what, const std::string& figure, const std::string& target = "-",
          std::optional<bool> met = std::nullopt)
{
    Summary().push_back({what, figure, target, met});
}

// Runs the sides in an order that turns with the iteration, so that none always goes first.
void Rotated(int iteration, const std::vector<std::function<void()>>& sides)
{
    const auto n = sides.size();
    for (std::size_t i = 0; i < n; ++i)
        sides[(static_cast<std::size_t>(iteration) + i) % n]();
}

// ---- files

// kAscii: printable ASCII in lines of 40 to 100 characters, which every level encrypts (the
// prose's 8-bit letters are not all restorable under every key).
enum Shape { kProse, kLineFeeds, kShortLines, kOneLine, kAscii };

bool WriteWhole(const std::string& path, std::string_view bytes, bool sync)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (sync && ::fsync(fd) != 0)
        ok = false;
    return ::close(fd) == 0 && ok;
}

// A 16 MiB piece of the shape, repeated to make a file: large files are written without being
// held whole. A piece never ends in a CR, so that no lone CR at a seam makes the load add bytes.
std::string Piece(Shape shape)
{
    constexpr std::size_t kPiece = 16 * kMB;
    std::string piece;
    switch (shape) {
    case kProse:
        piece = bench::MakeProse(kPiece);
        break;
    case kLineFeeds:
        piece.assign(kPiece, '\n');
        break;
    case kShortLines:
        // Two letters and CR LF: 4 bytes a line.
        piece.reserve(kPiece);
        for (std::size_t i = 0; piece.size() < kPiece; ++i) {
            piece += static_cast<char>('a' + i % 26);
            piece += static_cast<char>('a' + (i / 26) % 26);
            piece += "\r\n";
        }
        break;
    case kAscii: {
        std::mt19937 random(7);
        piece.reserve(kPiece + 2);
        while (piece.size() < kPiece) {
            const std::size_t line = 40 + random() % 61;
            for (std::size_t i = 0; i < line; ++i)
                piece += i % 7 == 6 ? ' ' : static_cast<char>(33 + random() % 94);
            piece += "\r\n";
        }
        piece.resize(kPiece);
        break;
    }
    case kOneLine: {
        std::mt19937 random(3);
        piece.resize(kPiece);
        for (char& c : piece)
            c = static_cast<char>('a' + random() % 26);
        break;
    }
    }
    if (piece.back() == '\r')
        piece.back() = 'x';
    return piece;
}

// The file of `size` bytes of the shape in the working folder, written once.
std::string SourceFile(Shape shape, std::size_t size)
{
    static const char* const kNames[] = {"prose", "lf", "short", "line", "ascii"};
    const std::string path = std::filesystem::absolute(std::string(kNames[shape]) + "-" +
                                                       std::to_string(size) + ".txt");
    if (std::filesystem::exists(path))
        return path;
    const std::string piece = Piece(shape);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    bool ok = out != nullptr;
    for (std::size_t at = 0; ok && at < size; at += piece.size()) {
        std::string_view part(piece.data(), std::min(piece.size(), size - at));
        std::string last;
        if (part.back() == '\r') {
            last.assign(part);
            last.back() = 'x';
            part = last;
        }
        ok = std::fwrite(part.data(), 1, part.size(), out) == part.size();
    }
    if (out == nullptr || std::fclose(out) != 0 || !ok) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

// The size the editing area holds after opening: every line break CR LF.
std::size_t DocumentSize(Shape shape, std::size_t fileSize)
{
    return shape == kLineFeeds ? 2 * fileSize : fileSize;
}

// The limit: the file read into a fresh buffer and its lines found with memchr.
std::size_t ReadAndScan(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct stat st {};
    ::fstat(fd, &st);
    const auto size = static_cast<std::size_t>(st.st_size);
    const std::unique_ptr<char[]> buffer(new char[size]);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer.get() + got, size - got);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    std::size_t lines = 1;
    const char* p = buffer.get();
    const char* const end = p + got;
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))))
        ++p, ++lines;
    benchmark::DoNotOptimize(lines);
    return got;
}

// The text as the bare widget takes it, made outside the timing: a QString, '\n' between lines.
QString FloorText(const std::string& path)
{
    std::string bytes = LoadDocument(path);
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .remove(QLatin1Char('\r'));
}

// ---- the window

struct Window {
    bench::MainWindow main;
    PaintCounter paints{main.w.mem()->viewport()};
    Memo& mem() { return *main.w.mem(); }
};

// The Open command once its dialog has answered, to the first painted screen. The text before
// is dropped outside the timing.
double OpenMs(Window& win, const std::string& path, bool& ok)
{
    win.mem().setBytes({});
    QCoreApplication::processEvents();
    bool painted = false;
    const double ms = TimeMs([&] {
        win.main.w.OpenFile(path);
        painted = PaintNow(win.mem(), win.paints);
    });
    ok = ok && painted && win.main.state.FileName == path;
    return ms;
}

// Keys typed at the caret, each timed with the paint it causes.
std::vector<double> TypeKeys(Window& win, int count, int firstKey = 0, int breakEvery = 0)
{
    std::vector<double> ms;
    for (int k = firstKey; k < firstKey + count; ++k)
        ms.push_back(TimeMs([&] { bench::TypeKey(win.mem(), win.paints, k, breakEvery); }));
    return ms;
}

double CtrlEndMs(Window& win)
{
    return TimeMs([&] { bench::PressKey(win.mem(), win.paints, Qt::Key_End, Qt::ControlModifier); });
}

void CtrlHome(Window& win)
{
    bench::PressKey(win.mem(), win.paints, Qt::Key_Home, Qt::ControlModifier);
}

std::string SpreadText(const bench::Spread& s)
{
    return "median " + Fixed(s.median, 3) + " ms, p99 " + Fixed(s.p99, 3) + " ms, max " +
           Fixed(s.max, 1) + " ms (" + std::to_string(s.count) + " keys)";
}

void SetSpread(benchmark::State& state, const std::string& prefix, const bench::Spread& s)
{
    state.counters[prefix + "median_ms"] = s.median;
    state.counters[prefix + "p99_ms"] = s.p99;
    state.counters[prefix + "max_ms"] = s.max;
}

// ---- open

// 50 MB of prose: the window's Open against the widget floor (the bare widget's set of the
// ready-made QString and its first paint, no file read) and against the limit.
void BM_Open50MB(benchmark::State& state)
{
    const std::string path = SourceFile(kProse, 50 * kMB);
    const QString floorText = FloorText(path);
    Window win;
    QPlainTextEdit bare;
    bench::LikeTheArea(bare, win.mem());
    const PaintCounter barePaints(bare.viewport());

    Tally ours, floor, limit;
    bool ok = true;
    int iteration = 0;
    for (auto _ : state) {
        bare.clear();
        QCoreApplication::processEvents();
        Rotated(iteration++,
                {[&] { ours.Add(OpenMs(win, path, ok)); },
                 [&] {
                     floor.Add(TimeMs([&] {
                         bare.setPlainText(floorText);
                         ok = PaintNow(bare, barePaints) && ok;
                     }));
                 },
                 [&] { limit.Add(TimeMs([&] { ReadAndScan(path); })); }});
        state.SetIterationTime(ours.totalMs / ours.count / 1e3);
    }
    if (!ok || static_cast<std::size_t>(win.mem().byteLength()) != 50 * kMB) {
        state.SkipWithError("the text did not arrive whole, or was not painted");
        return;
    }
    state.counters["ours_ms"] = ours.Mean();
    state.counters["floor_ms"] = floor.Mean();
    state.counters["limit_ms"] = limit.Mean();
    state.counters["per_floor"] = ours.Mean() / floor.Mean();
    state.counters["per_limit"] = ours.Mean() / limit.Mean();
    Note("Open 50 MB prose, per widget floor (" + Fixed(ours.Mean(), 1) + " / " +
             Fixed(floor.Mean(), 0) + " ms)",
         Fixed(ours.Mean() / floor.Mean(), 4), "<= 0.1", ours.Mean() / floor.Mean() <= 0.1);
    Note("Open 50 MB prose, per limit (" + Fixed(ours.Mean(), 1) + " / " + Fixed(limit.Mean(), 1) +
             " ms)",
         Fixed(ours.Mean() / limit.Mean()), "<= 5", ours.Mean() / limit.Mean() <= 5);
}

// Opening prose at 50 MB, 200 MB and 1 GiB against the limit, with LoadDocument alone as a
// third side (what of the time is the read).
void BM_OpenProse(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0)) * kMB;
    const std::string path = SourceFile(kProse, size);
    Window win;
    Tally ours, load, limit;
    bool ok = true;
    int iteration = 0;
    for (auto _ : state) {
        Rotated(iteration++, {[&] { ours.Add(OpenMs(win, path, ok)); },
                              [&] {
                                  std::string text;
                                  load.Add(TimeMs([&] { text = LoadDocument(path); }));
                                  ok = ok && text.size() == size;
                              },
                              [&] { limit.Add(TimeMs([&] { ReadAndScan(path); })); }});
        state.SetIterationTime(ours.totalMs / ours.count / 1e3);
    }
    if (!ok || static_cast<std::size_t>(win.mem().byteLength()) != size) {
        state.SkipWithError("the text did not arrive whole, or was not painted");
        return;
    }
    const double mb = static_cast<double>(size) / 1e6;
    state.counters["ours_ms"] = ours.Mean();
    state.counters["load_ms"] = load.Mean();
    state.counters["limit_ms"] = limit.Mean();
    state.counters["per_limit"] = ours.Mean() / limit.Mean();
    state.counters["ms_per_MB"] = ours.Mean() / mb;
    state.counters["limit_ms_per_MB"] = limit.Mean() / mb;
    Note("Open " + std::to_string(state.range(0)) + " MiB prose: ours / load alone / limit, ms",
         Fixed(ours.Mean(), 1) + " / " + Fixed(load.Mean(), 1) + " / " + Fixed(limit.Mean(), 1) +
             " (" + Fixed(ours.Mean() / mb, 3) + " ms per MB, " +
             Fixed(ours.Mean() / limit.Mean()) + " x limit)",
         "linear");
}

// Files of unusual shape: 32 MiB of line feeds (64 MiB of CR LF once opened), 10 million short
// lines (40 MB), one 1 MiB line and one 255 MiB line without a blank. Open against the limit,
// then Ctrl+End, then keys at the end and in the middle.
void BM_Shape(benchmark::State& state)
{
    const auto shape = static_cast<Shape>(state.range(0));
    const auto size = static_cast<std::size_t>(state.range(1));
    const std::string path = SourceFile(shape, size);
    const std::string name = shape == kLineFeeds    ? "32 MiB of line feeds"
                             : shape == kShortLines ? "10 M short lines (40 MB)"
                             : size < 2 * kMB       ? "one 1 MiB line"
                                                    : "one 255 MiB line";
    Window win;
    Tally ours, limit;
    bool ok = true;
    int iteration = 0;
    for (auto _ : state) {
        Rotated(iteration++, {[&] { ours.Add(OpenMs(win, path, ok)); },
                              [&] { limit.Add(TimeMs([&] { ReadAndScan(path); })); }});
        state.SetIterationTime(ours.totalMs / ours.count / 1e3);
    }
    const std::size_t documentSize = DocumentSize(shape, size);
    ok = ok && static_cast<std::size_t>(win.mem().byteLength()) == documentSize;
    // The keys, once, after the last open.
    const double ctrlEnd = CtrlEndMs(win);
    ok = ok && static_cast<std::size_t>(win.mem().selStart()) == documentSize;
    const std::vector<double> atEnd = TypeKeys(win, 200);
    win.mem().select(win.mem().byteLength() / 2, 0);
    QCoreApplication::processEvents();
    const std::vector<double> inMiddle = TypeKeys(win, 200);
    ok = ok && static_cast<std::size_t>(win.mem().byteLength()) == documentSize + 400;
    if (!ok) {
        state.SkipWithError("the text did not arrive whole, or the keys were not typed");
        return;
    }
    const bench::Spread end = bench::SpreadOf(atEnd);
    const bench::Spread middle = bench::SpreadOf(inMiddle);
    state.counters["ours_ms"] = ours.Mean();
    state.counters["limit_ms"] = limit.Mean();
    state.counters["per_limit"] = ours.Mean() / limit.Mean();
    state.counters["ctrl_end_ms"] = ctrlEnd;
    state.counters["first_key_at_end_ms"] = atEnd.front();
    state.counters["first_key_in_middle_ms"] = inMiddle.front();
    SetSpread(state, "end_", end);
    SetSpread(state, "middle_", middle);
    state.SetLabel(name);
    const bool oneMiB = shape == kOneLine && size < 2 * kMB;
    Note("Open " + name + " (limit " + Fixed(limit.Mean(), 1) + " ms)",
         Fixed(ours.Mean(), 1) + " ms", oneMiB ? "<= 200 ms" : "-",
         oneMiB ? std::optional(ours.Mean() <= 200) : std::nullopt);
    Note("  Ctrl+End, " + name, Fixed(ctrlEnd, 2) + " ms");
    Note("  keys at the end, " + name + " (the first " + Fixed(atEnd.front(), 2) + " ms)",
         SpreadText(end), oneMiB ? "max <= 5 ms" : "-",
         oneMiB ? std::optional(end.max <= 5) : std::nullopt);
    Note("  keys in the middle, " + name + " (the first " + Fixed(inMiddle.front(), 2) + " ms)",
         SpreadText(middle));
}

// ---- memory, each in a process of its own

std::string g_self;  // this program, for the memory probes

// In the child: opens the file through a fresh window and prints the resident memory before
// and after, the peak while opening, and the resident memory after one key typed in the middle.
int MemoryProbe(const std::string& path)
{
    Window win;
    QCoreApplication::processEvents();
    const double before = bench::StatusKB("VmRSS");
    bench::ResetPeak();
    bool ok = true;
    const double openMs = OpenMs(win, path, ok);
    const double opened = bench::StatusKB("VmRSS");
    const double peak = bench::StatusKB("VmHWM");
    const auto bytes = static_cast<std::size_t>(win.mem().byteLength());
    win.mem().select(win.mem().byteLength() / 2, 0);
    QCoreApplication::processEvents();
    bench::ResetPeak();
    const std::vector<double> key = TypeKeys(win, 1);
    const double typed = bench::StatusKB("VmRSS");
    const double typedPeak = bench::StatusKB("VmHWM");
    std::printf("%d %zu %.0f %.0f %.0f %.0f %.0f %.3f %.3f\n", ok ? 1 : 0, bytes, before, opened,
                peak, typed, typedPeak, openMs, key.front());
    return ok ? 0 : 1;
}

void BM_Memory(benchmark::State& state)
{
    const auto shape = static_cast<Shape>(state.range(0));
    const auto size = static_cast<std::size_t>(state.range(1));
    const std::string path = SourceFile(shape, size);
    const std::string name = shape == kProse ? std::to_string(size / kMB) + " MiB prose"
                             : shape == kLineFeeds    ? "32 MiB of line feeds"
                             : shape == kShortLines   ? "10 M short lines (40 MB)"
                             : size < 2 * kMB         ? "one 1 MiB line"
                                                      : "one 255 MiB line";
    int good = 0;
    std::size_t bytes = 0;
    double before = 0, opened = 0, peak = 0, typed = 0, typedPeak = 0, openMs = 0, keyMs = 0;
    for (auto _ : state) {
        const std::string command = "'" + g_self + "' --memory-probe '" + path + "'";
        std::FILE* child = ::popen(command.c_str(), "r");
        const int got = child ? std::fscanf(child, "%d %zu %lf %lf %lf %lf %lf %lf %lf", &good,
                                            &bytes, &before, &opened, &peak, &typed, &typedPeak,
                                            &openMs, &keyMs)
                              : 0;
        const int status = child ? ::pclose(child) : -1;
        if (got != 9 || status != 0 || good != 1 || bytes != DocumentSize(shape, size)) {
            state.SkipWithError("the probe did not open the file");
            return;
        }
        state.SetIterationTime(openMs / 1e3);
    }
    const auto perByte = [bytes, before](double kb) {
        return (kb - before) * 1024.0 / static_cast<double>(bytes);
    };
    state.counters["before_MB"] = before / 1024;
    state.counters["opened_MB"] = opened / 1024;
    state.counters["peak_MB"] = peak / 1024;
    state.counters["per_byte"] = perByte(opened);
    state.counters["peak_per_byte"] = perByte(peak);
    state.counters["after_key_per_byte"] = perByte(typed);
    state.counters["key_peak_per_byte"] = perByte(typedPeak);
    state.counters["open_ms"] = openMs;
    state.counters["first_key_ms"] = keyMs;
    state.SetLabel(name);
    const double limit = shape == kLineFeeds ? 2.0 : 1.5;
    const bool judged = shape == kProse || shape == kLineFeeds;
    Note("Resident per document byte after opening " + name + " (" +
             Fixed((opened - before) / 1024, 0) + " MB for " + Fixed(bytes / 1048576.0, 0) +
             " MiB; peak " + Fixed(perByte(peak)) + "; after a key " + Fixed(perByte(typed)) +
             ", its peak " + Fixed(perByte(typedPeak)) + "; open " + Fixed(openMs, 0) +
             " ms, first key " + Fixed(keyMs, 1) + " ms)",
         Fixed(perByte(opened)), judged ? "<= " + Fixed(limit, 1) : "-",
         judged ? std::optional(perByte(opened) <= limit) : std::nullopt);
}

// ---- selecting and copying

void ShiftClick(QWidget* port, QPoint at)
{
    const QPointF global = port->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton,
                      Qt::LeftButton, Qt::ShiftModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(port, &press);
    QCoreApplication::sendEvent(port, &release);
}

// Select All in 1 GiB, then a Shift+click on the first screen; and Select All, then Copy: each
// timed to its paint, with the resident memory it adds at its peak, per byte of text. Against
// them, in the same iteration, a copy of the text's bytes into a fresh buffer: what publishing a
// selection or copying it may cost at most.
void BM_SelectAndCopy1GiB(benchmark::State& state)
{
    const std::string path = SourceFile(kProse, 1024 * kMB);
    Window win;
    bool ok = true;
    OpenMs(win, path, ok);
    const auto bytes = static_cast<double>(win.mem().byteLength());
    QWidget* port = win.mem().viewport();
    Tally shiftClick, copy, baseline;
    double shiftExtra = 0, copyExtra = 0;
    // The resident memory a piece of work adds at its peak, per byte of text.
    const auto extraPerByte = [&](const std::function<void()>& work) {
        QCoreApplication::processEvents();
        bench::ResetPeak();
        const double before = bench::StatusKB("VmRSS");
        work();
        return (bench::StatusKB("VmHWM") - before) * 1024.0 / bytes;
    };
    int iteration = 0;
    for (auto _ : state) {
        double ms = 0;
        Rotated(iteration++, {
            [&] {
                CtrlHome(win);
                shiftExtra = std::max(shiftExtra, extraPerByte([&] {
                    ms += TimeMs([&] {
                        bench::PressKey(win.mem(), win.paints, Qt::Key_A, Qt::ControlModifier);
                        ShiftClick(port, {60, 30});
                        PaintNow(win.mem(), win.paints);
                    });
                }));
                shiftClick.Add(ms);
                ok = ok && win.mem().selStart() == 0 && win.mem().selLength() > 0 &&
                     win.mem().selLength() < 1000;
            },
            [&] {
                CtrlHome(win);
                double copyMs = 0;
                copyExtra = std::max(copyExtra, extraPerByte([&] {
                    copyMs = TimeMs([&] {
                        bench::PressKey(win.mem(), win.paints, Qt::Key_A, Qt::ControlModifier);
                        bench::PressKey(win.mem(), win.paints, Qt::Key_C, Qt::ControlModifier);
                    });
                }));
                copy.Add(copyMs);
                ok = ok && QGuiApplication::clipboard()->mimeData()->hasText();
            },
            [&] {
                baseline.Add(TimeMs([&] {
                    std::string bytesCopy(win.mem().bytes());
                    benchmark::DoNotOptimize(bytesCopy.data());
                }));
            },
        });
        state.SetIterationTime((shiftClick.Mean() + copy.Mean()) / 1e3);
    }
    QGuiApplication::clipboard()->clear();
    if (!ok) {
        state.SkipWithError("the selection or the copy did not happen");
        return;
    }
    state.counters["select_shift_click_ms"] = shiftClick.Mean();
    state.counters["select_copy_ms"] = copy.Mean();
    state.counters["bytes_copy_ms"] = baseline.Mean();
    state.counters["shift_click_extra_per_byte"] = shiftExtra;
    state.counters["copy_extra_per_byte"] = copyExtra;
    Note("Select All + Shift+click in 1 GiB (a copy of the bytes: " + Fixed(baseline.Mean(), 0) +
             " ms; " + Fixed(shiftClick.Mean() / baseline.Mean(), 4) + " x that)",
         Fixed(shiftClick.Mean(), 1) + " ms, " + Fixed(shiftExtra, 3) + " extra bytes a byte",
         "<= 1000 ms, <= 1", shiftClick.Mean() <= 1000 && shiftExtra <= 1);
    Note("Select All + Copy in 1 GiB (" + Fixed(copy.Mean() / baseline.Mean(), 4) +
             " x a copy of the bytes)",
         Fixed(copy.Mean(), 1) + " ms, " + Fixed(copyExtra, 3) + " extra bytes a byte",
         "<= 1000 ms, <= 1", copy.Mean() <= 1000 && copyExtra <= 1);
}

// ---- keys

// Keys typed in the middle of 50 MB after opening it, 400 in a row.
void BM_Keys50MB(benchmark::State& state)
{
    const std::string path = SourceFile(kProse, 50 * kMB);
    Window win;
    bool ok = true;
    OpenMs(win, path, ok);
    win.mem().select(win.mem().byteLength() / 2, 0);
    QCoreApplication::processEvents();
    std::vector<double> keys;
    for (auto _ : state) {
        keys = TypeKeys(win, 400);
        state.SetIterationTime(std::accumulate(keys.begin(), keys.end(), 0.0) / 1e3);
    }
    if (!ok || static_cast<std::size_t>(win.mem().byteLength()) != 50 * kMB + 400) {
        state.SkipWithError("the keys were not typed");
        return;
    }
    const bench::Spread s = bench::SpreadOf(keys);
    SetSpread(state, "", s);
    state.counters["first_ms"] = keys.front();
    Note("Keys in the middle of 50 MB (the first " + Fixed(keys.front(), 1) + " ms)",
         SpreadText(s));
}

// Keys in 200 MB: 2,000 keys typed at 8 places spread over the text (the start, the end and
// between), 250 at each, every 60th a line break; the first key at each place moves the gap of
// the buffer there and is also reported apart. Then Ctrl+End from the top, 5 times, and
// reading the whole text after an edit in the middle (what Find and Save do).
void BM_Keys200MB(benchmark::State& state)
{
    const std::string path = SourceFile(kProse, 200 * kMB);
    Window win;
    bool ok = true;
    OpenMs(win, path, ok);
    const std::size_t size = 200 * kMB;
    constexpr int kPlaces = 8;
    constexpr int kKeysEach = 250;
    std::vector<double> all, typing, firstAtPlace;
    std::vector<double> ctrlEnd;
    double bytesAfterEdit = 0;
    std::size_t typedBytes = 0;
    for (auto _ : state) {
        for (int place = 0; place < kPlaces; ++place) {
            const auto at = static_cast<qsizetype>(win.mem().byteLength() * place / (kPlaces - 1));
            win.mem().select(at, 0);
            QCoreApplication::processEvents();
            const std::vector<double> keys = TypeKeys(win, kKeysEach, 0, 60);
            typedBytes += kKeysEach + kKeysEach / 60;  // a line break is two bytes
            all.insert(all.end(), keys.begin(), keys.end());
            typing.insert(typing.end(), keys.begin() + 1, keys.end());
            firstAtPlace.push_back(keys.front());
        }
        for (int i = 0; i < 5; ++i) {
            CtrlHome(win);
            ctrlEnd.push_back(CtrlEndMs(win));
            ok = ok && win.mem().selStart() == win.mem().byteLength();
        }
        win.mem().select(win.mem().byteLength() / 2, 0);
        TypeKeys(win, 1);
        typedBytes += 1;
        bytesAfterEdit = TimeMs([&] { benchmark::DoNotOptimize(win.mem().bytes().data()); });
        state.SetIterationTime(std::accumulate(all.begin(), all.end(), 0.0) / 1e3);
    }
    if (!ok || static_cast<std::size_t>(win.mem().byteLength()) != size + typedBytes) {
        state.SkipWithError("the keys were not typed, or Ctrl+End did not reach the end");
        return;
    }
    const bench::Spread sAll = bench::SpreadOf(all);
    const bench::Spread sTyping = bench::SpreadOf(typing);
    const bench::Spread sFirst = bench::SpreadOf(firstAtPlace);
    const bench::Spread sEnd = bench::SpreadOf(ctrlEnd);
    SetSpread(state, "all_", sAll);
    SetSpread(state, "typing_", sTyping);
    SetSpread(state, "first_at_place_", sFirst);
    state.counters["ctrl_end_max_ms"] = sEnd.max;
    state.counters["bytes_after_edit_ms"] = bytesAfterEdit;
    Note("Keys in 200 MB, all (8 places, the first key at each included)", SpreadText(sAll),
         "median <= 0.3, p99 <= 2 ms", sAll.median <= 0.3 && sAll.p99 <= 2);
    Note("Keys in 200 MB, without the first at each place", SpreadText(sTyping),
         "median <= 0.3, p99 <= 2 ms", sTyping.median <= 0.3 && sTyping.p99 <= 2);
    Note("  the first key at each of the 8 places (the gap moves; the first after opening " +
             Fixed(firstAtPlace.front(), 1) + " ms)",
         "median " + Fixed(sFirst.median, 2) + " ms, max " + Fixed(sFirst.max, 1) + " ms");
    Note("Ctrl+End in 200 MB, 5 times from the top (the first " + Fixed(ctrlEnd.front(), 2) +
             " ms)",
         "max " + Fixed(sEnd.max, 2) + " ms", "<= 50 ms", sEnd.max <= 50);
    Note("The whole text read after a key in the middle of 200 MB (bytes())",
         Fixed(bytesAfterEdit, 1) + " ms");
}

// Keys in 1 GiB with the recovery journal on and off, in the same window, taking turns: 8
// rounds of 100 keys each way, every 40th a line break, in the middle of the text. Off is the
// editing area without the journal watching it (turning the setting on again would copy the
// whole text each time). Then the time from a key until the journal holding it is on the disk,
// 5 times. The text is 1 GiB less 1 MiB: a text at the capacity takes no key at all.
void BM_KeysGiBRecovery(benchmark::State& state)
{
    const std::size_t size = kMemoCapacity - kMB;
    const std::string path = SourceFile(kProse, size);
    Window win;
    bool ok = true;
    OpenMs(win, path, ok);
    win.mem().select(win.mem().byteLength() / 2, 0);
    TypeKeys(win, 1);  // the gap moves to the middle once, outside the timing
    RecoveryJournal& journal = win.main.w.recoveryJournal();
    ok = ok && journal.waitWritten(std::chrono::minutes(1));
    const std::string journalPath = journal.path();
    const auto journalSize = [&] {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(journalPath, error);
        return error ? std::uintmax_t{0} : bytes;
    };
    // Each wait for the disk must find a journal that grew: a key the journal never heard of
    // would be "synced" at once.
    std::uintmax_t written = journalSize();
    ok = ok && written > 0;
    std::vector<double> on, off, synced;
    double wholeMs = 0, copyMs = 0;
    for (auto _ : state) {
        for (int round = 0; round < 16; ++round) {
            const bool recovery = round % 2 == 0;
            win.mem().setEditObserver(recovery ? &journal : nullptr);
            std::vector<double>& keys = recovery ? on : off;
            const std::vector<double> typed = TypeKeys(win, 100, round * 100, 40);
            keys.insert(keys.end(), typed.begin(), typed.end());
        }
        // The journal missed the keys typed without it: it starts again from the whole text.
        win.mem().setEditObserver(&journal);
        const TRecoveryDocument document{path, "txt", true, StampOf(path)};
        copyMs = TimeMs([&] { journal.startUnsaved(document, win.mem().byteText(), 0); });
        wholeMs = copyMs + TimeMs([&] { ok = ok && journal.waitWritten(std::chrono::minutes(5)); });
        written = journalSize();
        for (int i = 0; i < 5; ++i) {
            TypeKeys(win, 1);
            synced.push_back(TimeMs([&] { ok = ok && journal.waitWritten(std::chrono::minutes(1)); }));
            ok = ok && journalSize() > written;
            written = journalSize();
        }
        state.SetIterationTime(std::accumulate(on.begin(), on.end(), 0.0) / 1e3);
    }
    const std::size_t typed = 1 + 1600 + 1600 / 40 + 5;  // a line break is two bytes
    if (!ok || !journal.isOn() ||
        static_cast<std::size_t>(win.mem().byteLength()) != size + typed) {
        state.SkipWithError("the keys were not typed, or the journal did not grow with them");
        return;
    }
    const bench::Spread sOn = bench::SpreadOf(on);
    const bench::Spread sOff = bench::SpreadOf(off);
    const bench::Spread sSynced = bench::SpreadOf(synced);
    SetSpread(state, "on_", sOn);
    SetSpread(state, "off_", sOff);
    state.counters["synced_max_ms"] = sSynced.max;
    Note("Keys in 1 GiB, recovery journal on", SpreadText(sOn), "median <= 0.3, p99 <= 2 ms",
         sOn.median <= 0.3 && sOn.p99 <= 2);
    Note("Keys in 1 GiB, recovery journal off (the same run, taking turns)", SpreadText(sOff));
    Note("From a key in 1 GiB until the journal holding it is synced, 5 times",
         "median " + Fixed(sSynced.median, 0) + " ms, max " + Fixed(sSynced.max, 0) + " ms",
         "<= 2000 ms", sSynced.max <= 2000);
    Note("  the journal then, against the text's size",
         std::to_string(journalSize()) + " bytes against " +
             std::to_string(win.mem().byteLength()) + " (5 keys typed since the copy)");
    Note("  the whole text copied, written and synced (as after a whole-text command)",
         Fixed(wholeMs, 0) + " ms, of which the copy, while the window waits, " +
             Fixed(copyMs, 0) + " ms");
    state.counters["whole_ms"] = wholeMs;
}

// ---- save

// The Save command after an edit in the middle of 50 MB, against write + fsync of the same
// bytes alone; and reading the text after such an edit (the gap closed), on its own.
void BM_Save50MB(benchmark::State& state)
{
    const std::string source = SourceFile(kProse, 50 * kMB);
    const std::string path = std::filesystem::absolute("save-50mb.txt");
    const std::string floorPath = std::filesystem::absolute("save-floor-50mb.txt");
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    Window win;
    bool ok = true;
    OpenMs(win, path, ok);
    const std::string text(win.mem().bytes());
    // A key in the middle and Backspace: the text as it was, the gap in the middle.
    const auto editInMiddle = [&] {
        win.mem().select(win.mem().byteLength() / 2, 0);
        TypeKeys(win, 1);
        bench::PressKey(win.mem(), win.paints, Qt::Key_Backspace);
    };
    Tally save, floor, get;
    int iteration = 0;
    for (auto _ : state) {
        editInMiddle();
        get.Add(TimeMs([&] { benchmark::DoNotOptimize(win.mem().bytes().data()); }));
        editInMiddle();
        Rotated(iteration++, {[&] { save.Add(TimeMs([&] { win.main.w.menu().Save1->trigger(); })); },
                              [&] {
                                  floor.Add(TimeMs(
                                      [&] { ok = WriteWhole(floorPath, text, true) && ok; }));
                              }});
        state.SetIterationTime(save.totalMs / save.count / 1e3);
    }
    std::string saved;
    ok = ok && ReadWholeFile(path, kMemoCapacity, saved) == TReadResult::Ok && saved == text;
    if (!ok) {
        state.SkipWithError("the saved file differs from the text");
        return;
    }
    state.counters["save_ms"] = save.Mean();
    state.counters["floor_ms"] = floor.Mean();
    state.counters["bytes_ms"] = get.Mean();
    state.counters["per_floor"] = save.Mean() / floor.Mean();
    Note("Save command 50 MB after an edit, per write + fsync alone (" + Fixed(save.Mean(), 1) +
             " / " + Fixed(floor.Mean(), 1) + " ms; best " + Fixed(save.bestMs, 1) + " / " +
             Fixed(floor.bestMs, 1) + ")",
         Fixed(save.Mean() / floor.Mean()), "<= 159 ms (the figure before)",
         save.Mean() <= 159);
    Note("  the text read after an edit in the middle of 50 MB (bytes())", Fixed(get.Mean(), 2) + " ms");
}

// ---- encrypt and its undo

// Encrypt at Level C through the encrypt panel, then Ctrl+Z's undo, each to the painted
// screen, on 50 MB. The undo must follow its Encrypt, so the two cannot take turns.
void BM_EncryptUndo50MB(benchmark::State& state)
{
    const std::string path = SourceFile(kAscii, 50 * kMB);
    Window win;
    bool ok = true;
    OpenMs(win, path, ok);
    const std::string plain(win.mem().bytes());
    CipherPanel& panel = *win.main.w.encryptPanel();
    panel.levelList->setCurrentIndex(static_cast<int>(EncryptionLevel::C));
    panel.levelChange();
    Tally encrypt, undo, cipher;
    const char* failure = ok ? nullptr : "the file was not opened";
    for (auto _ : state) {
        panel.pwdBox->setText(QString::fromLatin1(kLevelCPassword.data(),
                                                  static_cast<qsizetype>(kLevelCPassword.size())));
        bool painted = true;
        encrypt.Add(TimeMs([&] {
            panel.actionClick();
            painted = PaintNow(win.mem(), win.paints);
        }));
        if (!failure && (win.mem().byteLength() != static_cast<qsizetype>(plain.size()) ||
                         win.mem().bytes() == plain))
            failure = "the text was not encrypted";
        undo.Add(TimeMs([&] {
            win.mem().undo();
            painted = PaintNow(win.mem(), win.paints) && painted;
        }));
        if (!failure && win.mem().bytes() != plain)
            failure = "the undo did not bring the text back";
        if (!failure && !painted)
            failure = "the text was not painted";
        // The cipher alone, for the split.
        TAppState appState;
        cipher.Add(TimeMs([&] {
            benchmark::DoNotOptimize(
                EncryptWithLevel(appState, EncryptionLevel::C, plain, kLevelCPassword).text.data());
        }));
        state.SetIterationTime(undo.totalMs / undo.count / 1e3);
    }
    if (failure) {
        state.SkipWithError(failure);
        return;
    }
    state.counters["encrypt_ms"] = encrypt.Mean();
    state.counters["undo_ms"] = undo.Mean();
    state.counters["cipher_alone_ms"] = cipher.Mean();
    state.counters["undo_per_encrypt"] = undo.Mean() / encrypt.Mean();
    Note("Undo of Encrypt (Level C) 50 MB, per the Encrypt (" + Fixed(undo.Mean(), 2) + " / " +
             Fixed(encrypt.Mean(), 1) + " ms; the cipher alone " + Fixed(cipher.Mean(), 1) +
             " ms)",
         Fixed(undo.Mean() / encrypt.Mean(), 4), "<= 1.5", undo.Mean() / encrypt.Mean() <= 1.5);
}

void PrintSummary()
{
    if (Summary().empty())
        return;
    std::printf("\n%-110s  %-44s %-28s %s\n", "figure", "value", "target", "met");
    for (const SummaryRow& r : Summary())
        std::printf("%-110s  %-44s %-28s %s\n", r.what.c_str(), r.figure.c_str(), r.target.c_str(),
                    r.met ? (*r.met ? "yes" : "NO") : "-");
}

}  // namespace

BENCHMARK(BM_Open50MB)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenProse)
    ->ArgName("MiB")
    ->Arg(50)
    ->Arg(200)
    ->Arg(1024)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Shape)
    ->ArgNames({"shape", "bytes"})
    ->Args({kLineFeeds, 32 * kMB})
    ->Args({kShortLines, 40'000'000})
    ->Args({kOneLine, kMB})
    ->Args({kOneLine, 255 * kMB})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memory)
    ->ArgNames({"shape", "bytes"})
    ->Args({kProse, 50 * kMB})
    ->Args({kProse, 200 * kMB})
    ->Args({kLineFeeds, 32 * kMB})
    ->Args({kShortLines, 40'000'000})
    ->Args({kOneLine, 255 * kMB})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAndCopy1GiB)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Keys50MB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Keys200MB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeysGiBRecovery)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save50MB)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncryptUndo50MB)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    const bool probe = argc == 3 && std::strcmp(argv[1], "--memory-probe") == 0;
    const std::string probePath = probe ? argv[2] : "";
    int qtArgc = probe ? 1 : argc;
    bench::GuiBenchmark gui(qtArgc, argv);
    if (!gui.enterWorkFolder())
        return 1;
    if (probe)
        return MemoryProbe(probePath);
    g_self = std::filesystem::read_symlink("/proc/self/exe");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
