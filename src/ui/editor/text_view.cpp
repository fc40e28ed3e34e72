#include "ui/editor/text_view.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <new>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

#include "core/caret_motion.h"
#include "ui/editor/font_size.h"
#include "ui/editor/mime_text.h"
#include "ui/editor/text_accessible.h"
#include "ui/editor/text_codec.h"
#include "ui/editor/text_input.h"

namespace {

constexpr int kMargin = 4;  // around the text, as the document margin of the desktop's text boxes
// Between the line numbers and the text.
constexpr int kNumbersGap = 12;
// The find panel's hits, as text boxes mark them.
constexpr QRgb kHitMark = 0xFFFFE066;

// Offsets for the screen reader are ints; a text longer than that is read as far as they reach.
int Offset(std::size_t pos)
{
    return static_cast<int>(std::min<std::size_t>(pos, std::numeric_limits<int>::max()));
}

}  // namespace

TextView::TextView(QWidget* parent, std::size_t capacity)
    : QAbstractScrollArea(parent),
      m_text(capacity),
      m_rows(m_text),
      m_snapshots(m_text),
      m_input(std::make_unique<TextInput>(*this))
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    // While the thumb is dragged the range stays; it is brought up to date when it is let go.
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, &TextView::updateScrollBar);
    InstallTextViewAccessibility();

    connect(&m_blink, &QTimer::timeout, this, [this] {
        m_caretShown = !m_caretShown;
        // The caret's row alone.
        const QPointF at = pointOf(m_caret);
        viewport()->update(0, static_cast<int>(std::floor(at.y())), viewport()->width(),
                           static_cast<int>(std::ceil(m_painter.lineHeight())) + 1);
    });
    updateMetrics();
}

TextView::~TextView() = default;

std::string_view TextView::bytes() const
{
    // Only where the gap stands changes; the text is the same.
    return const_cast<ByteText&>(m_text).text();
}

bool TextView::setBytes(std::string bytes)
{
    m_snapshots.beforeWholeChange();
    if (!m_text.setText(std::move(bytes)))
        return false;
    m_history.clear();
    afterWholeChange();
    return true;
}

bool TextView::replaceAllBytes(std::string bytes, std::function<void(bool undone)> alsoMoved)
{
    if (m_readOnly)
        return false;
    const TextSelection before{selStart(), selLength()};
    m_snapshots.beforeWholeChange();
    if (!m_history.replaceWhole(m_text, before, std::move(bytes), {0, 0}, std::move(alsoMoved)))
        return false;
    afterWholeChange();
    return true;
}

void TextView::afterWholeChange()
{
    m_rows.clear();
    lineCountMayHaveChanged();
    setSelection(0, 0);
    updateScrollBar();
    viewport()->update();
    emit textChanged();
}

std::size_t TextView::selStart() const
{
    return std::min(m_caret, m_anchor);
}

std::size_t TextView::selLength() const
{
    return std::max(m_caret, m_anchor) - selStart();
}

void TextView::select(std::size_t start, std::size_t length)
{
    start = caret::Normalized(m_text, start);
    setSelection(start, start + std::min(length, m_text.size() - start));
}

std::string TextView::selectedBytes() const
{
    return m_text.bytes(selStart(), selLength());
}

void TextView::setPointSize(int points)
{
    setFont(font_size::WithPoints(font(), points, logicalDpiY()));
}

int TextView::pointSize() const
{
    return font_size::Points(font(), logicalDpiY());
}

void TextView::setFamily(const QString& family)
{
    QFont f = font();
    f.setFamily(family);
    setFont(f);
}

QString TextView::family() const
{
    return font().family();
}

void TextView::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
    viewport()->setCursor(readOnly ? Qt::ArrowCursor : Qt::IBeamCursor);
    viewport()->update();
}

std::size_t TextView::rowCount(std::size_t line)
{
    return line < m_text.lineCount() ? m_rows.rowCount(line) : 0;
}

// ---- the caret and the selection

void TextView::setSelection(std::size_t anchor, std::size_t caret, unsigned flags)
{
    const std::size_t oldStart = selStart();
    const std::size_t oldLength = selLength();
    const std::size_t oldCaret = m_caret;
    m_anchor = caret::Normalized(m_text, anchor);
    m_caret = caret::Normalized(m_text, caret);
    if (!(flags & kKeepGoalX))
        m_goalX = -1;
    if (!(flags & kFromEdit)) {
        m_history.closeTyping();
        viewport()->update();
    }
    if (!(flags & kNoScroll))
        ensureCaretVisible();
    restartBlink();
    const bool changed = selStart() != oldStart || selLength() != oldLength;
    if (changed || m_caret != oldCaret)
        emit selectionChanged();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, Offset(m_caret));
        QAccessible::updateAccessibility(&moved);
        if (changed) {
            QAccessibleTextSelectionEvent selected(this, Offset(selStart()),
                                                   Offset(selStart() + selLength()));
            QAccessible::updateAccessibility(&selected);
        }
    }
    if (changed)
        publishSelection();
}

void TextView::publishSelection()
{
    // The primary selection of X11, pasted by a middle click: a snapshot, no copy.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && selLength() > 0)
        clipboard->setMimeData(selectionMimeData(), QClipboard::Selection);
}

QMimeData* TextView::selectionMimeData()
{
    return new SelectionMimeData(m_snapshots.take(selStart(), selLength()));
}

void TextView::ensureCaretVisible()
{
    if (!isVisible())
        return;
    const RowPos caretRow = m_rows.rowOf(m_caret);
    const long rows = visibleRows();
    const RowPos top = m_rows.top();
    if (m_rows.rowsBetween(top, caretRow, rows - 1) < 0) {
        const bool above =
            caretRow.line < top.line || (caretRow.line == top.line && caretRow.row < top.row);
        // Below the view: the caret's row becomes the last row shown.
        m_rows.setTop(above ? caretRow : m_rows.moved(caretRow, 1 - rows));
    }
    m_rows.trim(m_caret);
    updateScrollBar();
}

std::size_t TextView::positionAt(QPoint point)
{
    RowPos at = m_rows.top();
    const auto rows = static_cast<long>(std::floor((point.y() - kMargin) / m_painter.lineHeight()));
    for (long n = 0; n < rows; ++n)
        if (!m_rows.next(at))
            return m_text.size();  // below the last row: the end of the text
    const wrap::Fixed x = std::max<wrap::Fixed>(0, std::llround((point.x() - textOrigin().x()) * 64));
    return caret::Normalized(m_text, m_rows.positionAt(at, x));
}

QPointF TextView::pointOf(std::size_t pos)
{
    pos = caret::Normalized(m_text, pos);
    const long rows = m_rows.rowsBetween(m_rows.top(), m_rows.rowOf(pos), visibleRows());
    return textOrigin() + QPointF(m_rows.xOf(pos) / 64.0, std::max(0L, rows) * m_painter.lineHeight());
}

QPointF TextView::textOrigin() const
{
    return {kMargin + m_numbersWidth, kMargin};
}

// ---- editing

bool TextView::edit(std::size_t pos, std::size_t len, std::string_view with, EditKind kind)
{
    if (m_readOnly)
        return false;
    if (len == 0 && with.empty())
        return true;  // nothing typed, nothing taken: no step to undo
    assert(pos <= m_text.size() && len <= m_text.size() - pos);
    // The line of the byte before the edit: it may join a CR there with an LF typed.
    const std::size_t firstLine = m_text.lineOf(pos > 0 ? pos - 1 : 0);
    const std::size_t lastLine = m_text.lineOf(pos + len);
    const std::size_t lineCountBefore = m_text.lineCount();
    const TextSelection before{selStart(), selLength()};
    const bool oneRowBefore = firstLine == lastLine && m_rows.isOneRow(firstLine);
    const RowPos topBefore = m_rows.top();
    m_snapshots.beforeEdit(pos, len);
    const bool done = kind == EditKind::Typing     ? m_history.type(m_text, {pos, len}, with)
                      : kind == EditKind::Deleting ? m_history.deleteCharacter(m_text, pos, len)
                                                   : m_history.edit(m_text, before, pos, len, with);
    if (!done) {
        QApplication::beep();
        emit capacityReached();
        return false;
    }
    m_snapshots.afterEdit(pos, len, with.size());
    m_rows.edited(firstLine, pos, lastLine, lineCountBefore);
    lineCountMayHaveChanged();
    setSelection(pos + with.size(), pos + with.size(), kFromEdit);
    // What the edit can have changed on screen: its row when a one-row line stayed one row,
    // else its row and all below; everything when the view scrolled.
    if (m_rows.top() != topBefore)
        viewport()->update();
    else
        repaintRows(firstLine, oneRowBefore && m_text.lineCount() == lineCountBefore &&
                                   m_rows.isOneRow(firstLine));
    emit textChanged();
    return true;
}

void TextView::repaintRows(std::size_t fromLine, bool alone)
{
    const long row = m_rows.rowsBetween(m_rows.top(), {fromLine, 0}, visibleRows());
    if (row < 0) {
        viewport()->update();
        return;
    }
    const qreal lineHeight = m_painter.lineHeight();
    const int y = static_cast<int>(std::floor(kMargin + row * lineHeight));
    viewport()->update(0, y, viewport()->width(),
                       alone ? static_cast<int>(std::ceil(lineHeight)) + 1 : viewport()->height() - y);
}

void TextView::insertPlainText(const QString& text)
{
    insertText(text, EditKind::Other);
}

void TextView::insertText(const QString& text, EditKind kind)
{
    edit(selStart(), selLength(), text_codec::InputToBytes(text), kind);
}

void TextView::insertFromMimeData(const QMimeData* source)
{
    if (source && source->hasText())
        insertText(source->text(), EditKind::Other);
}

void TextView::moveHistory(bool undo)
{
    if (m_readOnly)
        return;
    const std::optional<TextChange> change = undo ? m_history.undoChange() : m_history.redoChange();
    if (!change)
        return;
    if (change->whole)
        m_snapshots.beforeWholeChange();
    else
        m_snapshots.beforeEdit(change->pos, change->erased);
    const std::optional<TextSelection> selection = undo ? m_history.undo(m_text) : m_history.redo(m_text);
    if (!change->whole)
        m_snapshots.afterEdit(change->pos, change->erased, change->inserted);
    m_rows.historyMoved(m_history.lastMovedAt());
    setSelection(selection->start, selection->start + selection->length);
    updateScrollBar();
    emit textChanged();
}

void TextView::undo()
{
    moveHistory(true);
}

void TextView::redo()
{
    moveHistory(false);
}

void TextView::cut()
{
    if (m_readOnly || selLength() == 0)
        return;
    copy();
    deleteSelection();
}

void TextView::copy()
{
    if (selLength() > 0)
        QGuiApplication::clipboard()->setMimeData(selectionMimeData());
}

void TextView::paste()
{
    insertFromMimeData(QGuiApplication::clipboard()->mimeData());
}

void TextView::deleteSelection()
{
    if (selLength() > 0)
        edit(selStart(), selLength(), {}, EditKind::Other);
}

void TextView::selectAll()
{
    // The view stays where it is, as in any text box: a Shift+click there takes it from the top.
    setSelection(0, m_text.size(), kNoScroll);
}

// ---- layout, scrolling and painting

void TextView::updateMetrics()
{
    m_painter.setFont(font(), viewport());
    m_numbersWidth =
        m_lineNumbers ? std::ceil(m_painter.lineNumbersWidth(m_text.lineCount())) + kNumbersGap : 0;
    m_rows.setGeometry(m_painter.metrics(),
                       std::llround((viewport()->width() - 2 * kMargin - m_numbersWidth) * 64));
    updateScrollBar();
    viewport()->update();
}

int TextView::visibleRows() const
{
    return std::max(1, static_cast<int>((viewport()->height() - kMargin) / m_painter.lineHeight()));
}

// The bar counts rows: its value is the rows above the top row, its range reaches as far as the
// last row at the bottom of the view, estimated for the lines not laid out. Until the view shows
// the last row there is always further to go, so the wheel and the thumb reach the end however
// far the estimate falls short.
void TextView::updateScrollBar()
{
    const long rows = visibleRows();
    const RowLayout::Estimate estimate = m_rows.estimate(m_rows.top());
    const std::size_t top = estimate.above;
    std::size_t last = top;
    if (!m_rows.showsEnd(rows)) {
        const std::size_t total = estimate.total;
        last = std::max(total > static_cast<std::size_t>(rows) ? total - rows : 0, top + 1);
    }
    const auto cap = static_cast<std::size_t>(std::numeric_limits<int>::max());
    QScrollBar* bar = verticalScrollBar();
    m_settingScrollBar = true;
    bar->setPageStep(static_cast<int>(rows));
    bar->setRange(0, static_cast<int>(std::min(cap, last)));
    bar->setValue(static_cast<int>(std::min(cap, top)));
    m_settingScrollBar = false;
}

void TextView::scrollContentsBy(int, int dy)
{
    if (m_settingScrollBar)
        return;
    QScrollBar* bar = verticalScrollBar();
    const long rows = visibleRows();
    // The end of the range is the end of the text; a step of the wheel, the arrows or a page
    // moves by rows from where the view is; a jump of the thumb goes where the estimate says.
    if (bar->value() >= bar->maximum())
        m_rows.setTop(m_rows.lastTop(rows));
    else if (std::abs(dy) <= bar->pageStep())
        m_rows.setTop(m_rows.moved(m_rows.top(), -dy));
    else
        m_rows.setTop(m_rows.rowAtValue(static_cast<std::size_t>(bar->value())));
    m_rows.trim(m_caret);
    if (!bar->isSliderDown())
        updateScrollBar();
    viewport()->update();
}

void TextView::paintEvent(QPaintEvent* event)
{
    // Only the rows the update asked for: a key repaints its own row, not the screen.
    QPainter painter(viewport());
    PaintMarks marks;
    if (selLength() > 0)
        marks.ranges.push_back({selStart(), selStart() + selLength()});
    if (!m_readOnly) {
        marks.caret = m_caret;
        marks.caretShown = m_caretShown && hasFocus();
        marks.preedit = m_input->preedit();
        marks.dropCaret = m_input->dropCaret();
    }
    QPalette colours = palette();
    if (m_marked) {
        colours.setColor(QPalette::ToolTipBase, QColor::fromRgba(kHitMark));
        colours.setColor(QPalette::ToolTipText, colours.color(QPalette::Text));
        for (const auto& [start, end] : shownHits())
            marks.ranges.push_back({start, end, QPalette::ToolTipBase, QPalette::ToolTipText});
    }
    if (m_lineNumbers)
        m_painter.drawLineNumbers(painter, m_rows, m_rows.top(), textOrigin().x() - kNumbersGap,
                                  kMargin, viewport()->height(), event->rect(), colours);
    m_painter.drawRows(painter, m_rows, m_text, m_rows.top(), textOrigin(), viewport()->height(),
                       event->rect(), marks, colours);
}

void TextView::setLineNumbers(bool on)
{
    if (on == m_lineNumbers)
        return;
    m_lineNumbers = on;
    updateMetrics();
}

void TextView::lineCountMayHaveChanged()
{
    if (m_lineNumbers &&
        std::ceil(m_painter.lineNumbersWidth(m_text.lineCount())) + kNumbersGap != m_numbersWidth)
        updateMetrics();
}

void TextView::markHits(std::optional<TextFinder> finder)
{
    if (!finder && !m_marked)
        return;
    m_marked = std::move(finder);
    viewport()->update();
}

std::pair<std::size_t, std::size_t> TextView::shownBytes()
{
    RowPos at = m_rows.top();
    const std::size_t start = m_rows.startOf(at);
    // A row cut by the bottom edge is shown too.
    for (int n = 0; n <= visibleRows(); ++n)
        if (!m_rows.next(at))
            return {start, m_text.size()};
    return {start, m_rows.startOf(at)};
}

std::vector<std::pair<std::size_t, std::size_t>> TextView::shownHits()
{
    std::vector<std::pair<std::size_t, std::size_t>> hits;
    if (!m_marked || m_marked->Length() == 0)
        return hits;
    const auto [start, end] = shownBytes();
    // A hit that begins above the top row or ends below the last shows in part; a byte either
    // side more tells a whole word.
    const std::size_t reach = m_marked->Length();
    const std::size_t from = start - std::min(start, reach);
    const std::string bytes = m_text.pieces(from, end + reach - from).copy();
    for (std::size_t at = m_marked->FindIn(bytes, 0, end - from); at != TextFinder::npos;
         at = m_marked->FindIn(bytes, at + reach, end - from))
        if (from + at + reach > start)
            hits.emplace_back(from + at, from + at + reach);
    return hits;
}

void TextView::restartBlink()
{
    m_caretShown = true;
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0 && hasFocus())
        m_blink.start(flash / 2);
    else
        m_blink.stop();
}

void TextView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void TextView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_blink.stop();
    viewport()->update();
}

void TextView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateMetrics();
}

void TextView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMetrics();
}

// ---- events, handed to the input

bool TextView::event(QEvent* event)
{
    try {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            // Tab and Shift+Tab are text here, not a move of the focus.
            if (key->key() == Qt::Key_Tab &&
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                keyPressEvent(key);
                return true;
            }
        }
        if (event->type() == QEvent::ShortcutOverride &&
            m_input->takesShortcut(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return QAbstractScrollArea::event(event);
    } catch (const std::bad_alloc&) {
        m_rows.historyMoved(std::nullopt);  // the rows may be half made: laid out anew
        emit memoryRanOut();
        return true;
    }
}

bool TextView::viewportEvent(QEvent* event)
{
    try {
        return QAbstractScrollArea::viewportEvent(event);
    } catch (const std::bad_alloc&) {
        m_rows.historyMoved(std::nullopt);
        emit memoryRanOut();
        return true;
    }
}

void TextView::keyPressEvent(QKeyEvent* event)
{
    m_input->keyPress(event);
    if (!event->isAccepted())
        QAbstractScrollArea::keyPressEvent(event);
}

void TextView::inputMethodEvent(QInputMethodEvent* event)
{
    m_input->inputMethod(event);
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const QVariant answer = m_input->inputMethodQuery(query);
    return answer.isValid() ? answer : QAbstractScrollArea::inputMethodQuery(query);
}

void TextView::mousePressEvent(QMouseEvent* event)
{
    m_input->mousePress(event);
}

void TextView::mouseMoveEvent(QMouseEvent* event)
{
    m_input->mouseMove(event);
}

void TextView::mouseReleaseEvent(QMouseEvent* event)
{
    m_input->mouseRelease(event);
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_input->mouseDoubleClick(event);
}

void TextView::contextMenuEvent(QContextMenuEvent* event)
{
    m_input->contextMenu(event);
}

void TextView::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_input->dragEnter(event->mimeData()))
        event->acceptProposedAction();
}

void TextView::dragMoveEvent(QDragMoveEvent* event)
{
    m_input->dragMove(event);
}

void TextView::dragLeaveEvent(QDragLeaveEvent*)
{
    m_input->dragLeave();
}

void TextView::dropEvent(QDropEvent* event)
{
    m_input->drop(event);
}
