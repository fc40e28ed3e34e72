// The document loader: line-break normalisation (whole, and a piece at a time with the place of
// a character) and its exact inverse, the check that every break
// is CR LF already at each offset from a 64-byte block edge, and LoadDocument on a real file, with
// capacities around the text's size so that the refusal is met as often as not.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_error.h"
#include "document/document_file.h"
#include "document/file_messages.h"
#include "fuzz_support.h"

namespace {

// The texts between line breaks, where a break is CR LF, a lone CR or a lone LF; one more text
// than there are breaks.
std::vector<std::string_view> SplitAtAnyBreak(std::string_view bytes)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (bytes[i] != '\r' && bytes[i] != '\n') {
            ++i;
            continue;
        }
        pieces.push_back(bytes.substr(start, i - start));
        i += bytes.substr(i, 2) == "\r\n" ? 2 : 1;
        start = i;
    }
    pieces.push_back(bytes.substr(start));
    return pieces;
}

// The texts between CR LF pairs only.
std::vector<std::string_view> SplitAtCrLf(std::string_view bytes)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t at; (at = bytes.find("\r\n", start)) != std::string_view::npos; start = at + 2)
        pieces.push_back(bytes.substr(start, at - start));
    pieces.push_back(bytes.substr(start));
    return pieces;
}

bool HasLoneBreak(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return true;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return true;
    }
    return false;
}

std::string WithoutBreaks(std::string_view bytes)
{
    std::string kept;
    for (const char c : bytes)
        if (c != '\r' && c != '\n')
            kept += c;
    return kept;
}

std::string Describe(std::string_view input, std::string_view got)
{
    return "input " + fuzz::Hex(input) + " gave " + fuzz::Hex(got);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile file("document.txt");
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string out = NormaliseLineBreaks(input);

    FUZZ_CHECK(!HasLoneBreak(out), Describe(input, out));
    FUZZ_CHECK(NormaliseLineBreaks(out) == out, Describe(input, out));
    // The inverse: the text between breaks is kept piece by piece, so reading every CR LF of the
    // output back as a break gives exactly the input's lines.
    const std::vector<std::string_view> lines = SplitAtAnyBreak(input);
    FUZZ_CHECK(SplitAtCrLf(out) == lines, Describe(input, out));
    FUZZ_CHECK(WithoutBreaks(out) == WithoutBreaks(input), Describe(input, out));
    // Each lone CR and each lone LF gains exactly one byte.
    std::size_t loneBreaks = 0;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const bool crAlone = input[i] == '\r' && (i + 1 == size || input[i + 1] != '\n');
        const bool lfAlone = input[i] == '\n' && (i == 0 || input[i - 1] != '\r');
        loneBreaks += crAlone || lfAlone;
    }
    FUZZ_CHECK(out.size() == input.size() + loneBreaks, Describe(input, out));

    // A piece at a time, cut where the input's own bytes say (a CR LF between two pieces too),
    // as plimo-cipher normalises a file too large to hold twice.
    std::string inPieces(2 * input.size(), '\0');
    std::size_t written = 0;
    bool afterCr = false;
    for (std::size_t at = 0, n = 0; at < input.size(); ++n) {
        const std::size_t length = std::min<std::size_t>(input.size() - at, 1 + data[n % size] % 7);
        written += NormalisePiece(input.substr(at, length), afterCr, inPieces.data() + written);
        at += length;
    }
    inPieces.resize(written);
    FUZZ_CHECK(inPieces == out, Describe(input, inPieces) + ", whole " + fuzz::Hex(out));
    FUZZ_CHECK(NormalisedSize(input) == out.size(), Describe(input, out));
    // Where a character of the normalised text is, as the editing area counts lines and columns,
    // and which byte of the input it is; some characters, spread over the text.
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r' && out[i + 1] == '\n') {
            ++line;
            lineStart = i + 2;
            ++i;
        } else if (i % 61 == size % 61) {
            const TTextPlace place = PlaceInNormalised(input, i);
            FUZZ_CHECK(place.line == line && place.column == i - lineStart + 1 &&
                           input[place.offset] == out[i],
                       "place of " + std::to_string(i) + ": " + Describe(input, out));
        }
    }

    // The check reads 64-byte blocks: the input after each count of leading bytes that are no
    // break puts each of its bytes at each place in a block, and its end at each place too.
    FUZZ_CHECK(AllBreaksCrLf(out) && detail::AllBreaksCrLfBaseline(out), Describe(input, out));
    const std::string shifted = std::string(63, 'x') + std::string(input);
    for (std::size_t lead = 0; lead < 64; ++lead) {
        const std::string_view view = std::string_view(shifted).substr(63 - lead);
        FUZZ_CHECK(AllBreaksCrLf(view) == (loneBreaks == 0),
                   "after " + std::to_string(lead) + " bytes: input " + fuzz::Hex(input));
        FUZZ_CHECK(detail::AllBreaksCrLfBaseline(view) == (loneBreaks == 0),
                   "baseline, after " + std::to_string(lead) + " bytes: input " +
                       fuzz::Hex(input));
    }

    // The last byte picks the capacity: the default, exactly the normalised size, one less, the
    // raw size (which a growing text overflows), or a small one.
    const std::uint8_t pick = size > 0 ? data[size - 1] : 0;
    std::size_t capacity = kMemoCapacity;
    switch (pick % 5) {
        case 1:
            capacity = out.size();
            break;
        case 2:
            capacity = out.empty() ? 0 : out.size() - 1;
            break;
        case 3:
            capacity = input.size();
            break;
        case 4:
            capacity = pick / 5;
            break;
    }

    file.Write(input);
    try {
        const std::string loaded = LoadDocument(file.Path(), capacity);
        FUZZ_CHECK(out.size() <= capacity, "capacity " + std::to_string(capacity) +
                                               " not enforced: " + Describe(input, loaded));
        FUZZ_CHECK(loaded == out,
                   Describe(input, loaded) + ", NormaliseLineBreaks " + fuzz::Hex(out));
    } catch (const CommandError& error) {
        FUZZ_CHECK(out.size() > capacity, "refused within capacity " + std::to_string(capacity) +
                                              ": " + error.what() + "; input " + fuzz::Hex(input));
        FUZZ_CHECK(std::string_view(error.what()) == kTextExceedsCapacity,
                   std::string("wrong message: ") + error.what());
    }
    return 0;
}
