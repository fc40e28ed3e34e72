// The menu's clipboard, link and e-mail commands, and what the whole start (every window, in
// order) leaves behind: the application title and the settings file.
#include <memory>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>

#include "core/app_state.h"
#include "note_recorder.h"
#include "scripted_desktop.h"
#include "temp_workdir.h"
#include "test_files.h"
#include "ui/app/plimo_app.h"
#include "ui/app/start_options.h"
#include "ui/editor/memo.h"
#include "ui/info/fAboutPas.h"
#include "ui/info/fHelp.h"
#include "ui/info/notice.h"
#include "ui/main/fCPas.h"
#include "ui/main/find_panel.h"
#include "ui/main/type_panel.h"
#include "ui/platform/command_guard.h"
#include "ui/secondary/fPlimoPas.h"
#include "window_test.h"

using Kind = ScriptedDesktop::Kind;
using Action = StartRequest::Action;
Q_DECLARE_METATYPE(StartRequest::Action)

namespace {

constexpr const char* kMailPrefix = "mailto:?subject=Subject%20here&body=";

}  // namespace

class TestMenuAndStart : public WindowTest {
    Q_OBJECT

private slots:
    void init() { setUpWindowTest(); }
    void cleanup() { tearDownWindowTest(); }

    void quickEmail_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("plain");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<QString>("body");
        const QString tooShort = "The text to email is too short. Consider updating it.";
        const QString notStandard =
            "This may not be standard text. We do not recommend sending it via email and Plimo "
            "may not be capable to do so.";
        QTest::newRow("empty") << QByteArray() << true << QStringList{tooShort} << "";
        QTest::newRow("two short lines")
            << QByteArray("Hi\r\nAll") << true << QStringList{tooShort} << "Hi%0D%0AAll%0D%0A";
        QTest::newRow("9 characters")
            << QByteArray("123456789") << true << QStringList{tooShort} << "123456789%0D%0A";
        QTest::newRow("10 characters")
            << QByteArray("1234567890") << true << QStringList{} << "1234567890%0D%0A";
        QTest::newRow("reserved characters encoded")
            << QByteArray("a&b=c?d#e%f g") << true << QStringList{}
            << "a%26b%3Dc%3Fd%23e%25f%20g%0D%0A";
        QTest::newRow("8-bit as UTF-8") << QByteArray("caf\xE9 \x80 price") << true << QStringList{}
                                        << "caf%C3%A9%20%E2%82%AC%20price%0D%0A";
        QTest::newRow("after encryption")
            << QByteArray("0123456789") << false << QStringList{notStandard} << "0123456789%0D%0A";
        QTest::newRow("both warnings")
            << QByteArray("x") << false << QStringList{notStandard, tooShort} << "x%0D%0A";
    }
    void quickEmail()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, plain);
        QFETCH(QStringList, notes);
        QFETCH(QString, body);
        NoteRecorder recorder;
        TfC w(*m_desktop, *m_state);
        w.mem()->setBytes(text.toStdString());
        m_state->PlainText = plain;
        w.menu().Email1->trigger();
        QStringList shown;
        for (const auto& n : recorder.notes)
            shown << QString::fromStdString(n);
        QCOMPARE(shown, notes);
        QCOMPARE(m_desktop->countOf(Kind::OpenUrl), 1);
        QCOMPARE(QString::fromStdString(m_desktop->calls.back().text), kMailPrefix + body);
    }

    void emailKeepsAWrappedParagraphOneLine()
    {
        TfC w(*m_desktop, *m_state);
        w.resize(300, 400);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const std::string paragraph(400, 'w');
        w.mem()->setBytes(paragraph);
        QVERIFY(w.mem()->rowCount(0) > 1);  // shown wrapped
        w.menu().Email1->trigger();
        QCOMPARE(m_desktop->calls.back().text, kMailPrefix + paragraph + "%0D%0A");
    }

    void clipboardActsOnTheEditingAreaWhereverTheFocusIs()
    {
        TfC w(*m_desktop, *m_state);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.mem()->setBytes("alpha beta");
        w.mem()->select(6, 4);
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.findPanel()->editF->hasFocus());
        w.findPanel()->editF->setText("find box text");
        w.findPanel()->editF->selectAll();
        QApplication::clipboard()->clear();
        QTest::keyClick(w.findPanel()->editF, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("beta"));

        QTest::keyClick(w.findPanel()->editF, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(w.mem()->bytes(), std::string("alpha "));
        QCOMPARE(w.findPanel()->editF->text(), QStringLiteral("find box text"));

        QTest::keyClick(w.findPanel()->editF, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.mem()->bytes(), std::string("alpha beta"));

        QTest::keyClick(w.findPanel()->editF, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.mem()->selLength(), 10);
        QCOMPARE(w.findPanel()->editF->text(), QStringLiteral("find box text"));
    }

    void linksOpenTheMakersAddresses()
    {
        TfC w(*m_desktop, *m_state);
        w.menu().WebSite1->trigger();
        w.menu().SupportEmail1->trigger();
        w.menu().SalesEmail1->trigger();
        const auto urls = m_desktop->callsOf(Kind::OpenUrl);
        QCOMPARE(urls.size(), 3u);
        QCOMPARE(urls[0].text, std::string("https://www.korvex.example/plimo"));
        QCOMPARE(urls[1].text, std::string("mailto:support@korvex.example"));
        QCOMPARE(urls[2].text, std::string("mailto:sales@korvex.example"));
    }

    void wholeStartSetsTitleAndRewritesSettings_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("caption");
        QTest::newRow("missing") << QByteArray()
                                 << QByteArray("Plimo Text Editor 1.7\r\n15\r\ntzrhGowN\r\n")
                                 << "Plimo Text Editor 1.7";
        QTest::newRow("own title") << QByteArray("Mine\r\n20\r\nabcdefgh\r\n")
                                   << QByteArray("Mine\r\n20\r\nabcdefgh\r\n") << "Mine";
        QTest::newRow("empty password line") << QByteArray("Mine\r\n20\r\n\r\n")
                                             << QByteArray("Mine\r\n20\r\ntzrhGowN\r\n") << "Mine";
    }
    void wholeStartSetsTitleAndRewritesSettings()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, caption);
        if (!before.isEmpty())
            WriteFile(m_dir->filePath("plimo.dat"), before);
        AppState = TAppState();
        PlimoWindows windows(*m_desktop);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")), after);
        QCOMPARE(windows.main().windowTitle(), caption);
        QCOMPARE(windows.main().menu().About1->text(), "About " + caption);
        // The secondary window's title stays the application's, whatever the file says.
        QCOMPARE(ApplicationTitle(), std::string("Plimo Text Editorius 1.7"));
        QVERIFY(!windows.secondary().isVisible());
        QCOMPARE(windows.secondary().SecondaryState().AppTitle, caption.toStdString());
        // No help file in this folder: one error box at start-up, after the title changed.
        const auto startErrors = m_desktop->callsOf(Kind::Error);
        QCOMPARE(startErrors.size(), 1u);
        QCOMPARE(startErrors[0].text, std::string("Cannot open file plimo-help.txt"));
        QCOMPARE(startErrors[0].caption, std::string("Plimo Text Editorius 1.7"));

        // Errors after start-up carry the secondary window's title.
        QVERIFY(QDir(m_dir->path()).mkpath("sub.txt"));
        m_desktop->openPaths.push_back(QFile::encodeName(m_dir->filePath("sub.txt")).toStdString());
        windows.main().menu().Open1->trigger();
        QCOMPARE(m_desktop->calls.back().caption, std::string("Plimo Text Editorius 1.7"));
    }

    void messagesGoThroughTheNoteWindowAfterStart()
    {
        AppState = TAppState();
        PlimoWindows windows(*m_desktop);
        QStringList seen;
        QMetaObject::invokeMethod(
            &windows.main(),
            [&] {
                QTRY_VERIFY(qApp->activeModalWidget());
                seen << qApp->activeModalWidget()->windowTitle();
                QTest::keyClick(qApp->activeModalWidget(), Qt::Key_Return);
            },
            Qt::QueuedConnection);
        windows.main().menu().Save1->trigger();  // empty text: one message
        QCOMPARE(seen, QStringList{"Plimo - Note"});
    }

    void aboutLetsTheFontListDropFiftyRows()
    {
        AppState = TAppState();
        PlimoWindows windows(*m_desktop);
        QCOMPARE(windows.main().typePanel()->ft->maxVisibleItems(), 12);
        QMetaObject::invokeMethod(
            &windows.main(),
            [&] {
                QTRY_VERIFY(qApp->activeModalWidget());
                QCOMPARE(qApp->activeModalWidget()->windowTitle(), QStringLiteral("Plimo - About"));
                QTest::keyClick(qApp->activeModalWidget(), Qt::Key_Return);
            },
            Qt::QueuedConnection);
        windows.main().menu().About1->trigger();
        QCOMPARE(windows.main().typePanel()->ft->maxVisibleItems(), 50);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("file");
        QTest::newRow("nothing") << QStringList{} << Action::Run << "";
        QTest::newRow("a file") << QStringList{"letter.txt"} << Action::Run << "letter.txt";
        QTest::newRow("--help") << QStringList{"--help"} << Action::PrintHelp << "";
        QTest::newRow("-h") << QStringList{"-h"} << Action::PrintHelp << "";
        QTest::newRow("--version") << QStringList{"--version"} << Action::PrintVersion << "";
        QTest::newRow("help with a file opens nothing")
            << QStringList{"a.txt", "--help"} << Action::PrintHelp << "";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << Action::Refuse << "";
        QTest::newRow("one of Qt's own options")
            << QStringList{"-style", "fusion"} << Action::Refuse << "";
        QTest::newRow("two files") << QStringList{"a.txt", "b.txt"} << Action::Refuse << "";
        QTest::newRow("an empty name") << QStringList{""} << Action::Refuse << "";
        QTest::newRow("a name like an option, after --")
            << QStringList{"--", "-notes.txt"} << Action::Run << "-notes.txt";
        QTest::newRow("-- then two files") << QStringList{"--", "a", "b"} << Action::Refuse << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(Action, action);
        QFETCH(QString, file);
        std::vector<std::string> argv;
        for (const QString& a : args)
            argv.push_back(a.toStdString());
        const StartRequest request = ParseCommandLine(argv);
        QCOMPARE(request.action, action);
        QCOMPARE(QString::fromStdString(request.file), file);
        QCOMPARE(request.problem.empty(), action != Action::Refuse);
    }

    void fileNamesBecomeAbsolute_data()
    {
        // "~" stands for the current folder.
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("opened");
        QTest::newRow("bare name") << "letter.txt"
                                   << "~/letter.txt";
        QTest::newRow("dot step") << "./sub/./letter.txt"
                                  << "~/sub/letter.txt";
        QTest::newRow("absolute") << "/srv/letter.txt"
                                  << "/srv/letter.txt";
        // A folder before ".." may be a link: the path stays as given.
        QTest::newRow("parent step") << "../letter.txt"
                                     << "~/../letter.txt";
    }
    void fileNamesBecomeAbsolute()
    {
        QFETCH(QString, given);
        QFETCH(QString, opened);
        opened.replace(QLatin1Char('~'), QDir::currentPath());
        QCOMPARE(QString::fromStdString(AbsolutePath(given.toStdString())), opened);
    }

    void launcherMarkIsTakenOnce()
    {
        // Read once, and not handed on to the programs the editor starts (the mail program).
        const auto restore = qScopeGuard([] { qunsetenv("PLIMO_STARTED_BY_LAUNCHER"); });
        QVERIFY(!TakeLauncherMark());
        qputenv("PLIMO_STARTED_BY_LAUNCHER", "1");
        QVERIFY(TakeLauncherMark());
        QVERIFY(!qEnvironmentVariableIsSet("PLIMO_STARTED_BY_LAUNCHER"));
    }

    void everyWindowShowsTheProgramsIcon()
    {
        AppState = TAppState();
        PlimoWindows windows(*m_desktop);
        for (QWidget* window : std::initializer_list<QWidget*>{&windows.main(), &windows.note(),
                                                               &windows.help(), &windows.about()}) {
            const QIcon icon = window->windowIcon();
            QVERIFY2(!icon.isNull(), window->metaObject()->className());
            QCOMPARE(icon.availableSizes().size(), 6);  // 16 to 256 pixels
        }
    }
};

QTEST_MAIN(TestMenuAndStart)
#include "test_menu_and_start.moc"
