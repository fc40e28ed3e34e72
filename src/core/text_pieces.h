#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A run of the text's bytes that may straddle the gap of the buffer: the bytes of `first`,
// then those of `second`. Valid until the next edit.
struct TextPieces {
    std::string_view first;
    std::string_view second;

    std::size_t size() const { return first.size() + second.size(); }
    char operator[](std::size_t i) const
    {
        return i < first.size() ? first[i] : second[i - first.size()];
    }
    // The bytes [pos, pos + len) of the run, clamped to it.
    TextPieces sub(std::size_t pos, std::size_t len) const
    {
        pos = pos < size() ? pos : size();
        len = len < size() - pos ? len : size() - pos;
        if (pos >= first.size())
            return {second.substr(pos - first.size(), len), {}};
        const std::size_t inFirst = first.size() - pos < len ? first.size() - pos : len;
        return {first.substr(pos, inFirst), second.substr(0, len - inFirst)};
    }
    std::string copy() const
    {
        std::string out;
        out.reserve(size());
        out.append(first).append(second);
        return out;
    }
};
