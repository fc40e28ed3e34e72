#include "ui/editor/text_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include "core/win1252.h"
#include "ui/editor/font_size.h"
#include "ui/editor/mime_text.h"
#include "ui/editor/text_codec.h"

namespace {

constexpr int kMargin = 4;  // around the text, as the document margin of the former widget
// Beyond this many wraps kept, those far from the view are dropped.
constexpr std::size_t kKeptWraps = 4096;

// What a byte looks like: its Windows-1252 character, and a visible symbol for the bytes that
// are no character of a line (NUL, and a CR or LF that is not half of a line break).
QChar Glyph(unsigned char byte)
{
    switch (byte) {
    case 0:
        return QChar(0x2400);  // SYMBOL FOR NULL
    case '\r':
        return QChar(0x240D);  // SYMBOL FOR CARRIAGE RETURN
    case '\n':
        return QChar(0x240A);  // SYMBOL FOR LINE FEED
    default:
        return QChar(win1252::ToUnicode(byte));
    }
}

// Ctrl+Y redoes as well as the desktop's own key for it (Ctrl+Shift+Z on most Linux desktops):
// users come from both habits.
bool IsRedo(const QKeyEvent* key)
{
    return key->matches(QKeySequence::Redo) ||
           (key->key() == Qt::Key_Y && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier);
}

bool IsWordByte(unsigned char byte)
{
    const QChar c(win1252::ToUnicode(byte));
    return c.isLetterOrNumber() || c == u'_';
}

// What Ctrl+Left, Ctrl+Right and a double click take together: 0 blanks, 1 letters and digits,
// 2 anything else.
int Kind(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte == ' ' || byte == '\t' ? 0 : IsWordByte(byte) ? 1 : 2;
}

}  // namespace

// What a screen reader reads: the text, the caret and the selection, in byte offsets (each
// byte is one character, so offsets and positions agree).
class TextViewAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextViewAccessible(TextView* view)
        : QAccessibleWidget(view, QAccessible::EditableText), m_view(view)
    {
    }

    static QAccessibleInterface* Make(const QString&, QObject* object)
    {
        auto* view = qobject_cast<TextView*>(object);
        return view ? new TextViewAccessible(view) : nullptr;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !m_view->isReadOnly();
        s.readOnly = m_view->isReadOnly();
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? text(0, characterCount()) : QAccessibleWidget::text(t);
    }

    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && m_view->selLength() > 0) {
            *start = Offset(m_view->selStart());
            *end = Offset(m_view->selStart() + m_view->selLength());
        }
    }
    int selectionCount() const override { return m_view->selLength() > 0 ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { m_view->select(m_view->caret(), 0); }
    void setSelection(int, int start, int end) override
    {
        const auto a = static_cast<std::size_t>(std::max(0, std::min(start, end)));
        const auto b = static_cast<std::size_t>(std::max(0, std::max(start, end)));
        m_view->select(a, b - a);
    }
    int cursorPosition() const override { return Offset(m_view->caret()); }
    void setCursorPosition(int position) override
    {
        m_view->select(static_cast<std::size_t>(std::max(0, position)), 0);
    }
    QString text(int start, int end) const override
    {
        const auto a = static_cast<std::size_t>(std::clamp(start, 0, characterCount()));
        const auto b = static_cast<std::size_t>(std::clamp(end, 0, characterCount()));
        if (b <= a)
            return {};
        const std::string bytes = m_view->m_text.bytes(a, b - a);
        QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            out[static_cast<qsizetype>(i)] =
                QChar(win1252::ToUnicode(static_cast<unsigned char>(bytes[i])));
        return out;
    }
    int characterCount() const override { return Offset(m_view->byteLength()); }
    QRect characterRect(int offset) const override
    {
        const auto pos = static_cast<std::size_t>(std::max(0, offset));
        const QPointF at = m_view->pointOf(pos);
        const qreal width = m_view->pointOf(m_view->nextChar(pos)).x() - at.x();
        const QRectF local(at, QSizeF(std::max<qreal>(1, width), m_view->m_lineHeight));
        return QRect(m_view->viewport()->mapToGlobal(local.topLeft().toPoint()),
                     local.size().toSize());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return Offset(m_view->positionAt(m_view->viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    // Offsets are ints; a text longer than that is read as far as they reach.
    static int Offset(std::size_t pos)
    {
        return static_cast<int>(std::min<std::size_t>(pos, std::numeric_limits<int>::max()));
    }

    TextView* m_view;
};

TextView::TextView(QWidget* parent, std::size_t capacity)
    : QAbstractScrollArea(parent), m_text(capacity)
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

    static const bool accessible = [] {
        QAccessible::installFactory(&TextViewAccessible::Make);
        return true;
    }();
    Q_UNUSED(accessible);

    connect(&m_blink, &QTimer::timeout, this, [this] {
        m_caretShown = !m_caretShown;
        // The caret's row alone.
        const QPointF at = pointOf(m_caret);
        viewport()->update(0, static_cast<int>(std::floor(at.y())), viewport()->width(),
                           static_cast<int>(std::ceil(m_lineHeight)) + 1);
    });
    m_autoScroll.setInterval(50);
    connect(&m_autoScroll, &QTimer::timeout, this, &TextView::autoScroll);
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
    if (!m_text.setText(std::move(bytes)))
        return false;
    m_history.clear();
    afterWholeChange();
    moveCaret(0, false);
    return true;
}

bool TextView::replaceAllBytes(std::string bytes, std::function<void(bool undone)> alsoMoved)
{
    if (m_readOnly)
        return false;
    const TextSelection before{selStart(), selLength()};
    if (!m_history.replaceWhole(m_text, before, std::move(bytes), {0, 0}, std::move(alsoMoved)))
        return false;
    afterWholeChange();
    moveCaret(0, false);
    return true;
}

void TextView::afterWholeChange()
{
    m_wraps.clear();
    m_top = {};
    m_caret = m_anchor = 0;
    m_goalX = -1;
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
    start = normalized(start);
    const std::size_t end = normalized(start + std::min(length, m_text.size() - start));
    m_anchor = start;
    moveCaret(end, true);
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

bool TextView::lineLaidOut(std::size_t line) const
{
    const auto it = m_wraps.find(line);
    return it != m_wraps.end() && it->second->rowCountKnown();
}

std::size_t TextView::rowCount(std::size_t line)
{
    if (line >= m_text.lineCount())
        return 0;
    return wrapOf(line).rowCount(lineBytes(line));
}

// ---- layout

void TextView::updateMetrics()
{
    m_drawFont = font();
    m_drawFont.setKerning(false);
    m_drawFont.setStyleStrategy(QFont::PreferNoShaping);
    const QFontMetricsF fm(m_drawFont, viewport());
    for (int b = 0; b < 256; ++b)
        m_metrics.advance[b] =
            std::llround(fm.horizontalAdvance(Glyph(static_cast<unsigned char>(b))) * 64);
    m_metrics.tabStop = 80 * 64;
    // Whole pixels a row, as the former widget laid its lines, so the text stands where it stood.
    m_lineHeight = std::max<qreal>(1, std::ceil(fm.lineSpacing()));
    m_ascent = fm.ascent();
    relayout();
}

wrap::Fixed TextView::wrapWidth() const
{
    return std::max<wrap::Fixed>(1, (viewport()->width() - 2 * kMargin) * wrap::Fixed{64});
}

void TextView::relayout()
{
    // Keep the top row's first byte at the top.
    const std::size_t topByte =
        m_wraps.empty() ? m_text.lineStart(m_top.line) : m_text.lineStart(m_top.line) +
                                                              rowAt(m_top).start;
    m_wraps.clear();
    m_top = rowOfPos(std::min(topByte, m_text.size()));
    updateScrollBar();
    viewport()->update();
}

TextPieces TextView::lineBytes(std::size_t line) const
{
    const std::size_t start = m_text.lineStart(line);
    return m_text.pieces(start, m_text.lineEnd(line) - start);
}

wrap::LineWrap& TextView::wrapOf(std::size_t line)
{
    auto& slot = m_wraps[line];
    if (!slot)
        slot = std::make_unique<wrap::LineWrap>(m_metrics, wrapWidth());
    return *slot;
}

wrap::Row TextView::rowAt(RowPos at)
{
    return wrapOf(at.line).row(lineBytes(at.line), at.row);
}

bool TextView::isLastRow(RowPos at, const wrap::Row& row) const
{
    return row.end >= m_text.lineEnd(at.line) - m_text.lineStart(at.line);
}

bool TextView::nextRow(RowPos& at)
{
    if (!isLastRow(at, rowAt(at))) {
        ++at.row;
        return true;
    }
    if (at.line + 1 >= m_text.lineCount())
        return false;
    at = {at.line + 1, 0};
    return true;
}

bool TextView::previousRow(RowPos& at)
{
    if (at.row > 0) {
        --at.row;
        return true;
    }
    if (at.line == 0)
        return false;
    --at.line;
    // The last row of a line above: only that line is laid out, never more.
    at.row = wrapOf(at.line).rowCount(lineBytes(at.line)) - 1;
    return true;
}

TextView::RowPos TextView::rowOfPos(std::size_t pos)
{
    const std::size_t line = m_text.lineOf(pos);
    return {line, wrapOf(line).rowOf(lineBytes(line), pos - m_text.lineStart(line))};
}

long TextView::rowsFromTop(RowPos at, long limit)
{
    if (at.line < m_top.line || (at.line == m_top.line && at.row < m_top.row))
        return -1;
    RowPos p = m_top;
    for (long n = 0; n <= limit; ++n) {
        if (p.line == at.line && p.row == at.row)
            return n;
        if (!nextRow(p))
            return -1;
    }
    return -1;
}

int TextView::visibleRows() const
{
    return std::max(1, static_cast<int>((viewport()->height() - kMargin) / m_lineHeight));
}

// The scroll bar counts rows: a line laid out counts its rows, one being laid out counts what
// its length promises at the mean advance, and every other line counts one, as a line of prose
// does. So its range is exact for short lines and refines as long ones are shown, and finding
// the rows above the view costs only the lines laid out, never a pass over the text.
std::size_t TextView::scrollRows(std::size_t line)
{
    const auto it = m_wraps.find(line);
    if (it == m_wraps.end())
        return 1;
    const TextPieces bytes = lineBytes(line);
    if (it->second->rowCountKnown())
        return it->second->rowCount(bytes);
    const wrap::Fixed mean = std::max<wrap::Fixed>(1, m_metrics.advance['x']);
    const auto promised =
        static_cast<std::size_t>(static_cast<wrap::Fixed>(bytes.size()) * mean / wrapWidth());
    return std::max<std::size_t>(2, promised + 1);
}

TextView::RowPos TextView::rowFromValue(int value)
{
    auto v = static_cast<std::size_t>(std::max(0, value));
    std::size_t line = 0;
    for (auto it = m_wraps.begin(); it != m_wraps.end(); ++it) {
        if (v < it->first - line)
            break;
        v -= it->first - line;
        line = it->first;
        const std::size_t rows = scrollRows(line);
        if (v < rows) {
            const TextPieces bytes = lineBytes(line);
            wrap::LineWrap& w = *it->second;
            // Past the rows the estimate promised: the line's last row.
            return {line, w.rowOf(bytes, w.row(bytes, v).start)};
        }
        v -= rows;
        ++line;
    }
    return {std::min(line + v, m_text.lineCount() - 1), 0};
}

void TextView::updateScrollBar()
{
    std::size_t total = m_text.lineCount();
    std::size_t top = m_top.line + m_top.row;
    for (const auto& [line, wrapPtr] : m_wraps) {
        const std::size_t extra = scrollRows(line) - 1;
        total += extra;
        if (line < m_top.line)
            top += extra;
    }
    const auto cap = static_cast<std::size_t>(std::numeric_limits<int>::max());
    QScrollBar* bar = verticalScrollBar();
    m_settingScrollBar = true;
    // As far as the last row at the bottom of the view, so a text that fits has nothing to
    // scroll.
    const auto rows = static_cast<std::size_t>(visibleRows());
    bar->setPageStep(static_cast<int>(rows));
    bar->setRange(0, static_cast<int>(std::min(cap, total > rows ? total - rows : 0)));
    bar->setValue(static_cast<int>(std::min(cap, top)));
    m_settingScrollBar = false;
}

void TextView::scrollContentsBy(int, int)
{
    if (m_settingScrollBar)
        return;
    m_top = rowFromValue(verticalScrollBar()->value());
    trimWraps();
    viewport()->update();
}

void TextView::trimWraps()
{
    if (m_wraps.size() <= kKeptWraps)
        return;
    const std::size_t caretLine = m_text.lineOf(m_caret);
    const std::size_t from = m_top.line > kKeptWraps / 4 ? m_top.line - kKeptWraps / 4 : 0;
    const std::size_t to = m_top.line + kKeptWraps / 2;
    for (auto it = m_wraps.begin(); it != m_wraps.end();) {
        if ((it->first < from || it->first > to) && it->first != caretLine)
            it = m_wraps.erase(it);
        else
            ++it;
    }
    updateScrollBar();
}

void TextView::dropWrapsAfterEdit(std::size_t firstLine, std::size_t lastLineBefore,
                                  std::size_t lineCountBefore)
{
    // Lines before the edit keep their rows; the lines the edit spans are laid out anew; those
    // after it keep theirs under their new numbers.
    const std::size_t lineCount = m_text.lineCount();
    std::map<std::size_t, std::unique_ptr<wrap::LineWrap>> kept;
    for (auto& [line, wrapPtr] : m_wraps) {
        if (line <= firstLine)
            kept.emplace(line, std::move(wrapPtr));
        else if (line > lastLineBefore)
            kept.emplace(line + lineCount - lineCountBefore, std::move(wrapPtr));
    }
    m_wraps = std::move(kept);
    if (m_top.line > lastLineBefore)
        m_top.line += lineCount - lineCountBefore;
    else if (m_top.line > firstLine)
        m_top = {firstLine, 0};
    m_top.line = std::min(m_top.line, lineCount - 1);
    const TextPieces bytes = lineBytes(m_top.line);
    wrap::LineWrap& w = wrapOf(m_top.line);
    m_top.row = w.rowOf(bytes, w.row(bytes, m_top.row).start);
}

// ---- painting

void TextView::paintEvent(QPaintEvent* event)
{
    // Only the rows the update asked for: a key repaints its own row, not the screen.
    const QRect clip = event->rect();
    QPainter p(viewport());
    p.setFont(m_drawFont);
    const QPalette& pal = palette();
    const std::size_t selA = selStart();
    const std::size_t selB = selA + selLength();
    const qreal height = viewport()->height();
    const bool caretOn = m_caretShown && hasFocus() && !m_readOnly;

    RowPos at = m_top;
    qreal y = kMargin;
    QString run;
    while (y < height && y <= clip.bottom()) {
        if (y + m_lineHeight <= clip.top()) {
            y += m_lineHeight;
            if (!nextRow(at))
                break;
            continue;
        }
        const TextPieces line = lineBytes(at.line);
        const std::size_t lineStart = m_text.lineStart(at.line);
        const wrap::Row row = rowAt(at);
        const qreal baseline = y + m_ascent;
        const bool last = isLastRow(at, row);
        const bool caretRow = m_caret >= lineStart + row.start &&
                              (m_caret < lineStart + row.end ||
                               (last && m_caret == lineStart + row.end));
        // An input method's text being composed stands at the caret and pushes the rest of the
        // row aside until it is committed.
        const bool composing = caretRow && !m_preedit.isEmpty();
        const qreal preeditWidth =
            composing ? QFontMetricsF(m_drawFont).horizontalAdvance(m_preedit) : 0;
        qreal pushed = 0;
        wrap::Fixed x = 0;
        wrap::Fixed runX = 0;
        bool runSelected = false;
        auto flush = [&](wrap::Fixed endX) {
            const qreal left = kMargin + pushed + runX / 64.0;
            if (runSelected)
                p.fillRect(QRectF(left, y, (endX - runX) / 64.0, m_lineHeight),
                           pal.brush(QPalette::Highlight));
            if (!run.isEmpty()) {
                p.setPen(pal.color(runSelected ? QPalette::HighlightedText : QPalette::Text));
                p.drawText(QPointF(left, baseline), run);
            }
            run.clear();
            runX = endX;
        };
        for (std::size_t i = row.start; i < row.end; ++i) {
            const auto byte = static_cast<unsigned char>(line[i]);
            const bool selected = lineStart + i >= selA && lineStart + i < selB;
            if (composing && lineStart + i == m_caret) {
                flush(x);
                pushed = preeditWidth;
            }
            if (selected != runSelected || byte == '\t') {
                flush(x);
                runSelected = selected;
            }
            const wrap::Fixed w = wrap::Advance(m_metrics, byte, x);
            if (byte == '\t') {
                x += w;
                flush(x);
                continue;
            }
            run += Glyph(byte);
            x += w;
        }
        flush(x);
        // A selected line break shows as a space's width of selection after the line.
        const std::size_t breakPos = lineStart + line.size();
        if (last && at.line + 1 < m_text.lineCount() && breakPos >= selA && breakPos < selB)
            p.fillRect(QRectF(kMargin + pushed + x / 64.0, y, m_metrics.advance[' '] / 64.0,
                              m_lineHeight),
                       pal.brush(QPalette::Highlight));
        const qreal cx = caretRow ? kMargin + wrapOf(at.line).xOf(line, m_caret - lineStart) / 64.0
                                  : 0;
        if (composing) {
            p.setPen(pal.color(QPalette::Text));
            p.drawText(QPointF(cx, baseline), m_preedit);
            p.drawLine(QPointF(cx, baseline + 2), QPointF(cx + preeditWidth, baseline + 2));
        }
        if (caretRow && caretOn)
            p.fillRect(QRectF(cx + preeditWidth, y, 1, m_lineHeight), pal.brush(QPalette::Text));
        y += m_lineHeight;
        if (!nextRow(at))
            break;
    }
}

// ---- caret and selection

std::size_t TextView::normalized(std::size_t pos) const
{
    pos = std::min(pos, m_text.size());
    // Never between the CR and the LF of a line break: to the end of the line.
    if (pos > 0 && pos < m_text.size() && m_text.at(pos - 1) == '\r' && m_text.at(pos) == '\n' &&
        m_text.lineEnd(m_text.lineOf(pos - 1)) == pos - 1)
        return pos - 1;
    return pos;
}

std::size_t TextView::nextChar(std::size_t pos) const
{
    if (pos >= m_text.size())
        return pos;
    const std::size_t line = m_text.lineOf(pos);
    return pos == m_text.lineEnd(line) && line + 1 < m_text.lineCount() ? pos + 2 : pos + 1;
}

std::size_t TextView::previousChar(std::size_t pos) const
{
    if (pos == 0)
        return 0;
    const std::size_t line = m_text.lineOf(pos);
    return pos == m_text.lineStart(line) && line > 0 ? pos - 2 : pos - 1;
}

// Words as Ctrl+Left and Ctrl+Right see them: a run of letters and digits, or of other
// characters that are not blanks; a line break stops each.
std::size_t TextView::nextWord(std::size_t pos) const
{
    const std::size_t size = m_text.size();
    if (pos >= size)
        return size;
    const std::size_t lineEnd = m_text.lineEnd(m_text.lineOf(pos));
    if (pos == lineEnd)
        return nextChar(pos);
    const auto kind = [this](std::size_t i) { return Kind(m_text.at(i)); };
    const int first = kind(pos);
    while (pos < lineEnd && first != 0 && kind(pos) == first)
        ++pos;
    while (pos < lineEnd && kind(pos) == 0)
        ++pos;
    return pos;
}

std::size_t TextView::previousWord(std::size_t pos) const
{
    if (pos == 0)
        return 0;
    const std::size_t lineStart = m_text.lineStart(m_text.lineOf(pos));
    if (pos == lineStart)
        return previousChar(pos);
    const auto kind = [this](std::size_t i) { return Kind(m_text.at(i)); };
    while (pos > lineStart && kind(pos - 1) == 0)
        --pos;
    if (pos == lineStart)
        return pos;
    const int last = kind(pos - 1);
    while (pos > lineStart && kind(pos - 1) == last)
        --pos;
    return pos;
}

void TextView::moveCaret(std::size_t pos, bool keepAnchor)
{
    const std::size_t oldStart = selStart();
    const std::size_t oldLength = selLength();
    m_caret = normalized(pos);
    if (!keepAnchor)
        m_anchor = m_caret;
    m_history.closeTyping();
    ensureCaretVisible();
    restartBlink();
    viewport()->update();
    if (selStart() != oldStart || selLength() != oldLength)
        emit selectionChanged();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, static_cast<int>(std::min<std::size_t>(
                                                   m_caret, std::numeric_limits<int>::max())));
        QAccessible::updateAccessibility(&moved);
    }
}

void TextView::ensureCaretVisible()
{
    if (!isVisible())
        return;
    const RowPos caret = rowOfPos(m_caret);
    const long rows = visibleRows();
    if (rowsFromTop(caret, rows - 1) < 0) {
        const bool above =
            caret.line < m_top.line || (caret.line == m_top.line && caret.row < m_top.row);
        m_top = caret;
        // Below the view: the caret's row becomes the last row shown.
        for (long n = 1; !above && n < rows && previousRow(m_top); ++n) {
        }
    }
    trimWraps();
    updateScrollBar();
}

void TextView::moveVertically(long rows, bool keepAnchor)
{
    RowPos at = rowOfPos(m_caret);
    const std::size_t line = at.line;
    const std::size_t lineStart = m_text.lineStart(line);
    if (m_goalX < 0)
        m_goalX = wrapOf(line).xOf(lineBytes(line), m_caret - lineStart);
    const wrap::Fixed goal = m_goalX;
    bool moved = true;
    for (long n = 0; n < std::labs(rows) && moved; ++n)
        moved = rows > 0 ? nextRow(at) : previousRow(at);
    std::size_t pos;
    if (!moved && rows > 0)
        pos = m_text.size();
    else if (!moved)
        pos = 0;
    else
        pos = m_text.lineStart(at.line) +
              wrapOf(at.line).positionAt(lineBytes(at.line), at.row, goal);
    moveCaret(pos, keepAnchor);
    m_goalX = goal;
}

// ---- editing

bool TextView::edit(std::size_t pos, std::size_t len, std::string_view with, bool typing)
{
    if (m_readOnly)
        return false;
    if (len == 0 && with.empty())
        return true;  // nothing typed, nothing taken: no step to undo
    // The line of the byte before the edit: it may join a CR there with an LF typed.
    const std::size_t firstLine = m_text.lineOf(pos > 0 ? pos - 1 : 0);
    const std::size_t lastLine = m_text.lineOf(pos + len);
    const std::size_t lineCountBefore = m_text.lineCount();
    const TextSelection before{selStart(), selLength()};
    const bool oneRowBefore = firstLine == lastLine && isOneRow(firstLine);
    const RowPos topBefore = m_top;
    const bool done = typing ? m_history.type(m_text, {pos, len}, with)
                             : m_history.edit(m_text, before, pos, len, with);
    if (!done) {
        QApplication::beep();
        return false;
    }
    const std::size_t firstStart = m_text.lineStart(firstLine);
    if (auto it = m_wraps.find(firstLine); it != m_wraps.end())
        it->second->edited(pos > firstStart ? pos - 1 - firstStart : 0);
    dropWrapsAfterEdit(firstLine, lastLine, lineCountBefore);
    const bool keepTyping = typing && with.find("\r\n") == std::string_view::npos;
    m_caret = m_anchor = normalized(pos + with.size());
    m_goalX = -1;
    ensureCaretVisible();
    if (keepTyping)
        restartBlink();
    else
        m_history.closeTyping();
    // What the edit can have changed on screen: its row when a one-row line stayed one row,
    // else its row and all below; everything when the view scrolled.
    const long row = m_top.line == topBefore.line && m_top.row == topBefore.row
                         ? rowsFromTop({firstLine, 0}, visibleRows())
                         : -1;
    if (row < 0) {
        viewport()->update();
    } else {
        const int y = static_cast<int>(std::floor(kMargin + row * m_lineHeight));
        const bool oneRow = oneRowBefore && m_text.lineCount() == lineCountBefore && isOneRow(firstLine);
        viewport()->update(0, y, viewport()->width(),
                           oneRow ? static_cast<int>(std::ceil(m_lineHeight)) + 1
                                  : viewport()->height() - y);
    }
    emit textChanged();
    emit selectionChanged();
    return true;
}

bool TextView::isOneRow(std::size_t line)
{
    const TextPieces bytes = lineBytes(line);
    return wrapOf(line).row(bytes, 0).end >= bytes.size();
}

void TextView::insertPlainText(const QString& text)
{
    insertText(text, false);
}

void TextView::insertText(const QString& text, bool typing)
{
    const std::string bytes = text_codec::QtRawToBytes(text_codec::SanitizeInput(text));
    edit(selStart(), selLength(), bytes, typing);
}

void TextView::afterHistoryMove(std::optional<TextSelection> selection)
{
    if (!selection)
        return;
    // The lines before the step's place kept their rows, and so did the line it starts in, up
    // to it (a long line is not laid out again from its start); the rest is laid out anew as
    // shown. After a whole-text step, everything is.
    const std::optional<std::size_t> at = m_history.lastMovedAt();
    const std::size_t firstLine = at ? m_text.lineOf(*at > 0 ? *at - 1 : 0) : 0;
    if (!at) {
        m_wraps.clear();
    } else {
        m_wraps.erase(m_wraps.upper_bound(firstLine), m_wraps.end());
        if (auto it = m_wraps.find(firstLine); it != m_wraps.end()) {
            const std::size_t start = m_text.lineStart(firstLine);
            it->second->edited(*at > start ? *at - 1 - start : 0);
        }
    }
    if (!at || m_top.line > firstLine) {
        m_top.line = std::min(m_top.line, m_text.lineCount() - 1);
        m_top.row = 0;
    } else {
        const TextPieces bytes = lineBytes(m_top.line);
        wrap::LineWrap& w = wrapOf(m_top.line);
        m_top.row = w.rowOf(bytes, w.row(bytes, m_top.row).start);
    }
    m_anchor = normalized(selection->start);
    m_caret = normalized(selection->start + selection->length);
    m_goalX = -1;
    ensureCaretVisible();
    updateScrollBar();
    viewport()->update();
    emit textChanged();
    emit selectionChanged();
}

void TextView::undo()
{
    if (!m_readOnly)
        afterHistoryMove(m_history.undo(m_text));
}

void TextView::redo()
{
    if (!m_readOnly)
        afterHistoryMove(m_history.redo(m_text));
}

void TextView::cut()
{
    if (m_readOnly || selLength() == 0)
        return;
    copy();
    deleteSelection();
}

void TextView::copy() const
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
        edit(selStart(), selLength(), {}, false);
}

void TextView::selectAll()
{
    m_anchor = 0;
    moveCaret(m_text.size(), true);
}

QMimeData* TextView::selectionMimeData() const
{
    auto* data = new QMimeData;
    data->setText(mime_text::ClipboardText(selectedBytes()));
    return data;
}

void TextView::insertFromMimeData(const QMimeData* source)
{
    if (source && source->hasText())
        insertText(source->text(), false);
}

void TextView::publishSelection() const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && selLength() > 0)
        clipboard->setMimeData(selectionMimeData(), QClipboard::Selection);
}

// ---- keys

bool TextView::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Tab and Shift+Tab are text here, not a move of the focus.
        if (key->key() == Qt::Key_Tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (key->matches(QKeySequence::Undo) || IsRedo(key) ||
            key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll) ||
            (plain && !key->text().isEmpty())) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TextView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (IsRedo(event)) {
        redo();
    } else if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else {
        const std::size_t pos = m_caret;
        switch (event->key()) {
        case Qt::Key_Left:
            if (!shift && selLength() > 0 && !ctrl)
                moveCaret(selStart(), false);
            else
                moveCaret(ctrl ? previousWord(pos) : previousChar(pos), shift);
            break;
        case Qt::Key_Right:
            if (!shift && selLength() > 0 && !ctrl)
                moveCaret(selStart() + selLength(), false);
            else
                moveCaret(ctrl ? nextWord(pos) : nextChar(pos), shift);
            break;
        case Qt::Key_Up:
            moveVertically(-1, shift);
            break;
        case Qt::Key_Down:
            moveVertically(1, shift);
            break;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            const long rows = visibleRows();
            const bool down = event->key() == Qt::Key_PageDown;
            RowPos top = m_top;
            for (long n = 0; n < rows && (down ? nextRow(top) : previousRow(top)); ++n) {
            }
            m_top = top;
            moveVertically(down ? rows : -rows, shift);
            break;
        }
        case Qt::Key_Home:
        case Qt::Key_End: {
            const bool home = event->key() == Qt::Key_Home;
            if (ctrl) {
                moveCaret(home ? 0 : m_text.size(), shift);
                break;
            }
            const RowPos at = rowOfPos(pos);
            const std::size_t start = m_text.lineStart(at.line);
            const TextPieces line = lineBytes(at.line);
            wrap::LineWrap& w = wrapOf(at.line);
            moveCaret(start + (home ? w.row(line, at.row).start
                                    : w.positionAt(line, at.row, std::numeric_limits<wrap::Fixed>::max() / 4)),
                      shift);
            break;
        }
        case Qt::Key_Backspace:
            if (selLength() > 0)
                deleteSelection();
            else if (pos > 0) {
                const std::size_t from = ctrl ? previousWord(pos) : previousChar(pos);
                edit(from, pos - from, {}, false);
            }
            break;
        case Qt::Key_Delete:
            if (shift && !ctrl)
                cut();
            else if (selLength() > 0)
                deleteSelection();
            else if (pos < m_text.size())
                edit(pos, (ctrl ? nextWord(pos) : nextChar(pos)) - pos, {}, false);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Shift+Enter too: a line break is the one break the text knows.
            edit(selStart(), selLength(), "\r\n", true);
            break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            edit(selStart(), selLength(), "\t", true);
            break;
        default: {
            // Every key that types something: format characters and characters beyond the
            // 16-bit range too, which have no byte and become '?'.
            const QString typed = event->text();
            const bool typesText = !ctrl && std::any_of(typed.cbegin(), typed.cend(), [](QChar c) {
                return c.unicode() >= u' ' && c.unicode() != u'\x7f';
            });
            if (!typesText) {
                QAbstractScrollArea::keyPressEvent(event);
                return;
            }
            insertText(typed, true);
        }
        }
    }
    event->accept();
}

void TextView::inputMethodEvent(QInputMethodEvent* event)
{
    m_preedit = m_readOnly ? QString() : event->preeditString();
    if (!event->commitString().isEmpty())
        insertText(event->commitString(), true);
    viewport()->update();
    event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    auto* self = const_cast<TextView*>(this);
    switch (query) {
    case Qt::ImEnabled:
        return !m_readOnly;
    case Qt::ImCursorRectangle: {
        const QPointF at = self->pointOf(m_caret);
        return QRectF(at, QSizeF(1, m_lineHeight)).translated(viewport()->pos()).toRect();
    }
    case Qt::ImFont:
        return m_drawFont;
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition: {
        const std::size_t pos = query == Qt::ImCursorPosition ? m_caret : m_anchor;
        const std::size_t lineStart = m_text.lineStart(m_text.lineOf(m_caret));
        return static_cast<int>(std::min<std::size_t>(pos > lineStart ? pos - lineStart : 0, 1 << 20));
    }
    case Qt::ImSurroundingText: {
        const std::size_t line = m_text.lineOf(m_caret);
        const std::size_t start = m_text.lineStart(line);
        const std::size_t len = std::min<std::size_t>(m_text.lineEnd(line) - start, 1 << 20);
        return mime_text::ClipboardText(m_text.bytes(start, len));
    }
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

QPointF TextView::pointOf(std::size_t pos)
{
    pos = normalized(pos);
    const RowPos caret = rowOfPos(pos);
    const long rows = rowsFromTop(caret, visibleRows());
    const std::size_t lineStart = m_text.lineStart(caret.line);
    const qreal x = kMargin + wrapOf(caret.line).xOf(lineBytes(caret.line), pos - lineStart) / 64.0;
    return {x, kMargin + std::max(0L, rows) * m_lineHeight};
}

// ---- mouse

std::size_t TextView::positionAt(QPoint point)
{
    RowPos at = m_top;
    const long rows = static_cast<long>(std::floor((point.y() - kMargin) / m_lineHeight));
    for (long n = 0; n < rows && nextRow(at); ++n) {
    }
    const wrap::Fixed x = std::max<wrap::Fixed>(0, (point.x() - kMargin) * wrap::Fixed{64});
    return m_text.lineStart(at.line) + wrapOf(at.line).positionAt(lineBytes(at.line), at.row, x);
}

void TextView::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::MiddleButton) {
        const QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection() && !m_readOnly) {
            moveCaret(positionAt(point), false);
            insertFromMimeData(clipboard->mimeData(QClipboard::Selection));
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_mouse = point;
    const std::size_t pos = normalized(positionAt(point));
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    m_mayDrag = !shift && selLength() > 0 && pos >= selStart() && pos < selStart() + selLength();
    if (!m_mayDrag)
        moveCaret(pos, shift);
    m_goalX = -1;
}

void TextView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    const QPoint point = event->position().toPoint();
    if (m_mayDrag) {
        if ((point - m_mouse).manhattanLength() < QApplication::startDragDistance())
            return;
        m_mayDrag = false;
        m_pressed = false;
        auto* drag = new QDrag(this);
        drag->setMimeData(selectionMimeData());
        const std::size_t start = selStart();
        const std::size_t length = selLength();
        const std::string moved = selectedBytes();
        if (drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction) == Qt::MoveAction &&
            drag->target() != viewport() && !m_readOnly && m_text.bytes(start, length) == moved)
            edit(start, length, {}, false);
        return;
    }
    m_mouse = point;
    const bool outside = point.y() < 0 || point.y() >= viewport()->height();
    if (outside && !m_autoScroll.isActive())
        m_autoScroll.start();
    else if (!outside)
        m_autoScroll.stop();
    moveCaret(positionAt(QPoint(point.x(), std::clamp(point.y(), 0, viewport()->height() - 1))),
              true);
}

void TextView::autoScroll()
{
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + (m_mouse.y() < 0 ? -1 : 1));
    const int y = m_mouse.y() < 0 ? 0 : viewport()->height() - 1;
    m_caret = normalized(positionAt(QPoint(m_mouse.x(), y)));
    viewport()->update();
    emit selectionChanged();
}

void TextView::mouseReleaseEvent(QMouseEvent* event)
{
    m_autoScroll.stop();
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    if (m_mayDrag)
        moveCaret(positionAt(event->position().toPoint()), false);
    m_pressed = false;
    m_mayDrag = false;
    publishSelection();
    if (viewport()->rect().contains(event->position().toPoint()))
        emit clicked();
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The character under the mouse, not the boundary nearest to it.
    const QPoint point = event->position().toPoint();
    std::size_t pos = normalized(positionAt(point));
    const std::size_t line = m_text.lineOf(pos);
    const std::size_t lineStart = m_text.lineStart(line);
    const std::size_t lineEnd = m_text.lineEnd(line);
    const wrap::Fixed x = (point.x() - kMargin) * wrap::Fixed{64};
    if (pos > lineStart && wrapOf(line).xOf(lineBytes(line), pos - lineStart) > x)
        --pos;
    std::size_t from = pos;
    std::size_t to = pos;
    if (pos < lineEnd) {
        const auto kind = [this](std::size_t i) { return Kind(m_text.at(i)); };
        const int k = kind(pos);
        to = pos + 1;
        // A word or a run of blanks as a whole; any other character alone.
        while (k != 2 && from > lineStart && kind(from - 1) == k)
            --from;
        while (k != 2 && to < lineEnd && kind(to) == k)
            ++to;
    }
    m_anchor = from;
    moveCaret(to, true);
    m_pressed = true;
    m_mayDrag = false;
    publishSelection();
}

void TextView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = makeContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu* TextView::makeContextMenu()
{
    auto* menu = new QMenu(this);
    const bool editable = !m_readOnly;
    const bool selected = selLength() > 0;
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    auto add = [&](const QString& text, bool enabled, auto slot) {
        QAction* action = menu->addAction(text, this, slot);
        action->setEnabled(enabled);
    };
    add(tr("&Undo"), editable && canUndo(), &TextView::undo);
    add(tr("&Redo"), editable && canRedo(), &TextView::redo);
    menu->addSeparator();
    add(tr("Cu&t"), editable && selected, &TextView::cut);
    add(tr("&Copy"), selected, &TextView::copy);
    add(tr("&Paste"), editable && clip && clip->hasText(), &TextView::paste);
    add(tr("Delete"), editable && selected, &TextView::deleteSelection);
    menu->addSeparator();
    add(tr("Select All"), !m_text.empty(), &TextView::selectAll);
    return menu;
}

// ---- focus, size, font

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
    relayout();
}

void TextView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMetrics();
}

// ---- drops

void TextView::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!mime_text::DraggedFile(data).isEmpty() || (data->hasText() && !m_readOnly))
        event->acceptProposedAction();
}

void TextView::dragMoveEvent(QDragMoveEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!mime_text::DraggedFile(data).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    if (!data->hasText() || m_readOnly)
        return;
    m_caret = m_anchor = normalized(positionAt(event->position().toPoint()));
    viewport()->update();
    event->acceptProposedAction();
}

void TextView::dropEvent(QDropEvent* event)
{
    // A dragged file is taken whole, as a document to open; dragged text goes in as text.
    const QString file = mime_text::DraggedFile(event->mimeData());
    if (!file.isEmpty()) {
        event->acceptProposedAction();
        emit fileDropped(file);
        return;
    }
    if (m_readOnly || !event->mimeData()->hasText())
        return;
    const std::size_t pos = normalized(positionAt(event->position().toPoint()));
    auto* source = qobject_cast<TextView*>(event->source());
    if (source == this && event->dropAction() == Qt::MoveAction) {
        // Moved within the text: out of the old place, into the new one, as two steps.
        const std::size_t start = selStart();
        const std::size_t length = selLength();
        if (pos >= start && pos <= start + length) {
            event->ignore();
            return;
        }
        const std::string moved = selectedBytes();
        edit(start, length, {}, false);
        const std::size_t at = pos > start ? pos - length : pos;
        m_caret = m_anchor = at;
        edit(at, 0, moved, false);
        m_anchor = at;
        moveCaret(at + moved.size(), true);
        event->setDropAction(Qt::CopyAction);  // the source has nothing left to delete
        event->accept();
        return;
    }
    m_caret = m_anchor = pos;
    insertFromMimeData(event->mimeData());
    event->acceptProposedAction();
}
