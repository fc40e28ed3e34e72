#include "ui/editor/mime_text.h"

#include <new>

#include <QUrl>

#include "core/win1252.h"

namespace mime_text {

QString ClipboardText(const TextPieces& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0)
            continue;
        if (b == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
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

namespace {
const QString kPlainText = QStringLiteral("text/plain");
}

SelectionMimeData::SelectionMimeData(std::shared_ptr<const TextSnapshot> bytes)
    : m_bytes(std::move(bytes))
{
}

QStringList SelectionMimeData::formats() const
{
    return {kPlainText};
}

bool SelectionMimeData::hasFormat(const QString& mimeType) const
{
    return mimeType == kPlainText;
}

QVariant SelectionMimeData::retrieveData(const QString& mimeType, QMetaType) const
{
    if (mimeType != kPlainText)
        return {};
    try {
        return mime_text::ClipboardText(m_bytes->pieces());
    } catch (const std::bad_alloc&) {
        // Asked for more characters than memory holds: the other program gets none, and the
        // text here is untouched.
        return {};
    }
}
