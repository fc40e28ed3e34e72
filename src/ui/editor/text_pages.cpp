#include "ui/editor/text_pages.h"

#include <algorithm>
#include <cmath>

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPalette>

namespace {

// A font `points` high on a device of `dpi` dots an inch, sized in the device's pixels, so that
// a preview on the screen scales the page as the printer draws it.
QFont AtPoints(QFont font, qreal points, int dpi)
{
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dpi / 72.0))));
    return font;
}

// The palette of a page: black on white, whatever the desktop's colours.
QPalette PagePalette()
{
    QPalette palette;
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    return palette;
}

}  // namespace

TextPages::TextPages(const ByteText& text, const QFont& typeface, int points,
                     const QPaintDevice* device, QSizeF page, QString name)
    : m_text(text), m_page(page), m_name(std::move(name)), m_rows(text)
{
    const int dpi = device->logicalDpiY();
    m_painter.setFont(AtPoints(typeface, points, dpi), device);
    m_headerFont = AtPoints(typeface, std::max(6.0, points * 0.8), dpi);
    const QFontMetricsF header(m_headerFont, device);
    // The header's line, then half a line of space with the rule in it.
    m_headerHeight = std::ceil(header.lineSpacing() * 1.5);
    const auto width = std::max<wrap::Fixed>(1, std::llround(m_page.width() * 64));
    m_rows.setGeometry(m_painter.metrics(), width);
    const qreal textHeight = std::max<qreal>(0, m_page.height() - m_headerHeight);
    const auto rowsPerPage = static_cast<std::size_t>(
        std::max<qreal>(1, std::floor(textHeight / m_painter.lineHeight())));
    m_count = std::make_unique<PageCount>(text, m_painter.metrics(), width, rowsPerPage);
}

TextPages::~TextPages() = default;

QString TextPages::pageOfPages(std::size_t page) const
{
    const QString of =
        m_count->done() ? QString::number(m_count->pages()) : QStringLiteral("...");
    return QCoreApplication::translate("TextPages", "page %1 of %2").arg(page + 1).arg(of);
}

void TextPages::drawPage(QPainter& painter, std::size_t page)
{
    const QPalette palette = PagePalette();
    painter.save();
    painter.setFont(m_headerFont);
    painter.setPen(Qt::black);
    const QFontMetricsF header(m_headerFont, painter.device());
    const QRectF line(0, 0, m_page.width(), header.lineSpacing());
    const QString right = pageOfPages(page);
    const qreal rightWidth = header.horizontalAdvance(right);
    // A long name gives way to the page number.
    const QString name = header.elidedText(m_name, Qt::ElideMiddle,
                                           std::max<qreal>(0, m_page.width() - rightWidth - line.height()));
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, name);
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, right);
    const qreal ruleY = std::round(line.height() + (m_headerHeight - line.height()) / 2);
    painter.setPen(QPen(Qt::black, std::max<qreal>(1, line.height() / 20)));
    painter.drawLine(QPointF(0, ruleY), QPointF(m_page.width(), ruleY));
    painter.restore();

    const std::size_t rows = m_count->rowsPerPage();
    const RowPos first = m_count->pageStart(page);
    m_rows.setTop(first);
    const QPointF origin(0, m_headerHeight);
    const qreal bottom = origin.y() + static_cast<qreal>(rows) * m_painter.lineHeight() - 0.5;
    m_painter.drawRows(painter, m_rows, m_text, first, origin, bottom,
                       QRectF(QPointF(0, 0), m_page), PaintMarks{}, palette);
    // A long text keeps only the lines near this page laid out.
    m_rows.trim(m_text.lineStart(first.line));
}
