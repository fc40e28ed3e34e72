// Start-up, the panel toggle rule, the status bar and the type panel of the main window.
#include <algorithm>
#include <cmath>
#include <memory>

#include <utility>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <functional>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QWheelEvent>

#include "core/app_state.h"
#include "note_recorder.h"
#include "scripted_desktop.h"
#include "temp_workdir.h"
#include "test_files.h"
#include "ui/editor/memo.h"
#include "ui/main/cipher_panel.h"
#include "ui/main/fCPas.h"
#include "ui/main/find_panel.h"
#include "ui/main/go_to_line_panel.h"
#include "ui/main/level_a_panel.h"
#include "ui/main/replace_panel.h"
#include "ui/main/type_panel.h"
#include "ui/platform/command_guard.h"
#include "window_test.h"

namespace {

// Which tool panels are shown, by name, in the window's order.
QString Shown(const TfC& w)
{
    QStringList names;
    for (QWidget* p :
         std::initializer_list<QWidget*>{w.findPanel(), w.replacePanel(), w.encryptPanel(),
                                         w.decryptPanel(), w.typePanel(), w.levelAPanel(),
                                         w.goToLinePanel()})
        if (p->isVisible())
            names << p->objectName();
    return names.join(QLatin1Char(','));
}

// Shows one panel, enabled, as its command does, without touching the toggles.
void ShowOnly(TfC& w, QWidget* panel)
{
    w.panelBar().HideAllPanels();
    panel->setEnabled(true);
    panel->show();
}

QLineEdit* Box(TfC& w, const QString& name)
{
    const std::pair<QLineEdit*, const char*> boxes[] = {
        {w.findPanel()->editF, "editF"},    {w.replacePanel()->rFrom, "rFrom"},
        {w.replacePanel()->rTo, "rTo"},     {w.encryptPanel()->pwdBox, "pwdE"},
        {w.decryptPanel()->pwdBox, "pwdD"}, {w.levelAPanel()->editLA, "editLA"},
        {w.goToLinePanel()->editGo, "editGo"}};
    for (const auto& [box, boxName] : boxes)
        if (name == QLatin1String(boxName))
            return box;
    return nullptr;
}

// The menu's 17 keys, then the 7 of its later commands, and the items they run; Exit last, since
// it closes the window.
const std::pair<QKeyCombination, QAction * TMainMenu::*> kMenuKeys[] = {
    {Qt::CTRL | Qt::Key_N, &TMainMenu::New1},       {Qt::CTRL | Qt::Key_O, &TMainMenu::Open1},
    {Qt::CTRL | Qt::Key_S, &TMainMenu::Save1},      {Qt::CTRL | Qt::Key_W, &TMainMenu::Close1},
    {Qt::CTRL | Qt::Key_Q, &TMainMenu::Email1},     {Qt::CTRL | Qt::Key_E, &TMainMenu::eMen},
    {Qt::CTRL | Qt::Key_D, &TMainMenu::dMen},       {Qt::CTRL | Qt::Key_X, &TMainMenu::Cut1},
    {Qt::CTRL | Qt::Key_C, &TMainMenu::Copy1},      {Qt::CTRL | Qt::Key_V, &TMainMenu::Paste1},
    {Qt::CTRL | Qt::Key_A, &TMainMenu::SelectAll1}, {Qt::CTRL | Qt::Key_F, &TMainMenu::fMen},
    {Qt::CTRL | Qt::Key_R, &TMainMenu::rMen},       {Qt::CTRL | Qt::Key_T, &TMainMenu::tMen},
    {Qt::CTRL | Qt::Key_L, &TMainMenu::levelAPwd},  {Qt::Key_F1, &TMainMenu::Help2},
    {Qt::Key_F3, &TMainMenu::FindNext1},            {Qt::SHIFT | Qt::Key_F3, &TMainMenu::FindPrevious1},
    {Qt::CTRL | Qt::Key_G, &TMainMenu::GoToLine1},  {Qt::CTRL | Qt::Key_Plus, &TMainMenu::ZoomIn1},
    {Qt::CTRL | Qt::Key_Equal, &TMainMenu::ZoomIn1}, {Qt::CTRL | Qt::Key_Minus, &TMainMenu::ZoomOut1},
    {Qt::CTRL | Qt::Key_0, &TMainMenu::ZoomReset1}, {Qt::CTRL | Qt::Key_F4, &TMainMenu::Exit1}};

// WCAG contrast ratio of two colours, 1 to 21.
double Contrast(const QColor& a, const QColor& b)
{
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The room a drop-down list has for its entry's text, as the style draws it.
int ListTextRoom(const QComboBox* list)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = false;
    option.frame = true;
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, list);
    return field.width() - 2;  // the style insets the text by one pixel each side
}

}  // namespace

class TestMainWindow : public WindowTest {
    Q_OBJECT

    TfC& start() { return makeWindow(true); }

private slots:
    void init() { setUpWindowTest(); }
    void cleanup() { tearDownWindowTest(); }

    void startUpState()
    {
        TfC& w = start();
        QCOMPARE(Shown(w), QString());
        for (QWidget* p :
             std::initializer_list<QWidget*>{w.findPanel(), w.replacePanel(), w.encryptPanel(),
                                             w.decryptPanel(), w.typePanel(), w.levelAPanel()})
            QVERIFY2(!p->isEnabled(), qPrintable(p->objectName()));
        const TAppState& s = *m_state;
        QVERIFY(s.FindToggle && s.RepToggle && s.EncToggle && s.DecToggle && s.TypeToggle &&
                s.LAToggle);
        QVERIFY(s.PlainText);
        QVERIFY(!s.HasFile);
        QCOMPARE(s.FileName, std::string("untitled"));
        QCOMPARE(s.FileExt, std::string("txt"));
        QCOMPARE(s.LevelCPwd, std::string("Hq3VpxLr7koN"));
        QCOMPARE(s.FindPos, 0);
        QVERIFY(w.mem()->isEmpty());
        QCOMPARE(w.mem()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(w.mem()->pointSize(), 15);
        QCOMPARE(w.statusText(0), QStringLiteral("untitled"));
        QCOMPARE(w.statusText(1), QStringLiteral("-"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Plimo Text Editor 1.7"));
        QCOMPARE(w.menu().About1->text(), QStringLiteral("About Plimo Text Editor 1.7"));
        QCOMPARE(ApplicationTitle(), std::string("Plimo Text Editor 1.7"));
        QCOMPARE(w.encryptPanel()->levelList->currentIndex(), 0);
        QCOMPARE(w.decryptPanel()->levelList->currentIndex(), 0);
        QVERIFY(w.mem()->hasFocus());
    }

    void opensCentredAt700By500_data()
    {
        QTest::addColumn<QSize>("desktop");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("1280x1024") << QSize(1280, 1024) << QPoint(290, 262);
        QTest::newRow("odd sizes truncate") << QSize(1921, 1081) << QPoint(610, 290);
        QTest::newRow("two monitors side by side") << QSize(3840, 1080) << QPoint(1570, 290);
    }
    void opensCentredAt700By500()
    {
        QFETCH(QSize, desktop);
        QFETCH(QPoint, topLeft);
        m_desktop->desktopSize = desktop;
        TfC w(*m_desktop, *m_state);
        QCOMPARE(w.size(), QSize(700, 500));
        QCOMPARE(w.pos(), topLeft);
    }

    void firstStartWritesDefaultSettings()
    {
        start();
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")),
                 QByteArray("Plimo Text Editor 1.7\r\n15\r\ntzrhGowN\r\n"));
        QVERIFY(m_desktop->calls.empty());
    }

    void storedSettingsApply_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("rewritten");
        QTest::newRow("own title and size")
            << QByteArray("My Notes\r\n35\r\nabcd1234\r\n") << "My Notes" << 35
            << QByteArray("My Notes\r\n35\r\nabcd1234\r\n");
        QTest::newRow("empty title") << QByteArray("\r\n12\r\nabcd1234\r\n") << "" << 12
                                     << QByteArray("\r\n12\r\nabcd1234\r\n");
        QTest::newRow("two lines")
            << QByteArray("T\r\n20\r\n") << "T" << 20 << QByteArray("T\r\n20\r\ntzrhGowN\r\n");
        QTest::newRow("size not a number") << QByteArray("T\r\nbig\r\nabcd1234\r\n") << "T" << 15
                                           << QByteArray("T\r\n15\r\nabcd1234\r\n");
        QTest::newRow("size zero") << QByteArray("T\r\n0\r\nabcd1234\r\n") << "T" << 15
                                   << QByteArray("T\r\n15\r\nabcd1234\r\n");
        QTest::newRow("size absurd") << QByteArray("T\r\n99999\r\nabcd1234\r\n") << "T" << 15
                                     << QByteArray("T\r\n15\r\nabcd1234\r\n");
        QTest::newRow("size off the list") << QByteArray("T\r\n13\r\nabcd1234\r\n") << "T" << 13
                                           << QByteArray("T\r\n13\r\nabcd1234\r\n");
    }
    void storedSettingsApply()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, caption);
        QFETCH(int, size);
        QFETCH(QByteArray, rewritten);
        WriteFile(m_dir->filePath("plimo.dat"), file);
        TfC& w = start();
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(w.menu().About1->text(), QStringLiteral("About ") + caption);
        QCOMPARE(w.mem()->pointSize(), size);
        QCOMPARE(m_state->TypeSize, size);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")), rewritten);
    }

    void togglesShowOnePanelAtATime()
    {
        TfC& w = start();
        press(Qt::CTRL | Qt::Key_F);
        QCOMPARE(Shown(w), QStringLiteral("pFind"));
        QVERIFY(w.findPanel()->editF->hasFocus());
        QVERIFY(w.findPanel()->isEnabled());
        press(Qt::CTRL | Qt::Key_F);
        QCOMPARE(Shown(w), QString());
        press(Qt::CTRL | Qt::Key_F);
        QCOMPARE(Shown(w), QStringLiteral("pFind"));

        // Replace takes over; the find toggle is still false, so one Ctrl+F only hides.
        press(Qt::CTRL | Qt::Key_R);
        QCOMPARE(Shown(w), QStringLiteral("pRep"));
        QVERIFY(w.replacePanel()->rFrom->hasFocus());
        QVERIFY(!w.findPanel()->isEnabled());
        press(Qt::CTRL | Qt::Key_F);
        QCOMPARE(Shown(w), QString());
        QVERIFY(m_state->FindToggle);
        QVERIFY(!m_state->RepToggle);
        press(Qt::CTRL | Qt::Key_F);
        QCOMPARE(Shown(w), QStringLiteral("pFind"));
    }

    void closeButtonKeepsTheToggle_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QKeyCombination>("keys");
        QTest::newRow("find") << "pFind" << (Qt::CTRL | Qt::Key_F);
        QTest::newRow("replace") << "pRep" << (Qt::CTRL | Qt::Key_R);
        QTest::newRow("encrypt") << "pEnc" << (Qt::CTRL | Qt::Key_E);
        QTest::newRow("decrypt") << "pDec" << (Qt::CTRL | Qt::Key_D);
        QTest::newRow("type") << "pType" << (Qt::CTRL | Qt::Key_T);
        QTest::newRow("level A password") << "pLA" << (Qt::CTRL | Qt::Key_L);
    }
    void closeButtonKeepsTheToggle()
    {
        QFETCH(QString, panel);
        QFETCH(QKeyCombination, keys);
        TfC& w = start();
        press(keys);
        QCOMPARE(Shown(w), panel);
        auto* p = w.findChild<QWidget*>(panel);
        QPushButton* close = nullptr;
        for (auto* b : p->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Close"))
                close = b;
        QVERIFY(close);
        QTest::mouseClick(close, Qt::LeftButton);
        QCOMPARE(Shown(w), QString());
        // Hidden by its button, the panel stays enabled until the next hide-all.
        QVERIFY(p->isEnabled());
        press(keys);
        QCOMPARE(Shown(w), QString());
        QVERIFY(!p->isEnabled());
        press(keys);
        QCOMPARE(Shown(w), panel);
    }

    void enterRunsOnlyTheShownPanelsDefaultButton()
    {
        TfC& w = start();
        QSignalSpy find(w.findPanel()->fButt, &QPushButton::clicked);
        QSignalSpy update(w.levelAPanel()->laButt, &QPushButton::clicked);
        press(Qt::CTRL | Qt::Key_F);
        QTest::keyClick(w.findPanel()->editF, Qt::Key_Return);
        QCOMPARE(find.count(), 1);
        QCOMPARE(update.count(), 0);

        // Enter in the editing area is a line break, even with a default button on show.
        w.mem()->setFocus();
        QTest::keyClick(w.mem(), Qt::Key_Return);
        QCOMPARE(find.count(), 1);
        QCOMPARE(w.mem()->bytes(), std::string("\r\n"));

        // The replace panel has no default button.
        press(Qt::CTRL | Qt::Key_R);
        QSignalSpy replace(w.replacePanel()->rButt, &QPushButton::clicked);
        QTest::keyClick(w.replacePanel()->rFrom, Qt::Key_Return);
        QCOMPARE(replace.count(), 0);
        QCOMPARE(find.count(), 1);
    }

    void enterInAnOpenListChoosesWithoutPressingTheButton()
    {
        TfC& w = start();
        QSignalSpy encrypt(w.encryptPanel()->actionButton, &QPushButton::clicked);
        press(Qt::CTRL | Qt::Key_E);
        w.encryptPanel()->levelList->setFocus();
        w.encryptPanel()->levelList->showPopup();
        QAbstractItemView* list = w.encryptPanel()->levelList->view();
        QTRY_VERIFY(list->isVisible());
        list->setCurrentIndex(list->model()->index(1, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!list->isVisible());
        QCOMPARE(w.encryptPanel()->levelList->currentIndex(), 1);
        QCOMPARE(encrypt.count(), 0);

        // With the list folded, Enter answers the panel's default button.
        QTest::keyClick(w.encryptPanel()->levelList, Qt::Key_Return);
        QCOMPARE(encrypt.count(), 1);
    }

    void levelAPanelShowsThePassword()
    {
        TfC& w = start();
        w.resize(800, 500);
        press(Qt::CTRL | Qt::Key_L);
        QCOMPARE(w.levelAPanel()->editLA->text(), QStringLiteral("tzrhGowN"));
        QCOMPARE(w.levelAPanel()->Label4->width(), w.levelAPanel()->width() - 390);
        QCOMPARE(w.levelAPanel()->Label4->height(), 47);
        w.resize(900, 500);
        QTRY_COMPARE(w.levelAPanel()->Label4->width(), w.levelAPanel()->width() - 390);
    }

    void memClickRewritesSettings()
    {
        TfC& w = start();
        QFile::remove(m_dir->filePath("plimo.dat"));
        m_state->FileName = "/tmp/x.txt";
        QTest::mouseClick(w.mem()->viewport(), Qt::LeftButton);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")),
                 QByteArray("Plimo Text Editor 1.7\r\n15\r\ntzrhGowN\r\n"));
        QCOMPARE(w.statusText(0), QStringLiteral("/tmp/x.txt"));
    }

    void settingsWriteFailureOnClickIsReported()
    {
        TfC& w = start();
        // A folder where the settings file should be: it cannot be replaced.
        QFile::remove(m_dir->filePath("plimo.dat"));
        QVERIFY(QDir(m_dir->path()).mkdir("plimo.dat"));
        QTest::mouseClick(w.mem()->viewport(), Qt::LeftButton);
        QCOMPARE(m_desktop->countOf(ScriptedDesktop::Kind::Error), 1);
        const auto error = m_desktop->callsOf(ScriptedDesktop::Kind::Error).front();
        QCOMPARE(error.caption, std::string("Plimo Text Editor 1.7"));
        QCOMPARE(error.text, std::string("Cannot create file plimo.dat"));
        QVERIFY(w.isVisible());
    }

    void startsEvenWhenSettingsCannotBeRead()
    {
        QVERIFY(QDir(m_dir->path()).mkdir("plimo.dat"));
        TfC& w = start();
        QCOMPARE(w.windowTitle(), QStringLiteral("Plimo Text Editor 1.7"));
        QCOMPARE(m_state->TypeSize, 15);
        // Told once, since a settings file that is there may hold the Level A password.
        QCOMPARE(m_desktop->calls.size(), 1u);
        QVERIFY(m_desktop->calls.front().text.starts_with(
            "Cannot open file plimo.dat: it is a folder. The file is left as it is"));
        QVERIFY(QFileInfo(m_dir->filePath("plimo.dat")).isDir());
    }

    void typePanelListsFonts()
    {
        m_desktop->fonts = {"Zeta", "alpha", "Alpha", "Beta", "beta", "Mono"};
        TfC& w = start();
        QStringList items;
        for (int i = 0; i < w.typePanel()->ft->count(); ++i)
            items << w.typePanel()->ft->itemText(i);
        // "Alpha" repeats "alpha" just before it and "beta" repeats "Beta"; then sorted.
        QCOMPARE(items, (QStringList{"alpha", "Beta", "Default", "Mono", "Zeta"}));
        QCOMPARE(w.typePanel()->ft->currentIndex(), 0);
        QCOMPARE(w.typePanel()->ComboBox1->currentText(), QStringLiteral("15"));
    }

    void typeSizeIsChosenAndStored()
    {
        TfC& w = start();
        press(Qt::CTRL | Qt::Key_T);
        QCOMPARE(Shown(w), QStringLiteral("pType"));
        w.typePanel()->ComboBox1->setCurrentIndex(w.typePanel()->ComboBox1->findText("35"));
        emit w.typePanel()->ComboBox1->activated(w.typePanel()->ComboBox1->currentIndex());
        QCOMPARE(w.mem()->pointSize(), 35);
        QCOMPARE(m_state->TypeSize, 35);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")),
                 QByteArray("Plimo Text Editor 1.7\r\n35\r\ntzrhGowN\r\n"));

        w.typePanel()->ComboBox1->setCurrentIndex(w.typePanel()->ComboBox1->findText("10"));
        emit w.typePanel()->ComboBox1->activated(w.typePanel()->ComboBox1->currentIndex());
        QTest::mouseClick(w.typePanel()->cType, Qt::LeftButton);
        press(Qt::CTRL | Qt::Key_T);  // only hides all, after Close
        QCOMPARE(Shown(w), QString());
        press(Qt::CTRL | Qt::Key_T);
        QCOMPARE(Shown(w), QStringLiteral("pType"));
        QCOMPARE(w.typePanel()->ComboBox1->currentText(), QStringLiteral("10"));
        QCOMPARE(w.mem()->pointSize(), 10);

        // The next start reads the stored size.
        m_w.reset();
        *m_state = TAppState();
        TfC& again = start();
        QCOMPARE(again.mem()->pointSize(), 10);
    }

    void typefaceIsAppliedNotStored()
    {
        m_desktop->fonts = {"DejaVu Sans", "DejaVu Serif"};
        TfC& w = start();
        press(Qt::CTRL | Qt::Key_T);
        const QByteArray before = ReadFile(m_dir->filePath("plimo.dat"));
        w.typePanel()->ft->setCurrentIndex(w.typePanel()->ft->findText("DejaVu Serif"));
        emit w.typePanel()->ft->activated(w.typePanel()->ft->currentIndex());
        QCOMPARE(w.mem()->family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(m_state->TypeSize, 15);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")), before);
        // Opening the panel again selects the first entry without changing the typeface.
        press(Qt::CTRL | Qt::Key_T);
        press(Qt::CTRL | Qt::Key_T);
        QCOMPARE(w.typePanel()->ft->currentIndex(), 0);
        QCOMPARE(w.mem()->family(), QStringLiteral("DejaVu Serif"));
        // The "Font" button does nothing.
        QTest::mouseClick(w.typePanel()->Button1, Qt::LeftButton);
        QCOMPARE(w.mem()->family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(Shown(w), QStringLiteral("pType"));
    }

    void bothCtrlTItemsRunOneCommand()
    {
        TfC& w = start();
        w.menu().SelectFont1->trigger();
        QCOMPARE(Shown(w), QStringLiteral("pType"));
        w.menu().tMen->trigger();
        QCOMPARE(Shown(w), QString());
        QVERIFY(w.menu().SelectFont1->text().endsWith(QStringLiteral("\tCtrl+T")));
        QCOMPARE(w.menu().tMen->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
    }

    void menuCaptionsAndShortcuts()
    {
        TfC& w = start();
        const std::pair<QAction*, const char*> items[] = {
            {w.menu().New1, "&New"},
            {w.menu().Open1, "&Open"},
            {w.menu().Save1, "&Save"},
            {w.menu().SaveAs1, "Sa&ve As"},
            {w.menu().Close1, "C&lose File"},
            {w.menu().Email1, "&Quick Email"},
            {w.menu().eMen, "&Encrypt"},
            {w.menu().dMen, "&Decrypt"},
            {w.menu().Exit1, "E&xit"},
            {w.menu().Cut1, "C&ut"},
            {w.menu().Copy1, "&Copy"},
            {w.menu().Paste1, "&Paste"},
            {w.menu().SelectAll1, "Select &All"},
            {w.menu().fMen, "&Find"},
            {w.menu().rMen, "&Replace"},
            {w.menu().tMen, "&Type Size"},
            {w.menu().levelAPwd, "Level A &Pwd"},
            {w.menu().Help2, "&Help"},
            {w.menu().WebSite1, "Korvex Web Site"},
            {w.menu().SupportEmail1, "Korvex Support Email"},
            {w.menu().SalesEmail1, "Korvex Sales Email"}};
        for (const auto& [action, caption] : items)
            QCOMPARE(action->text(), QString::fromLatin1(caption));
        QCOMPARE(w.menu().Exit1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F4));
        QCOMPARE(w.menu().Email1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        QCOMPARE(w.menu().Help2->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(w.menu().levelAPwd->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        QVERIFY(w.menu().SaveAs1->shortcut().isEmpty());
    }

    void everyMenuKeyWorksFromEveryBox_data()
    {
        QTest::addColumn<QString>("box");
        for (const char* box : {"editF", "rFrom", "rTo", "pwdE", "pwdD", "editLA", "editGo"})
            QTest::newRow(box) << QString::fromLatin1(box);
    }
    void everyMenuKeyWorksFromEveryBox()
    {
        QFETCH(QString, box);
        TfC& w = start();
        QLineEdit* edit = Box(w, box);
        QVERIFY(edit);
        for (const auto& [keys, item] : kMenuKeys) {
            const QString what = box + ": " + QKeySequence(keys).toString();
            ShowOnly(w, edit->parentWidget());
            edit->setFocus();
            QTRY_VERIFY2(edit->hasFocus(), qPrintable(what));
            QSignalSpy ran(w.menu().*item, &QAction::triggered);
            QTest::keyClick(edit, keys.key(), keys.keyboardModifiers());
            QVERIFY2(ran.count() == 1, qPrintable(what));
        }
        QVERIFY(!w.isVisible());  // Exit, the last key, closed the window
    }

    // Status panel 2: the caret's line (CR LF lines, not rows) and column, from 1, and the
    // selection's length, after every move.
    void caretPlace()
    {
        TfC& w = start();
        QCOMPARE(w.statusText(2), QStringLiteral("Ln 1, Col 1"));
        w.mem()->setBytes("first\r\nsecond line, long enough to wrap in a narrow window\r\n\r\nx");
        w.mem()->select(5, 4);  // over a line break, which counts two
        QCOMPARE(w.statusText(2), QStringLiteral("Ln 2, Col 3 (4 selected)"));
        QTest::keyClick(w.mem(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(w.statusText(2), QStringLiteral("Ln 4, Col 2"));
        QTest::keyClick(w.mem(), Qt::Key_Up);
        QTest::keyClicks(w.mem(), "ab");
        QCOMPARE(w.statusText(2), QStringLiteral("Ln 3, Col 3"));
    }

    // Ctrl+G shows the go-to-line panel (one panel at a time, as the others) with the caret's
    // line ready to be typed over; Enter puts the caret at the start of the line, counted in
    // CR LF lines, in the middle of the area.
    void goToLine_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("line");
        QTest::newRow("line 3") << "3" << 3;
        QTest::newRow("a long line is one line") << "4" << 4;
        QTest::newRow("far down, shown in the middle") << "1000" << 1000;
        QTest::newRow("past the end: the last line") << "999999999999" << 2005;
        QTest::newRow("line 0 is the first") << "0" << 1;
        QTest::newRow("only digits are taken: the box keeps 2") << "-x" << 2;
    }
    void goToLine()
    {
        QFETCH(QString, typed);
        QFETCH(int, line);
        TfC& w = start();
        std::string text = "one\r\ntwo\r\nthree\r\n" + std::string(1000, 'w') + "\r\n";
        for (int i = 5; i <= 2005; ++i)
            text += "line " + std::to_string(i) + (i < 2005 ? "\r\n" : "");
        w.mem()->setBytes(text);
        w.mem()->select(6, 0);
        press(Qt::CTRL | Qt::Key_F);
        press(Qt::CTRL | Qt::Key_G);
        QCOMPARE(Shown(w), QStringLiteral("pGo"));
        QLineEdit* box = w.goToLinePanel()->editGo;
        QVERIFY(box->hasFocus());
        QCOMPARE(box->selectedText(), QStringLiteral("2"));
        QCOMPARE(w.goToLinePanel()->LabelLines->text(), QStringLiteral("of 2005"));
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        const ByteText& bytes = w.mem()->byteText();
        QCOMPARE(w.mem()->caret(), bytes.lineStart(std::size_t(line - 1)));
        QCOMPARE(w.mem()->selLength(), 0);
        QVERIFY(w.mem()->hasFocus());
        if (line == 1000) {
            const QRect caretBox = w.mem()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
            QVERIFY2(std::abs(caretBox.center().y() - w.mem()->viewport()->height() / 2) <=
                         caretBox.height(),
                     qPrintable(QString::number(caretBox.center().y())));
        }
        press(Qt::CTRL | Qt::Key_G);
        QCOMPARE(Shown(w), QString());
    }

    // Ctrl++ (or Ctrl+=), Ctrl+- and Ctrl+wheel step through the type panel's sizes, which
    // follows, and keep the size in plimo.dat; Ctrl+0 goes back to the size the run started
    // with.
    void zoom()
    {
        WriteFile(m_dir->filePath("plimo.dat"), "Plimo Text Editor 1.7\r\n20\r\npwd\r\n");
        TfC& w = start();
        const auto wheel = [&w](int delta) {
            const QPointF at = w.mem()->viewport()->rect().center();
            QWheelEvent event(at, w.mem()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(w.mem()->viewport(), &event);
        };
        QList<int> sizes;
        for (const auto& step : std::vector<std::function<void()>>{
                 [&] { press(Qt::CTRL | Qt::Key_Equal); }, [&] { press(Qt::CTRL | Qt::Key_Plus); },
                 [&] { press(Qt::CTRL | Qt::Key_0); }, [&] { press(Qt::CTRL | Qt::Key_Minus); },
                 [&] { wheel(-240); }, [&] { wheel(60); }, [&] { wheel(60); },
                 [&] { for (int i = 0; i < 9; ++i) press(Qt::CTRL | Qt::Key_Plus); }})
            step(), sizes << w.mem()->pointSize();
        // Touchpad turns add up to a notch; the list's end stops the steps.
        QCOMPARE(sizes, QList<int>({22, 25, 20, 18, 12, 12, 15, 35}));
        QCOMPARE(s().TypeSize, 35);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")).split('\n').value(1), QByteArray("35\r"));
        press(Qt::CTRL | Qt::Key_T);  // the type panel's list follows
        QCOMPARE(w.typePanel()->ComboBox1->currentText(), QStringLiteral("35"));
        QVERIFY(m_desktop->calls.empty());
    }

    void captionsFitTheirControls_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("opened at 700") << 700;
        QTest::newRow("designed 816") << 816;
    }
    void captionsFitTheirControls()
    {
        QFETCH(int, width);
        TfC& w = start();
        w.resize(width, 500);
        // The encrypt panel twice: its OpenPGP level shows a second box.
        bool encryptSeen = false;
        for (QWidget* panel :
             std::initializer_list<QWidget*>{w.findPanel(), w.replacePanel(), w.encryptPanel(),
                                             w.encryptPanel(), w.decryptPanel(), w.typePanel(),
                                             w.levelAPanel(), w.goToLinePanel()}) {
            ShowOnly(w, panel);
            if (panel == w.encryptPanel() && std::exchange(encryptSeen, true))
                w.encryptPanel()->chooseOpenPgp();
            QTRY_COMPARE(panel->width(), width - 20);
            QList<QWidget*> row;
            for (QWidget* c : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (c->isVisibleTo(panel))
                    row << c;
            std::sort(row.begin(), row.end(),
                      [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
            for (qsizetype i = 0; i < row.size(); ++i) {
                QWidget* c = row[i];
                const QRect g = c->geometry();
                const QString what = panel->objectName() + "/" + c->metaObject()->className() +
                                     " at " + QString::number(g.x());
                QVERIFY2(g.left() >= 0 && g.right() < panel->width(), qPrintable(what));
                QVERIFY2(g.bottom() < panel->height(), qPrintable(what));
                for (qsizetype j = i + 1; j < row.size(); ++j)  // the option boxes stand stacked
                    QVERIFY2(!g.intersects(row[j]->geometry()), qPrintable(what + " overlaps"));
                const QFontMetrics fm = c->fontMetrics();
                if (auto* button = qobject_cast<QPushButton*>(c)) {
                    const int margin = c->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, c);
                    QVERIFY2(fm.horizontalAdvance(button->text()) + 2 * margin <= g.width(),
                             qPrintable(what + " " + button->text()));
                } else if (auto* box = qobject_cast<QCheckBox*>(c)) {
                    QVERIFY2(box->sizeHint().width() <= g.width(), qPrintable(what + " " + box->text()));
                } else if (auto* list = qobject_cast<QComboBox*>(c)) {
                    for (int item = 0; item < list->count(); ++item)
                        QVERIFY2(fm.horizontalAdvance(list->itemText(item)) <= ListTextRoom(list),
                                 qPrintable(what + " " + list->itemText(item)));
                } else if (auto* label = qobject_cast<QLabel*>(c)) {
                    if (label->wordWrap())
                        QVERIFY2(label->heightForWidth(g.width()) <= g.height(),
                                 qPrintable(what + " cuts its last line"));
                    else
                        QVERIFY2(fm.horizontalAdvance(label->text()) <= g.width(),
                                 qPrintable(what + " " + label->text()));
                }
            }
        }
        // Where the text fits, the designed places and sizes stay.
        w.encryptPanel()->levelList->setCurrentIndex(0);
        emit w.encryptPanel()->levelList->activated(0);
        QCOMPARE(w.findPanel()->editF->geometry(), QRect(16, 16, 169, 28));
        QCOMPARE(w.findPanel()->fButt->geometry(), QRect(194, 16, 80, 32));
        QCOMPARE(w.replacePanel()->cRep->geometry(), QRect(496, 16, 80, 32));
        QCOMPARE(w.encryptPanel()->pwdBox->geometry(), w.decryptPanel()->pwdBox->geometry());
        QCOMPARE(w.findPanel()->height(), 62);
        if (width == 816) {
            QCOMPARE(w.typePanel()->ft->geometry(), QRect(312, 18, 273, 26));
            QCOMPARE(w.typePanel()->Button1->geometry(), QRect(600, 16, 97, 32));
        }
    }

    void panelsReadOnADarkPalette()
    {
        QPalette dark;
        for (const auto& [role, colour] : {std::pair{QPalette::Window, QColor(53, 53, 53)},
                                           {QPalette::WindowText, Qt::white},
                                           {QPalette::Base, QColor(35, 35, 35)},
                                           {QPalette::Text, QColor(Qt::white)},
                                           {QPalette::Button, QColor(53, 53, 53)},
                                           {QPalette::ButtonText, Qt::white}})
            dark.setColor(role, colour);
        const QPalette previous = QApplication::palette();
        QApplication::setPalette(dark);
        const auto restore = qScopeGuard([&] { QApplication::setPalette(previous); });

        TfC& w = start();
        auto readable = [](const QWidget* c, QPalette::ColorRole text, QPalette::ColorRole back) {
            return Contrast(c->palette().color(QPalette::Active, text),
                            c->palette().color(QPalette::Active, back)) >= 4.5;
        };
        for (QWidget* panel :
             std::initializer_list<QWidget*>{w.findPanel(), w.replacePanel(), w.encryptPanel(),
                                             w.decryptPanel(), w.typePanel(), w.levelAPanel()})
            QCOMPARE(panel->palette().color(QPalette::Window), QColor(192, 192, 192));
        for (QLabel* label : {w.replacePanel()->Label1, w.encryptPanel()->pwdLabel,
                              w.decryptPanel()->pwdLabel, w.levelAPanel()->Label4})
            QVERIFY2(readable(label, QPalette::WindowText, QPalette::Window),
                     qPrintable(label->text()));

        auto checkBoxes = [&](const char* when) {
            for (QLineEdit* box :
                 {w.findPanel()->editF, w.replacePanel()->rFrom, w.replacePanel()->rTo,
                  w.encryptPanel()->pwdBox, w.decryptPanel()->pwdBox, w.levelAPanel()->editLA})
                QVERIFY2(readable(box, QPalette::Text, QPalette::Base), when);
        };
        checkBoxes("after start-up");  // the password boxes silver, editLA the window colour
        press(Qt::CTRL | Qt::Key_E);
        for (int level : {1, 0}) {
            w.encryptPanel()->levelList->setCurrentIndex(level);
            emit w.encryptPanel()->levelList->activated(
                level);  // white for Level B, silver again for Level A
            checkBoxes(level == 1 ? "Level B picked" : "Level A picked again");
        }
    }

    void controlsHaveAccessibleNames()
    {
        TfC& w = start();
        QSet<QString> names;
        for (QWidget* c : std::initializer_list<QWidget*>{
                 w.mem(), w.findPanel()->editF, w.replacePanel()->rFrom, w.replacePanel()->rTo,
                 w.encryptPanel()->pwdBox, w.decryptPanel()->pwdBox, w.levelAPanel()->editLA,
                 w.encryptPanel()->levelList, w.decryptPanel()->levelList, w.typePanel()->ComboBox1,
                 w.typePanel()->ft}) {
            QVERIFY2(!c->accessibleName().isEmpty(), c->metaObject()->className());
            names << c->accessibleName();
        }
        QCOMPARE(names.size(), 11);  // each tells which it is
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
