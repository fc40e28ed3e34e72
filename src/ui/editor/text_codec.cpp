#include "ui/editor/text_codec.h"

#include <QChar>

#include "core/win1252.h"

namespace text_codec {

std::string InputToBytes(QStringView text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            out += "\r\n";
            ++i;
        } else if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator) {
            out += "\r\n";
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += '?';
            ++i;
        } else {
            // A NUL from outside is no character anyone meant to type.
            const int byte = c == 0 ? -1 : win1252::FromUnicode(c);
            out += static_cast<char>(byte < 0 ? '?' : byte);
        }
    }
    return out;
}

}  // namespace text_codec
