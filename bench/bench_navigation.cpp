// Going about a 1 GiB document in the main window: Go to Line, the caret's place in the status
// bar, the count of a search's hits, the line numbers' margin; and Print Preview of 50 MB. Each
// figure comes with its baseline from the same run: a repaint of the screen for Go to Line, the
// line index's own look-up for the caret's place, memmem counting the same hits in the same
// bytes for the count, the same screen without the margin for the line numbers, and a paint of
// the editing area for the preview's first page. Needs about 2.6 GB of memory. Run with
// QT_QPA_PLATFORM=offscreen (the default).
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "document/open_notes.h"
#include "ui/editor/memo.h"
#include "ui/editor/text_pages.h"
#include "ui/main/fCPas.h"
#include "ui/main/find_panel.h"
#include "ui/main/go_to_line_panel.h"
#include "ui/main/print_preview.h"

namespace {

using bench::Clock;
using bench::kMB;

constexpr std::size_t kDocumentSize = std::size_t{1} << 30;
// Planted a few times in the prose, which never holds it: a search that scans nearly alone.
constexpr const char* kRare = "Quixotic";

double Ms(Clock::duration d)
{
    return bench::Seconds(d) * 1e3;
}

// The main window holding 1 GiB of prose, shown, made once for all the benchmarks.
struct BigWindow {
    bench::MainWindow main;
    bench::PaintCounter paints{main.w.mem()->viewport()};
    std::size_t lines = 0;

    BigWindow()
    {
        std::string text = bench::MakeProse(kDocumentSize);
        for (std::size_t at = kDocumentSize / 7; at + 16 < kDocumentSize; at += kDocumentSize / 7)
            std::memcpy(text.data() + at, kRare, std::strlen(kRare));
        main.w.mem()->setBytes(std::move(text));
        lines = main.w.mem()->byteText().lineCount();
        bench::PaintNow(*main.w.mem(), paints);
    }
    TfC& w() { return main.w; }
};

// Made by the first benchmark that needs it; taken down before the application object, whose
// windows it holds.
std::unique_ptr<BigWindow> g_big;

BigWindow& Big()
{
    if (!g_big)
        g_big = std::make_unique<BigWindow>();
    return *g_big;
}

// Go to Line: a line at random, typed into the panel's box and Enter, the screen painted.
void BM_GoToLine1GiB(benchmark::State& state)
{
    BigWindow& big = Big();
    GoToLinePanel* panel = big.w().goToLinePanel();
    if (!panel->isVisible())
        big.w().menu().GoToLine1->trigger();
    std::mt19937_64 random(5);
    std::vector<double> go, paint;
    for (auto _ : state) {
        const std::size_t line = 1 + random() % big.lines;
        panel->editGo->setText(QString::number(line));
        const auto t0 = Clock::now();
        panel->gButtClick();
        bench::PaintNow(*big.w().mem(), big.paints);
        const auto t1 = Clock::now();
        big.w().mem()->viewport()->repaint();  // the baseline: one paint of the same screen
        const auto t2 = Clock::now();
        go.push_back(Ms(t1 - t0));
        paint.push_back(Ms(t2 - t1));
        state.SetIterationTime(bench::Seconds(t1 - t0));
        const ByteText& text = big.w().mem()->byteText();
        if (text.lineOf(big.w().mem()->caret()) != line - 1) {
            state.SkipWithError("Go did not reach the line");
            break;
        }
    }
    const bench::Spread g = bench::SpreadOf(go);
    const bench::Spread p = bench::SpreadOf(paint);
    state.counters["median_ms"] = g.median;
    state.counters["p99_ms"] = g.p99;
    state.counters["max_ms"] = g.max;
    state.counters["paint_median_ms"] = p.median;
    state.counters["per_paint"] = p.median > 0 ? g.median / p.median : 0;
    state.counters["lines"] = static_cast<double>(big.lines);
}
BENCHMARK(BM_GoToLine1GiB)->UseManualTime()->Iterations(1000)->Unit(benchmark::kMillisecond);

// The caret's place in the status bar at the end of the text: one update, the caret one
// character further each time so that the panel's text changes, against the line index's
// look-up of the same line and its start alone.
void BM_CaretPlaceAtEnd1GiB(benchmark::State& state)
{
    BigWindow& big = Big();
    Memo* mem = big.w().mem();
    const ByteText& text = mem->byteText();
    const auto end = static_cast<qsizetype>(text.size());
    double update = 0, lookUp = 0;
    qsizetype back = 0;
    for (auto _ : state) {
        mem->blockSignals(true);  // the move alone; its update is the one timed
        mem->select(end - (back++ % 16), 0);
        mem->blockSignals(false);
        const std::size_t caret = mem->caret();
        const auto t0 = Clock::now();
        big.w().showCaretPlace();
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(text.lineStart(text.lineOf(caret)));
        const auto t2 = Clock::now();
        update += Ms(t1 - t0);
        lookUp += Ms(t2 - t1);
        state.SetIterationTime(bench::Seconds(t1 - t0));
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["update_ms"] = update / n;
    state.counters["lookUp_ms"] = lookUp / n;
    const std::size_t line = text.lineOf(mem->caret());
    const QString expected = QStringLiteral("Ln %1, Col %2")
                                 .arg(line + 1)
                                 .arg(mem->caret() - text.lineStart(line) + 1);
    if (line + 2 < big.lines || big.w().statusText(2) != expected)
        state.SkipWithError("the status bar does not show the caret's place at the end");
}
BENCHMARK(BM_CaretPlaceAtEnd1GiB)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

// The screen painted with the line numbers' margin at the end of the text, against the same
// screen painted with the margin off (the baseline, in the same run): the numbers of the lines
// shown cost no look-up, as the rows know their lines.
void BM_LineNumbersPaintAtEnd1GiB(benchmark::State& state)
{
    BigWindow& big = Big();
    Memo* mem = big.w().mem();
    mem->select(static_cast<qsizetype>(mem->byteText().size()), 0);
    double on = 0, off = 0;
    std::vector<double> onPaints;
    for (auto _ : state) {
        mem->setLineNumbers(true);
        bench::PaintNow(*mem, big.paints);
        const auto t0 = Clock::now();
        mem->viewport()->repaint();
        const auto t1 = Clock::now();
        mem->setLineNumbers(false);
        bench::PaintNow(*mem, big.paints);
        const auto t2 = Clock::now();
        mem->viewport()->repaint();
        const auto t3 = Clock::now();
        on += Ms(t1 - t0);
        off += Ms(t3 - t2);
        onPaints.push_back(Ms(t1 - t0));
        state.SetIterationTime(bench::Seconds(t1 - t0));
    }
    const auto n = static_cast<double>(state.iterations());
    const bench::Spread spread = bench::SpreadOf(onPaints);
    state.counters["numbers_ms"] = on / n;
    state.counters["numbers_p99_ms"] = spread.p99;
    state.counters["plain_ms"] = off / n;
    state.counters["per_plain"] = on / off;
    if (mem->byteText().lineOf(mem->caret()) + 1 != big.lines)
        state.SkipWithError("the caret is not on the last line");
}
BENCHMARK(BM_LineNumbersPaintAtEnd1GiB)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

// Print Preview of 50 MB of prose: from the command to its first page painted, against one paint
// of the editing area's screen of the same text (the baseline, in the same run).
void BM_PrintPreviewFirstPage50MB(benchmark::State& state)
{
    bench::MainWindow main;
    bench::PaintCounter paints{main.w.mem()->viewport()};
    main.w.mem()->setBytes(bench::MakeProse(50 * kMB));
    bench::PaintNow(*main.w.mem(), paints);
    double first = 0, screen = 0, counted = 0;
    std::size_t pages = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        PrintPreview preview(main.w.mem()->byteText(), main.w.mem()->font(),
                             main.w.mem()->pointSize(), QStringLiteral("prose.txt"), [] {});
        preview.show();
        preview.repaint();
        const auto t1 = Clock::now();
        main.w.mem()->viewport()->repaint();
        const auto t2 = Clock::now();
        while (!preview.pages().count().done())
            QCoreApplication::processEvents();
        const auto t3 = Clock::now();
        first += Ms(t1 - t0);
        screen += Ms(t2 - t1);
        counted += Ms(t3 - t0);
        pages = preview.pages().count().pages();
        state.SetIterationTime(bench::Seconds(t1 - t0));
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["first_page_ms"] = first / n;
    state.counters["screen_paint_ms"] = screen / n;
    state.counters["all_counted_ms"] = counted / n;
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_PrintPreviewFirstPage50MB)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Counts the occurrences of `needle` as the Find button's run of searches visits them.
std::size_t MemmemCount(std::string_view text, std::string_view needle)
{
    std::size_t count = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (const void* hit = memmem(p, static_cast<std::size_t>(end - p), needle.data(), needle.size())) {
        ++count;
        p = static_cast<const char*>(hit) + needle.size();
    }
    return count;
}

// Find, then the count of its hits in the status bar, the window answering between its pieces,
// against memmem counting the same hits (argument 0: the planted rare word; 1: "panel", a word
// of the prose, about 7 million times).
void BM_HitCount1GiB(benchmark::State& state)
{
    BigWindow& big = Big();
    const char* const needle = state.range(0) == 0 ? kRare : "panel";
    FindPanel* find = big.w().findPanel();
    find->editF->setText(QString::fromLatin1(needle));
    double ours = 0, theirs = 0;
    std::size_t memmemHits = 0;
    for (auto _ : state) {
        big.main.state.FindPos = 0;
        const auto t0 = Clock::now();
        find->fButtClick();
        while (!big.w().statusText(3).startsWith(QStringLiteral("hit ")))
            QCoreApplication::processEvents();
        const auto t1 = Clock::now();
        memmemHits = MemmemCount(big.w().mem()->bytes(), needle);
        const auto t2 = Clock::now();
        ours += Ms(t1 - t0);
        theirs += Ms(t2 - t1);
        state.SetIterationTime(bench::Seconds(t1 - t0));
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["count_ms"] = ours / n;
    state.counters["memmem_ms"] = theirs / n;
    state.counters["per_memmem"] = ours / theirs;
    state.counters["hits"] = static_cast<double>(memmemHits);
    if (!big.w().statusText(3).endsWith(QStringLiteral(" of %1").arg(memmemHits)))
        state.SkipWithError(qPrintable("the count differs from memmem's: " + big.w().statusText(3)));
}
BENCHMARK(BM_HitCount1GiB)->Arg(0)->Arg(1)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// Open's check whether a text looks like UTF-8 in its worst case, 1 GiB with no byte above 0x7F
// (the whole text is read), against memchr for a byte that is not there: one pass at memory
// speed.
void BM_Utf8CheckAscii1GiB(benchmark::State& state)
{
    const std::string ascii(kDocumentSize, 'a');
    double check = 0, pass = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(OpenNotes(ascii, {}));
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(std::memchr(ascii.data(), 'b', ascii.size()));
        const auto t2 = Clock::now();
        check += Ms(t1 - t0);
        pass += Ms(t2 - t1);
        state.SetIterationTime(bench::Seconds(t1 - t0));
    }
    state.counters["check_ms"] = check / static_cast<double>(state.iterations());
    state.counters["memchr_ms"] = pass / static_cast<double>(state.iterations());
    state.counters["per_memchr"] = check / pass;
}
BENCHMARK(BM_Utf8CheckAscii1GiB)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    bench::GuiBenchmark gui(argc, argv);
    if (!gui.enterWorkFolder())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_big.reset();
    return 0;
}
