// The Find and Replace buttons of the main window on a 50 MB document, timed as the user meets
// them: the whole handler, from the boxes to the selection or to the text back in the area.
// Each timed click is paired with a baseline measured in the same iteration, so the ratio holds
// under whatever else the machine is doing. Run with QT_QPA_PLATFORM=offscreen (the default).
#include <chrono>
#include <cstring>
#include <ctime>
#include <iterator>
#include <random>
#include <string>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "core/app_state.h"
#include "document/find_replace.h"
#include "ui/editor/memo.h"
#include "ui/main/fCPas.h"
#include "ui/main/find_panel.h"
#include "ui/main/replace_panel.h"
#include "ui/platform/desktop.h"

namespace {

using bench::Clock;
using bench::kMB;
using bench::Seconds;

constexpr int kOccurrences = 1000000;

const std::string& Text50MB()
{
    static const std::string text = bench::MakeProse(50 * kMB);
    return text;
}

// 1,000,000 occurrences in both cases, one every 52 bytes: 52,000,000 bytes.
const std::string& TextWithNeedles()
{
    static const std::string text = [] {
        const std::string filler = bench::MakeProse(52 * 1000);
        std::string t;
        t.reserve(52 * static_cast<std::size_t>(kOccurrences));
        for (int i = 0; i < kOccurrences; ++i) {
            t += i % 2 ? "Needle" : "nEEDLE";
            t.append(filler, static_cast<std::size_t>(i % 1000) * 46, 46);
        }
        return t;
    }();
    return text;
}

using Window = bench::MainWindow;

void BM_FindClick50MBNoHit(benchmark::State& state)
{
    const std::string& text = Text50MB();
    const char* const needle = "Quixotic";
    Window win;
    win.w.mem()->setBytes(text);
    win.w.findPanel()->editF->setText(QString::fromLatin1(needle));
    QApplication::processEvents();
    win.w.findPanel()->fButtClick();
    if (win.state.FindNext != 0 || win.w.mem()->selLength() != 0)
        state.SkipWithError("the sought text occurs in the text");

    Clock::duration clickTime{};
    Clock::duration memmemTime{};
    double clickCpu = 0;
    for (auto _ : state) {
        const double c0 = bench::CpuSeconds();
        const auto t0 = Clock::now();
        win.w.findPanel()->fButtClick();
        const auto t1 = Clock::now();
        clickCpu += bench::CpuSeconds() - c0;
        benchmark::DoNotOptimize(memmem(text.data(), text.size(), needle, std::strlen(needle)));
        const auto t2 = Clock::now();
        state.SetIterationTime(Seconds(t1 - t0));
        clickTime += t1 - t0;
        memmemTime += t2 - t1;
    }
    state.counters["memmem_ms"] =
        Seconds(memmemTime) * 1e3 / static_cast<double>(state.iterations());
    state.counters["click_per_memmem"] = Seconds(clickTime) / Seconds(memmemTime);
    state.counters["click_cpu_ms"] = clickCpu * 1e3 / static_cast<double>(state.iterations());
    state.counters["FindPos"] = win.state.FindPos;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindClick50MBNoHit)
    ->UseManualTime()
    ->Iterations(3)
    ->Repetitions(7)
    ->Unit(benchmark::kMillisecond);

// The first click after a keystroke: the area's text has changed since it was last read.
void BM_FindClickAfterEdit50MB(benchmark::State& state)
{
    const std::string& text = Text50MB();
    Window win;
    win.w.mem()->setBytes(text);
    win.w.findPanel()->editF->setText(QStringLiteral("Quixotic"));
    QApplication::processEvents();
    double clickCpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        win.w.mem()->select(win.w.mem()->byteLength(), 0);
        win.w.mem()->insertPlainText(QStringLiteral("x"));
        state.ResumeTiming();
        const double c0 = bench::CpuSeconds();
        const auto t0 = Clock::now();
        win.w.findPanel()->fButtClick();
        state.SetIterationTime(Seconds(Clock::now() - t0));
        clickCpu += bench::CpuSeconds() - c0;
    }
    state.counters["click_cpu_ms"] = clickCpu * 1e3 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FindClickAfterEdit50MB)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

// Replace every one of 1,000,000 occurrences. Two baselines from the same iteration: putting
// the same 52 MB text into the area, which every replacement that changes something must do
// once, and the replacement of the bytes alone, without the area.
void BM_ReplaceClick1MIn50MB(benchmark::State& state)
{
    const std::string& text = TextWithNeedles();
    const std::size_t expected = text.size() - 3 * static_cast<std::size_t>(kOccurrences);
    Window win;
    win.w.replacePanel()->rFrom->setText(QStringLiteral("needle"));
    win.w.replacePanel()->rTo->setText(QStringLiteral("pin"));

    double setWall = 0, setCpu = 0, clickWall = 0, clickCpu = 0, logicWall = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const double c0 = bench::CpuSeconds();
        win.w.mem()->setBytes(text);
        QApplication::processEvents();
        const auto t1 = Clock::now();
        const double c1 = bench::CpuSeconds();
        win.w.replacePanel()->rButtClick();
        QApplication::processEvents();
        const auto t2 = Clock::now();
        const double c2 = bench::CpuSeconds();
        benchmark::DoNotOptimize(ReplaceAll(text, "needle", "pin"));
        const auto t3 = Clock::now();
        setWall += Seconds(t1 - t0);
        setCpu += c1 - c0;
        clickWall += Seconds(t2 - t1);
        clickCpu += c2 - c1;
        logicWall += Seconds(t3 - t2);
        state.SetIterationTime(Seconds(t2 - t1));
        if (win.w.mem()->bytes().size() != expected) {
            state.SkipWithError("the replacement did not replace 1,000,000 occurrences");
            break;
        }
    }
    const auto perIteration = [&state](double seconds) {
        return seconds * 1e3 / static_cast<double>(state.iterations());
    };
    state.counters["click_cpu_ms"] = perIteration(clickCpu);
    state.counters["setBytes_ms"] = perIteration(setWall);
    state.counters["setBytes_cpu_ms"] = perIteration(setCpu);
    state.counters["bytesOnly_ms"] = perIteration(logicWall);
    state.counters["click_per_setBytes"] = clickWall / setWall;
    state.counters["click_per_setBytes_cpu"] = clickCpu / setCpu;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplaceClick1MIn50MB)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    bench::GuiBenchmark gui(argc, argv);
    if (!gui.enterWorkFolder())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
