#include "ui/editor/mime_text.h"

#include <QMimeData>
#include <QUrl>

#include "core/win1252.h"

namespace mime_text {

QString ClipboardText(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0)
            continue;
        if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            text += u'\n';
            ++i;
            continue;
        }
        text += QChar(win1252::ToUnicode(b));
    }
    return text;
}

QString DraggedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

}  // namespace mime_text
