#include "ui/common/display_text.h"

#include <cstdint>

#include "core/win1252.h"

namespace display_text {

QString FromBytes(std::string_view bytes)
{
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[static_cast<qsizetype>(i)] =
            QChar(win1252::ToUnicode(static_cast<std::uint8_t>(bytes[i])));
    return out;
}

std::string ToBytes(QStringView text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const int b = win1252::FromUnicode(c.unicode());
        out += static_cast<char>(b < 0 ? '?' : b);
    }
    return out;
}

QString LinesFromBytes(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (byte == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            text += QLatin1Char('\n');
        } else {
            text += QChar(win1252::ToUnicode(byte));
        }
    }
    return text;
}

QString FromUtf8(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString MenuCaption(std::string_view bytes)
{
    QString caption = FromBytes(bytes);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return caption;
}

}  // namespace display_text
