// The editing area's own text model without any widget: ByteText's line index against a plain
// memchr over the same bytes (timed in the same iteration, taking turns to go first),
// keystrokes in a large text, line look-ups, undo of an encryption against the encryption
// itself, and the word wrap of long lines.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "cipher/shift_cipher.h"
#include "core/byte_text.h"
#include "core/edit_history.h"
#include "core/wrap_layout.h"

namespace {

using bench::Clock;
using bench::kMB;
using bench::Seconds;

enum TextKind { kProse50MB, kBreaks32MiB, kLineFeeds32MiB };

std::string MakeText(int kind)
{
    switch (kind) {
        case kProse50MB:
            return bench::MakeProse(50 * kMB);
        case kBreaks32MiB: {
            std::string t(32 * kMB, '\n');
            for (std::size_t i = 0; i < t.size(); i += 2)
                t[i] = '\r';
            return t;
        }
        default:
            return std::string(32 * kMB, '\n');
    }
}

const char* KindName(int kind)
{
    switch (kind) {
        case kProse50MB:
            return "50 MB prose";
        case kBreaks32MiB:
            return "32 MiB of CR LF";
        default:
            return "32 MiB of lone LF";
    }
}

struct Samples {
    std::vector<double> us;
    double Quantile(double q)
    {
        std::sort(us.begin(), us.end());
        return us[std::min(us.size() - 1, static_cast<std::size_t>(q * us.size()))];
    }
};

// Resident memory of the process, in bytes.
double ResidentBytes()
{
    long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%*s %ld", &pages) != 1)
            pages = 0;
        std::fclose(f);
    }
    return static_cast<double>(pages) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Taking the text in (its line index built) against memchr over the same bytes for a byte that
// is not there: the speed of reading them once.
void BM_SetText(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    const std::string source = MakeText(kind);
    ByteText text;
    double ours = 0;
    double oursCpu = 0;
    double scan = 0;
    double scanCpu = 0;
    std::size_t lines = 0;
    std::size_t indexBytes = 0;
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = source;
        state.ResumeTiming();
        const auto byMemchr = [&] {
            const double c0 = bench::CpuSeconds();
            const auto t0 = Clock::now();
            benchmark::DoNotOptimize(std::memchr(copy.data(), '\x01', copy.size()));
            scan += Seconds(Clock::now() - t0);
            scanCpu += bench::CpuSeconds() - c0;
        };
        if (turn++ % 2 == 0)
            byMemchr();
        const double c0 = bench::CpuSeconds();
        const auto t0 = Clock::now();
        text.setText(std::move(copy));
        ours += Seconds(Clock::now() - t0);
        oursCpu += bench::CpuSeconds() - c0;
        if (turn % 2 == 0)
            byMemchr();
        // Giving the text back is not part of taking it in.
        state.PauseTiming();
        lines = text.lineCount();
        indexBytes = text.lineIndexBytes();
        text.setText(std::string());
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = ours / n * 1e3;
    state.counters["ours_cpu_ms"] = oursCpu / n * 1e3;
    state.counters["memchr_ms"] = scan / n * 1e3;
    state.counters["memchr_cpu_ms"] = scanCpu / n * 1e3;
    state.counters["ratio"] = ours / scan;
    state.counters["ratio_cpu"] = oursCpu / scanCpu;
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["index_bytes"] = static_cast<double>(indexBytes);
    state.counters["index_bytes_per_line"] =
        static_cast<double>(indexBytes) / static_cast<double>(lines);
    state.counters["index_bytes_per_MB"] =
        static_cast<double>(indexBytes) / static_cast<double>(source.size()) * 1e6;
    state.SetLabel(KindName(kind));
}
BENCHMARK(BM_SetText)
    ->Arg(kProse50MB)
    ->Arg(kBreaks32MiB)
    ->Arg(kLineFeeds32MiB)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6);

// Keys typed one after another in the middle of 200 MB, each with the look-up of its line, as a
// view would do; then keys each at a new random place, which moves the gap.
void BM_Keystroke200MB(benchmark::State& state)
{
    const bool jumping = state.range(0) != 0;
    const double residentBefore = ResidentBytes();
    ByteText text;
    text.setText(bench::MakeProse(200 * kMB));
    EditHistory history;
    std::mt19937 random(7);
    Samples samples;
    std::size_t pos = text.size() / 2;
    for (auto _ : state) {
        for (int key = 0; key < (jumping ? 50 : 2000); ++key) {
            if (jumping) {
                pos = random() % text.size();
                history.closeTyping();
            }
            const auto t0 = Clock::now();
            history.type(text, {pos, 0}, key % 60 == 59 ? "\r\n" : "k");
            pos += key % 60 == 59 ? 2 : 1;
            benchmark::DoNotOptimize(text.lineOf(pos));
            samples.us.push_back(Seconds(Clock::now() - t0) * 1e6);
        }
    }
    // The text, its line index and the gap the first key opened, per byte of text.
    state.counters["resident_per_byte"] =
        (ResidentBytes() - residentBefore) / static_cast<double>(text.size());
    const double first = samples.us.front();
    state.counters["first_us"] = first;
    state.counters["median_us"] = samples.Quantile(0.5);
    state.counters["p99_us"] = samples.Quantile(0.99);
    state.counters["max_us"] = samples.Quantile(1.0);
    state.SetLabel(jumping ? "each key at a random place" : "typing at one place");
}
BENCHMARK(BM_Keystroke200MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

// The line of a position and the start of a line, at random.
void BM_LineLookups(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    ByteText text;
    text.setText(MakeText(kind));
    std::mt19937 random(3);
    for (auto _ : state) {
        const std::size_t pos = random() % text.size();
        const std::size_t line = text.lineOf(pos);
        benchmark::DoNotOptimize(text.lineStart(line));
    }
    state.SetLabel(KindName(kind));
}
BENCHMARK(BM_LineLookups)->Arg(kProse50MB)->Arg(kBreaks32MiB)->Unit(benchmark::kNanosecond);

// Encryption of 50 MB as the editor does it (into a new buffer, then one whole-text step)
// against undoing and redoing that step.
void BM_UndoEncrypt50MB(benchmark::State& state)
{
    ByteText text;
    text.setText(bench::MakeProse(50 * kMB));
    EditHistory history;
    double encrypt = 0;
    double undo = 0;
    double redo = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        std::string cipher;
        [[maybe_unused]] const TCipherRefusals refused =
            EncryptInto(text.text(), "tzrhGowN", EncryptionLevel::A, cipher);
        history.replaceWhole(text, {}, std::move(cipher), {});
        encrypt += Seconds(Clock::now() - t0);
        t0 = Clock::now();
        history.undo(text);
        undo += Seconds(Clock::now() - t0);
        t0 = Clock::now();
        history.redo(text);
        redo += Seconds(Clock::now() - t0);
        history.undo(text);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["encrypt_ms"] = encrypt / n * 1e3;
    state.counters["undo_ms"] = undo / n * 1e3;
    state.counters["redo_ms"] = redo / n * 1e3;
    state.counters["undo_to_encrypt"] = undo / encrypt;
}
BENCHMARK(BM_UndoEncrypt50MB)->Unit(benchmark::kMillisecond)->Iterations(5);

wrap::Metrics EightPixels()
{
    wrap::Metrics m;
    m.advance.fill(8 * 64);
    m.advance['i'] = 3 * 64;
    m.advance['W'] = 12 * 64;
    return m;
}

// One line without a blank, wrapped at 800 pixels: the first screen (50 rows) after opening,
// and a key typed at its end with the screen around it laid out again.
void BM_LongLine(benchmark::State& state)
{
    const std::size_t size = static_cast<std::size_t>(state.range(0)) * kMB;
    const wrap::Metrics metrics = EightPixels();
    std::string line(size, 'x');
    for (std::size_t i = 0; i < size; i += 7)
        line[i] = "iWab"[i % 4];
    ByteText text;
    text.setText(std::move(line));
    double open = 0;
    Samples keys;
    for (auto _ : state) {
        auto t0 = Clock::now();
        wrap::LineWrap layout(metrics, 800 * 64);
        for (std::size_t r = 0; r < 50; ++r)
            benchmark::DoNotOptimize(layout.row(text.pieces(), r));
        open += Seconds(Clock::now() - t0);
        for (int key = 0; key < 20; ++key) {
            t0 = Clock::now();
            const std::size_t end = text.size();
            text.insert(end, "k");
            layout.edited(end);
            const std::size_t caretRow = layout.rowOf(text.pieces(), end + 1);
            for (std::size_t r = caretRow > 49 ? caretRow - 49 : 0; r <= caretRow; ++r)
                benchmark::DoNotOptimize(layout.row(text.pieces(), r));
            keys.us.push_back(Seconds(Clock::now() - t0) * 1e6);
        }
    }
    state.counters["open_first_screen_ms"] = open / static_cast<double>(state.iterations()) * 1e3;
    state.counters["first_key_at_end_ms"] = keys.us.front() / 1e3;
    state.counters["key_at_end_median_ms"] = keys.Quantile(0.5) / 1e3;
}
BENCHMARK(BM_LongLine)->Arg(1)->Arg(255)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
