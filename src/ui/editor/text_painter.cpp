#include "ui/editor/text_painter.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPainter>

#include "core/win1252.h"

namespace {

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

const PaintMarks::Range* RangeAt(const PaintMarks& marks, std::size_t pos)
{
    for (const PaintMarks::Range& r : marks.ranges)
        if (pos >= r.start && pos < r.end)
            return &r;
    return nullptr;
}

}  // namespace

bool TextPainter::IsBoxed(unsigned char byte)
{
    switch (byte) {
    case 0:
    case '\t':
    case '\n':
    case '\r':
        return false;
    case 0x7F:
    case 0x81:
    case 0x8D:
    case 0x8F:
    case 0x90:
    case 0x9D:
        return true;
    default:
        return byte < 0x20;
    }
}

void TextPainter::setFont(const QFont& font, const QPaintDevice* device)
{
    m_font = font;
    m_font.setKerning(false);
    m_font.setStyleStrategy(QFont::PreferNoShaping);
    const QFontMetricsF fm(m_font, device);
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        qreal advance = fm.horizontalAdvance(Glyph(byte));
        // A box as wide as the typeface's own box for a character it lacks, as text boxes draw
        // it; as wide as a digit where the typeface gives it no width.
        if (IsBoxed(byte) && advance < 3)
            advance = std::max<qreal>(3, fm.horizontalAdvance(QLatin1Char('0')));
        m_metrics.advance[b] = std::llround(advance * 64);
        m_metrics.overhang[b] = std::llround(std::max<qreal>(0, -fm.rightBearing(Glyph(byte))) * 64);
    }
    m_metrics.tabStop = 80 * 64;
    // Whole pixels a row, as the desktop's text boxes lay their lines.
    m_lineHeight = std::max<qreal>(1, std::ceil(fm.lineSpacing()));
    m_ascent = fm.ascent();
}

void TextPainter::drawRows(QPainter& painter, RowLayout& rows, const ByteText& text, RowPos first,
                           QPointF origin, qreal bottom, const QRectF& clip,
                           const PaintMarks& marks, const QPalette& palette) const
{
    painter.setFont(m_font);
    RowPos at = first;
    for (qreal y = origin.y(); y < bottom && y <= clip.bottom(); y += m_lineHeight) {
        if (y + m_lineHeight > clip.top())
            drawRow(painter, rows, text, at, {origin.x(), y}, marks, palette);
        if (!rows.next(at))
            break;
    }
}

qreal TextPainter::lineNumbersWidth(std::size_t lines) const
{
    int digits = 1;
    for (; lines >= 10; lines /= 10)
        ++digits;
    return digits * (m_metrics.advance['0'] / 64.0);
}

void TextPainter::drawLineNumbers(QPainter& painter, RowLayout& rows, RowPos first, qreal right,
                                  qreal top, qreal bottom, const QRectF& clip,
                                  const QPalette& palette) const
{
    painter.setFont(m_font);
    painter.setPen(palette.color(QPalette::PlaceholderText));
    RowPos at = first;
    for (qreal y = top; y < bottom && y <= clip.bottom(); y += m_lineHeight) {
        // A wrapped line's number stands on its first row only; the rows know their line, so
        // no number is looked up.
        if (at.row == 0 && y + m_lineHeight > clip.top()) {
            const QString number = QString::number(at.line + 1);
            qreal width = 0;
            for (const QChar digit : number)
                width += m_metrics.advance[static_cast<unsigned char>(digit.toLatin1())] / 64.0;
            painter.drawText(QPointF(right - width, y + m_ascent), number);
        }
        if (!rows.next(at))
            break;
    }
}

void TextPainter::drawRow(QPainter& p, RowLayout& rows, const ByteText& text, RowPos at,
                          QPointF origin, const PaintMarks& marks, const QPalette& pal) const
{
    const std::size_t lineStart = text.lineStart(at.line);
    const std::size_t lineEnd = text.lineEnd(at.line);
    const TextPieces line = text.pieces(lineStart, lineEnd - lineStart);
    const wrap::Row row = rows.row(at);
    const bool last = rows.isLastRow(at, row);
    const qreal top = origin.y();
    const qreal baseline = top + m_ascent;
    // The carets of a row: a position where a row ends belongs to the next one, but for the last.
    const auto onRow = [&](std::size_t pos) {
        return pos != PaintMarks::kNone && pos >= lineStart + row.start &&
               (pos < lineStart + row.end || (last && pos == lineStart + row.end));
    };
    const bool caretRow = onRow(marks.caret);
    const bool composing = caretRow && !marks.preedit.isEmpty();
    const qreal preeditWidth =
        composing ? QFontMetricsF(m_font).horizontalAdvance(marks.preedit) : 0;

    qreal pushed = 0;
    wrap::Fixed x = 0;
    wrap::Fixed runX = 0;
    const PaintMarks::Range* runRange = nullptr;
    QString run;
    const auto flush = [&](wrap::Fixed endX) {
        const qreal left = origin.x() + pushed + runX / 64.0;
        if (runRange)
            p.fillRect(QRectF(left, top, (endX - runX) / 64.0, m_lineHeight),
                       pal.brush(runRange->background));
        if (!run.isEmpty()) {
            p.setPen(pal.color(runRange ? runRange->foreground : QPalette::Text));
            p.drawText(QPointF(left, baseline), run);
        }
        run.clear();
        runX = endX;
    };
    for (std::size_t i = row.start; i < row.end; ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        const std::size_t pos = lineStart + i;
        if (composing && pos == marks.caret) {
            flush(x);
            pushed = preeditWidth;
        }
        const PaintMarks::Range* range = RangeAt(marks, pos);
        const bool boxed = IsBoxed(byte);
        if (range != runRange || byte == '\t' || boxed) {
            flush(x);
            runRange = range;
        }
        const wrap::Fixed w = wrap::Advance(m_metrics, byte, x);
        if (byte == '\t' || boxed) {
            x += w;
            flush(x);
            if (boxed) {
                const qreal left = origin.x() + pushed + (x - w) / 64.0;
                const qreal height = std::max<qreal>(3, m_ascent * 0.7);
                p.setPen(pal.color(range ? range->foreground : QPalette::Text));
                p.drawRect(QRectF(left + 1.5, baseline - height + 0.5, w / 64.0 - 3, height - 1));
            }
            continue;
        }
        run += Glyph(byte);
        x += w;
    }
    flush(x);
    // A line break inside a range shows as a space's width of it after the line.
    if (last && at.line + 1 < text.lineCount()) {
        if (const PaintMarks::Range* range = RangeAt(marks, lineEnd))
            p.fillRect(QRectF(origin.x() + pushed + x / 64.0, top,
                              m_metrics.advance[' '] / 64.0, m_lineHeight),
                       pal.brush(range->background));
    }
    if (caretRow) {
        const qreal cx = origin.x() + rows.xOf(marks.caret) / 64.0;
        if (composing) {
            p.setPen(pal.color(QPalette::Text));
            p.drawText(QPointF(cx, baseline), marks.preedit);
            p.drawLine(QPointF(cx, baseline + 2), QPointF(cx + preeditWidth, baseline + 2));
        }
        if (marks.caretShown)
            p.fillRect(QRectF(cx + preeditWidth, top, 1, m_lineHeight), pal.brush(QPalette::Text));
    }
    if (onRow(marks.dropCaret)) {
        const qreal dx = origin.x() + rows.xOf(marks.dropCaret) / 64.0;
        p.fillRect(QRectF(dx, top, 1, m_lineHeight), pal.brush(QPalette::Text));
    }
}
