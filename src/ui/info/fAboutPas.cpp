#include "ui/info/fAboutPas.h"

#include <string>

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/common/display_text.h"
#include "ui/common/look.h"
#include "ui/common/maker.h"
#include "ui/info/info_widgets.h"
#include "ui/info/pictures.h"
#include "ui/platform/desktop.h"

namespace {
const char* const kCaption = QT_TRANSLATE_NOOP("TfAbout", "Plimo - About");
const char* const kClose = QT_TRANSLATE_NOOP("TfAbout", "Close");

constexpr QSize kInnerSize{423, 274};
constexpr QPoint kPosition{454, 184};
constexpr QPoint kTitlePos{25, 32};
constexpr int kTitlePixels = 20;
constexpr QPoint kMakerPos{25, 120};
constexpr QPoint kLocationPos{25, 144};
constexpr QPoint kLinkPos{25, 168};
constexpr int kMakerPixels = 16;
constexpr QRect kImageRect{296, 32, 109, 145};
constexpr QRect kButtonRect{280, 208, 121, 49};
constexpr int kButtonPixels = 15;

QLabel* MakeLabel(const QString& text, QPoint pos, int pixelSize, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(DesignFont(pixelSize));
    label->move(pos);
    label->adjustSize();
    return label;
}

}  // namespace

TfAbout::TfAbout(Desktop& desktop, std::string_view appTitle, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_desktop(desktop)
{
    setWindowTitle(tr(kCaption));
    setFixedSize(kInnerSize);
    move(kPosition);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    Label2 = MakeLabel({}, kTitlePos, kTitlePixels, this);
    Label3 = MakeLabel(display_text::FromUtf8(kMakerName), kMakerPos, kMakerPixels, this);
    Label4 = MakeLabel(display_text::FromUtf8(kMakerLocation), kLocationPos, kMakerPixels, this);
    auto* link = new LinkLabel(display_text::FromUtf8(kMakerWebSiteText), kMakerPixels, this);
    link->move(kLinkPos);
    connect(link, &LinkLabel::clicked, this, &TfAbout::Label5Click);
    Label5 = link;

    Image1 = new QLabel(this);
    Image1->setGeometry(kImageRect);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap::fromImage(LoadPicture(Picture::About)));

    Button1 = new QPushButton(tr(kClose), this);
    Button1->setGeometry(kButtonRect);
    Button1->setFont(DesignFont(kButtonPixels));
    Button1->setDefault(true);
    Button1->setFocus();
    connect(Button1, &QPushButton::clicked, this, &TfAbout::Button1Click);

    FormCreate(appTitle);
}

void TfAbout::FormCreate(std::string_view appTitle)
{
    Label2->setText(display_text::LinesFromBytes(appTitle));
    Label2->adjustSize();
}

void TfAbout::Label5Click()
{
    m_desktop.openUrl(std::string(kMakerWebSite));
}

void TfAbout::Button1Click()
{
    accept();
}
