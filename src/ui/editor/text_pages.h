#pragma once

#include <cstddef>
#include <memory>

#include <QFont>
#include <QSizeF>
#include <QString>

#include "core/page_layout.h"
#include "core/row_layout.h"
#include "ui/editor/text_painter.h"

class QPaintDevice;
class QPainter;

// The text on pages, for the printer and the print preview: the editing area's typeface and wrap
// rule at the page's width, drawn by the editing area's own TextPainter. Each page has a header,
// the document's name on the left and "page N of M" on the right, over a rule. The pages are
// counted a piece at a time (count()); a page is laid out only when it is drawn. The text must
// stay the same while the pages are in use.
class TextPages final {
public:
    // `device`: what the pages are measured for (the printer); `page`: its printable area in the
    // device's pixels; `typeface`: the editing area's font, drawn at `points` on the page.
    TextPages(const ByteText& text, const QFont& typeface, int points, const QPaintDevice* device,
              QSizeF page, QString name);
    ~TextPages();

    PageCount& count() { return *m_count; }
    const PageCount& count() const { return *m_count; }
    QSizeF pageSize() const { return m_page; }
    // Draws a counted page, header and rows, with the page's top left at the painter's origin.
    // Until all pages are counted the header says "page N of ...".
    void drawPage(QPainter& painter, std::size_t page);
    // What the header says on the right.
    QString pageOfPages(std::size_t page) const;

private:
    const ByteText& m_text;
    TextPainter m_painter;
    QFont m_headerFont;
    QSizeF m_page;
    QString m_name;
    qreal m_headerHeight = 0;
    RowLayout m_rows;
    std::unique_ptr<PageCount> m_count;
};
