#include "ui/main/fCPas.h"

#include <cstdio>
#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "cipher/level_b_tables.h"
#include "core/command_error.h"
#include "document/file_messages.h"
#include "document/recovery_journal.h"
#include "document/safe_copy.h"
#include "document/settings_file.h"
#include "ui/common/display_text.h"
#include "ui/common/look.h"
#include "ui/editor/memo.h"
#include "ui/main/cipher_panel.h"
#include "ui/main/find_panel.h"
#include "ui/main/go_to_line_panel.h"
#include "ui/main/level_a_panel.h"
#include "ui/main/replace_panel.h"
#include "ui/main/type_panel.h"
#include "ui/platform/command_guard.h"
#include "ui/platform/desktop.h"

namespace {

constexpr int kDesignedClientWidth = 800;
constexpr int kOpenWidth = 700;
constexpr int kOpenHeight = 500;
constexpr int kBorder = 10;
constexpr int kStatusHeight = 19;
constexpr int kWindowPixels = 11;
// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;
// How long the status bar says that the text is full.
constexpr int kCapacityNoteMs = 5000;

QLabel* AddStatusPanel(QStatusBar* bar)
{
    auto* label = new QLabel(bar);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    bar->addPermanentWidget(label);
    return label;
}

}  // namespace

TfC::TfC(Desktop& desktop, TAppState& state, QWidget* parent)
    : QMainWindow(parent), m_desktop(desktop), m_state(state), m_bar(state)
{
    setObjectName(QStringLiteral("fC"));
    setFont(DesignFont(kWindowPixels));
    createControls();
    createMenu();
    connectHandlers();
    FormCreate();
}

TfC::~TfC()
{
    m_mem->setEditObserver(nullptr);
}

void TfC::setInfoWindows(QDialog* help, QDialog* about)
{
    m_help = help;
    m_about = about;
}

void TfC::createControls()
{
    auto* back = new QWidget(this);
    back->setObjectName(QStringLiteral("back"));
    FillBackground(back, kWhite);
    auto* backLayout = new QVBoxLayout(back);
    backLayout->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    backLayout->setSpacing(0);

    auto* pMemo = new QWidget(back);
    pMemo->setObjectName(QStringLiteral("pMemo"));
    FillBackground(pMemo, kWhite);
    auto* memoLayout = new QVBoxLayout(pMemo);
    memoLayout->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    m_mem = new Memo(pMemo);
    m_mem->setObjectName(QStringLiteral("mem"));
    m_mem->setAccessibleName(tr("Text"));
    m_mem->setFamily(QStringLiteral("MS Sans Serif"));
    m_mem->setPointSize(kDefaultTypeSize);
    memoLayout->addWidget(m_mem);

    using Direction = CipherPanel::Direction;
    m_find = new FindPanel(*m_mem, m_state, m_desktop, back);
    m_replace = new ReplacePanel(*m_mem, m_desktop, back);
    m_encrypt = new CipherPanel(Direction::Encrypt, *m_mem, m_state, m_bar, *this, m_desktop, back);
    m_decrypt = new CipherPanel(Direction::Decrypt, *m_mem, m_state, m_bar, *this, m_desktop, back);
    m_type = new TypePanel(*m_mem, m_state, m_bar, *this, m_desktop, back);
    m_levelA = new LevelAPwdPanel(m_state, m_desktop, back);
    m_goTo = new GoToLinePanel(*m_mem, m_desktop, back);
    m_bar.add(m_find, &TAppState::FindToggle);
    m_bar.add(m_replace, &TAppState::RepToggle);
    m_bar.add(m_encrypt, &TAppState::EncToggle);
    m_bar.add(m_decrypt, &TAppState::DecToggle);
    m_bar.add(m_type, &TAppState::TypeToggle);
    m_bar.add(m_levelA, &TAppState::LAToggle);
    m_bar.add(m_goTo, &TAppState::GoToggle);
    for (QWidget* panel : std::initializer_list<QWidget*>{m_levelA, m_find, m_decrypt, m_type,
                                                          m_encrypt, m_replace, m_goTo})
        backLayout->addWidget(panel);
    backLayout->addWidget(pMemo, 1);
    setCentralWidget(back);

    // The menu's keys belong to the menu even while a panel's box has the focus.
    for (QLineEdit* box : back->findChildren<QLineEdit*>())
        box->installEventFilter(this);

    createStatusBar();
    // Tab order: the editing area first, then the tool panels.
    setTabOrder(m_mem, m_find->editF);
}

void TfC::createStatusBar()
{
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar5"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(kStatusHeight);
    int stretch = 7;
    for (auto*& label : m_status) {
        label = new QLabel(bar);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);  // a file name is never markup
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        bar->addWidget(label, std::exchange(stretch, 3));
    }
    // The panels keep the widths they get here; a window narrower than the design clips them.
    m_status[0]->setMaximumWidth(kDesignedClientWidth * 7 / 10);
    m_status[1]->setMaximumWidth(kDesignedClientWidth * 3 / 10);
    // Beside the designed two, on the right: the hits of the last search (while there is
    // something to say), then where the caret is.
    m_hits = AddStatusPanel(bar);
    m_hits->hide();
    m_caretPlace = AddStatusPanel(bar);
    // Wide enough for a line and column of a large text without growing.
    m_caretPlace->setMinimumWidth(
        m_caretPlace->fontMetrics().horizontalAdvance(tr("Ln %1, Col %2").arg(9999999).arg(99999)) +
        2 * m_caretPlace->frameWidth() + 4);
    setStatusBar(bar);
    // One note of Open's after the other, each for its while.
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty() && !m_openNotes.isEmpty())
            showNextOpenNote();
    });
}

void TfC::createMenu()
{
    QMenuBar* bar = menuBar();
    auto item = [this](QMenu* menu, const char* caption, void (TfC::*handler)(),
                       const QKeySequence& keys = {}) {
        QAction* a = menu->addAction(tr(caption));
        if (!keys.isEmpty())
            a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, [this, handler] {
            RunCommand(m_desktop, [this, handler] { (this->*handler)(); });
        });
        return a;
    };
    TMainMenu& m = m_menu;

    QMenu* file = bar->addMenu(tr("F&ile"));
    m.New1 = item(file, QT_TR_NOOP("&New"), &TfC::New1Click, QKeySequence(Qt::CTRL | Qt::Key_N));
    m.Open1 = item(file, QT_TR_NOOP("&Open"), &TfC::Open1Click, QKeySequence(Qt::CTRL | Qt::Key_O));
    m_recentMenu = file->addMenu(tr("Recent &Files"));
    m_recentMenu->setObjectName(QStringLiteral("RecentFiles"));
    m_recentMenu->setToolTipsVisible(true);  // each entry's full path
    m.RecentFiles1 = m_recentMenu->menuAction();
    m.ClearRecent1 = item(m_recentMenu, QT_TR_NOOP("&Clear List"), &TfC::ClearRecent1Click);
    connect(m_recentMenu, &QMenu::aboutToShow, this, [this] { fillRecentMenu(); });
    m.Save1 = item(file, QT_TR_NOOP("&Save"), &TfC::Save1Click, QKeySequence(Qt::CTRL | Qt::Key_S));
    m.SaveAs1 = item(file, QT_TR_NOOP("Sa&ve As"), &TfC::SaveAs1Click);
    m.Close1 = item(file, QT_TR_NOOP("C&lose File"), &TfC::Close1Click,
                    QKeySequence(Qt::CTRL | Qt::Key_W));
    file->addSeparator();
    m.Print1 =
        item(file, QT_TR_NOOP("&Print"), &TfC::Print1Click, QKeySequence(Qt::CTRL | Qt::Key_P));
    m.PrintPreview1 = item(file, QT_TR_NOOP("Print Previe&w"), &TfC::PrintPreview1Click);
    file->addSeparator();
    m.Email1 = item(file, QT_TR_NOOP("&Quick Email"), &TfC::Email1Click,
                    QKeySequence(Qt::CTRL | Qt::Key_Q));
    file->addSeparator();
    m.eMen =
        item(file, QT_TR_NOOP("&Encrypt"), &TfC::eMenClick, QKeySequence(Qt::CTRL | Qt::Key_E));
    m.dMen =
        item(file, QT_TR_NOOP("&Decrypt"), &TfC::dMenClick, QKeySequence(Qt::CTRL | Qt::Key_D));
    file->addSeparator();
    m.Exit1 =
        item(file, QT_TR_NOOP("E&xit"), &TfC::Exit1Click, QKeySequence(Qt::CTRL | Qt::Key_F4));

    QMenu* edit = bar->addMenu(tr("E&dit"));
    m.Cut1 = item(edit, QT_TR_NOOP("C&ut"), &TfC::Cut1Click, QKeySequence(Qt::CTRL | Qt::Key_X));
    m.Copy1 = item(edit, QT_TR_NOOP("&Copy"), &TfC::Copy1Click, QKeySequence(Qt::CTRL | Qt::Key_C));
    m.Paste1 =
        item(edit, QT_TR_NOOP("&Paste"), &TfC::Paste1Click, QKeySequence(Qt::CTRL | Qt::Key_V));
    m.SelectAll1 = item(edit, QT_TR_NOOP("Select &All"), &TfC::SelectAll1Click,
                        QKeySequence(Qt::CTRL | Qt::Key_A));
    edit->addSeparator();
    m.fMen = item(edit, QT_TR_NOOP("&Find"), &TfC::fMenClick, QKeySequence(Qt::CTRL | Qt::Key_F));
    m.rMen =
        item(edit, QT_TR_NOOP("&Replace"), &TfC::rMenClick, QKeySequence(Qt::CTRL | Qt::Key_R));
    m.FindNext1 =
        item(edit, QT_TR_NOOP("Find &Next"), &TfC::FindNext1Click, QKeySequence(Qt::Key_F3));
    m.FindPrevious1 = item(edit, QT_TR_NOOP("Find Pre&vious"), &TfC::FindPrevious1Click,
                           QKeySequence(Qt::SHIFT | Qt::Key_F3));
    edit->addSeparator();
    m.GoToLine1 = item(edit, QT_TR_NOOP("&Go to Line"), &TfC::GoToLine1Click,
                       QKeySequence(Qt::CTRL | Qt::Key_G));

    QMenu* settings = bar->addMenu(tr("Sett&ings"));
    // Both items show Ctrl+T and run the same command; only one of them owns the key, so the
    // shortcut is never ambiguous.
    m.SelectFont1 = item(settings, QT_TR_NOOP("Selec&t Font\tCtrl+T"), &TfC::SelectFont1Click);
    m.tMen = item(settings, QT_TR_NOOP("&Type Size"), &TfC::tMenClick,
                  QKeySequence(Qt::CTRL | Qt::Key_T));
    m.levelAPwd = item(settings, QT_TR_NOOP("Level A &Pwd"), &TfC::levelAPwdClick,
                       QKeySequence(Qt::CTRL | Qt::Key_L));
    settings->addSeparator();
    // Ctrl++ is Ctrl+Shift+= on most keyboards; Ctrl+= spares the Shift.
    m.ZoomIn1 = item(settings, QT_TR_NOOP("Zoom &In"), &TfC::ZoomIn1Click,
                     QKeySequence(Qt::CTRL | Qt::Key_Plus));
    m.ZoomIn1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus),
                             QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    m.ZoomOut1 = item(settings, QT_TR_NOOP("Zoom &Out"), &TfC::ZoomOut1Click,
                      QKeySequence(Qt::CTRL | Qt::Key_Minus));
    m.ZoomReset1 = item(settings, QT_TR_NOOP("Reset &Zoom"), &TfC::ZoomReset1Click,
                        QKeySequence(Qt::CTRL | Qt::Key_0));
    settings->addSeparator();
    m.LineNumbers1 = item(settings, QT_TR_NOOP("Line &Numbers"), &TfC::LineNumbers1Click);
    m.LineNumbers1->setCheckable(true);
    m.KeepRecovery1 =
        item(settings, QT_TR_NOOP("&Keep Recovery Copies"), &TfC::KeepRecovery1Click);
    m.KeepRecovery1->setCheckable(true);
    m.KeepRecovery1->setChecked(true);

    QMenu* help = bar->addMenu(tr("Hel&p"));
    m.Help2 = item(help, QT_TR_NOOP("&Help"), &TfC::Help2Click, QKeySequence(Qt::Key_F1));
    help->addSeparator();
    m.WebSite1 = item(help, QT_TR_NOOP("Korvex Web Site"), &TfC::WebSite1Click);
    m.SupportEmail1 = item(help, QT_TR_NOOP("Korvex Support Email"), &TfC::SupportEmail1Click);
    m.SalesEmail1 = item(help, QT_TR_NOOP("Korvex Sales Email"), &TfC::SalesEmail1Click);
    help->addSeparator();
    m.About1 = item(help, QT_TR_NOOP("About"), &TfC::About1Click);
}

void TfC::connectHandlers()
{
    connect(m_mem, &Memo::clicked, this, [this] { RunCommand(m_desktop, [this] { memClick(); }); });
    // Queued: the drop is over, and the file manager free, before the file is read.
    connect(
        m_mem, &Memo::fileDropped, this,
        [this](const QString& path) { OpenFile(QFile::encodeName(path).toStdString()); },
        Qt::QueuedConnection);
    connect(m_mem, &Memo::textChanged, this, &TfC::memChange);
    // Queued: the key or the drop that ran out of memory is over before the box shows.
    connect(
        m_mem, &Memo::memoryRanOut, this,
        [this] { m_desktop.showError(ApplicationTitle(), Tr(kTextExceedsCapacity)); },
        Qt::QueuedConnection);
    // A key or a paste the full text cannot take: the beep alone would not say why.
    connect(m_mem, &Memo::capacityReached, this, [this] {
        statusBar()->showMessage(display_text::FromUtf8(Tr(kTextExceedsCapacity)), kCapacityNoteMs);
    });
    connect(m_mem, &Memo::textChanged, this, &TfC::showCaretPlace);
    connect(m_mem, &Memo::selectionChanged, this, &TfC::showCaretPlace);
    // The label itself is the receiver: the panel also speaks while the window is taken down.
    connect(m_find, &FindPanel::hitsChanged, m_hits, [hits = m_hits](const QString& text) {
        hits->setText(text);
        hits->setVisible(!text.isEmpty());
    });
    // Ctrl+wheel over the text zooms, as in a browser; the wheel alone still scrolls.
    m_mem->viewport()->installEventFilter(this);
}

void TfC::SetDefaults()
{
    SetStateDefaults(m_state, LevelBKeyTableData());
    SetApplicationTitle(m_state.AppTitle);
    m_encrypt->reset();
    m_decrypt->reset();
}

void TfC::FormCreate()
{
    startRecovery();
    m_state.PlainText = true;
    SetDefaults();
    // The type panel's command fills its lists once; the panel is hidden again below.
    m_type->command();
    m_mem->setBytes({});
    setStatusText(1, "-");

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
    // Each is told until the user has seen it: a start that ends meanwhile tells it again.
    for (const TInterruptedSave& save : FindInterruptedSaves()) {
        m_desktop.showError(
            ApplicationTitle(),
            tr("Saving %1 was interrupted. Its previous content is kept in %2.")
                .arg(display_text::FromUtf8(save.target), display_text::FromUtf8(save.copy))
                .toStdString());
        ForgetInterruptedSave(save);
    }
    setStatusText(0, m_state.FileName);
    try {
        SaveSettings(m_state);
    } catch (const CommandError& e) {
        std::fprintf(stderr, "plimo: %s\n", e.what());
    }

    m_bar.reset();
    m_state.FileName = std::string(kUntitled);
    m_state.FileExt = "txt";
    m_menu.About1->setText(
        display_text::MenuCaption(display_text::ToBytes(tr("About ")) + m_state.AppTitle));
    setWindowTitle(display_text::FromBytes(m_state.AppTitle));
    m_mem->setPointSize(m_state.TypeSize);
    m_startTypeSize = m_state.TypeSize;
    m_levelA->restoreBoxColour();
    // Line numbers as the user left them; an options file that cannot be read leaves them off.
    readUserOptions();
    m_menu.LineNumbers1->setChecked(m_userOptions.lineNumbers);
    m_mem->setLineNumbers(m_userOptions.lineNumbers);
    markClean();
    showCaretPlace();

    resize(kOpenWidth, kOpenHeight);
    const QSize desktop = m_desktop.virtualDesktopSize();
    move((desktop.width() - kOpenWidth) / 2, (desktop.height() - kOpenHeight) / 2);
    m_mem->setFocus();
}

void TfC::memClick()
{
    setStatusText(0, m_state.FileName);
    saveSettingsNow();
}

void TfC::memChange()
{
    // The editing area's change event has no effect of its own but to note an unsaved change.
    m_unsaved = true;
    m_journal->renamed(m_state.FileName, m_state.FileExt);
}

void TfC::Exit1Click()
{
    close();
}

void TfC::closeEvent(QCloseEvent* event)
{
    bool leave = true;
    RunCommand(m_desktop, [this, &leave] { leave = confirmLeave(); });
    if (leave) {
        m_journal->startClean(recoveryDocument(), m_mem->byteText(), false);  // left as chosen
        event->accept();
    }
    else
        event->ignore();
}

bool TfC::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // A box would take some menu keys as its own editing keys (Ctrl+E: end of line); the
        // menu's commands come first, the clipboard's on the editing area included.
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : findChildren<QAction*>())
            if (action->shortcuts().contains(pressed))
                return true;  // not taken by the box, so the shortcut runs
    }
    if (event->type() == QEvent::Wheel && watched == m_mem->viewport()) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            m_wheelRest += wheel->angleDelta().y();
            const int steps = m_wheelRest / kWheelNotch;
            m_wheelRest -= steps * kWheelNotch;
            if (steps != 0)
                RunCommand(m_desktop, [this, steps] { zoomBy(steps); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QString TfC::statusText(int panel) const
{
    if (panel == 2)
        return m_caretPlace->text();
    if (panel == 3)
        return m_hits->isVisibleTo(this) ? m_hits->text() : QString();
    return m_status[panel]->text();
}

QString TfC::statusNote() const
{
    return statusBar()->currentMessage();
}

void TfC::showCaretPlace()
{
    // The line index answers at the end of a gigabyte as fast as at the start.
    const ByteText& text = m_mem->byteText();
    const std::size_t caret = m_mem->caret();
    const std::size_t line = text.lineOf(caret);
    QString place = tr("Ln %1, Col %2").arg(line + 1).arg(caret - text.lineStart(line) + 1);
    if (const qsizetype selected = m_mem->selLength(); selected > 0)
        place += tr(" (%1 selected)").arg(selected);
    m_caretPlace->setText(place);
}

void TfC::setStatusText(int panel, const std::string& text)
{
    m_status[panel]->setText(panel == 0 ? display_text::FromUtf8(text)
                                        : display_text::FromBytes(text));
}

void TfC::showFileNameWithExt()
{
    m_journal->renamed(m_state.FileName, m_state.FileExt);
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
