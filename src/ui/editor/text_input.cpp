#include "ui/editor/text_input.h"

#include <algorithm>
#include <limits>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>

#include "ui/editor/mime_text.h"
#include "ui/editor/text_view.h"

namespace {

// Ctrl+Y redoes as well as the desktop's own key for it (Ctrl+Shift+Z on most Linux desktops):
// users come from both habits.
bool IsRedo(const QKeyEvent* key)
{
    return key->matches(QKeySequence::Redo) ||
           (key->key() == Qt::Key_Y && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier);
}

bool Near(QPoint a, QPoint b)
{
    return (a - b).manhattanLength() < QApplication::startDragDistance();
}

}  // namespace

TextInput::TextInput(TextView& view) : m_view(view), m_dropCaret(PaintMarks::kNone)
{
    m_autoScroll.setInterval(50);
    QObject::connect(&m_autoScroll, &QTimer::timeout, &view, [this] { autoScroll(); });
}

void TextInput::moveCaret(std::size_t pos, bool keepAnchor, unsigned flags)
{
    m_view.setSelection(keepAnchor ? m_view.m_anchor : pos, pos, flags);
}

// ---- keys

bool TextInput::takesShortcut(QKeyEvent* key) const
{
    const bool plain =
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    return key->matches(QKeySequence::Undo) || IsRedo(key) || key->matches(QKeySequence::Copy) ||
           key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste) ||
           key->matches(QKeySequence::SelectAll) || (plain && !key->text().isEmpty());
}

void TextInput::deleteByKey(bool backward, bool word)
{
    const ByteText& text = m_view.m_text;
    const std::size_t pos = m_view.m_caret;
    if (m_view.selLength() > 0) {
        m_view.edit(m_view.selStart(), m_view.selLength(), {}, TextView::EditKind::Other);
        return;
    }
    // One character at a time joins the one before in the undo history; a word does not.
    const auto kind = word ? TextView::EditKind::Other : TextView::EditKind::Deleting;
    if (backward && pos > 0) {
        const std::size_t from = word ? caret::PreviousWord(text, pos) : caret::PreviousChar(text, pos);
        m_view.edit(from, pos - from, {}, kind);
    } else if (!backward && pos < text.size()) {
        const std::size_t to = word ? caret::NextWord(text, pos) : caret::NextChar(text, pos);
        m_view.edit(pos, to - pos, {}, kind);
    }
}

void TextInput::keyPress(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const ByteText& text = m_view.m_text;
    RowLayout& rows = m_view.m_rows;
    const std::size_t pos = m_view.m_caret;
    if (event->matches(QKeySequence::Undo)) {
        m_view.undo();
    } else if (IsRedo(event)) {
        m_view.redo();
    } else if (event->matches(QKeySequence::Copy)) {
        m_view.copy();
    } else if (event->matches(QKeySequence::Cut)) {
        m_view.cut();
    } else if (event->matches(QKeySequence::Paste)) {
        m_view.paste();
    } else if (event->matches(QKeySequence::SelectAll)) {
        m_view.selectAll();
    } else {
        switch (event->key()) {
        case Qt::Key_Left:
            if (!shift && !ctrl && m_view.selLength() > 0)
                moveCaret(m_view.selStart(), false);
            else
                moveCaret(ctrl ? caret::PreviousWord(text, pos) : caret::PreviousChar(text, pos), shift);
            break;
        case Qt::Key_Right:
            if (!shift && !ctrl && m_view.selLength() > 0)
                moveCaret(m_view.selStart() + m_view.selLength(), false);
            else
                moveCaret(ctrl ? caret::NextWord(text, pos) : caret::NextChar(text, pos), shift);
            break;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            const bool down = event->key() == Qt::Key_Down || event->key() == Qt::Key_PageDown;
            const bool page = event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
            const long count = page ? m_view.visibleRows() : 1;
            if (page)
                rows.setTop(rows.moved(rows.top(), down ? count : -count));
            if (m_view.m_goalX < 0)
                m_view.m_goalX = rows.xOf(pos);
            // The page keys stop on the first or last row, in the column; Up and Down there go to
            // the start or the end.
            moveCaret(rows.vertical(pos, down ? count : -count, m_view.m_goalX, page),
                      shift, TextView::kKeepGoalX);
            break;
        }
        case Qt::Key_Home:
        case Qt::Key_End: {
            const bool home = event->key() == Qt::Key_Home;
            if (ctrl)
                moveCaret(home ? 0 : text.size(), shift);
            else if (home)
                moveCaret(rows.startOf(rows.rowOf(pos)), shift);
            else
                moveCaret(rows.endOf(rows.rowOf(pos)), shift);
            break;
        }
        case Qt::Key_Backspace:
            deleteByKey(true, ctrl);
            break;
        case Qt::Key_Delete:
            if (shift && !ctrl)
                m_view.cut();
            else
                deleteByKey(false, ctrl);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Shift+Enter too: a line break is the one break the text knows.
            m_view.edit(m_view.selStart(), m_view.selLength(), "\r\n", TextView::EditKind::Typing);
            break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            m_view.edit(m_view.selStart(), m_view.selLength(), "\t", TextView::EditKind::Typing);
            break;
        default: {
            // Every key that types something: format characters and characters beyond the
            // 16-bit range too, which have no byte and become '?'.
            const QString typed = event->text();
            const bool typesText = !ctrl && std::any_of(typed.cbegin(), typed.cend(), [](QChar c) {
                return c.unicode() >= u' ' && c.unicode() != u'\x7f';
            });
            if (!typesText) {
                event->ignore();
                return;
            }
            m_view.insertText(typed, TextView::EditKind::Typing);
        }
        }
    }
    event->accept();
}

void TextInput::inputMethod(QInputMethodEvent* event)
{
    m_preedit = m_view.m_readOnly ? QString() : event->preeditString();
    if (!event->commitString().isEmpty())
        m_view.insertText(event->commitString(), TextView::EditKind::Typing);
    m_view.viewport()->update();
    event->accept();
}

QVariant TextInput::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const ByteText& text = m_view.m_text;
    const std::size_t caretPos = m_view.m_caret;
    switch (query) {
    case Qt::ImEnabled:
        return !m_view.m_readOnly;
    case Qt::ImCursorRectangle: {
        const QPointF at = m_view.pointOf(caretPos);
        return QRectF(at, QSizeF(1, m_view.m_painter.lineHeight()))
            .translated(m_view.viewport()->pos())
            .toRect();
    }
    case Qt::ImFont:
        return m_view.m_painter.font();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition: {
        const std::size_t pos = query == Qt::ImCursorPosition ? caretPos : m_view.m_anchor;
        const std::size_t lineStart = text.lineStart(text.lineOf(caretPos));
        return static_cast<int>(std::min<std::size_t>(pos > lineStart ? pos - lineStart : 0, 1 << 20));
    }
    case Qt::ImSurroundingText: {
        const std::size_t line = text.lineOf(caretPos);
        const std::size_t start = text.lineStart(line);
        const std::size_t len = std::min<std::size_t>(text.lineEnd(line) - start, 1 << 20);
        return mime_text::ClipboardText(text.pieces(start, len));
    }
    default:
        return {};
    }
}

// ---- mouse, as the desktop's text boxes take it

void TextInput::mousePress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    m_pressPoint = m_mouse = point;
    m_mayDrag = false;
    m_pressed = m_clicking = true;
    if (m_sinceDoubleClick.isValid() &&
        m_sinceDoubleClick.elapsed() < QApplication::doubleClickInterval() &&
        Near(point, m_doubleClickPoint)) {
        // The third click of a triple click: the caret's line with its break.
        m_sinceDoubleClick.invalidate();
        m_line = caret::LineAt(m_view.m_text, m_view.m_caret);
        m_view.setSelection(m_line->start, m_line->end);
        return;
    }
    const std::size_t pos = m_view.positionAt(point);
    if (event->modifiers() == Qt::ShiftModifier) {
        if (m_line)
            extendByLines(pos, 0);
        else if (m_word)
            extendByWords(pos, point.x(), 0);
        else
            moveCaret(pos, true);
        return;
    }
    // Pressed on the selected text itself (not past the end of its line): it may be dragged.
    const ByteText& text = m_view.m_text;
    const std::size_t start = m_view.selStart();
    const bool overText = pos < text.lineEnd(text.lineOf(pos)) || point.x() <= m_view.pointOf(pos).x() + 1;
    if (m_view.selLength() > 0 && pos >= start && pos <= start + m_view.selLength() && overText) {
        m_mayDrag = true;
        return;
    }
    m_word.reset();
    m_line.reset();
    moveCaret(pos, false);
}

void TextInput::mouseMove(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !(m_pressed || m_mayDrag || m_word || m_line))
        return;
    const QPoint point = event->position().toPoint();
    if (m_mayDrag) {
        if (!Near(point, m_pressPoint))
            startDrag();
        return;
    }
    m_mouse = point;
    QWidget* port = m_view.viewport();
    const bool outside = point.y() < 0 || point.y() >= port->height();
    if (outside && !m_autoScroll.isActive())
        m_autoScroll.start();
    else if (!outside)
        m_autoScroll.stop();
    const std::size_t pos =
        m_view.positionAt(QPoint(point.x(), std::clamp(point.y(), 0, port->height() - 1)));
    // A drag scrolls by itself when it leaves the view; a press brings the caret into view.
    if (m_line)
        extendByLines(pos, TextView::kNoScroll);
    else if (m_word)
        extendByWords(pos, point.x(), TextView::kNoScroll);
    else if (m_pressed)
        moveCaret(pos, true, TextView::kNoScroll);
}

void TextInput::autoScroll()
{
    QScrollBar* bar = m_view.verticalScrollBar();
    bar->setValue(bar->value() + (m_mouse.y() < 0 ? -1 : 1));
    const int y = m_mouse.y() < 0 ? 0 : m_view.viewport()->height() - 1;
    moveCaret(m_view.positionAt(QPoint(m_mouse.x(), y)), true, TextView::kNoScroll);
}

void TextInput::mouseRelease(QMouseEvent* event)
{
    m_autoScroll.stop();
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::MiddleButton) {
        // The primary selection goes in where the middle button lets go.
        const QClipboard* clipboard = QGuiApplication::clipboard();
        if (!m_view.m_readOnly && clipboard->supportsSelection()) {
            moveCaret(m_view.positionAt(point), false);
            m_view.insertFromMimeData(clipboard->mimeData(QClipboard::Selection));
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_mayDrag) {
        m_mayDrag = false;
        m_word.reset();
        m_line.reset();
        moveCaret(m_view.positionAt(point), false);
    }
    m_pressed = false;
    if (std::exchange(m_clicking, false) && m_view.viewport()->rect().contains(point))
        emit m_view.clicked();
}

void TextInput::mouseDoubleClick(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_mayDrag = false;
    m_clicking = true;
    const QPoint point = event->position().toPoint();
    const std::size_t pos = m_view.positionAt(point);
    RowLayout& rows = m_view.m_rows;
    const wrap::Row row = rows.row(rows.rowOf(pos));
    // A row with characters: the word there; an empty one selects nothing.
    const caret::Span word = row.end > row.start ? caret::WordAt(m_view.m_text, pos)
                                                 : caret::Span{pos, pos};
    m_view.setSelection(word.start, word.end);
    m_word = word;
    if (word.start == word.end)
        m_word.reset();
    m_doubleClickPoint = point;
    m_sinceDoubleClick.start();
}

// Past the word a double click selected, the selection grows by whole words: to the start or
// the end of the word under the mouse, whichever is nearer, and only while the mouse is over it.
void TextInput::extendByWords(std::size_t pos, qreal mouseX, unsigned flags)
{
    const caret::Span word = *m_word;
    if (pos >= word.start && pos <= word.end) {
        m_view.setSelection(word.start, word.end, flags);
        return;
    }
    const ByteText& text = m_view.m_text;
    RowLayout& rows = m_view.m_rows;
    const std::optional<std::size_t> start = caret::StartOfWord(text, pos);
    if (!start)
        return;
    const std::optional<std::size_t> end = caret::EndOfWord(text, *start);
    if (!end || rows.rowOf(*start) != rows.rowOf(*end))
        return;
    const qreal left = m_view.pointOf(*start).x();
    const qreal right = left + (rows.xOf(*end) - rows.xOf(*start)) / 64.0;
    if (mouseX < left || mouseX > right)
        return;
    const std::size_t anchor = pos < word.end ? word.end : word.start;
    m_view.setSelection(anchor, mouseX - left < right - mouseX ? *start : *end,
                        flags);
}

// Past the line a triple click selected, the selection grows by whole lines with their breaks.
void TextInput::extendByLines(std::size_t pos, unsigned flags)
{
    const caret::Span line = *m_line;
    if (pos >= line.start && pos <= line.end) {
        m_view.setSelection(line.start, line.end, flags);
        return;
    }
    const caret::Span there = caret::LineAt(m_view.m_text, pos);
    if (pos < line.start)
        m_view.setSelection(line.end, there.start, flags);
    else
        m_view.setSelection(line.start, there.end, flags);
}

void TextInput::contextMenu(QContextMenuEvent* event)
{
    QMenu* menu = makeContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu* TextInput::makeContextMenu()
{
    auto* menu = new QMenu(&m_view);
    const bool editable = !m_view.m_readOnly;
    const bool selected = m_view.selLength() > 0;
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    auto add = [&](const QString& label, bool enabled, auto slot) {
        QAction* action = menu->addAction(label, &m_view, slot);
        action->setEnabled(enabled);
    };
    add(TextView::tr("&Undo"), editable && m_view.canUndo(), &TextView::undo);
    add(TextView::tr("&Redo"), editable && m_view.canRedo(), &TextView::redo);
    menu->addSeparator();
    add(TextView::tr("Cu&t"), editable && selected, &TextView::cut);
    add(TextView::tr("&Copy"), selected, &TextView::copy);
    add(TextView::tr("&Paste"), editable && clip && clip->hasText(), &TextView::paste);
    add(TextView::tr("Delete"), editable && selected, &TextView::deleteSelection);
    menu->addSeparator();
    add(TextView::tr("Select All"), !m_view.isEmpty(), &TextView::selectAll);
    return menu;
}

// ---- drags and drops

void TextInput::startDrag()
{
    // A button let go here after the drag (where the desktop has no drags) still puts the caret
    // where it is let go.
    m_pressed = false;
    auto* drag = new QDrag(&m_view);
    drag->setMimeData(m_view.selectionMimeData());
    const Qt::DropAction done = drag->exec(
        m_view.m_readOnly ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction,
        m_view.m_readOnly ? Qt::CopyAction : Qt::MoveAction);
    // Moved into another program: out of this text. A move within it was the drop's own edit.
    if (done == Qt::MoveAction && drag->target() != m_view.viewport())
        m_view.deleteSelection();
}

bool TextInput::dragEnter(const QMimeData* data) const
{
    return !mime_text::DraggedFile(data).isEmpty() || (data->hasText() && !m_view.m_readOnly);
}

void TextInput::dragMove(QDragMoveEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!mime_text::DraggedFile(data).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    if (!data->hasText() || m_view.m_readOnly) {
        event->ignore();
        return;
    }
    m_dropCaret = m_view.positionAt(event->position().toPoint());
    m_view.viewport()->update();
    event->acceptProposedAction();
}

void TextInput::dragLeave()
{
    m_dropCaret = PaintMarks::kNone;
    m_view.viewport()->update();
}

void TextInput::drop(QDropEvent* event)
{
    dragLeave();
    // A dragged file is taken whole, as a document to open; dragged text goes in as text.
    const QString file = mime_text::DraggedFile(event->mimeData());
    if (!file.isEmpty()) {
        event->acceptProposedAction();
        emit m_view.fileDropped(file);
        return;
    }
    if (m_view.m_readOnly || !event->mimeData()->hasText())
        return;
    const std::size_t pos = m_view.positionAt(event->position().toPoint());
    const bool ownMove =
        event->dropAction() == Qt::MoveAction &&
        (event->source() == &m_view || event->source() == m_view.viewport());
    const std::size_t start = m_view.selStart();
    const std::size_t end = start + m_view.selLength();
    if (ownMove && end > start) {
        // Moved within the text: one step from the old place to the new one, the caret where the
        // drop was (after the text moved on, before the text moved back).
        if (pos >= start && pos <= end) {
            moveCaret(end, false);
        } else {
            const ByteText& text = m_view.m_text;
            const std::string moved = text.bytes(start, end - start);
            const std::size_t from = std::min(pos, start);
            const std::size_t to = std::max(pos, end);
            const std::string between =
                pos < start ? text.bytes(pos, start - pos) : text.bytes(end, pos - end);
            const std::string with = pos < start ? moved + between : between + moved;
            if (m_view.edit(from, to - from, with, TextView::EditKind::Other))
                moveCaret(pos, false);
        }
    } else {
        moveCaret(pos, false);
        m_view.insertFromMimeData(event->mimeData());
    }
    event->acceptProposedAction();
}
