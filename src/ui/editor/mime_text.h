#pragma once

#include <memory>

#include <QMimeData>
#include <QString>

#include "core/text_snapshot.h"

// What the editing area puts on the clipboard and takes from a drop.
namespace mime_text {

// The characters of the bytes as Unicode with the desktop's line breaks ('\n' for CR LF), a lone
// CR or LF as itself rather than its stand-in, and NUL left out.
QString ClipboardText(const TextPieces& bytes);

// The first local file a drag carries (a file manager's drag), or an empty text.
QString DraggedFile(const QMimeData* data);

}  // namespace mime_text

// A selection on the clipboard or in a drag. It holds the selected bytes as a snapshot (no copy
// until the text is edited there) and makes the characters only when some program asks for
// them, so that selecting or copying costs at most a copy of the bytes, however long.
class SelectionMimeData final : public QMimeData {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SelectionMimeData)

public:
    explicit SelectionMimeData(std::shared_ptr<const TextSnapshot> bytes);
    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    std::shared_ptr<const TextSnapshot> m_bytes;
};
