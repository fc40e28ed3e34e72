#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <iterator>
#include <random>
#include <string>

#include "core/upper1252.h"
#include "document/find_replace.h"

namespace {

using bench::kMB;

const std::string& Text100MB()
{
    static const std::string text = bench::MakeProse(100 * kMB);
    return text;
}

// Absent from the text; the second starts and ends with common letters, so the filter lets
// more candidates through.
const char* const kNeedles[] = {"quixotic", "there"};

void BM_CaselessScan100MB(benchmark::State& state)
{
    const std::string& text = Text100MB();
    const TextFinder finder(kNeedles[state.range(0)]);
    if (finder.FindIn(text) != TextFinder::npos)
        state.SkipWithError("the needle occurs in the text");
    for (auto _ : state)
        benchmark::DoNotOptimize(finder.FindIn(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.SetLabel(kNeedles[state.range(0)]);
}
BENCHMARK(BM_CaselessScan100MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Memmem100MB(benchmark::State& state)
{
    const std::string& text = Text100MB();
    const char* needle = kNeedles[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(memmem(text.data(), text.size(), needle, std::strlen(needle)));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.SetLabel(needle);
}
BENCHMARK(BM_Memmem100MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The thread's own processor time: the machine may be shared, and waiting is not scanning.
struct ThreadCpuClock {
    using duration = std::chrono::nanoseconds;
    static std::chrono::time_point<ThreadCpuClock, duration> now()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return std::chrono::time_point<ThreadCpuClock, duration>(
            std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec));
    }
};

// Both scans alternate in every iteration, so the ratio compares them under the same load.
void BM_CaselessToMemmemRatio(benchmark::State& state)
{
    using Clock = ThreadCpuClock;
    const std::string& text = Text100MB();
    const char* needle = kNeedles[state.range(0)];
    const TextFinder finder(needle);
    Clock::duration caseless{};
    Clock::duration plain{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(finder.FindIn(text));
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(memmem(text.data(), text.size(), needle, std::strlen(needle)));
        const auto t2 = Clock::now();
        caseless += t1 - t0;
        plain += t2 - t1;
    }
    const double bytes = static_cast<double>(state.iterations() * text.size());
    const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    state.counters["caseless_GBps"] = bytes / seconds(caseless) / 1e9;
    state.counters["memmem_GBps"] = bytes / seconds(plain) / 1e9;
    state.counters["ratio"] = seconds(plain) / seconds(caseless);
    state.SetLabel(needle);
}
BENCHMARK(BM_CaselessToMemmemRatio)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FindFrom50MBNoHit(benchmark::State& state)
{
    static const std::string text = bench::MakeProse(50 * kMB);
    for (auto _ : state)
        benchmark::DoNotOptimize(FindFrom(text, 0, "Quixotic"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindFrom50MBNoHit)->Unit(benchmark::kMillisecond);

// The worst case for the filter: every start passes it and fails later.
void BM_FindFrom50MBOneLetterRun(benchmark::State& state)
{
    static const std::string text(50 * kMB, 'a');
    const std::string needle = std::string(100, 'a') + "ba";
    for (auto _ : state)
        benchmark::DoNotOptimize(FindFrom(text, 0, needle));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindFrom50MBOneLetterRun)->Unit(benchmark::kMillisecond);

void BM_UpperCopy100MB(benchmark::State& state)
{
    const std::string& text = Text100MB();
    static std::string out(text.size(), '\0');
    for (auto _ : state) {
        win1252::UpperCopy(text.data(), text.size(), out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_UpperCopy100MB)->Unit(benchmark::kMillisecond);

// 1,000,000 occurrences, in both cases, every 52 bytes of a 50 MB text.
void BM_Replace1MIn50MB(benchmark::State& state)
{
    static const std::string text = [] {
        const std::string filler = bench::MakeProse(52 * 1000);
        std::string t;
        t.reserve(52 * 1000000);
        for (int i = 0; i < 1000000; ++i) {
            t += i % 2 ? "Needle" : "nEEDLE";
            t.append(filler, static_cast<std::size_t>(i % 1000) * 46, 46);
        }
        return t;
    }();
    if (ReplaceAll(text, "needle", "pin")->size() != text.size() - 3 * 1000000)
        state.SkipWithError("the text does not hold 1,000,000 occurrences");
    for (auto _ : state)
        benchmark::DoNotOptimize(ReplaceAll(text, "needle", "pin"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Replace1MIn50MB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
