#include "ui/info/fHelp.h"

#include <string>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/command_error.h"
#include "document/document_file.h"
#include "document/file_messages.h"
#include "document/file_read.h"
#include "ui/common/display_text.h"
#include "ui/common/look.h"
#include "ui/common/maker.h"
#include "ui/editor/text_view.h"
#include "ui/info/info_widgets.h"
#include "ui/platform/command_guard.h"
#include "ui/platform/desktop.h"

namespace {
const char* const kCaption = QT_TRANSLATE_NOOP("TfHelpPas", "Plimo - Help");
const char* const kLinkText = QT_TRANSLATE_NOOP("TfHelpPas", "Visit Plimo Help pages online");
const char* const kClose = QT_TRANSLATE_NOOP("TfHelpPas", "Close");

constexpr QSize kOuterSize{592, 556};
constexpr QPoint kPosition{608, 147};
constexpr int kPanelBorder = 15;
constexpr int kBarHeight = 62;
constexpr QPoint kLinkPos{24, 23};
constexpr int kLinkPixels = 15;
constexpr QRect kCloseRect{448, 16, 80, 32};
// The Close button keeps 16 pixels to the bar's right edge, but only while the bar is wider
// than this; a narrower bar leaves the button where it was.
constexpr int kFollowMinBarWidth = 311;
constexpr int kCloseFromRight = 96;
constexpr int kTextPixels = 19;
// Our help text is a few kilobytes; a file far larger is not it.
constexpr std::size_t kHelpFileLimit = 1024 * 1024;
}  // namespace

std::string HelpTextFromBytes(std::string_view bytes)
{
    // Like a list of lines read from a file: the line end of the last line makes no new line.
    if (bytes.ends_with("\r\n"))
        bytes.remove_suffix(2);
    else if (bytes.ends_with('\r') || bytes.ends_with('\n'))
        bytes.remove_suffix(1);
    return NormaliseLineBreaks(bytes);
}

TfHelpPas::TfHelpPas(Desktop& desktop, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_desktop(desktop)
{
    setWindowTitle(tr(kCaption));
    resize(kOuterSize);
    move(kPosition);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Panel1);

    pHelp = new QWidget(Panel1);
    pHelp->setFixedHeight(kBarHeight);
    pHelp->setAutoFillBackground(true);
    QPalette barPalette = pHelp->palette();
    barPalette.setColor(QPalette::Window, kSilver);
    pHelp->setPalette(barPalette);

    auto* link = new LinkLabel(tr(kLinkText), kLinkPixels, pHelp);
    link->move(kLinkPos);
    connect(link, &LinkLabel::clicked, this, &TfHelpPas::Label1Click);
    Label1 = link;

    cH = new QPushButton(tr(kClose), pHelp);
    cH->setGeometry(kCloseRect);
    connect(cH, &QPushButton::clicked, this, &TfHelpPas::cHClick);

    // The editing area's own view, read-only: it wraps at word boundaries, else anywhere, so a
    // line without blanks wider than the window is broken too, never scrolled sideways, and a
    // long help file costs only what is shown of it.
    memoH = new TextView(Panel1);
    memoH->setReadOnly(true);
    memoH->setFont(DesignFont(kTextPixels));
    QPalette textPalette = memoH->palette();
    textPalette.setColor(QPalette::Text, Qt::black);
    memoH->setPalette(textPalette);

    auto* inner = new QVBoxLayout(Panel1);
    const int margin = Panel1->frameWidth() + kPanelBorder;
    inner->setContentsMargins(margin, margin, margin, margin);
    inner->setSpacing(0);
    inner->addWidget(pHelp);
    inner->addWidget(memoH);

    FormCreate();
}

// Runs once, when the program creates its windows: the help text is not read again.
void TfHelpPas::FormCreate()
{
    memoH->setBytes({});
    RunCommand(m_desktop, [this] {
        // Regular files only, read without blocking: a pipe or a device in its place would stall
        // the start or fill the memory.
        std::string bytes;
        if (ReadWholeFile(std::string(kHelpFileName), kHelpFileLimit, bytes) != TReadResult::Ok)
            throw CommandError(Tr(kCannotOpenFile) + std::string(kHelpFileName));
        memoH->setBytes(HelpTextFromBytes(bytes));
    });
    cH->move(kCloseRect.topLeft());
}

void TfHelpPas::Label1Click()
{
    m_desktop.openUrl(std::string(kMakerWebSite));
}

void TfHelpPas::cHClick()
{
    accept();
}

void TfHelpPas::FormResize()
{
    const int barWidth = pHelp->width();
    if (barWidth > kFollowMinBarWidth)
        cH->move(barWidth - kCloseFromRight, cH->y());
}

void TfHelpPas::resizeEvent(QResizeEvent* event)
{
    // The layouts have given the bar its new width before this runs.
    QDialog::resizeEvent(event);
    FormResize();
}

void TfHelpPas::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The designed size is the outer size; the frame is known once the window has one.
    const QSize frame = frameGeometry().size() - size();
    if (!frame.isEmpty())
        resize(kOuterSize - frame);
}
