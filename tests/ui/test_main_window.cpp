// Start-up, the panel toggle rule, the status bar and the type panel of the main window.
#include <memory>

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "core/app_state.h"
#include "note_recorder.h"
#include "scripted_desktop.h"
#include "temp_workdir.h"
#include "test_files.h"
#include "window_test.h"
#include "ui/editor/memo.h"
#include "ui/main/fCPas.h"
#include "ui/platform/command_guard.h"

namespace {

// Which tool panels are shown, by name, in the window's order.
QString Shown(const TfC& w)
{
    QStringList names;
    for (QWidget* p : {w.pFind, w.pRep, w.pEnc, w.pDec, w.pType, w.pLA})
        if (p->isVisible())
            names << p->objectName();
    return names.join(QLatin1Char(','));
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
        for (QWidget* p : {w.pFind, w.pRep, w.pEnc, w.pDec, w.pType, w.pLA})
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
        QVERIFY(w.mem->isEmpty());
        QCOMPARE(w.mem->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(w.mem->pointSize(), 15);
        QCOMPARE(w.statusText(0), QStringLiteral("untitled"));
        QCOMPARE(w.statusText(1), QStringLiteral("-"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Plimo Text Editor 1.7"));
        QCOMPARE(w.About1->text(), QStringLiteral("About Plimo Text Editor 1.7"));
        QCOMPARE(ApplicationTitle(), std::string("Plimo Text Editor 1.7"));
        QCOMPARE(w.levelE->currentIndex(), 0);
        QCOMPARE(w.levelD->currentIndex(), 0);
        QVERIFY(w.mem->hasFocus());
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
        QTest::newRow("two lines") << QByteArray("T\r\n20\r\n") << "T" << 20
                                   << QByteArray("T\r\n20\r\ntzrhGowN\r\n");
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
        QCOMPARE(w.About1->text(), QStringLiteral("About ") + caption);
        QCOMPARE(w.mem->pointSize(), size);
        QCOMPARE(m_state->TypeSize, size);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")), rewritten);
    }

    void togglesShowOnePanelAtATime()
    {
        TfC& w = start();
        press(Qt::CTRL | Qt::Key_F);
        QCOMPARE(Shown(w), QStringLiteral("pFind"));
        QVERIFY(w.editF->hasFocus());
        QVERIFY(w.pFind->isEnabled());
        press(Qt::CTRL | Qt::Key_F);
        QCOMPARE(Shown(w), QString());
        press(Qt::CTRL | Qt::Key_F);
        QCOMPARE(Shown(w), QStringLiteral("pFind"));

        // Replace takes over; the find toggle is still false, so one Ctrl+F only hides.
        press(Qt::CTRL | Qt::Key_R);
        QCOMPARE(Shown(w), QStringLiteral("pRep"));
        QVERIFY(w.rFrom->hasFocus());
        QVERIFY(!w.pFind->isEnabled());
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
        QSignalSpy find(w.fButt, &QPushButton::clicked);
        QSignalSpy update(w.laButt, &QPushButton::clicked);
        press(Qt::CTRL | Qt::Key_F);
        QTest::keyClick(w.editF, Qt::Key_Return);
        QCOMPARE(find.count(), 1);
        QCOMPARE(update.count(), 0);

        // Enter in the editing area is a line break, even with a default button on show.
        w.mem->setFocus();
        QTest::keyClick(w.mem, Qt::Key_Return);
        QCOMPARE(find.count(), 1);
        QCOMPARE(w.mem->bytes(), std::string("\r\n"));

        // The replace panel has no default button.
        press(Qt::CTRL | Qt::Key_R);
        QSignalSpy replace(w.rButt, &QPushButton::clicked);
        QTest::keyClick(w.rFrom, Qt::Key_Return);
        QCOMPARE(replace.count(), 0);
        QCOMPARE(find.count(), 1);
    }

    void enterInAnOpenListChoosesWithoutPressingTheButton()
    {
        TfC& w = start();
        QSignalSpy encrypt(w.eButt, &QPushButton::clicked);
        press(Qt::CTRL | Qt::Key_E);
        w.levelE->setFocus();
        w.levelE->showPopup();
        QAbstractItemView* list = w.levelE->view();
        QTRY_VERIFY(list->isVisible());
        list->setCurrentIndex(list->model()->index(1, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!list->isVisible());
        QCOMPARE(w.levelE->currentIndex(), 1);
        QCOMPARE(encrypt.count(), 0);

        // With the list folded, Enter answers the panel's default button.
        QTest::keyClick(w.levelE, Qt::Key_Return);
        QCOMPARE(encrypt.count(), 1);
    }

    void levelAPanelShowsThePassword()
    {
        TfC& w = start();
        w.resize(800, 500);
        press(Qt::CTRL | Qt::Key_L);
        QCOMPARE(w.editLA->text(), QStringLiteral("tzrhGowN"));
        QCOMPARE(w.Label4->width(), w.pLA->width() - 390);
        QCOMPARE(w.Label4->height(), 47);
        w.resize(900, 500);
        QTRY_COMPARE(w.Label4->width(), w.pLA->width() - 390);
    }

    void memClickRewritesSettings()
    {
        TfC& w = start();
        QFile::remove(m_dir->filePath("plimo.dat"));
        m_state->FileName = "/tmp/x.txt";
        QTest::mouseClick(w.mem->viewport(), Qt::LeftButton);
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
        QTest::mouseClick(w.mem->viewport(), Qt::LeftButton);
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
        for (int i = 0; i < w.ft->count(); ++i)
            items << w.ft->itemText(i);
        // "Alpha" repeats "alpha" just before it and "beta" repeats "Beta"; then sorted.
        QCOMPARE(items, (QStringList{"alpha", "Beta", "Default", "Mono", "Zeta"}));
        QCOMPARE(w.ft->currentIndex(), 0);
        QCOMPARE(w.ComboBox1->currentText(), QStringLiteral("15"));
    }

    void typeSizeIsChosenAndStored()
    {
        TfC& w = start();
        press(Qt::CTRL | Qt::Key_T);
        QCOMPARE(Shown(w), QStringLiteral("pType"));
        w.ComboBox1->setCurrentIndex(w.ComboBox1->findText("35"));
        emit w.ComboBox1->activated(w.ComboBox1->currentIndex());
        QCOMPARE(w.mem->pointSize(), 35);
        QCOMPARE(m_state->TypeSize, 35);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")),
                 QByteArray("Plimo Text Editor 1.7\r\n35\r\ntzrhGowN\r\n"));

        w.ComboBox1->setCurrentIndex(w.ComboBox1->findText("10"));
        emit w.ComboBox1->activated(w.ComboBox1->currentIndex());
        QTest::mouseClick(w.cType, Qt::LeftButton);
        press(Qt::CTRL | Qt::Key_T);  // only hides all, after Close
        QCOMPARE(Shown(w), QString());
        press(Qt::CTRL | Qt::Key_T);
        QCOMPARE(Shown(w), QStringLiteral("pType"));
        QCOMPARE(w.ComboBox1->currentText(), QStringLiteral("10"));
        QCOMPARE(w.mem->pointSize(), 10);

        // The next start reads the stored size.
        m_w.reset();
        *m_state = TAppState();
        TfC& again = start();
        QCOMPARE(again.mem->pointSize(), 10);
    }

    void typefaceIsAppliedNotStored()
    {
        m_desktop->fonts = {"DejaVu Sans", "DejaVu Serif"};
        TfC& w = start();
        press(Qt::CTRL | Qt::Key_T);
        const QByteArray before = ReadFile(m_dir->filePath("plimo.dat"));
        w.ft->setCurrentIndex(w.ft->findText("DejaVu Serif"));
        emit w.ft->activated(w.ft->currentIndex());
        QCOMPARE(w.mem->family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(m_state->TypeSize, 15);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")), before);
        // Opening the panel again selects the first entry without changing the typeface.
        press(Qt::CTRL | Qt::Key_T);
        press(Qt::CTRL | Qt::Key_T);
        QCOMPARE(w.ft->currentIndex(), 0);
        QCOMPARE(w.mem->family(), QStringLiteral("DejaVu Serif"));
        // The "Font" button does nothing.
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(w.mem->family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(Shown(w), QStringLiteral("pType"));
    }

    void bothCtrlTItemsRunOneCommand()
    {
        TfC& w = start();
        w.SelectFont1->trigger();
        QCOMPARE(Shown(w), QStringLiteral("pType"));
        w.tMen->trigger();
        QCOMPARE(Shown(w), QString());
        QVERIFY(w.SelectFont1->text().endsWith(QStringLiteral("\tCtrl+T")));
        QCOMPARE(w.tMen->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
    }

    void menuCaptionsAndShortcuts()
    {
        TfC& w = start();
        const std::pair<QAction*, const char*> items[] = {
            {w.New1, "&New"},          {w.Open1, "&Open"},           {w.Save1, "&Save"},
            {w.SaveAs1, "Sa&ve As"},   {w.Close1, "C&lose File"},    {w.Email1, "&Quick Email"},
            {w.eMen, "&Encrypt"},      {w.dMen, "&Decrypt"},         {w.Exit1, "E&xit"},
            {w.Cut1, "C&ut"},          {w.Copy1, "&Copy"},           {w.Paste1, "&Paste"},
            {w.SelectAll1, "Select &All"}, {w.fMen, "&Find"},        {w.rMen, "&Replace"},
            {w.tMen, "&Type Size"},    {w.levelAPwd, "Level A &Pwd"}, {w.Help2, "&Help"},
            {w.WebSite1, "Korvex Web Site"}, {w.SupportEmail1, "Korvex Support Email"},
            {w.SalesEmail1, "Korvex Sales Email"}};
        for (const auto& [action, caption] : items)
            QCOMPARE(action->text(), QString::fromLatin1(caption));
        QCOMPARE(w.Exit1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F4));
        QCOMPARE(w.Email1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        QCOMPARE(w.Help2->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(w.levelAPwd->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        QVERIFY(w.SaveAs1->shortcut().isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
