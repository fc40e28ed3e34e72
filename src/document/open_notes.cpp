#include "document/open_notes.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// The first byte above 0x7F at or after `at`, or the end. Text is mostly ASCII, so it is passed
// 32 bytes a step.
std::size_t NextHighByte(std::string_view bytes, std::size_t at)
{
    for (; at + 32 <= bytes.size(); at += 32) {
        std::uint64_t words[4];
        std::memcpy(words, bytes.data() + at, sizeof words);
        if (((words[0] | words[1] | words[2] | words[3]) & kHighBits) != 0)
            break;
    }
    while (at < bytes.size() && static_cast<std::uint8_t>(bytes[at]) < 0x80)
        ++at;
    return at;
}

bool IsContinuation(std::uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

}  // namespace

std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t at)
{
    if (at >= bytes.size())
        return 0;
    const auto lead = static_cast<std::uint8_t>(bytes[at]);
    std::size_t length = 0;
    // The second byte's range, narrower after some leads: no overlong form, no surrogate,
    // nothing beyond U+10FFFF.
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() - at < length)
        return 0;
    const auto second = static_cast<std::uint8_t>(bytes[at + 1]);
    if (second < low || second > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (!IsContinuation(static_cast<std::uint8_t>(bytes[at + k])))
            return 0;
    return length;
}

bool LooksLikeUtf8(std::string_view bytes)
{
    bool any = false;
    for (std::size_t at = NextHighByte(bytes, 0); at < bytes.size();
         at = NextHighByte(bytes, at)) {
        const std::size_t length = Utf8SequenceAt(bytes, at);
        if (length == 0)
            return false;  // a Windows-1252 letter, most likely: the text is what we assume
        any = true;
        at += length;
    }
    return any;
}

std::vector<std::string> OpenNotes(std::string_view text, TLoneBreaks lone)
{
    std::vector<std::string> notes;
    if (LooksLikeUtf8(text))
        notes.push_back(Tr(kUtf8Note));
    if (lone.lf > 0 || lone.cr > 0) {
        const std::string kinds = lone.cr == 0   ? "LF"
                                  : lone.lf == 0 ? "CR"
                                                 : Tr(QT_TRANSLATE_NOOP("Plimo", "LF and CR"));
        notes.push_back(Tr(QT_TRANSLATE_NOOP("Plimo", "Line breaks were ")) + kinds +
                        Tr(QT_TRANSLATE_NOOP("Plimo", ": Save writes CR LF")));
    }
    return notes;
}
