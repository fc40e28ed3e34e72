// The editing area alone (Memo, outside the main window): 50 MB of prose put in and its first
// screen painted, against the widget floor, a bare QPlainTextEdit set up as the area is (wrap,
// scroll bars, font) given the same text as a ready QString, both in the same iteration, taking
// turns to go first; and reading the whole text back, right after it was put in and after a key
// typed in the middle (the gap of the buffer closed). Run with QT_QPA_PLATFORM=offscreen.
#include <chrono>
#include <limits>
#include <string>

#include <QApplication>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "ui/editor/memo.h"

namespace {

using bench::Clock;
using bench::kMB;

const std::string& Prose(std::int64_t mb)
{
    static std::string texts[201];
    std::string& t = texts[mb];
    if (t.empty())
        t = bench::MakeProse(static_cast<std::size_t>(mb) * kMB);
    return t;
}

double MsSince(Clock::time_point start)
{
    return bench::Seconds(Clock::now() - start) * 1e3;
}

struct Area {
    Memo memo;
    bench::PaintCounter paints{memo.viewport()};
    Area()
    {
        memo.setPointSize(10);
        memo.resize(700, 500);
        memo.show();
        QCoreApplication::processEvents();
    }
};

// Set and first paint. The area's side includes copying the bytes it takes over; the bare
// widget gets its QString ready made.
void BM_SetAndPaintVsFloor(benchmark::State& state)
{
    const std::string& text = Prose(state.range(0));
    const QString floorText =
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).remove(u'\r');
    Area area;
    QPlainTextEdit bare;
    bench::LikeTheArea(bare, area.memo);
    const bench::PaintCounter barePaints(bare.viewport());
    double oursMs = 0, floorMs = 0;
    bool painted = true;
    int iteration = 0;
    for (auto _ : state) {
        area.memo.setBytes({});
        bare.clear();
        QCoreApplication::processEvents();
        const auto ours = [&] {
            const auto t0 = Clock::now();
            area.memo.setBytes(text);
            painted = bench::PaintNow(area.memo, area.paints) && painted;
            oursMs += MsSince(t0);
        };
        const auto floor = [&] {
            const auto t0 = Clock::now();
            bare.setPlainText(floorText);
            painted = bench::PaintNow(bare, barePaints) && painted;
            floorMs += MsSince(t0);
        };
        if (iteration++ % 2 == 0) {
            ours();
            floor();
        } else {
            floor();
            ours();
        }
    }
    if (!painted || static_cast<std::size_t>(area.memo.byteLength()) != text.size()) {
        state.SkipWithError("the text did not arrive whole, or was not painted");
        return;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = oursMs / n;
    state.counters["floor_ms"] = floorMs / n;
    state.counters["per_floor"] = oursMs / floorMs;
}

// The whole text read back: range(1) 0 right after it was put in (the gap at the end), 1 after
// a key typed in the middle (the gap moves to the end: the second half of the text moves).
void BM_Bytes(benchmark::State& state)
{
    const std::string& text = Prose(state.range(0));
    const bool afterEdit = state.range(1) != 0;
    Area area;
    area.memo.setBytes(text);
    bench::PaintNow(area.memo, area.paints);
    double ms = 0;
    for (auto _ : state) {
        if (afterEdit) {
            area.memo.select(area.memo.byteLength() / 2, 0);
            bench::TypeKey(area.memo, area.paints, 0);
            bench::PressKey(area.memo, area.paints, Qt::Key_Backspace);
        }
        const auto t0 = Clock::now();
        const std::string_view bytes = area.memo.bytes();
        benchmark::DoNotOptimize(bytes.data());
        const double once = MsSince(t0);
        ms += once;
        state.SetIterationTime(once / 1e3);
        if (bytes.size() != text.size()) {
            state.SkipWithError("the text is not whole");
            return;
        }
    }
    state.counters["ms"] = ms / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_SetAndPaintVsFloor)
    ->ArgName("MiB")
    ->Arg(50)
    ->UseRealTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bytes)
    ->ArgNames({"MiB", "after_edit"})
    ->Args({50, 0})
    ->Args({50, 1})
    ->Args({200, 1})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    bench::GuiBenchmark gui(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
