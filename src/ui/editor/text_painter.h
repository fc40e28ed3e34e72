#pragma once

#include <cstddef>
#include <limits>
#include <vector>

#include <QFont>
#include <QPalette>
#include <QString>

#include "core/row_layout.h"

class QPaintDevice;
class QPainter;

// What the rows show besides the text: runs of bytes in other colours (the selection; any
// other highlight a caller wants) and the carets. Positions are byte positions of the text.
struct PaintMarks {
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

    struct Range {
        std::size_t start = 0;
        std::size_t end = 0;
        QPalette::ColorRole background = QPalette::Highlight;
        QPalette::ColorRole foreground = QPalette::HighlightedText;
    };
    // The first range that holds a byte colours it; a line break inside a range shows as a
    // space's width of its background after the line.
    std::vector<Range> ranges;
    std::size_t caret = kNone;
    bool caretShown = true;  // off while the caret blinks off; a composed text still shows
    // Where dragged text would be dropped: a caret of its own, the selection left alone.
    std::size_t dropCaret = kNone;
    // An input method's text being composed at the caret: it pushes the rest of the row aside.
    QString preedit;
};

// Draws rows of the text onto any QPainter: a widget, an image, a printer's page. It owns the
// typeface as drawn, with no kerning and no ligatures so that the advances of the bytes add up,
// and gives the row layout those advances. Each byte is one character: its Windows-1252
// character; NUL, a lone CR and a lone LF as their visible symbols; the other control bytes and
// the five bytes Windows-1252 leaves undefined as a box, so that the caret never moves unseen.
class TextPainter final {
public:
    // Measures the typeface as it is drawn on `device`.
    void setFont(const QFont& font, const QPaintDevice* device);
    const QFont& font() const { return m_font; }
    const wrap::Metrics& metrics() const { return m_metrics; }
    qreal lineHeight() const { return m_lineHeight; }

    // Rows from `first` on, the first row's text starting at `origin` (its top left), down to
    // `bottom` or the text's end; rows outside `clip` are skipped.
    void drawRows(QPainter& painter, RowLayout& rows, const ByteText& text, RowPos first,
                  QPointF origin, qreal bottom, const QRectF& clip, const PaintMarks& marks,
                  const QPalette& palette) const;

    // The number of each line whose first row is among the rows from `first` down to `bottom`,
    // right-aligned to `right` (x), the row's top at `top` (y) as drawRows places it, in
    // `palette`'s placeholder colour.
    void drawLineNumbers(QPainter& painter, RowLayout& rows, RowPos first, qreal right, qreal top,
                         qreal bottom, const QRectF& clip, const QPalette& palette) const;
    // The width of the widest of the numbers of `lines` lines.
    qreal lineNumbersWidth(std::size_t lines) const;

    // The bytes drawn as a box.
    static bool IsBoxed(unsigned char byte);

private:
    void drawRow(QPainter& painter, RowLayout& rows, const ByteText& text, RowPos at,
                 QPointF origin, const PaintMarks& marks, const QPalette& palette) const;

    QFont m_font;
    wrap::Metrics m_metrics;
    qreal m_lineHeight = 1;
    qreal m_ascent = 0;
};
