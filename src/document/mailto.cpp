#include "document/mailto.h"

#include "core/win1252.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";

constexpr bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string PercentEncode(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const unsigned char c : bytes) {
        if (IsUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string BuildMailtoRequest(std::string_view text)
{
    // The standard header form (RFC 6068): mail programs read "subject" and "body" as fields. A
    // "mailto:" field before them made one program read the subject as a field "mailto:&subject".
    std::string request = "mailto:?subject=" + PercentEncode(kMailSubject) + "&body=";
    // Encoding the whole text at once turns each CR LF between lines into "%0D%0A" already;
    // only a last line without its own break still needs one. A text ending in CR LF has an
    // empty last line, which is not counted.
    request += PercentEncode(win1252::ToUtf8(text));
    if (!text.empty() && !text.ends_with(kLineBreak))
        request += PercentEncode(kLineBreak);
    return request;
}
