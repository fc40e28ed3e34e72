// Find and replace without regard to case, against a plain reference: whole upper-cased copies
// made byte by byte from the upper-casing table, std::string::find, and a naive left-to-right
// replacement.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/upper1252.h"
#include "document/find_replace.h"
#include "fuzz_support.h"

namespace {

std::string TableUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(win1252::kUpperTable[static_cast<std::uint8_t>(c)]);
    return out;
}

// The other spelling of a letter (its small letter for a capital, its capital for a small one);
// other bytes stay.
char OtherCase(char c)
{
    const std::uint8_t upper = win1252::kUpperTable[static_cast<std::uint8_t>(c)];
    if (upper != static_cast<std::uint8_t>(c))
        return static_cast<char>(upper);
    for (int b = 0; b < 256; ++b)
        if (b != upper && win1252::kUpperTable[b] == upper)
            return static_cast<char>(b);
    return c;
}

FindOutcome ReferenceFindFrom(std::string_view whole, std::int32_t start, std::string_view needle)
{
    const std::size_t skip = start > 0 ? static_cast<std::size_t>(start) : 0;
    if (needle.empty() || skip >= whole.size())
        return {};
    const std::size_t hit = TableUpper(whole).find(TableUpper(needle), skip);
    if (hit == std::string::npos)
        return {};
    const std::size_t next = hit + needle.size();
    const bool startOver = whole.size() - next < needle.size();
    return {static_cast<std::int32_t>(hit), startOver ? 0 : static_cast<std::int32_t>(next)};
}

std::optional<std::string> ReferenceReplaceAll(std::string_view text, std::string_view from,
                                               std::string_view to)
{
    if (from.empty())
        return std::nullopt;
    const std::string sought = TableUpper(from);
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.size() - i >= from.size() && TableUpper(text.substr(i, from.size())) == sought) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    if (out == text)
        return std::nullopt;
    return out;
}

std::string Describe(std::string_view text, std::string_view needle)
{
    return "text " + fuzz::Hex(text) + ", needle " + fuzz::Hex(needle);
}

std::string Show(const std::optional<std::string>& text)
{
    return text ? fuzz::Hex(*text) : std::string("nothing");
}

}  // namespace

// Bytes 0-1: the needle's and the replacement's lengths; bytes 2-3: the start of the search
// (signed); byte 4: bit 0 takes the needle from the text at byte 5 (so that hits are common),
// bit 1 turns its letters to the other case. Then the needle unless taken from the text, the
// replacement, and the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::InputReader reader(data, size);
    const std::size_t needleLength = reader.Byte() % 24;
    const std::size_t replacementLength = reader.Byte() % 24;
    const std::uint8_t startLow = reader.Byte();
    const std::uint8_t startHigh = reader.Byte();
    const std::uint8_t mode = reader.Byte();
    const std::uint8_t offset = reader.Byte();
    const bool needleFromText = (mode & 1) != 0;
    std::string needle(needleFromText ? std::string_view() : reader.Bytes(needleLength));
    const std::string_view replacement = reader.Bytes(replacementLength);
    const std::string_view text = reader.Rest();
    if (needleFromText && !text.empty())
        needle = text.substr(offset % text.size(), needleLength);
    if (mode & 2)
        for (char& c : needle)
            c = OtherCase(c);

    auto start = static_cast<std::int32_t>(static_cast<std::int16_t>(startLow | startHigh << 8));
    if (start > 0)
        start %= static_cast<std::int32_t>(text.size() + 2);

    const std::string upper = win1252::UpperCopy(text);
    FUZZ_CHECK(upper == TableUpper(text),
               "UpperCopy(" + fuzz::Hex(text) + ") gave " + fuzz::Hex(upper));

    const FindOutcome got = FindFrom(text, start, needle);
    const FindOutcome expected = ReferenceFindFrom(text, start, needle);
    FUZZ_CHECK(got.Hit == expected.Hit && got.FindNext == expected.FindNext,
               "FindFrom from " + std::to_string(start) + " gave " + std::to_string(got.Hit) + "/" +
                   std::to_string(got.FindNext) + ", expected " + std::to_string(expected.Hit) +
                   "/" + std::to_string(expected.FindNext) + " for " + Describe(text, needle));

    // The finder itself, from every kind of position, past the end included.
    const TextFinder finder(needle);
    const std::size_t from = offset % (text.size() + 3);
    const std::size_t found = finder.FindIn(text, from);
    const std::size_t reference =
        needle.empty() ? std::string::npos : upper.find(TableUpper(needle), from);
    FUZZ_CHECK(found == reference,
               "FindIn from " + std::to_string(from) + " gave " + std::to_string(found) +
                   ", expected " + std::to_string(reference) + " for " + Describe(text, needle));

    const auto replaced = ReplaceAll(text, needle, replacement);
    const auto replacedReference = ReferenceReplaceAll(text, needle, replacement);
    FUZZ_CHECK(replaced == replacedReference, "ReplaceAll gave " + Show(replaced) +
                                                  ", expected " + Show(replacedReference) +
                                                  " for " + Describe(text, needle) +
                                                  ", replacement " + fuzz::Hex(replacement));
    return 0;
}
