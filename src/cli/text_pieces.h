#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A text of gigabytes a piece at a time: transformed from its raw bytes where they lie, its line
// breaks made CR LF on the way, so that the command holds no second copy of it.

// The encryption or decryption of NormaliseLineBreaks(raw), a piece of at most 4 MiB at a time,
// each 256 KiB part made CR LF (when `normalise`), checked (when `check`: FirstUnrestorable) and
// transformed while it is in the processor's cache. `raw` stays where it is until the end.
class PieceTransform final {
public:
    PieceTransform(std::string_view raw, bool normalise, std::string_view key, bool encrypt,
                   bool check);

    // The whole result's size: that of the normalised text.
    std::size_t size() const { return m_size; }
    // How much of it the pieces so far hold.
    std::size_t done() const { return m_done; }
    // The next piece; empty at the end, and when the check met a character that would not come
    // back, which lost() then gives (an index into the normalised text).
    std::string_view next();
    std::optional<std::size_t> lost() const { return m_lost; }
    // From where the pieces stopped, the first character that would not come back, without
    // transforming anything.
    std::optional<std::size_t> findLost();
    // What the editor says of the character at `index` that would not come back.
    std::string lostMessage(std::size_t index) const;

private:
    // The next part of the normalised text, at most `room` bytes (room >= 2): a view of the raw
    // bytes themselves when nothing is normalised, else of m_scratch.
    std::string_view nextPart(std::size_t room);

    std::string_view m_raw;
    bool m_normalise;
    std::string m_key;
    bool m_encrypt;
    bool m_check;
    std::size_t m_size;
    std::size_t m_rawAt = 0;
    std::size_t m_done = 0;
    bool m_afterCr = false;
    std::optional<std::size_t> m_lost;
    std::string m_buffer;
    std::string m_scratch;
};

// Everything a file descriptor gives until its end (standard input: a pipe, a file, a device),
// held where the command reads it as one text: taken into a file in memory (memfd) and mapped.
// Pages of the kernel's file cache cost far less to fill than fresh pages of the process's own,
// and a file another program cuts short meanwhile cannot take pages from under the command.
// Throws std::bad_alloc when memory (or the process's address space) runs out, CommandError when
// the read fails.
class InputText final {
public:
    explicit InputText(int fd);
    ~InputText();
    InputText(const InputText&) = delete;
    InputText& operator=(const InputText&) = delete;

    std::string_view bytes() const { return {m_data, m_size}; }

private:
    const char* m_data = nullptr;
    std::size_t m_size = 0;
};
