#include "ui/main/fCPas.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "cipher/level_b_tables.h"
#include "core/command_error.h"
#include "document/atomic_file.h"
#include "document/settings_file.h"
#include "ui/editor/memo.h"
#include "ui/editor/text_codec.h"
#include "ui/main/panel_look.h"
#include "ui/platform/command_guard.h"
#include "ui/platform/desktop.h"

namespace {

constexpr int kPanelHeight = 62;
constexpr int kDesignedClientWidth = 800;
constexpr int kOpenWidth = 700;
constexpr int kOpenHeight = 500;
// The least room kept between neighbouring controls, and after the last one on a panel.
constexpr int kControlGap = 4;
constexpr int kPanelRightMargin = 16;
// The typeface list gives up width for the Font button down to this.
constexpr int kMinTypefaceListWidth = 120;
constexpr int kTypefaceListWidth = 273;
constexpr int kFontButtonLeft = 600;
constexpr int kLabel4Top = 13;
constexpr int kLabel4DesignedHeight = 47;
// Narrower than this, the notice would need a panel taller than the text area: it is cut off.
constexpr int kLabel4MinGrowWidth = 150;

const char* const kTypeSizes[] = {"10", "12", "15", "18", "20", "22", "25", "28", "30", "32", "35"};
const char* const kLevels[] = {"Good - Level A", "Very Good - Level B", "Secure - Level C"};
const char* const kLabel4Text =
    "Password change can give you more security. Documents that used previous pwd for Level A "
    "encryption will not be able to decrypt with changed password.";

QFont DesignFont(int pixels)
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(pixels);
    return f;
}

void Fill(QWidget* w, const QColor& colour)
{
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}

QLineEdit* Edit(QWidget* parent, int x, int y, int w, int h)
{
    auto* e = new QLineEdit(parent);
    e->setGeometry(x, y, w, h);
    e->setFont(DesignFont(16));
    return e;
}

QPushButton* Button(QWidget* parent, const char* caption, int x, int y, int w = 80, int h = 32)
{
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setGeometry(x, y, w, h);
    b->setAutoDefault(false);
    return b;
}

QComboBox* List(QWidget* parent, int x, int y, int w)
{
    auto* c = new QComboBox(parent);
    c->setGeometry(x, y, w, 26);
    c->setFont(DesignFont(16));
    c->setEditable(false);
    return c;
}

QLabel* Label(QWidget* parent, const char* caption, int x, int y)
{
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->move(x, y);
    l->adjustSize();
    return l;
}

// Widens a control whose caption or longest entry does not fit its designed width, and moves
// the controls to its right along as far as they would otherwise overlap it. Controls whose text
// fits keep their designed places and sizes. Text boxes keep theirs: they scroll.
void FitRow(std::initializer_list<QWidget*> row)
{
    int shift = 0;
    int previousRight = 0;
    for (QWidget* control : row) {
        QRect g = control->geometry().translated(shift, 0);
        if (previousRight > 0 && g.left() < previousRight + kControlGap) {
            shift += previousRight + kControlGap - g.left();
            g.moveLeft(previousRight + kControlGap);
        }
        if (!qobject_cast<QLineEdit*>(control))
            g.setWidth(std::max(g.width(), control->sizeHint().width()));
        control->setGeometry(g);
        previousRight = g.right() + 1;
    }
}

}  // namespace

TfC::TfC(Desktop& desktop, TAppState& state, QWidget* parent)
    : QMainWindow(parent), m_desktop(desktop), m_state(state)
{
    setObjectName(QStringLiteral("fC"));
    setFont(DesignFont(11));
    createControls();
    createMenu();
    connectHandlers();
    FormCreate();
    m_starting = false;
}

TfC::~TfC() = default;

void TfC::setInfoWindows(QDialog* help, QDialog* about)
{
    m_help = help;
    m_about = about;
}

void TfC::createControls()
{
    back = new QWidget(this);
    back->setObjectName(QStringLiteral("back"));
    Fill(back, Qt::white);
    auto* backLayout = new QVBoxLayout(back);
    backLayout->setContentsMargins(10, 10, 10, 10);
    backLayout->setSpacing(0);

    createPanels();
    for (QWidget* panel : {pLA, pFind, pDec, pType, pEnc, pRep})
        backLayout->addWidget(panel);

    pMemo = new QWidget(back);
    pMemo->setObjectName(QStringLiteral("pMemo"));
    Fill(pMemo, Qt::white);
    auto* memoLayout = new QVBoxLayout(pMemo);
    memoLayout->setContentsMargins(10, 10, 10, 10);
    mem = new Memo(pMemo);
    mem->setObjectName(QStringLiteral("mem"));
    mem->setAccessibleName(QStringLiteral("Text"));
    mem->setFamily(QStringLiteral("MS Sans Serif"));
    mem->setPointSize(kDefaultTypeSize);
    memoLayout->addWidget(mem);
    backLayout->addWidget(pMemo, 1);
    setCentralWidget(back);

    createStatusBar();

    // Tab order: the editing area first, then the tool panels.
    setTabOrder(mem, editF);
}

void TfC::createPanels()
{
    auto panel = [this](const char* name) {
        auto* p = new QWidget(back);
        p->setObjectName(QString::fromLatin1(name));
        p->setFixedHeight(kPanelHeight);
        PaintPanel(p);
        return p;
    };

    pFind = panel("pFind");
    editF = Edit(pFind, 16, 16, 169, 28);
    fButt = Button(pFind, "Find", 194, 16);
    cFind = Button(pFind, "Close", 280, 16);

    pRep = panel("pRep");
    rFrom = Edit(pRep, 16, 16, 169, 28);
    Label1 = Label(pRep, ">>>", 192, 20);
    rTo = Edit(pRep, 224, 16, 169, 28);
    rButt = Button(pRep, "Replace", 408, 16);
    cRep = Button(pRep, "Close", 496, 16);

    pEnc = panel("pEnc");
    levelE = List(pEnc, 16, 16, 177);
    Label2 = Label(pEnc, "Pwd:", 208, 20);
    pwdE = Edit(pEnc, 248, 16, 169, 28);
    eButt = Button(pEnc, "Encrypt", 426, 16);
    cEnc = Button(pEnc, "Close", 512, 16);

    pDec = panel("pDec");
    levelD = List(pDec, 16, 16, 177);
    Label3 = Label(pDec, "Pwd:", 208, 20);
    pwdD = Edit(pDec, 248, 16, 169, 28);
    dButt = Button(pDec, "Decrypt", 426, 16);
    cDec = Button(pDec, "Close", 512, 16);

    for (QComboBox* list : {levelE, levelD})
        for (const char* level : kLevels)
            list->addItem(QString::fromLatin1(level));
    SetBoxColour(pwdE, kPanelSilver);
    SetBoxColour(pwdD, kPanelSilver);

    pType = panel("pType");
    ComboBox1 = List(pType, 16, 16, 177);
    for (const char* size : kTypeSizes)
        ComboBox1->addItem(QString::fromLatin1(size));
    cType = Button(pType, "Close", 208, 16);
    ft = List(pType, 312, 18, kTypefaceListWidth);
    ft->setMaxVisibleItems(12);
    // The "Font" button has no action.
    Button1 = Button(pType, "Font", kFontButtonLeft, 16, 97, 32);

    pLA = panel("pLA");
    editLA = Edit(pLA, 16, 16, 169, 28);
    laButt = Button(pLA, "Update", 194, 16);
    cLA = Button(pLA, "Close", 280, 16);
    Label4 = new QLabel(QString::fromLatin1(kLabel4Text), pLA);
    Label4->setWordWrap(true);
    Label4->move(368, kLabel4Top);

    FitRow({editF, fButt, cFind});
    FitRow({rFrom, Label1, rTo, rButt, cRep});
    FitRow({levelE, Label2, pwdE, eButt, cEnc});
    FitRow({levelD, Label3, pwdD, dButt, cDec});
    FitRow({ComboBox1, cType});
    FitRow({editLA, laButt, cLA});
    // The Font button and the notice follow the panel's width (FormResize).
    pType->installEventFilter(this);
    pLA->installEventFilter(this);

    const std::pair<QWidget*, const char*> names[] = {{editF, "Text to find"},
                                                      {rFrom, "Text to replace"},
                                                      {rTo, "Replacement"},
                                                      {levelE, "Encryption level"},
                                                      {pwdE, "Encryption password"},
                                                      {levelD, "Decryption level"},
                                                      {pwdD, "Decryption password"},
                                                      {ComboBox1, "Type size"},
                                                      {ft, "Typeface"},
                                                      {editLA, "New Level A password"}};
    for (const auto& [control, name] : names)
        control->setAccessibleName(QString::fromLatin1(name));

    for (QWidget* p : {pFind, pRep, pEnc, pDec, pType, pLA}) {
        p->setEnabled(false);
        p->hide();
    }

    // The clipboard keys belong to the editing area even while a panel's box has the focus:
    // the boxes let them pass to the menu's commands.
    for (QLineEdit* box : {editF, rFrom, rTo, pwdE, pwdD, editLA})
        box->installEventFilter(this);

    // Enter on a shown panel answers its default button (a focused button answers for itself).
    // The key is taken where it is pressed, on the panel's own controls: an open drop-down list
    // keeps its Enter to choose an entry, and the editing area keeps Enter as a line break.
    const std::pair<QWidget*, QPushButton*> defaults[] = {
        {pFind, fButt}, {pEnc, eButt}, {pDec, dButt}, {pLA, laButt}};
    for (const auto& [p, button] : defaults)
        for (QWidget* control : p->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (control->focusPolicy() != Qt::NoFocus) {
                m_defaultButtons[control] = button;
                control->installEventFilter(this);
            }
}

void TfC::createStatusBar()
{
    StatusBar5 = new QStatusBar(this);
    StatusBar5->setObjectName(QStringLiteral("StatusBar5"));
    StatusBar5->setSizeGripEnabled(false);
    StatusBar5->setFixedHeight(19);
    int stretch = 7;
    for (auto*& label : m_status) {
        label = new QLabel(StatusBar5);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        StatusBar5->addWidget(label, std::exchange(stretch, 3));
    }
    setStatusBar(StatusBar5);
}

void TfC::createMenu()
{
    QMenuBar* bar = menuBar();
    auto item = [this](QMenu* menu, const char* caption, const QKeySequence& keys = {}) {
        QAction* a = menu->addAction(QString::fromLatin1(caption));
        if (!keys.isEmpty())
            a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        return a;
    };

    QMenu* file = bar->addMenu(QStringLiteral("F&ile"));
    New1 = item(file, "&New", QKeySequence(Qt::CTRL | Qt::Key_N));
    Open1 = item(file, "&Open", QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1 = item(file, "&Save", QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAs1 = item(file, "Sa&ve As");
    Close1 = item(file, "C&lose File", QKeySequence(Qt::CTRL | Qt::Key_W));
    file->addSeparator();
    Email1 = item(file, "&Quick Email", QKeySequence(Qt::CTRL | Qt::Key_Q));
    file->addSeparator();
    eMen = item(file, "&Encrypt", QKeySequence(Qt::CTRL | Qt::Key_E));
    dMen = item(file, "&Decrypt", QKeySequence(Qt::CTRL | Qt::Key_D));
    file->addSeparator();
    Exit1 = item(file, "E&xit", QKeySequence(Qt::CTRL | Qt::Key_F4));

    QMenu* edit = bar->addMenu(QStringLiteral("E&dit"));
    Cut1 = item(edit, "C&ut", QKeySequence(Qt::CTRL | Qt::Key_X));
    Copy1 = item(edit, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C));
    Paste1 = item(edit, "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V));
    SelectAll1 = item(edit, "Select &All", QKeySequence(Qt::CTRL | Qt::Key_A));
    edit->addSeparator();
    fMen = item(edit, "&Find", QKeySequence(Qt::CTRL | Qt::Key_F));
    rMen = item(edit, "&Replace", QKeySequence(Qt::CTRL | Qt::Key_R));

    QMenu* settings = bar->addMenu(QStringLiteral("Sett&ings"));
    // Both items show Ctrl+T and run the same command; only one of them owns the key, so the
    // shortcut is never ambiguous.
    SelectFont1 = item(settings, "Selec&t Font\tCtrl+T");
    tMen = item(settings, "&Type Size", QKeySequence(Qt::CTRL | Qt::Key_T));
    levelAPwd = item(settings, "Level A &Pwd", QKeySequence(Qt::CTRL | Qt::Key_L));

    QMenu* help = bar->addMenu(QStringLiteral("Hel&p"));
    Help2 = item(help, "&Help", QKeySequence(Qt::Key_F1));
    help->addSeparator();
    WebSite1 = item(help, "Korvex Web Site");
    SupportEmail1 = item(help, "Korvex Support Email");
    SalesEmail1 = item(help, "Korvex Sales Email");
    help->addSeparator();
    About1 = item(help, "About");
}

void TfC::run(void (TfC::*handler)())
{
    RunCommand(m_desktop, [this, handler] { (this->*handler)(); });
}

void TfC::connectAction(QAction* action, void (TfC::*handler)())
{
    connect(action, &QAction::triggered, this, [this, handler] { run(handler); });
}

void TfC::connectButton(QPushButton* button, void (TfC::*handler)())
{
    connect(button, &QPushButton::clicked, this, [this, handler] { run(handler); });
}

void TfC::connectHandlers()
{
    connectAction(New1, &TfC::New1Click);
    connectAction(Open1, &TfC::Open1Click);
    connectAction(Save1, &TfC::Save1Click);
    connectAction(SaveAs1, &TfC::SaveAs1Click);
    connectAction(Close1, &TfC::Close1Click);
    connectAction(Email1, &TfC::Email1Click);
    connectAction(eMen, &TfC::eMenClick);
    connectAction(dMen, &TfC::dMenClick);
    connectAction(Exit1, &TfC::Exit1Click);
    connectAction(Cut1, &TfC::Cut1Click);
    connectAction(Copy1, &TfC::Copy1Click);
    connectAction(Paste1, &TfC::Paste1Click);
    connectAction(SelectAll1, &TfC::SelectAll1Click);
    connectAction(fMen, &TfC::fMenClick);
    connectAction(rMen, &TfC::rMenClick);
    connectAction(SelectFont1, &TfC::SelectFont1Click);
    connectAction(tMen, &TfC::tMenClick);
    connectAction(levelAPwd, &TfC::levelAPwdClick);
    connectAction(Help2, &TfC::Help2Click);
    connectAction(WebSite1, &TfC::WebSite1Click);
    connectAction(SupportEmail1, &TfC::SupportEmail1Click);
    connectAction(SalesEmail1, &TfC::SalesEmail1Click);
    connectAction(About1, &TfC::About1Click);

    connectButton(fButt, &TfC::fButtClick);
    connectButton(cFind, &TfC::cFindClick);
    connectButton(rButt, &TfC::rButtClick);
    connectButton(cRep, &TfC::cRepClick);
    connectButton(eButt, &TfC::eButtClick);
    connectButton(cEnc, &TfC::cEncClick);
    connectButton(dButt, &TfC::dButtClick);
    connectButton(cDec, &TfC::cDecClick);
    connectButton(cType, &TfC::cTypeClick);
    connectButton(laButt, &TfC::laButtClick);
    connectButton(cLA, &TfC::cLAClick);

    // activated fires only on the user's choice, never when the program selects an entry.
    connect(levelE, &QComboBox::activated, this, [this] { run(&TfC::levelEChange); });
    connect(levelD, &QComboBox::activated, this, [this] { run(&TfC::levelDChange); });
    connect(ComboBox1, &QComboBox::activated, this, [this] { run(&TfC::typeChange); });
    connect(ft, &QComboBox::activated, this, [this] { run(&TfC::ftChange); });

    connect(mem, &Memo::clicked, this, [this] { run(&TfC::memClick); });
    // Queued: the drop is over, and the file manager free, before the file is read.
    connect(
        mem, &Memo::fileDropped, this,
        [this](const QString& path) { OpenFile(QFile::encodeName(path).toStdString()); },
        Qt::QueuedConnection);
    connect(mem, &QPlainTextEdit::textChanged, this, [this] {
        m_unsaved = true;
        memChange();
    });
}

void TfC::SetDefaults()
{
    SetStateDefaults(m_state, LevelBKeyTableData());
    SetApplicationTitle(m_state.AppTitle);
    setWindowTitle(text_codec::FromBytes(m_state.AppTitle));
    for (QWidget* p : {pLA, pFind, pRep, pEnc, pDec})
        p->hide();
    levelE->setCurrentIndex(0);
    levelD->setCurrentIndex(0);
}

void TfC::FormCreate()
{
    m_state.PlainText = true;
    SetDefaults();
    typePanelCommand();
    mem->setBytes({});
    setStatusText(1, "-");
    // The panels keep the widths they get here; a window narrower than the design clips them.
    m_status[0]->setMaximumWidth(kDesignedClientWidth * 7 / 10);
    m_status[1]->setMaximumWidth(kDesignedClientWidth * 3 / 10);

    // A settings file that cannot be read or written never keeps the editor from starting:
    // the defaults stand, and a later write reports its own failure. One that exists but cannot
    // be read may hold the only copy of the Level A password, so the user hears of it at once.
    try {
        LoadSettings(m_state);
    } catch (const CommandError& e) {
        std::fprintf(stderr, "plimo: %s\n", e.what());
        if (m_state.SettingsUnreadable)
            m_desktop.showError(ApplicationTitle(), e.what());
    }
    for (const TInterruptedSave& save : TakeInterruptedSaves())
        m_desktop.showError(ApplicationTitle(), "Saving " + save.target +
                                                    " was interrupted. Its previous content is "
                                                    "kept in " +
                                                    save.copy + ".");
    mem->setPointSize(m_state.TypeSize);
    setStatusText(0, m_state.FileName);
    try {
        SaveSettings(m_state);
    } catch (const CommandError& e) {
        std::fprintf(stderr, "plimo: %s\n", e.what());
    }

    m_state.FindToggle = m_state.RepToggle = m_state.EncToggle = true;
    m_state.DecToggle = m_state.TypeToggle = m_state.LAToggle = true;
    HideAllPanels();
    m_state.FileName = std::string(kUntitled);
    m_state.FileExt = "txt";
    About1->setText(text_codec::MenuCaption("About " + m_state.AppTitle));
    setWindowTitle(text_codec::FromBytes(m_state.AppTitle));
    mem->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mem->setPointSize(m_state.TypeSize);
    setEditLABackground(palette().color(QPalette::Window));
    markClean();

    resize(kOpenWidth, kOpenHeight);
    const QSize desktop = m_desktop.virtualDesktopSize();
    move((desktop.width() - kOpenWidth) / 2, (desktop.height() - kOpenHeight) / 2);
    mem->setFocus();
}

void TfC::HideAllPanels()
{
    for (QWidget* p : {pFind, pRep, pEnc, pDec, pType, pLA}) {
        p->setEnabled(false);
        p->hide();
    }

    // The clipboard keys belong to the editing area even while a panel's box has the focus:
    // the boxes let them pass to the menu's commands.
    for (QLineEdit* box : {editF, rFrom, rTo, pwdE, pwdD, editLA})
        box->installEventFilter(this);
}

bool TfC::TogglePanel(QWidget* panel, bool& toggle)
{
    HideAllPanels();
    if (toggle) {
        panel->setEnabled(true);
        panel->show();
        toggle = false;
        return true;
    }
    toggle = true;
    return false;
}

void TfC::fMenClick()
{
    if (TogglePanel(pFind, m_state.FindToggle))
        editF->setFocus();
}

void TfC::rMenClick()
{
    if (TogglePanel(pRep, m_state.RepToggle))
        rFrom->setFocus();
}

void TfC::eMenClick()
{
    TogglePanel(pEnc, m_state.EncToggle);
}

void TfC::dMenClick()
{
    TogglePanel(pDec, m_state.DecToggle);
}

void TfC::levelAPwdClick()
{
    if (TogglePanel(pLA, m_state.LAToggle)) {
        editLA->setText(text_codec::FromBytes(m_state.LevelAPwd));
        FormResize();
    }
}

void TfC::tMenClick()
{
    typePanelCommand();
}

void TfC::SelectFont1Click()
{
    typePanelCommand();
}

void TfC::typePanelCommand()
{
    mem->setPointSize(m_state.TypeSize);
    if (!TogglePanel(pType, m_state.TypeToggle))
        return;

    // "Default" first, then the screen's families without a repeat of the name just before,
    // all sorted without regard to case.
    QStringList names{QStringLiteral("Default")};
    for (const QString& family : m_desktop.screenFontFamilies())
        if (family.compare(names.last(), Qt::CaseInsensitive) != 0)
            names << family;
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    ft->clear();
    ft->addItems(names);
    ft->setCurrentIndex(0);

    ComboBox1->setCurrentIndex(ComboBox1->findText(QString::number(m_state.TypeSize)));
    mem->setPointSize(m_state.TypeSize);
}

void TfC::typeChange()
{
    mem->setPointSize(ComboBox1->currentText().toInt());
    m_state.TypeSize = mem->pointSize();
    saveSettingsNow();
}

void TfC::ftChange()
{
    mem->setFamily(ft->currentText());
}

void TfC::cTypeClick()
{
    pType->hide();
    saveSettingsNow();
}

void TfC::cFindClick()
{
    pFind->hide();
}

void TfC::cRepClick()
{
    pRep->hide();
}

void TfC::cEncClick()
{
    pEnc->hide();
}

void TfC::cDecClick()
{
    pDec->hide();
}

void TfC::cLAClick()
{
    pLA->hide();
    setEditLABackground(palette().color(QPalette::Window));
}

void TfC::memClick()
{
    setStatusText(0, m_state.FileName);
    saveSettingsNow();
}

void TfC::memChange()
{
    // The editing area's change event has no effect of its own.
}

void TfC::Exit1Click()
{
    close();
}

void TfC::closeEvent(QCloseEvent* event)
{
    bool leave = true;
    RunCommand(m_desktop, [this, &leave] { leave = confirmLeave(); });
    if (leave)
        event->accept();
    else
        event->ignore();
}

bool TfC::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const auto found = m_defaultButtons.find(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && found != m_defaultButtons.end()) {
            if (auto* pressed = qobject_cast<QPushButton*>(watched))
                pressed->click();
            else
                found->second->click();
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // A box would take some menu keys as its own editing keys (Ctrl+E: end of line); the
        // menu's commands come first, the clipboard's on the editing area included.
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : findChildren<QAction*>())
            if (!action->shortcut().isEmpty() && action->shortcut() == pressed)
                return true;  // not taken by the box, so the shortcut runs
    }
    if (event->type() == QEvent::Resize && (watched == pType || watched == pLA))
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

void TfC::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TfC::FormResize()
{
    if (!Label4 || !pLA)
        return;
    // The notice wraps in what the panel leaves it; when its lines need more than the designed
    // height, the label and its panel grow rather than cut the last line off.
    const int width = std::max(0, pLA->width() - 390);
    const int needed = width >= kLabel4MinGrowWidth ? Label4->heightForWidth(width) : 0;
    const int height = std::max(kLabel4DesignedHeight, needed);
    Label4->resize(width, height);
    const int panelHeight = std::max(kPanelHeight, kLabel4Top + height + kControlGap);
    if (pLA->height() != panelHeight)
        pLA->setFixedHeight(panelHeight);

    // The Font button stays inside a panel narrower than the design; the typeface list before
    // it gives up the width.
    const int fontLeft =
        std::min(kFontButtonLeft, pType->width() - kPanelRightMargin - Button1->width());
    const int listWidth = std::max(kMinTypefaceListWidth, fontLeft - kControlGap - ft->x());
    ft->resize(std::min(kTypefaceListWidth, listWidth), ft->height());
    Button1->move(std::max(fontLeft, ft->geometry().right() + 1 + kControlGap), Button1->y());
}

QString TfC::statusText(int panel) const
{
    return m_status[panel]->text();
}

void TfC::setStatusText(int panel, const std::string& text)
{
    m_status[panel]->setText(panel == 0 ? text_codec::FromPath(text) : text_codec::FromBytes(text));
}

void TfC::showFileNameWithExt()
{
    setStatusText(0, m_state.FileName + "." + m_state.FileExt);
}

void TfC::saveSettingsNow()
{
    try {
        SaveSettings(m_state);
    } catch (const SettingsNotSaved&) {
        // Said once: the editing area saves the settings at every click.
        if (!std::exchange(m_toldSettingsNotSaved, true))
            throw;
    }
}

void TfC::setEditLABackground(const QColor& colour)
{
    SetBoxColour(editLA, colour);
}
