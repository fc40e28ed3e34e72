// OpenPGP messages (cipher/openpgp.h) of 50 MB and 1 GiB of prose against gpg on the same file in
// the same iteration, taking turns to go first:
//   encrypt: ours in memory (the editing area's path: the text held, the message made beside
//            it), ours from file to file (the shell's path), and
//            gpg --symmetric --cipher-algo AES256 --armor, given our S2K hash and count so that
//            both pay the same fixed cost;
//   decrypt: the same three on our armoured message (gpg --decrypt).
// The fixed cost of each side (the S2K, and for gpg its start and its agent) is measured apart,
// on an empty text, and the ratio is given with and without it; the target is at most 1.5 x gpg
// without it. Before each side its output is removed and the file system synced, untimed.
// Memory: each direction once more in a child process (--memory-probe), which reads the text as
// the editor holds it and reports its peak resident memory (VmHWM) beyond what it had before,
// per byte of plain text; the target is at most 3.
//
// The files (about 4 GB) live in a temporary folder under TMPDIR; gpg works in a home of its own
// there, whose agent is stopped at the end.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "cipher/openpgp.h"
#include "document/file_read.h"

extern char** environ;

namespace {

using bench::Clock;
using bench::kMB;
using bench::Seconds;

constexpr std::string_view kPassphrase = "Kestrel 7 over the dunes";
constexpr double kTimeTarget = 1.5;
constexpr double kMemoryTarget = 3.0;

std::string g_self;

// One program to its end, standard output to `output` (or /dev/null): its wall time, or a
// negative one when it failed.
double RunProgram(const std::vector<std::string>& args, const std::string& output = "/dev/null")
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto t0 = Clock::now();
    pid_t pid = 0;
    int status = 1;
    if (::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        ::waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    const double seconds = Seconds(Clock::now() - t0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

// The shell's path: file to file through the stream form.
bool Streamed(bool encrypt, const std::string& from, const std::string& to, std::size_t count)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const OpenPgpOutcome outcome =
        in < 0 || out < 0 ? OpenPgpOutcome::ReadFailed
        : encrypt ? OpenPgpEncryptStream(OpenPgpFdReader(in), kPassphrase, OpenPgpFdWriter(out),
                                         {true, count})
                  : OpenPgpDecryptStream(OpenPgpFdReader(in), kPassphrase, OpenPgpFdWriter(out));
    ::close(in);
    return ::close(out) == 0 && outcome == OpenPgpOutcome::Done;
}

std::string ReadAll(const std::string& path)
{
    std::string bytes;  // returned as it is, never copied: the memory probe counts it
    if (ReadWholeFile(path, std::numeric_limits<std::size_t>::max(), bytes) != TReadResult::Ok)
        bytes.clear();
    return bytes;
}

// One side of a comparison over the iterations.
struct Side {
    std::string name;
    std::string output;  // removed before each run; empty for a side in memory
    std::function<bool()> run;
    double total = 0, best = std::numeric_limits<double>::infinity(), fixed = 0;
    int count = 0;
    double Mean() const { return total / count; }
};

bool TimeSide(Side& side)
{
    if (!side.output.empty())
        std::filesystem::remove(side.output);
    ::sync();
    const auto t0 = Clock::now();
    if (!side.run())
        return false;
    const double seconds = Seconds(Clock::now() - t0);
    side.total += seconds;
    side.best = std::min(side.best, seconds);
    ++side.count;
    return true;
}

// Everything one size needs: the folder, the text, our message of it, gpg's home and options.
struct Files {
    std::filesystem::path folder;
    std::string plain, message, passFile, home;
    std::size_t bytes = 0;
    std::size_t iterations = 0;

    std::vector<std::string> Gpg(std::vector<std::string> args) const
    {
        std::vector<std::string> all{"gpg",
                                     "--homedir",
                                     home,
                                     "--batch",
                                     "--quiet",
                                     "--pinentry-mode",
                                     "loopback",
                                     "--no-symkey-cache",
                                     "--yes",
                                     "--passphrase-file",
                                     passFile,
                                     "--s2k-digest-algo",
                                     "SHA256",
                                     "--s2k-count",
                                     std::to_string(iterations)};
        all.insert(all.end(), args.begin(), args.end());
        return all;
    }
    ~Files()
    {
        if (!home.empty())
            RunProgram({"gpgconf", "--homedir", home, "--kill", "gpg-agent"});
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }
};

bool MakeFiles(Files& files, std::size_t bytes, bool withMessage)
{
    std::string made = std::filesystem::temp_directory_path() / "plimo-bench-openpgp-XXXXXX";
    if (::mkdtemp(made.data()) == nullptr)
        return false;
    files.folder = made;
    files.bytes = bytes;
    files.plain = files.folder / "text.txt";
    files.message = files.folder / "text.txt.asc";
    files.passFile = files.folder / "pass";
    files.home = files.folder / "gnupg";
    files.iterations = TunedS2kIterations();
    std::filesystem::create_directory(files.home);
    std::filesystem::permissions(files.home, std::filesystem::perms::owner_all);
    const std::string block = bench::MakeProse(4 * kMB);
    const int fd = ::open(files.plain.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    for (std::size_t written = 0; ok && written < bytes; written += block.size())
        ok = OpenPgpFdWriter(fd)(std::string_view(block).substr(0, bytes - written));
    ok = ::close(fd) == 0 && ok;
    const int pass = ::open(files.passFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ok = pass >= 0 && OpenPgpFdWriter(pass)(kPassphrase) && ::close(pass) == 0 && ok;
    return ok && (!withMessage || Streamed(true, files.plain, files.message, files.iterations));
}

// Each side's fixed cost: the best of three runs on an empty text.
void MeasureFixedCosts(const Files& files, Side& ours, Side& streamed, Side& gpg, bool encrypt)
{
    const std::string empty = files.folder / "empty", emptyMessage = files.folder / "empty.asc";
    Streamed(true, "/dev/null", emptyMessage, files.iterations);
    std::string out;
    const std::string message = ReadAll(emptyMessage);
    double mine = 1e9, theirs = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto t0 = Clock::now();
        if (encrypt)
            OpenPgpEncrypt("", kPassphrase, out, {true, files.iterations});
        else
            OpenPgpDecrypt(message, kPassphrase, out);
        mine = std::min(mine, Seconds(Clock::now() - t0));
        theirs = std::min(theirs,
                          encrypt ? RunProgram(files.Gpg({"--symmetric", "--cipher-algo", "AES256",
                                                          "--armor", "-o", "-", "/dev/null"}))
                                  : RunProgram(files.Gpg({"--decrypt", emptyMessage})));
    }
    ours.fixed = streamed.fixed = mine;
    gpg.fixed = theirs;
}

void BM_AgainstGpg(benchmark::State& state)
{
    const bool encrypt = state.range(0) != 0;
    Files files;
    if (!MakeFiles(files, static_cast<std::size_t>(state.range(1)) * kMB, !encrypt)) {
        state.SkipWithError("cannot write the files");
        return;
    }
    // Ours in memory starts from the text as the editing area holds it, read untimed.
    const std::string input = ReadAll(encrypt ? files.plain : files.message);
    const std::string output = files.folder / "out";
    std::string result;
    Side ours{"ours, in memory", "", [&] {
                  std::string fresh;  // as the window takes a new text each time
                  const OpenPgpOutcome outcome =
                      encrypt ? OpenPgpEncrypt(input, kPassphrase, fresh, {true, files.iterations})
                              : OpenPgpDecrypt(input, kPassphrase, fresh);
                  result.swap(fresh);
                  return outcome == OpenPgpOutcome::Done;
              }};
    Side streamed{"ours, file to file", output, [&] {
                      return Streamed(encrypt, encrypt ? files.plain : files.message, output,
                                      files.iterations);
                  }};
    const std::vector<std::string> gpgArgs =
        encrypt ? files.Gpg({"--symmetric", "--cipher-algo", "AES256", "--armor", "-o", output,
                             files.plain})
                : files.Gpg({"--decrypt", "-o", output, files.message});
    Side gpg{encrypt ? "gpg --symmetric --cipher-algo AES256 --armor" : "gpg --decrypt", output,
             [&] { return RunProgram(gpgArgs) >= 0; }};
    MeasureFixedCosts(files, ours, streamed, gpg, encrypt);

    int iteration = 0;
    for (auto _ : state) {
        std::vector<Side*> order{&ours, &streamed, &gpg};
        std::rotate(order.begin(), order.begin() + iteration++ % 3, order.end());
        for (Side* side : order)
            if (!TimeSide(*side)) {
                state.SkipWithError((side->name + " failed").c_str());
                return;
            }
        state.SetIterationTime(ours.Mean());
    }
    if (!encrypt && result.size() != files.bytes) {
        state.SkipWithError("the decrypted text is not the text");
        return;
    }

    const auto apart = [&gpg](const Side& side) {
        return (side.Mean() - side.fixed) / (gpg.Mean() - gpg.fixed);
    };
    std::printf("\n%s %zu MiB (S2K count %zu):\n%-48s %9s %9s %9s %9s\n",
                encrypt ? "Encrypt" : "Decrypt", files.bytes / kMB, files.iterations, "side",
                "mean s", "best s", "fixed s", "MB/s");
    for (const Side* side : {&ours, &streamed, &gpg})
        std::printf("%-48s %9.3f %9.3f %9.3f %9.1f\n", side->name.c_str(), side->Mean(), side->best,
                    side->fixed,
                    static_cast<double>(files.bytes / kMB) / (side->Mean() - side->fixed));
    for (const Side* side : {&ours, &streamed}) {
        std::printf("%s to gpg: %.2f; its fixed cost apart %.2f, target <= %.1f: %s\n",
                    side->name.c_str(), side->Mean() / gpg.Mean(), apart(*side), kTimeTarget,
                    apart(*side) <= kTimeTarget ? "met" : "NOT MET");
    }
    state.counters["MiB"] = static_cast<double>(files.bytes / kMB);
    state.counters["gpg_s"] = gpg.Mean();
    state.counters["streamed_s"] = streamed.Mean();
    state.counters["ratio_memory"] = apart(ours);
    state.counters["ratio_streamed"] = apart(streamed);
}

// Peak memory of one direction in a child process, per byte of plain text.
void BM_Memory(benchmark::State& state)
{
    const bool encrypt = state.range(0) != 0;
    Files files;
    if (!MakeFiles(files, static_cast<std::size_t>(state.range(1)) * kMB, !encrypt)) {
        state.SkipWithError("cannot write the files");
        return;
    }
    double perByte = 0;
    for (auto _ : state) {
        const std::string command =
            "'" + g_self + "' --memory-probe " +
            (encrypt ? "encrypt '" + files.plain : "decrypt '" + files.message) + "' " +
            std::to_string(files.iterations);
        std::FILE* child = ::popen(command.c_str(), "r");
        double seconds = 0;
        const int got = child ? std::fscanf(child, "%lf %lf", &perByte, &seconds) : 0;
        if ((child ? ::pclose(child) : -1) != 0 || got != 2) {
            state.SkipWithError("the probe failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["per_byte"] = perByte;
    std::printf("\nPeak memory, %s %zu MiB: %.2f bytes a byte of text, target <= %.1f: %s\n",
                encrypt ? "encrypt" : "decrypt", files.bytes / kMB, perByte, kMemoryTarget,
                perByte <= kMemoryTarget ? "met" : "NOT MET");
}

// The child of BM_Memory: reads the file as the editor holds a text, runs the direction into a
// new string, prints its peak beyond the start per byte of plain text, and the time it took.
int MemoryProbe(bool encrypt, const std::string& path, std::size_t iterations)
{
    const double before = bench::StatusKB("VmHWM");
    const std::string input = ReadAll(path);
    std::string out;
    const auto t0 = Clock::now();
    const OpenPgpOutcome outcome = encrypt
                                       ? OpenPgpEncrypt(input, kPassphrase, out, {true, iterations})
                                       : OpenPgpDecrypt(input, kPassphrase, out);
    const double seconds = Seconds(Clock::now() - t0);
    const double plain = static_cast<double>(encrypt ? input.size() : out.size());
    if (outcome != OpenPgpOutcome::Done || plain == 0)
        return 1;
    std::printf("%.4f %.3f\n", (bench::StatusKB("VmHWM") - before) * 1024.0 / plain, seconds);
    return 0;
}

}  // namespace

BENCHMARK(BM_AgainstGpg)
    ->ArgNames({"encrypt", "MiB"})
    ->Args({1, 50})
    ->Args({0, 50})
    ->Args({1, 1024})
    ->Args({0, 1024})
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_Memory)
    ->ArgNames({"encrypt", "MiB"})
    ->Args({1, 1024})
    ->Args({0, 1024})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--memory-probe") == 0)
        return MemoryProbe(std::strcmp(argv[2], "encrypt") == 0, argv[3],
                           static_cast<std::size_t>(std::stoull(argv[4])));
    g_self = std::filesystem::read_symlink("/proc/self/exe");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
