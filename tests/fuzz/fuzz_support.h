#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "core/show_note.h"

// Helpers shared by the fuzz targets: a checked property that stops the run, and a reader that
// splits the fuzzer's bytes into the parameters of one call.

namespace fuzz {

// Shows bytes as hex so that a failing input can be read off the log whatever it holds.
inline std::string Hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 0x0F];
    }
    return out;
}

[[noreturn]] inline void Fail(const char* file, int line, const char* condition,
                              std::string_view what)
{
    std::fprintf(stderr, "\nPROPERTY VIOLATED at %s:%d: %s\n  %.*s\n", file, line, condition,
                 static_cast<int>(what.size()), what.data());
    std::abort();
}

}  // namespace fuzz

// A property of the code under test; on violation the run stops as a crash, so libFuzzer keeps
// the input. `what` is built only on failure.
#define FUZZ_CHECK(condition, what)                               \
    do {                                                          \
        if (!(condition))                                         \
            ::fuzz::Fail(__FILE__, __LINE__, #condition, (what)); \
    } while (false)

namespace fuzz {

// Takes parameters off the front of the fuzzer's input; past the end, bytes read as zero.
class InputReader final {
public:
    InputReader(const std::uint8_t* data, std::size_t size)
        : m_bytes(reinterpret_cast<const char*>(data), size)
    {
    }

    std::uint8_t Byte()
    {
        if (m_bytes.empty())
            return 0;
        const auto b = static_cast<std::uint8_t>(m_bytes.front());
        m_bytes.remove_prefix(1);
        return b;
    }

    std::string_view Bytes(std::size_t count)
    {
        const std::string_view taken = m_bytes.substr(0, count);
        m_bytes.remove_prefix(taken.size());
        return taken;
    }

    std::string_view Rest()
    {
        const std::string_view rest = m_bytes;
        m_bytes = {};
        return rest;
    }

private:
    std::string_view m_bytes;
};

// Keeps the cipher's and the levels' messages out of the log and counts them for the checks.
class QuietNotes final {
public:
    QuietNotes()
    {
        SetNoteHandler([this](std::string_view text) {
            ++m_count;
            m_last = std::string(text);
        });
    }
    ~QuietNotes() { SetNoteHandler(nullptr); }
    QuietNotes(const QuietNotes&) = delete;
    QuietNotes& operator=(const QuietNotes&) = delete;

    void Clear()
    {
        m_count = 0;
        m_last.clear();
    }
    std::size_t Count() const { return m_count; }
    const std::string& Last() const { return m_last; }

private:
    std::size_t m_count = 0;
    std::string m_last;
};

// One file in a private temporary folder, rewritten for each input; the folder goes when the
// run ends normally (a crashing run leaves it for inspection).
class ScratchFile final {
public:
    explicit ScratchFile(std::string_view name)
    {
        std::string pattern = (ScratchRoot() / "plimo-fuzz-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        m_folder = pattern;
        m_path = (m_folder / name).string();
    }
    ~ScratchFile()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const { return m_path; }

    void Write(std::string_view bytes) const
    {
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", m_path.c_str());
            std::abort();
        }
    }

private:
    // The file is rewritten for every input: on a disk file system that costs milliseconds, in
    // memory microseconds, so shared memory is taken where there is some.
    static std::filesystem::path ScratchRoot()
    {
        const std::filesystem::path shm = "/dev/shm";
        if (::access(shm.c_str(), W_OK | X_OK) == 0)
            return shm;
        return std::filesystem::temp_directory_path();
    }

    std::filesystem::path m_folder;
    std::string m_path;
};

}  // namespace fuzz
