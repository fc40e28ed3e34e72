#include "cipher/whole_number.h"

#include "core/command_error.h"
#include "core/translate.h"
#include "core/win1252.h"

namespace {

int DigitValue(char ch, bool hex)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (hex && ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (hex && ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }

    if (i == text.size())
        return std::nullopt;  // no digits at all: "", "  ", "-", "$", "0x"

    // The magnitude may reach 2^31 only for a negative value; stop as soon as it passes that,
    // so that any number of digits is safe.
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    const int base = hex ? 16 : 10;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], hex);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t StrToInt(std::string_view text)
{
    if (const auto value = TryStrToInt(text))
        return *value;
    throw CommandError(NotAnIntegerMessage(text));
}

std::string NotAnIntegerMessage(std::string_view text)
{
    // Appended piece by piece: "literal" + std::string trips a false -Wrestrict in g++ 12 at -O3.
    std::string message = "'";
    message += win1252::ToUtf8(text);
    message += Tr(QT_TRANSLATE_NOOP("Plimo", "' is not a valid integer value."));
    return message;
}
