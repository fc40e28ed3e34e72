// New, Open, Save, Save As, Close File and the exit question, through the scripted desktop.
#include <memory>
#include <random>

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QTest>

#include "core/app_state.h"
#include "note_recorder.h"
#include "scripted_desktop.h"
#include "temp_workdir.h"
#include "test_files.h"
#include "window_test.h"
#include "ui/editor/memo.h"
#include "ui/main/fCPas.h"

using Kind = ScriptedDesktop::Kind;

class TestFileCommands : public WindowTest {
    Q_OBJECT


    const std::vector<std::string>& notes() { return m_notes->notes; }

    // Opens a file holding the bytes; returns its path.
    QString open(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir->filePath(name);
        WriteFile(path, bytes);
        m_desktop->openPaths.push_back(Path(path));
        w().Open1->trigger();
        return path;
    }

private slots:
    void init()
    {
        setUpWindowTest();
        makeWindow(false);
    }
    void cleanup() { tearDownWindowTest(); }

    void openNormalisesLineBreaksAndShowsTheSize_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("abc") << QByteArray("abc") << QByteArray("abc");
        QTest::newRow("lone LF") << QByteArray("a\nb") << QByteArray("a\r\nb");
        QTest::newRow("lone CR") << QByteArray("a\rb") << QByteArray("a\r\nb");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("NUL and 8-bit kept") << QByteArray("\0\x80\xFF\xA0", 4)
                                            << QByteArray("\0\x80\xFF\xA0", 4);
    }
    void openNormalisesLineBreaksAndShowsTheSize()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, text);
        s().FileExt = "txb";
        const QString path = open("doc.txt", file);
        QCOMPARE(w().mem->bytes(), text.toStdString());
        QCOMPARE(w().statusText(0), path);
        QCOMPARE(w().statusText(1), QStringLiteral("size - %1").arg(text.size()));
        QCOMPARE(s().FileName, Path(path));
        QVERIFY(s().HasFile);
        QCOMPARE(s().FileExt, std::string("txb"));  // opening never changes it

        const auto dialog = m_desktop->callsOf(Kind::OpenDialog).front().request;
        QCOMPARE(dialog.filter, std::string("Text|*.txt|Encypt A|*.txa|Encrypt B|*.txb|Encrypt C|*.txc"));
        QCOMPARE(dialog.filterIndex, 3);
        QVERIFY(dialog.existingOnly);
        QVERIFY(dialog.defaultExtension.empty());
        QCOMPARE(QDir(QString::fromStdString(dialog.folder)), QDir(m_dir->path()));

        // Save writes back to the same path, with CR LF, nothing added.
        if (!text.isEmpty()) {
            w().Save1->trigger();
            QCOMPARE(ReadFile(path), text);
            QCOMPARE(m_desktop->countOf(Kind::SaveDialog), 0);
        }
    }

    void cancelledDialogsChangeNothing()
    {
        w().mem->setBytes("keep");
        w().Open1->trigger();
        w().SaveAs1->trigger();
        QCOMPARE(notes(), (std::vector<std::string>{"File opening was cancelled!",
                                                     "Saving the file was stopped."}));
        QCOMPARE(w().mem->bytes(), std::string("keep"));
        QCOMPARE(s().FileName, std::string("untitled"));
        QVERIFY(!s().HasFile);
        QCOMPARE(w().statusText(0), QStringLiteral("untitled"));
        QCOMPARE(w().statusText(1), QStringLiteral("-"));
    }

    void saveOfAnEmptyTextIsRefused()
    {
        w().Save1->trigger();
        QCOMPARE(notes(), std::vector<std::string>{
                              "Sorry, we could not save this document, it is empty. Please try Save As."});
        QVERIFY(m_desktop->calls.empty());
    }

    void saveUnboundRunsSaveAs()
    {
        w().mem->setBytes("hello\r\nworld");
        s().FileExt = "txc";
        const QString path = m_dir->filePath("out.txc");
        m_desktop->savePaths.push_back(Path(path));
        w().Save1->trigger();
        const auto dialog = m_desktop->callsOf(Kind::SaveDialog).front().request;
        QCOMPARE(dialog.title, std::string("Save your file"));
        QCOMPARE(dialog.filter, std::string("Text file|*.txt|Encrypt A|*.txa|Encrypt B|*.txb|Encrypt C|*.txc"));
        QCOMPARE(dialog.filterIndex, 4);
        QCOMPARE(dialog.defaultExtension, std::string("txt"));
        QCOMPARE(ReadFile(path), QByteArray("hello\r\nworld"));
        QVERIFY(s().HasFile);
        QCOMPARE(w().statusText(0), path);

        // Bound now: the next Save asks nothing.
        w().mem->setBytes("changed");
        w().Save1->trigger();
        QCOMPARE(m_desktop->countOf(Kind::SaveDialog), 1);
        QCOMPARE(ReadFile(path), QByteArray("changed"));
    }

    void saveAsReplacesAnExistingFileAndWritesEmptyText()
    {
        const QString path = m_dir->filePath("old.txt");
        WriteFile(path, "old content");
        m_desktop->savePaths.push_back(Path(path));
        w().SaveAs1->trigger();
        QCOMPARE(ReadFile(path), QByteArray());
        QVERIFY(m_desktop->calls.size() == 1);  // no overwrite question
    }

    void newAndCloseAskBeforeEmptying()
    {
        const QString path = open("a.txt", "text");
        // No keeps everything.
        m_desktop->answers = {false, false};
        w().New1->trigger();
        w().Close1->trigger();
        QCOMPARE(w().mem->bytes(), std::string("text"));
        QVERIFY(s().HasFile);
        QCOMPARE(w().statusText(0), path);
        const auto questions = m_desktop->callsOf(Kind::Question);
        QCOMPARE(questions.size(), 2u);
        QCOMPARE(questions[0].caption, std::string("Plimo"));
        QCOMPARE(questions[0].text, std::string("Do you wish to start a new document? The current is not empty! Are you sure?"));
        QCOMPARE(questions[1].text, std::string("Closing this file - are you sure?"));

        // New with Yes: emptied and unbound, the size text stays.
        m_desktop->answers = {true};
        w().New1->trigger();
        QVERIFY(w().mem->isEmpty());
        QVERIFY(!s().HasFile);
        QCOMPARE(w().statusText(0), QStringLiteral("untitled"));
        QCOMPARE(w().statusText(1), QStringLiteral("size - 4"));

        // Close File on an empty area asks nothing and resets both panels.
        w().Close1->trigger();
        QCOMPARE(m_desktop->countOf(Kind::Question), 3);
        QCOMPARE(w().statusText(1), QStringLiteral("-"));
    }

    void failuresLeaveEverythingAsItWas()
    {
        const QString good = open("good.txt", "good");
        // A path that vanished between the dialog and the read.
        m_desktop->openPaths.push_back(Path(m_dir->filePath("gone.txt")));
        w().Open1->trigger();
        // A folder where a file should be.
        QVERIFY(QDir(m_dir->path()).mkdir("folder.txt"));
        m_desktop->openPaths.push_back(Path(m_dir->filePath("folder.txt")));
        w().Open1->trigger();
        const auto errors = m_desktop->callsOf(Kind::Error);
        QCOMPARE(errors.size(), 2u);
        QCOMPARE(errors[0].text, "Cannot open file " + Path(m_dir->filePath("gone.txt")));
        QCOMPARE(errors[0].caption, std::string("Plimo Text Editor 1.7"));
        QCOMPARE(w().mem->bytes(), std::string("good"));
        QCOMPARE(s().FileName, Path(good));
        QCOMPARE(w().statusText(0), good);

        // Save As onto a folder: the error, the name taken, the rest unchanged.
        m_desktop->savePaths.push_back(Path(m_dir->filePath("folder.txt")));
        w().SaveAs1->trigger();
        QCOMPARE(m_desktop->countOf(Kind::Error), 3);
        QCOMPARE(m_desktop->calls.back().text,
                 "Cannot create file " + Path(m_dir->filePath("folder.txt")));
        QCOMPARE(s().FileName, Path(m_dir->filePath("folder.txt")));
        QCOMPARE(w().statusText(0), good);
        QCOMPARE(ReadFile(good), QByteArray("good"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // good.txt, plimo.dat
    }

    void randomBytesSurviveOpenAndSave()
    {
        std::mt19937 rng(2024);
        for (int round = 0; round < 30; ++round) {
            QByteArray bytes(static_cast<int>(rng() % 2000), '\0');
            for (char& c : bytes)
                c = static_cast<char>(rng() % 5 == 0 ? "\r\n"[rng() % 2] : rng() % 256);
            const QString path = open("r.bin", bytes);
            // What loading promises: every break to CR LF, every other byte kept.
            QByteArray expected = bytes;
            expected.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
            QCOMPARE(w().mem->bytes(), expected.toStdString());
            if (!expected.isEmpty()) {
                w().Save1->trigger();
                QCOMPARE(ReadFile(path).toHex(), expected.toHex());
            }
        }
    }

    void exitAsksOnlyForUnsavedText()
    {
        w().show();
        // Empty and untouched: leaves at once.
        QCloseEvent quiet;
        QCoreApplication::sendEvent(m_w.get(), &quiet);
        QVERIFY(quiet.isAccepted());
        QCOMPARE(m_desktop->countOf(Kind::Question), 0);

        // Typed text: asked; No keeps the window and the text.
        w().mem->insertPlainText("draft");
        m_desktop->answers = {false};
        w().Exit1->trigger();
        QVERIFY(w().isVisible());
        QCOMPARE(w().mem->bytes(), std::string("draft"));
        QCOMPARE(m_desktop->calls.back().caption, std::string("Plimo"));
        QCOMPARE(m_desktop->calls.back().text,
                 std::string("The text has changes that are not saved. Exit anyway?"));

        // Saved: no question.
        m_desktop->savePaths.push_back(Path(m_dir->filePath("d.txt")));
        w().Save1->trigger();
        QCloseEvent saved;
        QCoreApplication::sendEvent(m_w.get(), &saved);
        QVERIFY(saved.isAccepted());
        QCOMPARE(m_desktop->countOf(Kind::Question), 1);

        // Changed after opening: asked; Yes leaves.
        open("e.txt", "opened");
        w().mem->insertPlainText("!");
        m_desktop->answers = {true};
        QCloseEvent changed;
        QCoreApplication::sendEvent(m_w.get(), &changed);
        QVERIFY(changed.isAccepted());
        QCOMPARE(m_desktop->countOf(Kind::Question), 2);
        QVERIFY(!m_desktop->anyUnscripted());
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
