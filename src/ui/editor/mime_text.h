#pragma once

#include <string_view>

#include <QString>

class QMimeData;

// What the editing area puts on the clipboard and takes from a drop.
namespace mime_text {

// The characters of the bytes as Unicode with the desktop's line breaks ('\n' for CR LF), a lone
// CR or LF as itself rather than its stand-in, and NUL left out.
QString ClipboardText(std::string_view bytes);

// The first local file a drag carries (a file manager's drag), or an empty text.
QString DraggedFile(const QMimeData* data);

}  // namespace mime_text
