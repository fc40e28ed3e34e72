#include "ui/main/print_preview.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/editor/text_pages.h"
#include "ui/main/print_job.h"

namespace {

// The bytes of the text counted between two looks at the window.
constexpr std::size_t kCountPiece = 4 * 1024 * 1024;
constexpr int kPaperGap = 12;  // grey around the paper, in screen pixels

}  // namespace

// The paper of the shown page, as large as the window allows.
class PrintPreview::PageView final : public QWidget {
public:
    PageView(PrintPreview& preview, QRectF paper, QPointF pageAt)
        : QWidget(&preview), m_preview(preview), m_paper(paper), m_pageAt(pageAt)
    {
        setMinimumSize(200, 260);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        const qreal scale = std::min((width() - 2 * kPaperGap) / m_paper.width(),
                                     (height() - 2 * kPaperGap) / m_paper.height());
        if (scale <= 0)
            return;
        const QSizeF shown = m_paper.size() * scale;
        p.translate((width() - shown.width()) / 2, (height() - shown.height()) / 2);
        p.fillRect(QRectF(QPointF(0, 0), shown), Qt::white);
        p.scale(scale, scale);
        p.translate(m_pageAt);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        m_preview.pages().drawPage(p, m_preview.page());
    }

private:
    PrintPreview& m_preview;
    QRectF m_paper;
    QPointF m_pageAt;  // the printable area's top left on the paper
};

PrintPreview::PrintPreview(const ByteText& text, const QFont& typeface, int points,
                           const QString& name, std::function<void()> print, QWidget* parent)
    : QDialog(parent), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(tr("Print Preview"));
    PreparePrinter(*m_printer, name);
    const QRectF paper = m_printer->paperRect(QPrinter::DevicePixel);
    const QRectF page = m_printer->pageRect(QPrinter::DevicePixel);
    m_pages = std::make_unique<TextPages>(text, typeface, points, m_printer.get(), page.size(),
                                          name);
    m_view = new PageView(*this, paper, page.topLeft() - paper.topLeft());

    previousButton = new QPushButton(tr("&Previous Page"), this);
    nextButton = new QPushButton(tr("&Next Page"), this);
    pageLabel = new QLabel(this);
    pageLabel->setAlignment(Qt::AlignCenter);
    printButton = new QPushButton(tr("P&rint..."), this);
    closeButton = new QPushButton(tr("&Close"), this);
    for (QPushButton* b : {previousButton, nextButton, printButton, closeButton})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(previousButton);
    buttons->addWidget(nextButton);
    buttons->addWidget(pageLabel, 1);
    buttons->addWidget(printButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_view, 1);

    connect(previousButton, &QPushButton::clicked, this, [this] {
        if (m_page > 0)
            showPage(m_page - 1);
    });
    connect(nextButton, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    // Print counts the pages for the printer it is given, with its own progress window.
    connect(printButton, &QPushButton::clicked, this, [print = std::move(print)] { print(); });
    connect(&m_counting, &QTimer::timeout, this, &PrintPreview::countSome);
    m_counting.start(0);
    updateControls();
    resize(620, 760);
}

PrintPreview::~PrintPreview() = default;

QString PrintPreview::pageText() const
{
    const PageCount& count = m_pages->count();
    return tr("Page %1 of %2")
        .arg(m_page + 1)
        .arg(count.done() ? QString::number(count.pages()) : QStringLiteral("..."));
}

void PrintPreview::showPage(std::size_t page)
{
    m_page = std::min(page, m_pages->count().pages() - 1);
    updateControls();
    m_view->update();
}

void PrintPreview::countSome()
{
    PageCount& count = m_pages->count();
    if (count.countOn(kCountPiece)) {
        m_counting.stop();
        if (m_wantLast)
            m_page = count.pages() - 1;
        m_view->update();  // the header says how many pages there are
    }
    updateControls();
}

void PrintPreview::updateControls()
{
    const PageCount& count = m_pages->count();
    previousButton->setEnabled(m_page > 0);
    nextButton->setEnabled(m_page + 1 < count.pages());
    pageLabel->setText(pageText());
}

void PrintPreview::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
        showPage(m_page > 0 ? m_page - 1 : 0);
        return;
    case Qt::Key_PageDown:
        showPage(m_page + 1);
        return;
    case Qt::Key_Home:
        showPage(0);
        return;
    case Qt::Key_End:
        m_wantLast = !m_pages->count().done();
        showPage(m_pages->count().pages() - 1);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
