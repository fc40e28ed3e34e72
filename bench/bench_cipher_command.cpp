// plimo-cipher encrypting a 1 GiB file at Level C against cp copying the same file, both run as
// programs in the same iteration, taking turns to go first; the target is at most 2 x cp. A
// third side, cp followed by sync of the copy, shows what a copy costs once it is on the disk as
// the command's atomic write (fsync before the rename) leaves it. Before each side its output is
// removed and the file system synced, untimed, so that no side pays for another's write-back.
// The source file is in the page cache for every side, as after any recent use.
//
// BM_LineFeedsAndPipesAgainstCrLf: the same size of text with LF line breaks, from a file and
// through a pipe, against the CR LF file in the same iterations.
//
// PLIMO_BENCH_CIPHER_MB sets another size (default 1024). The files live in a temporary folder
// under TMPDIR and need four times the size of free space.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_support.h"

extern char** environ;

namespace {

using bench::Clock;
using bench::kMB;
using bench::Seconds;

constexpr double kTarget = 2.0;
constexpr std::size_t kBlockBytes = 4 * kMB;

std::size_t FileBytes()
{
    const char* mb = std::getenv("PLIMO_BENCH_CIPHER_MB");
    return (mb != nullptr && std::atoi(mb) > 0 ? static_cast<std::size_t>(std::atoi(mb)) : 1024) *
           kMB;
}

// Printable text in CR LF lines of 40..100 characters, as the editor saves it: every character
// comes back, so the command encrypts rather than refuses.
std::string MakeBlock()
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> printable(32, 126);
    std::uniform_int_distribution<int> lineLength(40, 100);
    std::string block;
    block.reserve(kBlockBytes + 128);
    while (block.size() < kBlockBytes) {
        for (int n = lineLength(random); n > 0; --n)
            block += static_cast<char>(printable(random));
        block += "\r\n";
    }
    return block;
}

struct Run {
    double seconds = 0;
    double peakMB = 0;
    bool ok = false;
};

// One program to its end: wall time, peak resident memory, success.
Run Spawn(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    Run run;
    const auto t0 = Clock::now();
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.seconds = Seconds(Clock::now() - t0);
    run.peakMB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

struct Side {
    std::string name;
    std::string output;
    std::vector<std::vector<std::string>> programs;  // run one after the other
    double total = 0;
    double best = std::numeric_limits<double>::infinity();
    double peakMB = 0;
    int count = 0;
};

bool TimeSide(Side& side)
{
    std::filesystem::remove(side.output);
    ::sync();
    double seconds = 0;
    for (const auto& program : side.programs) {
        const Run run = Spawn(program);
        if (!run.ok)
            return false;
        seconds += run.seconds;
        side.peakMB = std::max(side.peakMB, run.peakMB);
    }
    side.total += seconds;
    side.best = std::min(side.best, seconds);
    ++side.count;
    return true;
}

// A temporary folder for one benchmark, with the password file; empty when it cannot be made.
std::filesystem::path MakeFolder()
{
    std::string made = std::filesystem::temp_directory_path() / "plimo-bench-cipher-XXXXXX";
    if (::mkdtemp(made.data()) == nullptr)
        return {};
    std::ofstream(std::filesystem::path(made) / "pw") << "Kestrel7\n";
    ::chmod((std::filesystem::path(made) / "pw").c_str(), 0600);
    return made;
}

// `bytes` of the block repeated; false when it cannot be written.
bool WriteSource(const std::string& path, const std::string& block, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    for (std::size_t written = 0; written < bytes; written += block.size())
        out.write(block.data(),
                  static_cast<std::streamsize>(std::min(block.size(), bytes - written)));
    return static_cast<bool>(out);
}

// Runs the sides in turn, each iteration starting with another; false after a failure.
bool TimeSides(benchmark::State& state, const std::vector<Side*>& sides, const Side& timed)
{
    int iteration = 0;
    for (auto _ : state) {
        std::vector<Side*> order = sides;
        std::rotate(order.begin(), order.begin() + iteration++ % order.size(), order.end());
        for (Side* side : order) {
            if (!TimeSide(*side)) {
                state.SkipWithError((side->name + " failed").c_str());
                return false;
            }
        }
        state.SetIterationTime(timed.total / timed.count);
    }
    return true;
}

void PrintSides(const std::vector<Side*>& sides)
{
    std::printf("\n%-40s %10s %10s %10s\n", "side", "mean s", "best s", "peak MB");
    for (const Side* side : sides)
        std::printf("%-40s %10.3f %10.3f %10.0f\n", side->name.c_str(), side->total / side->count,
                    side->best, side->peakMB);
}

void BM_EncryptFileAgainstCp(benchmark::State& state)
{
    const std::filesystem::path folder = MakeFolder();
    if (folder.empty()) {
        state.SkipWithError("cannot make a temporary folder");
        return;
    }
    const std::size_t bytes = FileBytes();
    const std::string source = folder / "letter.txt";
    const std::string password = folder / "pw";
    if (!WriteSource(source, MakeBlock(), bytes)) {
        state.SkipWithError("cannot write the source file");
        std::filesystem::remove_all(folder);
        return;
    }

    const std::string copy = folder / "copy.txt";
    Side ours{
        "plimo-cipher encrypt --level C",
        folder / "letter.txc",
        {{PLIMO_CIPHER_BINARY, "encrypt", "--level", "C", "--password-file", password, source}}};
    Side cp{"cp", copy, {{"cp", source, copy}}};
    Side cpSync{"cp, then sync of the copy", copy, {{"cp", source, copy}, {"sync", copy}}};
    if (!TimeSides(state, {&ours, &cp, &cpSync}, ours)) {
        std::filesystem::remove_all(folder);
        return;
    }
    const bool complete = std::filesystem::file_size(ours.output) == bytes;
    std::filesystem::remove_all(folder);
    if (!complete) {
        state.SkipWithError("the encrypted file is not as long as the text");
        return;
    }

    const double ratio = (ours.total / ours.count) / (cp.total / cp.count);
    state.counters["MB"] = static_cast<double>(bytes / kMB);
    state.counters["ours_s"] = ours.total / ours.count;
    state.counters["cp_s"] = cp.total / cp.count;
    state.counters["cp_sync_s"] = cpSync.total / cpSync.count;
    state.counters["ratio"] = ratio;
    state.counters["ratio_best"] = ours.best / cp.best;
    state.counters["ratio_to_cp_sync"] = (ours.total / ours.count) / (cpSync.total / cpSync.count);
    state.counters["ours_peak_MB"] = ours.peakMB;

    PrintSides({&ours, &cp, &cpSync});
    std::printf("ratio to cp: %.2f (best %.2f), target <= %.1f: %s; to cp + sync: %.2f\n", ratio,
                ours.best / cp.best, kTarget, ratio <= kTarget ? "met" : "NOT MET",
                (ours.total / ours.count) / (cpSync.total / cpSync.count));
}

// The same size of text with LF line breaks, from a file and through a pipe, against the CR LF
// file in the same iterations: each is made CR LF a piece at a time as it is encrypted. Targets:
// at most 2 x the CR LF file's time, and at most 64 MiB of memory above the input's size.
void BM_LineFeedsAndPipesAgainstCrLf(benchmark::State& state)
{
    const std::filesystem::path folder = MakeFolder();
    if (folder.empty()) {
        state.SkipWithError("cannot make a temporary folder");
        return;
    }
    const std::size_t bytes = FileBytes();
    const std::string crlf = folder / "crlf.txt";
    const std::string lf = folder / "lf.txt";
    const std::string password = folder / "pw";
    std::string lfBlock = MakeBlock();
    std::erase(lfBlock, '\r');
    if (!WriteSource(crlf, MakeBlock(), bytes) || !WriteSource(lf, lfBlock, bytes)) {
        state.SkipWithError("cannot write the source files");
        std::filesystem::remove_all(folder);
        return;
    }
    const auto command = [&](const std::string& file) {
        return std::vector<std::string>{PLIMO_CIPHER_BINARY, "encrypt", "--level", "C",
                                        "--password-file",   password,  file};
    };
    const std::string piped = folder / "piped.txc";
    Side crlfFile{"CR LF file", folder / "crlf.txc", {command(crlf)}};
    Side lfFile{"LF file", folder / "lf.txc", {command(lf)}};
    Side lfPipe{"LF through a pipe (cat | plimo-cipher)",
                piped,
                {{"sh", "-c",
                  "cat '" + lf + "' | '" + std::string(PLIMO_CIPHER_BINARY) +
                      "' encrypt --level C --password-file '" + password + "' > '" + piped + "'"}}};
    const bool timed = TimeSides(state, {&crlfFile, &lfFile, &lfPipe}, lfFile);
    const bool complete = timed && std::filesystem::file_size(lfFile.output) ==
                                       std::filesystem::file_size(lfPipe.output);
    std::filesystem::remove_all(folder);
    if (!timed)
        return;
    if (!complete) {
        state.SkipWithError("the file and the pipe gave different results");
        return;
    }
    const double base = crlfFile.total / crlfFile.count;
    const double inputMB = static_cast<double>(bytes) / kMB;
    state.counters["MB"] = inputMB;
    state.counters["crlf_s"] = base;
    state.counters["lf_file_s"] = lfFile.total / lfFile.count;
    state.counters["lf_pipe_s"] = lfPipe.total / lfPipe.count;
    state.counters["lf_file_ratio"] = lfFile.total / lfFile.count / base;
    state.counters["lf_pipe_ratio"] = lfPipe.total / lfPipe.count / base;
    state.counters["lf_file_above_input_MB"] = lfFile.peakMB - inputMB;
    state.counters["lf_pipe_above_input_MB"] = lfPipe.peakMB - inputMB;
    PrintSides({&crlfFile, &lfFile, &lfPipe});
    for (const Side* side : {&lfFile, &lfPipe}) {
        const double ratio = side->total / side->count / base;
        const double above = side->peakMB - inputMB;
        std::printf(
            "%s: %.2f x the CR LF file (target <= %.1f: %s), %.0f MB above the input "
            "(target <= 64: %s)\n",
            side->name.c_str(), ratio, kTarget, ratio <= kTarget ? "met" : "NOT MET", above,
            above <= 64 ? "met" : "NOT MET");
    }
}

}  // namespace

BENCHMARK(BM_LineFeedsAndPipesAgainstCrLf)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_EncryptFileAgainstCp)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
