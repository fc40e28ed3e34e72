// The shift cipher against memcpy of the same 100 MB buffer: the cipher should run at memory
// speed. Compare the bytes_per_second columns of one run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>

#include "cipher/shift_cipher.h"

namespace {

constexpr std::size_t kTextBytes = 100u * 1024 * 1024;
constexpr std::string_view kKey = "tzrhGowN";

// Printable text in CR LF lines of 40..100 characters, the shape of a real document.
const std::string& PlainText()
{
    static const std::string text = [] {
        std::string t;
        t.reserve(kTextBytes);
        std::mt19937 random(20240611);
        std::uniform_int_distribution<int> printable(32, 126);
        std::uniform_int_distribution<int> lineLength(40, 100);
        while (t.size() < kTextBytes) {
            for (int n = lineLength(random); n > 0 && t.size() < kTextBytes; --n)
                t.push_back(static_cast<char>(printable(random)));
            t += "\r\n";
        }
        t.resize(kTextBytes);
        return t;
    }();
    return text;
}

const std::string& CipherText()
{
    static const std::string text = EncryptText(PlainText(), kKey, "1");
    return text;
}

// The output buffer is made and touched once, outside the timed loop, so that page faults of a
// fresh 100 MB allocation are not measured.
std::string& OutBuffer()
{
    static std::string out(kTextBytes, '\0');
    return out;
}

void BM_Memcpy(benchmark::State& state)
{
    const std::string& in = PlainText();
    std::string& out = OutBuffer();
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), in.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

void BM_EncryptInto(benchmark::State& state)
{
    const std::string& in = PlainText();
    std::string& out = OutBuffer();
    for (auto _ : state) {
        if (EncryptInto(in, kKey, EncryptionLevel::A, out).Any())
            state.SkipWithError("refused");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

void BM_DecryptInto(benchmark::State& state)
{
    const std::string& in = CipherText();
    std::string& out = OutBuffer();
    for (auto _ : state) {
        if (DecryptInto(in, kKey, EncryptionLevel::A, out).Any())
            state.SkipWithError("refused");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

// What a command pays on top of the cipher: a fresh result string each time.
void BM_EncryptText(benchmark::State& state)
{
    const std::string& in = PlainText();
    for (auto _ : state) {
        std::string out = EncryptText(in, kKey, "1");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

// The check encryption makes before it hands a result back.
void BM_FirstUnrestorable(benchmark::State& state)
{
    const std::string& in = PlainText();
    for (auto _ : state)
        benchmark::DoNotOptimize(FirstUnrestorable(in, kKey));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

}  // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncryptInto)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptInto)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncryptText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstUnrestorable)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
