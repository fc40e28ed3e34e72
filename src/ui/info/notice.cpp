#include "ui/info/notice.h"

#include <algorithm>

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/common/display_text.h"
#include "ui/common/look.h"
#include "ui/info/info_widgets.h"
#include "ui/info/pictures.h"
#include "ui/platform/busy_cursor.h"
#include "ui/platform/desktop.h"

namespace {
const char* const kCaption = QT_TRANSLATE_NOOP("TfNote", "Plimo - Note");
const char* const kClose = QT_TRANSLATE_NOOP("TfNote", "Close");

constexpr int kWidth = 368;
constexpr int kHeight = 159;
constexpr QRect kButtonRect{224, 104, 129, 41};
constexpr QRect kImageRect{24, 24, 64, 62};
constexpr int kLabelLeft = 96;
constexpr int kLabelTop = 24;
constexpr int kLabelWidth = 249;
constexpr int kLabelPixels = 15;
// Space kept between a message that outgrew its room and the Close button.
constexpr int kTallGap = 8;
}  // namespace

TfNote::TfNote(Desktop& desktop, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_desktop(desktop)
{
    setWindowTitle(tr(kCaption));
    setFixedSize(kWidth, kHeight);

    Button1 = new QPushButton(tr(kClose), this);
    Button1->setGeometry(kButtonRect);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfNote::Button1Click);

    Label1 = new QLabel(this);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFont(DesignFont(kLabelPixels));
    Label1->setGeometry(kLabelLeft, kLabelTop, kLabelWidth, 0);

    Image1 = new QLabel(this);
    Image1->setGeometry(kImageRect);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap::fromImage(LoadPicture(Picture::Note)));

    Button1->setFocus();
    m_previousHandler = SetNoteHandler([this](std::string_view text) { ShowMessage(text); });
}

TfNote::~TfNote()
{
    SetNoteHandler(std::move(m_previousHandler));
}

void TfNote::ShowMessage(std::string_view text)
{
    Label1->setText(display_text::LinesFromBytes(text));
    fitMessage();
    Button1->setFocus();
    ModalCursor cursor;
    exec();
}

// The label wraps at its fixed width and takes the height of its text. A text taller than the
// room above the Close button makes the window taller rather than running under the button.
void TfNote::fitMessage()
{
    const int textHeight = std::max(Label1->heightForWidth(kLabelWidth), 0);
    int buttonTop = kButtonRect.top();
    if (kLabelTop + textHeight > buttonTop)
        buttonTop = kLabelTop + textHeight + kTallGap;
    int height = kHeight + (buttonTop - kButtonRect.top());

    // Never taller than the screen: the window would open with its caption out of reach.
    const int screenHeight = m_desktop.primaryScreenSize().height();
    const int frame = frameGeometry().height() - geometry().height();
    if (screenHeight > kHeight + frame && height + frame > screenHeight) {
        height = screenHeight - frame;
        buttonTop = height - (kHeight - kButtonRect.top());
    }

    Label1->setGeometry(kLabelLeft, kLabelTop, kLabelWidth,
                        std::min(textHeight, buttonTop - kLabelTop));
    Button1->move(kButtonRect.left(), buttonTop);
    setFixedSize(kWidth, height);
}

void TfNote::Button1Click()
{
    accept();
}

// Centred on the primary screen at every show, by the outer size, also after the user moved it.
void TfNote::FormShow()
{
    const QSize screen = m_desktop.primaryScreenSize();
    const QSize outer = frameGeometry().size();
    move((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2);
}

void TfNote::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}
