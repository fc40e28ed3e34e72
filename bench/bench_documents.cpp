// Documents in the editing area at 1, 10 and 50 MB: open, save, encrypt, and a keystroke in the
// middle of the text. Open, save and encrypt are each timed against the floor a bare
// QPlainTextEdit sets in the same iteration (the widget's own cost, which nothing built on it can
// beat), the two sides taking turns to go first, so that a ratio holds under whatever else the
// machine is doing. Ratios use wall time (what the user waits for) and processor time (what the
// machine's load does not inflate). A summary with the targets follows Google Benchmark's table.
//
// PLIMO_BENCH_LARGE=1 adds one pass over a 200 MB file (open, encrypt, decrypt, save after an
// edit, each checked byte for byte) with the time and peak memory of each step. Run it on its
// own (--benchmark_filter=Large200) so that the peaks are its own.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; the files live in a
// temporary folder under TMPDIR.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "cipher/levels.h"
#include "core/app_state.h"
#include "document/document_file.h"
#include "ui/editor/memo.h"
#include "ui/main/fCPas.h"
#include "ui/platform/desktop.h"

namespace {

using bench::Clock;
using bench::Seconds;

using bench::kMB;
constexpr int kAreaWidth = 700;
constexpr int kAreaHeight = 500;
constexpr std::string_view kLevelCPassword = "Kestrel7";
constexpr double kOpenSaveTarget = 1.25;
constexpr double kKeystrokeTargetMs = 1.0;
constexpr int kKeystrokes = 400;

struct Span {
    double wall = 0;
    double cpu = 0;
};

template <typename Work>
Span Time(Work&& work)
{
    const double c0 = bench::ProcessCpuSeconds();
    const auto t0 = Clock::now();
    work();
    return {Seconds(Clock::now() - t0), bench::ProcessCpuSeconds() - c0};
}

// One side of a comparison over the iterations of a benchmark.
struct Tally {
    double wall = 0;
    double cpu = 0;
    double best = std::numeric_limits<double>::infinity();
    int count = 0;

    void Add(Span s)
    {
        wall += s.wall;
        cpu += s.cpu;
        best = std::min(best, s.wall);
        ++count;
    }
    double MeanMs() const { return count ? wall * 1e3 / count : 0; }
    double MeanCpuMs() const { return count ? cpu * 1e3 / count : 0; }
};

// The summary printed after the run: one line per comparison.
struct SummaryRow {
    std::string what;
    double oursMs;
    double floorMs;
    double ratio;
    double ratioCpu;
    double ratioBest;
    std::string target;
    std::optional<bool> met;
};

// Resetting the peak (for the 200 MB steps) also lowers what getrusage reports afterwards.
double g_stepPeakMB = 0;

std::vector<SummaryRow>& Summary()
{
    static std::vector<SummaryRow> rows;
    return rows;
}

void Compare(benchmark::State& state, const std::string& what, const Tally& ours,
             const Tally& floor, std::optional<double> target, const std::string& prefix = "")
{
    const double ratio = ours.wall / floor.wall;
    const double ratioCpu = ours.cpu / floor.cpu;
    const double ratioBest = ours.best / floor.best;
    state.counters[prefix + "ours_ms"] = ours.MeanMs();
    state.counters[prefix + "floor_ms"] = floor.MeanMs();
    state.counters[prefix + "ours_cpu_ms"] = ours.MeanCpuMs();
    state.counters[prefix + "floor_cpu_ms"] = floor.MeanCpuMs();
    state.counters[prefix + "ratio"] = ratio;
    state.counters[prefix + "ratio_cpu"] = ratioCpu;
    state.counters[prefix + "ratio_best"] = ratioBest;
    SummaryRow row{what, ours.MeanMs(), floor.MeanMs(), ratio, ratioCpu, ratioBest, "-", {}};
    if (target) {
        row.target = "<= " + std::to_string(*target).substr(0, 4);
        row.met = ratio <= *target;
    }
    Summary().push_back(row);
}

// Printable text in lines of 40..100 characters, each ended by `lineBreak`.
std::string MakeText(std::size_t bytes, std::string_view lineBreak)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> printable(33, 126);
    std::uniform_int_distribution<int> lineLength(40, 100);
    std::string s;
    s.reserve(bytes + lineBreak.size());
    while (s.size() < bytes) {
        const int line = lineLength(random);
        for (int i = 0; i < line && s.size() < bytes; ++i)
            s += i % 7 == 6 ? ' ' : static_cast<char>(printable(random));
        s += lineBreak;
    }
    s.resize(bytes);
    // End on a whole break, so that no lone CR is left for the load to turn into CR LF.
    if (lineBreak.size() == 2 && s.back() == '\r')
        s.back() = 'x';
    return s;
}

const std::string& Text(std::int64_t mb, bool lfOnly)
{
    static std::map<std::pair<std::int64_t, bool>, std::string> texts;
    std::string& text = texts[{mb, lfOnly}];
    if (text.empty())
        text = MakeText(static_cast<std::size_t>(mb) * kMB, lfOnly ? "\n" : "\r\n");
    return text;
}

// The text as the bare widget takes it: a QString with '\n' between lines.
QString FloorText(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .remove(QLatin1Char('\r'));
}

// What opening gives for the text: every line break as CR LF.
std::size_t NormalisedSize(const std::string& text, bool lfOnly)
{
    return text.size() +
           (lfOnly ? static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) : 0);
}

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

// The file behind a text, written once into the working folder.
std::string SourceFile(std::int64_t mb, bool lfOnly)
{
    const std::string path = (lfOnly ? "lf-" : "crlf-") + std::to_string(mb) + "mb.txt";
    if (!std::filesystem::exists(path) && !WriteWhole(path, Text(mb, lfOnly), false)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

// The floor's read: the file into a buffer, nothing done to it.
std::size_t ReadPlain(const std::string& path)
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
    benchmark::DoNotOptimize(buffer.get());
    return got;
}

bool SameFileContent(const std::string& path, std::string_view expected)
{
    std::ifstream in(path, std::ios::binary);
    std::string chunk(kMB, '\0');
    std::size_t at = 0;
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0)
            break;
        if (at + got > expected.size() || std::memcmp(chunk.data(), expected.data() + at, got) != 0)
            return false;
        at += got;
    }
    return at == expected.size();
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
// sure the new text has been painted once. False when no paint reached the viewport.
bool PaintNow(QPlainTextEdit& edit, const PaintCounter& paints)
{
    const int before = paints.count;
    QCoreApplication::processEvents();
    if (paints.count == before)
        edit.viewport()->repaint();
    return paints.count > before;
}

// An editing area and a bare widget of the same size and font, both shown.
struct Pair {
    Memo memo;
    QPlainTextEdit bare;
    PaintCounter memoPaints{memo.viewport()};
    PaintCounter barePaints{bare.viewport()};

    Pair()
    {
        bare.setFont(memo.font());
        for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(&memo), &bare}) {
            edit->resize(kAreaWidth, kAreaHeight);
            edit->show();
        }
        QCoreApplication::processEvents();
    }
};

// An edit in the middle that leaves the text as it was but changes the document.
void EditAndUndoByHand(QPlainTextEdit& edit)
{
    QTextCursor c(edit.document());
    c.setPosition(edit.document()->characterCount() / 2);
    c.insertText(QStringLiteral("x"));
    c.deletePreviousChar();
}

// Alternates which side goes first, so neither always meets a cold cache or a busy moment.
template <typename Ours, typename Floor>
void BothSides(int iteration, Ours&& ours, Floor&& floor)
{
    if (iteration % 2 == 0) {
        ours();
        floor();
    } else {
        floor();
        ours();
    }
}

std::string SizeName(std::int64_t mb, bool lfOnly)
{
    return std::to_string(mb) + " MB" + (lfOnly ? " LF only" : " CR LF");
}

// Open: what the Open command does after its dialog, against reading the file plus setting the
// same text, already a QString, in the bare widget.
void BM_Open(benchmark::State& state)
{
    const std::int64_t mb = state.range(0);
    const bool lfOnly = state.range(1) != 0;
    const std::string path = SourceFile(mb, lfOnly);
    const std::size_t expected = NormalisedSize(Text(mb, lfOnly), lfOnly);
    const QString floorText = FloorText(Text(mb, lfOnly));
    Pair pair;

    Tally ours, floor, load, set, paint, read;
    int iteration = 0;
    for (auto _ : state) {
        pair.memo.setBytes({});
        pair.bare.clear();
        QCoreApplication::processEvents();
        bool oursPainted = false, floorPainted = false;
        Span oursSpan;
        BothSides(
            iteration++,
            [&] {
                oursSpan = Time([&] {
                    std::string text;
                    load.Add(Time([&] { text = LoadDocument(path); }));
                    set.Add(Time([&] { pair.memo.setBytes(text); }));
                    paint.Add(Time([&] { oursPainted = PaintNow(pair.memo, pair.memoPaints); }));
                });
                ours.Add(oursSpan);
            },
            [&] {
                floor.Add(Time([&] {
                    read.Add(Time([&] { benchmark::DoNotOptimize(ReadPlain(path)); }));
                    pair.bare.setPlainText(floorText);
                    floorPainted = PaintNow(pair.bare, pair.barePaints);
                }));
            });
        state.SetIterationTime(oursSpan.wall);
        if (static_cast<std::size_t>(pair.memo.byteLength()) != expected || !oursPainted ||
            !floorPainted) {
            state.SkipWithError("the text did not arrive whole, or was not painted");
            return;
        }
    }
    state.counters["load_ms"] = load.MeanMs();
    state.counters["set_ms"] = set.MeanMs();
    state.counters["paint_ms"] = paint.MeanMs();
    state.counters["floor_read_ms"] = read.MeanMs();
    state.SetLabel(SizeName(mb, lfOnly));
    Compare(state, "Open " + SizeName(mb, lfOnly), ours, floor,
            mb == 50 ? std::optional(kOpenSaveTarget) : std::nullopt);
}

// Save after an edit in the middle, against getting the bare widget's text plus writing and
// fsyncing the same bytes. The area keeps its bytes in step with each edit, so getting them
// costs closing the gap the edit left.
void BM_Save(benchmark::State& state)
{
    const std::int64_t mb = state.range(0);
    const std::string& text = Text(mb, false);
    const std::string oursPath = "save-ours-" + std::to_string(mb) + "mb.txt";
    const std::string floorPath = "save-floor-" + std::to_string(mb) + "mb.txt";
    Pair pair;
    pair.memo.setBytes(text);
    pair.bare.setPlainText(FloorText(text));
    QCoreApplication::processEvents();
    SaveDocument(oursPath, text);  // Save replaces a file that is there

    Tally ours, floor, get, write, floorGet;
    int iteration = 0;
    bool floorWritten = true;
    for (auto _ : state) {
        EditAndUndoByHand(pair.memo);
        EditAndUndoByHand(pair.bare);
        Span oursSpan;
        BothSides(
            iteration++,
            [&] {
                oursSpan = Time([&] {
                    const std::string* bytes = nullptr;
                    get.Add(Time([&] { bytes = &pair.memo.bytes(); }));
                    write.Add(Time([&] { SaveDocument(oursPath, *bytes); }));
                });
                ours.Add(oursSpan);
            },
            [&] {
                floor.Add(Time([&] {
                    floorGet.Add(Time([&] {
                        const QString raw = pair.bare.document()->toRawText();
                        benchmark::DoNotOptimize(raw.constData());
                    }));
                    floorWritten = WriteWhole(floorPath, text, true) && floorWritten;
                }));
            });
        state.SetIterationTime(oursSpan.wall);
    }
    if (!SameFileContent(oursPath, text) || !floorWritten) {
        state.SkipWithError("the saved file differs from the text");
        return;
    }
    state.counters["get_ms"] = get.MeanMs();
    state.counters["write_ms"] = write.MeanMs();
    state.counters["floor_get_ms"] = floorGet.MeanMs();
    state.SetLabel(SizeName(mb, false));
    Compare(state, "Save after an edit " + SizeName(mb, false), ours, floor,
            mb == 50 ? std::optional(kOpenSaveTarget) : std::nullopt);
}

// The same save when the area holds no bytes of its text and must read them all out of the
// document (its fallback should the kept bytes ever part from the document). Each iteration
// gets a fresh area whose text was put in by the widget's own setter, outside the timing.
void BM_SaveReadBack(benchmark::State& state)
{
    const std::int64_t mb = state.range(0);
    const std::string& text = Text(mb, false);
    const QString floorText = FloorText(text);
    const std::string oursPath = "readback-ours-" + std::to_string(mb) + "mb.txt";
    const std::string floorPath = "readback-floor-" + std::to_string(mb) + "mb.txt";
    QPlainTextEdit bare;
    bare.setPlainText(floorText);
    SaveDocument(oursPath, text);

    Tally ours, floor, get;
    int iteration = 0;
    for (auto _ : state) {
        auto memo = std::make_unique<Memo>();
        static_cast<QPlainTextEdit*>(memo.get())->setPlainText(floorText);
        Span oursSpan;
        BothSides(
            iteration++,
            [&] {
                oursSpan = Time([&] {
                    const std::string* bytes = nullptr;
                    get.Add(Time([&] { bytes = &memo->bytes(); }));
                    SaveDocument(oursPath, *bytes);
                });
                ours.Add(oursSpan);
            },
            [&] {
                floor.Add(Time([&] {
                    const QString raw = bare.document()->toRawText();
                    benchmark::DoNotOptimize(raw.constData());
                    WriteWhole(floorPath, text, true);
                }));
            });
        state.SetIterationTime(oursSpan.wall);
    }
    if (!SameFileContent(oursPath, text)) {
        state.SkipWithError("the saved file differs from the text");
        return;
    }
    state.counters["get_ms"] = get.MeanMs();
    state.SetLabel(SizeName(mb, false));
    Compare(state, "Save, bytes read back " + SizeName(mb, false), ours, floor, std::nullopt);
}

// Encrypt at Level C and put the cipher text in the area, against setting a text of the same
// size in the bare widget. Both replace a text of that size, as the command does.
void BM_Encrypt(benchmark::State& state)
{
    const std::int64_t mb = state.range(0);
    const std::string& text = Text(mb, false);
    const QString floorText = FloorText(text);
    Pair pair;
    pair.bare.setPlainText(floorText);
    TAppState appState;

    Tally ours, floor, cipher, set;
    int iteration = 0;
    bool done = true;
    for (auto _ : state) {
        pair.memo.setBytes(text);  // the plain text, read once, as after opening it
        QCoreApplication::processEvents();
        Span oursSpan;
        BothSides(
            iteration++,
            [&] {
                oursSpan = Time([&] {
                    TLevelResult result;
                    cipher.Add(Time([&] {
                        result = EncryptWithLevel(appState, EncryptionLevel::C, pair.memo.bytes(),
                                                  kLevelCPassword);
                    }));
                    done = result.outcome == LevelOutcome::Done && done;
                    set.Add(Time([&] {
                        pair.memo.setBytes(result.text);
                        PaintNow(pair.memo, pair.memoPaints);
                    }));
                });
                ours.Add(oursSpan);
            },
            [&] {
                floor.Add(Time([&] {
                    pair.bare.setPlainText(floorText);
                    PaintNow(pair.bare, pair.barePaints);
                }));
            });
        state.SetIterationTime(oursSpan.wall);
        if (!done || pair.memo.bytes() == text || pair.memo.bytes().size() != text.size()) {
            state.SkipWithError("the text was not encrypted");
            return;
        }
    }
    state.counters["cipher_ms"] = cipher.MeanMs();
    state.counters["set_ms"] = set.MeanMs();
    state.SetLabel(SizeName(mb, false));
    Compare(state, "Encrypt (Level C) " + SizeName(mb, false), ours, floor, std::nullopt);
}

// Letters typed one by one into the middle of the text, each with the layout and paint it
// causes. Reports the median, 90th percentile and worst key.
void TypeIntoMiddle(benchmark::State& state, Memo& memo, const std::string& what)
{
    const std::string& text = Text(50, false);
    const PaintCounter paints(memo.viewport());
    memo.setBytes(text);
    memo.select(static_cast<qsizetype>(text.size() / 2), 0);
    memo.setFocus();
    memo.ensureCursorVisible();
    PaintNow(memo, paints);
    const qsizetype start = memo.selStart();

    std::vector<double> keys;
    std::string typed;
    double cpu = 0;
    const int paintsBefore = paints.count;
    for (auto _ : state) {
        double iterationWall = 0;
        for (int k = 0; k < kKeystrokes; ++k) {
            const int letter = k % 26;
            const QString ch(QChar(u'a' + letter));
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A + letter, Qt::NoModifier, ch);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + letter, Qt::NoModifier, ch);
            const Span s = Time([&] {
                QCoreApplication::sendEvent(&memo, &press);
                QCoreApplication::sendEvent(&memo, &release);
                QCoreApplication::processEvents();
            });
            keys.push_back(s.wall * 1e3);
            cpu += s.cpu;
            iterationWall += s.wall;
            typed += static_cast<char>('a' + letter);
        }
        state.SetIterationTime(iterationWall);
    }
    // Every key arrived where the cursor was, and the bytes read afterwards show them.
    if (memo.bytes().size() != text.size() + typed.size() ||
        memo.bytes().compare(static_cast<std::size_t>(start), typed.size(), typed) != 0) {
        state.SkipWithError("the typed letters are not in the text");
        return;
    }
    std::sort(keys.begin(), keys.end());
    const double median = keys[keys.size() / 2];
    const double p90 = keys[keys.size() * 9 / 10];
    state.counters["median_ms"] = median;
    state.counters["p90_ms"] = p90;
    state.counters["max_ms"] = keys.back();
    state.counters["cpu_ms_per_key"] = cpu * 1e3 / static_cast<double>(keys.size());
    state.counters["paints_per_key"] =
        static_cast<double>(paints.count - paintsBefore) / static_cast<double>(keys.size());
    const auto ms = [](double v) { return std::to_string(v).substr(0, 5); };
    Summary().push_back({what + " (median; p90 " + ms(p90) + ", max " + ms(keys.back()) + " ms)",
                         median, 0, 0, 0, 0,
                         "<= " + std::to_string(kKeystrokeTargetMs).substr(0, 3) + " ms",
                         median <= kKeystrokeTargetMs});
}

void BM_Keystroke50MB(benchmark::State& state)
{
    Memo memo;
    memo.resize(kAreaWidth, kAreaHeight);
    memo.show();
    QCoreApplication::processEvents();
    TypeIntoMiddle(state, memo, "Keystroke in 50 MB, editing area");
}

using Window = bench::MainWindow;

// The Open and Save commands of the main window on a 50 MB file, handlers and status bar
// included, against the same floors with a bare widget of the editing area's size and font.
void BM_OpenSaveCommands50MB(benchmark::State& state)
{
    const std::string& text = Text(50, false);
    const std::string source = SourceFile(50, false);
    const std::string path = "command-50mb.txt";
    const std::string floorPath = "command-floor-50mb.txt";
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    const QString floorText = FloorText(text);
    Window win;
    win.desktop.yes = true;
    win.desktop.openPath = path;
    QPlainTextEdit bare;
    bare.setFont(win.w.mem()->font());
    bare.resize(win.w.mem()->size());
    bare.show();
    const PaintCounter memoPaints(win.w.mem()->viewport());
    const PaintCounter barePaints(bare.viewport());

    Tally open, openFloor, save, saveFloor;
    int iteration = 0;
    bool painted = true;
    for (auto _ : state) {
        win.w.mem()->setBytes({});
        bare.clear();
        QCoreApplication::processEvents();
        Span openSpan;
        BothSides(
            iteration,
            [&] {
                openSpan = Time([&] {
                    win.w.menu().Open1->trigger();
                    painted = PaintNow(*win.w.mem(), memoPaints) && painted;
                });
                open.Add(openSpan);
            },
            [&] {
                openFloor.Add(Time([&] {
                    benchmark::DoNotOptimize(ReadPlain(source));
                    bare.setPlainText(floorText);
                    painted = PaintNow(bare, barePaints) && painted;
                }));
            });
        EditAndUndoByHand(*win.w.mem());
        EditAndUndoByHand(bare);
        BothSides(
            iteration++, [&] { save.Add(Time([&] { win.w.menu().Save1->trigger(); })); },
            [&] {
                saveFloor.Add(Time([&] {
                    const QString raw = bare.document()->toRawText();
                    benchmark::DoNotOptimize(raw.constData());
                    WriteWhole(floorPath, text, true);
                }));
            });
        state.SetIterationTime(openSpan.wall);
    }
    if (!painted || win.state.FileName != path || !SameFileContent(path, text)) {
        state.SkipWithError("the commands did not open, paint and save the file whole");
        return;
    }
    Compare(state, "Open command 50 MB CR LF (window)", open, openFloor, kOpenSaveTarget, "open_");
    Compare(state, "Save command 50 MB CR LF (window)", save, saveFloor, kOpenSaveTarget, "save_");
}

void BM_KeystrokeWindow50MB(benchmark::State& state)
{
    Window win;
    TypeIntoMiddle(state, *win.w.mem(), "Keystroke in 50 MB, main window");
}

// Resident memory, in MB, from the kernel's accounting of this process.
double StatusMB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::strtod(line.c_str() + length + 1, nullptr) / 1024.0;
    return 0;
}

// Starts a new peak, so that VmHWM tells the peak of what follows.
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Streams the file in pieces, so that checking it needs no second copy in memory.
bool FileEquals(const std::string& a, const std::string& b)
{
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    std::string ca(kMB, '\0'), cb(kMB, '\0');
    for (;;) {
        fa.read(ca.data(), static_cast<std::streamsize>(ca.size()));
        fb.read(cb.data(), static_cast<std::streamsize>(cb.size()));
        if (fa.gcount() != fb.gcount() ||
            std::memcmp(ca.data(), cb.data(), static_cast<std::size_t>(fa.gcount())) != 0)
            return false;
        if (fa.gcount() == 0)
            return true;
    }
}

// One pass over a 200 MB file, each step checked; its times and the peak memory of each step.
void BM_Large200(benchmark::State& state)
{
    const std::string path = "large-200mb.txt";
    const std::string saved = "large-200mb-saved.txt";
    {
        // Written in pieces: the check must not hold a copy of its own in memory.
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::string piece = MakeText(kMB, "\r\n");
        for (int i = 0; i < 200; ++i)
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    }
    const double baseMB = StatusMB("VmRSS");
    Memo memo;
    memo.resize(kAreaWidth, kAreaHeight);
    memo.show();
    const PaintCounter paints(memo.viewport());
    QCoreApplication::processEvents();
    TAppState appState;

    for (auto _ : state) {
        struct Step {
            const char* name;
            Span span;
            double peakMB;
        };
        std::vector<Step> steps;
        bool ok = true;
        const auto step = [&](const char* name, auto&& work) {
            ResetPeak();
            const Span s = Time(work);
            steps.push_back({name, s, StatusMB("VmHWM")});
            g_stepPeakMB = std::max(g_stepPeakMB, steps.back().peakMB);
        };
        step("open", [&] {
            memo.setBytes(LoadDocument(path));
            ok = PaintNow(memo, paints) && ok;
        });
        ok = ok && memo.bytes().size() == 200 * kMB;
        const std::string head = memo.bytes().substr(0, 4096);
        step("encrypt", [&] {
            const TLevelResult r =
                EncryptWithLevel(appState, EncryptionLevel::C, memo.bytes(), kLevelCPassword);
            ok = r.outcome == LevelOutcome::Done && ok;
            memo.setBytes(r.text);
            PaintNow(memo, paints);
        });
        ok = ok && memo.bytes().size() == 200 * kMB && memo.bytes().compare(0, 4096, head) != 0;
        step("decrypt", [&] {
            const TLevelResult r =
                DecryptWithLevel(appState, EncryptionLevel::C, memo.bytes(), kLevelCPassword);
            ok = r.outcome == LevelOutcome::Done && ok;
            memo.setBytes(r.text);
            PaintNow(memo, paints);
        });
        EditAndUndoByHand(memo);
        step("save after an edit", [&] { SaveDocument(saved, memo.bytes()); });
        ok = ok && FileEquals(path, saved);
        if (!ok) {
            state.SkipWithError("the 200 MB text did not come back byte for byte");
            return;
        }
        for (const Step& s : steps) {
            const std::string key(s.name, std::strcspn(s.name, " "));
            state.counters[key + "_s"] = s.span.wall;
            state.counters[key + "_peak_MB"] = s.peakMB;
            Summary().push_back({std::string("200 MB ") + s.name + " (peak " +
                                     std::to_string(static_cast<int>(s.peakMB)) + " MB, cpu " +
                                     std::to_string(s.span.cpu).substr(0, 5) + " s)",
                                 s.span.wall * 1e3,
                                 0,
                                 0,
                                 0,
                                 0,
                                 "by hand",
                                 {}});
        }
        state.counters["base_MB"] = baseMB;
        state.SetIterationTime(steps.front().span.wall);
    }
    std::filesystem::remove(path);
    std::filesystem::remove(saved);
}

void PrintSummary()
{
    if (Summary().empty())
        return;
    std::printf("\n%-64s %10s %10s %7s %7s %7s  %-9s %s\n", "comparison", "ours ms", "floor ms",
                "ratio", "cpu", "best", "target", "met");
    for (const SummaryRow& r : Summary()) {
        if (r.floorMs > 0)
            std::printf("%-64s %10.1f %10.1f %7.3f %7.3f %7.3f  %-9s %s\n", r.what.c_str(),
                        r.oursMs, r.floorMs, r.ratio, r.ratioCpu, r.ratioBest, r.target.c_str(),
                        r.met ? (*r.met ? "yes" : "NO") : "-");
        else
            std::printf("%-64s %10.3f %10s %7s %7s %7s  %-9s %s\n", r.what.c_str(), r.oursMs, "-",
                        "-", "-", "-", r.target.c_str(), r.met ? (*r.met ? "yes" : "NO") : "-");
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory of this run: %.0f MB\n",
                std::max(static_cast<double>(usage.ru_maxrss) / 1024.0, g_stepPeakMB));
}

}  // namespace

BENCHMARK(BM_Open)
    ->ArgNames({"MB", "lf_only"})
    ->Args({1, 0})
    ->Args({10, 0})
    ->Args({50, 0})
    ->Args({50, 1})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->ArgName("MB")->Arg(1)->Arg(10)->Arg(50)->UseManualTime()->Iterations(3)->Unit(
    benchmark::kMillisecond);
BENCHMARK(BM_SaveReadBack)
    ->ArgName("MB")
    ->Arg(50)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encrypt)
    ->ArgName("MB")
    ->Arg(1)
    ->Arg(10)
    ->Arg(50)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSaveCommands50MB)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Keystroke50MB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeWindow50MB)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    bench::GuiBenchmark gui(argc, argv);
    if (!gui.enterWorkFolder())
        return 1;
    if (!qEnvironmentVariableIsEmpty("PLIMO_BENCH_LARGE"))
        benchmark::RegisterBenchmark("BM_Large200", BM_Large200)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
