// The mailto: request: always a valid URI, and its body decodes back to the text's lines, each
// followed by CR LF, in UTF-8.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/win1252.h"
#include "document/mailto.h"
#include "fuzz_support.h"

namespace {

constexpr std::string_view kPrefix = "mailto:?subject=Subject%20here&body=";
constexpr std::string_view kUpperHex = "0123456789ABCDEF";

bool IsUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// The bytes of a percent-encoded text, or nothing when it is not in the one form the encoder
// may write: unreserved characters as they are, every other byte as "%" and two capital hex
// digits.
std::optional<std::string> StrictDecode(std::string_view encoded)
{
    std::string bytes;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (IsUnreserved(encoded[i])) {
            bytes += encoded[i];
            continue;
        }
        if (encoded[i] != '%' || encoded.size() - i < 3)
            return std::nullopt;
        const std::size_t high = kUpperHex.find(encoded[i + 1]);
        const std::size_t low = kUpperHex.find(encoded[i + 2]);
        if (high == std::string_view::npos || low == std::string_view::npos)
            return std::nullopt;
        const char byte = static_cast<char>(high * 16 + low);
        if (IsUnreserved(byte))
            return std::nullopt;  // needlessly encoded
        bytes += byte;
        i += 2;
    }
    return bytes;
}

void AppendUtf8(char32_t ch, std::string& out)
{
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | ch >> 6);
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | ch >> 12);
        out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

// Every byte's character, encoded here rather than by the code under test.
std::string ReferenceUtf8(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes)
        AppendUtf8(win1252::ToUnicode(static_cast<std::uint8_t>(c)), out);
    return out;
}

// The editing area's lines are split at CR LF; a last line that is empty is not sent.
std::string ExpectedBody(std::string_view text)
{
    std::string body;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        const std::string_view line = text.substr(start, end - start);
        if (end == std::string_view::npos) {
            if (!line.empty())
                body += win1252::ToUtf8(line) + "\r\n";
            return body;
        }
        body += win1252::ToUtf8(line) + "\r\n";
        start = end + 2;
    }
}

void CheckCharacterTable()
{
    for (int b = 0; b < 256; ++b) {
        const char16_t ch = win1252::ToUnicode(static_cast<std::uint8_t>(b));
        FUZZ_CHECK(win1252::FromUnicode(ch) == b,
                   "byte " + std::to_string(b) + " does not come back from its character");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool tableChecked = (CheckCharacterTable(), true);
    (void)tableChecked;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::string utf8 = win1252::ToUtf8(text);
    FUZZ_CHECK(utf8 == ReferenceUtf8(text),
               "ToUtf8(" + fuzz::Hex(text) + ") gave " + fuzz::Hex(utf8));

    const auto encoded = StrictDecode(PercentEncode(text));
    FUZZ_CHECK(encoded && *encoded == text,
               "PercentEncode(" + fuzz::Hex(text) + ") gave " + fuzz::Hex(PercentEncode(text)));

    const std::string request = BuildMailtoRequest(text);
    FUZZ_CHECK(request.starts_with(kPrefix), "request " + request);
    const auto body = StrictDecode(std::string_view(request).substr(kPrefix.size()));
    FUZZ_CHECK(body.has_value(), "not a valid URI: " + request);
    const std::string expected = ExpectedBody(text);
    FUZZ_CHECK(*body == expected, "body " + fuzz::Hex(*body) + ", expected " + fuzz::Hex(expected) +
                                      " for text " + fuzz::Hex(text));
    return 0;
}
