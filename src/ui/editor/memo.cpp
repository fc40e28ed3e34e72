#include "ui/editor/memo.h"

#include <algorithm>
#include <cstring>

#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocument>

#include "ui/editor/font_size.h"
#include "ui/editor/mime_text.h"
#include "ui/editor/text_codec.h"

Memo::Memo(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
    connect(document(), &QTextDocument::contentsChange, this, &Memo::onContentsChange);
}

const std::string& Memo::bytes() const
{
    if (!m_bytesValid) {
        m_bytes = text_codec::QtRawToBytes(document()->toRawText());
        m_gapStart = m_bytes.size();
        m_gapLen = 0;
        m_bytesValid = true;
    } else if (m_gapLen > 0) {
        const std::size_t tail = m_bytes.size() - m_gapStart - m_gapLen;
        std::memmove(m_bytes.data() + m_gapStart, m_bytes.data() + m_gapStart + m_gapLen, tail);
        m_bytes.resize(m_bytes.size() - m_gapLen);
        m_gapStart = m_bytes.size();
        m_gapLen = 0;
    }
    return m_bytes;
}

void Memo::setBytes(std::string_view bytes)
{
    m_settingText = true;
    setPlainText(text_codec::BytesToQt(bytes));
    m_settingText = false;
    // Keep the bytes we were given: reading them back out of the document costs a full pass.
    // Room beyond them lets the first edit open its gap without moving the whole text.
    m_bytes.clear();
    m_bytes.reserve(bytes.size() + bytes.size() / 64 + 4096);
    m_bytes.assign(bytes);
    m_gapStart = m_bytes.size();
    m_gapLen = 0;
    m_bytesValid = true;
}

void Memo::invalidateBytes()
{
    m_bytesValid = false;
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_gapStart = m_gapLen = 0;
}

void Memo::moveGap(std::size_t bytePos)
{
    char* data = m_bytes.data();
    if (bytePos < m_gapStart)
        std::memmove(data + bytePos + m_gapLen, data + bytePos, m_gapStart - bytePos);
    else if (bytePos > m_gapStart)
        std::memmove(data + m_gapStart, data + m_gapStart + m_gapLen, bytePos - m_gapStart);
    m_gapStart = bytePos;
}

void Memo::onContentsChange(int position, int charsRemoved, int charsAdded)
{
    if (m_settingText || !m_bytesValid)
        return;
    // The text before the change is as it was, so its block breaks are the same in bytes.
    const std::size_t bytePos = static_cast<std::size_t>(toBytePos(position));
    const std::size_t content = m_bytes.size() - m_gapLen;
    if (bytePos > content || charsRemoved < 0 || charsAdded < 0) {
        invalidateBytes();
        return;
    }
    moveGap(bytePos);

    // Removed: as many document characters as were taken out; a CR LF pair is one of them.
    std::size_t p = m_gapStart + m_gapLen;
    const std::size_t end = m_bytes.size();
    for (int i = 0; i < charsRemoved; ++i) {
        if (p >= end) {
            invalidateBytes();
            return;
        }
        p += (m_bytes[p] == '\r' && p + 1 < end && m_bytes[p + 1] == '\n') ? 2 : 1;
    }
    m_gapLen = p - m_gapStart;

    // Added: the new characters, read from the document.
    std::string added;
    if (charsAdded > 0) {
        QTextCursor c(document());
        c.setPosition(position);
        c.setPosition(position + charsAdded, QTextCursor::KeepAnchor);
        added = text_codec::QtRawToBytes(c.selectedText());
    }
    if (added.size() > m_gapLen) {
        const std::size_t grow =
            added.size() - m_gapLen + std::max<std::size_t>(4096, content / 64);
        m_bytes.insert(m_gapStart + m_gapLen, grow, '\0');
        m_gapLen += grow;
    }
    std::memcpy(m_bytes.data() + m_gapStart, added.data(), added.size());
    m_gapStart += added.size();
    m_gapLen -= added.size();

    // A cheap check that the kept bytes and the document still agree in length; should they
    // ever part, the next read rebuilds the bytes from the document.
    if (static_cast<qsizetype>(m_bytes.size() - m_gapLen) != documentByteLength())
        invalidateBytes();
}

bool Memo::isEmpty() const
{
    return document()->isEmpty();
}

qsizetype Memo::byteLength() const
{
    if (m_bytesValid)
        return static_cast<qsizetype>(m_bytes.size() - m_gapLen);
    return documentByteLength();
}

qsizetype Memo::documentByteLength() const
{
    // Characters plus one for each block break (CR LF is two bytes, one Qt character).
    return document()->characterCount() - 1 + document()->blockCount() - 1;
}

qsizetype Memo::toBytePos(int qtPos) const
{
    return qtPos + document()->findBlock(qtPos).blockNumber();
}

int Memo::toQtPos(qsizetype bytePos) const
{
    // A block's first Qt position plus its number is its first byte position; find the last
    // block that starts at or before bytePos by bisection over block numbers.
    const QTextDocument* doc = document();
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        const QTextBlock b = doc->findBlockByNumber(mid);
        if (b.position() + mid <= bytePos)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const qsizetype offset = bytePos - (block.position() + lo);
    // A position inside a CR LF pair (after the CR) lands at the end of the line.
    return block.position() +
           static_cast<int>(std::clamp<qsizetype>(offset, 0, block.length() - 1));
}

qsizetype Memo::selStart() const
{
    return toBytePos(textCursor().selectionStart());
}

qsizetype Memo::selLength() const
{
    const QTextCursor c = textCursor();
    return toBytePos(c.selectionEnd()) - toBytePos(c.selectionStart());
}

void Memo::select(qsizetype start, qsizetype length)
{
    const qsizetype total = byteLength();
    start = std::clamp<qsizetype>(start, 0, total);
    length = std::clamp<qsizetype>(length, 0, total - start);
    QTextCursor c(document());
    c.setPosition(toQtPos(start));
    c.setPosition(toQtPos(start + length), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

std::string Memo::selectedBytes() const
{
    const QString sel = textCursor().selectedText();  // blocks joined by U+2029
    return text_codec::QtRawToBytes(sel);
}

void Memo::setPointSize(int points)
{
    setFont(font_size::WithPoints(font(), points, logicalDpiY()));
}

int Memo::pointSize() const
{
    return font_size::Points(font(), logicalDpiY());
}

void Memo::setFamily(const QString& family)
{
    QFont f = font();
    f.setFamily(family);
    setFont(f);
}

QString Memo::family() const
{
    return font().family();
}

void Memo::keyPressEvent(QKeyEvent* event)
{
    // Shift+Enter would insert a line separator, which has no byte: a line break it is.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    // Every key that types something is checked, not only printable ones: the widget also
    // takes format characters (U+200F) and characters beyond the 16-bit range (emoji), and
    // neither has a byte.
    const QString typed = event->text();
    const bool typesText = std::any_of(typed.cbegin(), typed.cend(), [](QChar c) {
        return c.unicode() >= u' ' && c.unicode() != u'\x7f';
    });
    if (typesText) {
        const QString clean = text_codec::SanitizeInput(typed);
        if (clean != typed) {
            insertPlainText(clean);
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void Memo::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    const QString clean = text_codec::SanitizeInput(commit);
    if (clean != commit) {
        QInputMethodEvent replaced(event->preeditString(), event->attributes());
        replaced.setCommitString(clean, event->replacementStart(), event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&replaced);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void Memo::insertFromMimeData(const QMimeData* source)
{
    if (source && source->hasText())
        insertPlainText(text_codec::SanitizeInput(source->text()));
}

QMimeData* Memo::createMimeDataFromSelection() const
{
    // The clipboard gets the characters as Unicode with the desktop's line breaks.
    const QString text = mime_text::ClipboardText(selectedBytes());
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

void Memo::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QPlainTextEdit::mousePressEvent(event);
}

void Memo::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    const bool inside = viewport()->rect().contains(event->position().toPoint());
    if (m_pressed && event->button() == Qt::LeftButton && inside) {
        m_pressed = false;
        emit clicked();
    }
}

// A dragged file is taken whole, as a document to open; dragged text goes in as text.
void Memo::dragEnterEvent(QDragEnterEvent* event)
{
    if (mime_text::DraggedFile(event->mimeData()).isEmpty())
        QPlainTextEdit::dragEnterEvent(event);
    else
        event->acceptProposedAction();
}

void Memo::dragMoveEvent(QDragMoveEvent* event)
{
    if (mime_text::DraggedFile(event->mimeData()).isEmpty())
        QPlainTextEdit::dragMoveEvent(event);
    else
        event->acceptProposedAction();
}

void Memo::dropEvent(QDropEvent* event)
{
    const QString file = mime_text::DraggedFile(event->mimeData());
    if (file.isEmpty()) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    emit fileDropped(file);
}
