// New, Open, Save, Save As, Close File and the exit question, through the scripted desktop.
#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <random>

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "cipher/openpgp_level.h"
#include "core/app_state.h"
#include "document/recovery_journal.h"
#include "document/recovery_restore.h"
#include "note_recorder.h"
#include "scripted_desktop.h"
#include "temp_workdir.h"
#include "test_files.h"
#include "ui/editor/memo.h"
#include "ui/main/cipher_panel.h"
#include "ui/main/fCPas.h"
#include "ui/main/file_dialog_texts.h"
#include "ui/editor/text_pages.h"
#include "ui/main/print_preview.h"
#include "ui/main/replace_panel.h"
#include "ui/platform/qt_desktop.h"
#include "window_test.h"

using Kind = ScriptedDesktop::Kind;

namespace {

// Drags the data onto the editing area and drops it there, as a file manager or the area
// itself does.
void Drop(Memo* mem, QMimeData* data)
{
    const QPoint at = mem->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(mem->viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(mem->viewport(), &drop);
}

QDir FolderOf(const ScriptedDesktop::Call& dialog)
{
    return QDir(QString::fromStdString(dialog.request.folder));
}

// The override cursor's shape, or -1 without one.
int CursorNow()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? static_cast<int>(cursor->shape()) : -1;
}

}  // namespace

class TestFileCommands : public WindowTest {
    Q_OBJECT

    const std::vector<std::string>& notes() { return m_notes->notes; }

    // File > Recent Files as the menu shows it: each entry's caption, tip, and "off" when it is
    // not offered; Clear List last.
    QStringList recentMenu()
    {
        QMenu* menu = w().menu().RecentFiles1->menu();
        emit menu->aboutToShow();
        QStringList entries;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                entries << a->text() + " | " + a->toolTip() + (a->isEnabled() ? "" : " off");
        return entries;
    }
    void triggerRecent(int index)
    {
        recentMenu();
        w().menu().RecentFiles1->menu()->actions().at(index)->trigger();
    }

    // Opens a file holding the bytes; returns its path.
    QString open(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir->filePath(name);
        WriteFile(path, bytes);
        m_desktop->openPaths.push_back(Path(path));
        w().menu().Open1->trigger();
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
        // What the status bar says over its first two panels, one after the other.
        QTest::addColumn<QStringList>("notes");
        const QString utf8 = "This file looks like UTF-8: letters beyond A-Z show as two or three "
                             "symbols and are saved unchanged";
        QTest::newRow("abc") << QByteArray("abc") << QByteArray("abc") << QStringList();
        QTest::newRow("lone LF") << QByteArray("a\nb") << QByteArray("a\r\nb")
                                 << QStringList{"Line breaks were LF: Save writes CR LF"};
        QTest::newRow("lone CR") << QByteArray("a\rb") << QByteArray("a\r\nb")
                                 << QStringList{"Line breaks were CR: Save writes CR LF"};
        QTest::newRow("empty") << QByteArray() << QByteArray() << QStringList();
        QTest::newRow("NUL and 8-bit kept")
            << QByteArray("\0\x80\xFF\xA0", 4) << QByteArray("\0\x80\xFF\xA0", 4) << QStringList();
        QTest::newRow("UTF-8 and LF, kept as read")
            << QByteArray("caf\xC3\xA9\n\xE2\x82\xAC") << QByteArray("caf\xC3\xA9\r\n\xE2\x82\xAC")
            << QStringList{utf8, "Line breaks were LF: Save writes CR LF"};
    }
    void openNormalisesLineBreaksAndShowsTheSize()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, notes);
        s().FileExt = "txb";
        w().statusBar()->showMessage(QStringLiteral("a note on the file before"));
        const QString path = open("doc.txt", file);
        QCOMPARE(w().mem()->bytes(), text.toStdString());
        QStringList shown;
        for (QString note = w().statusNote(); !note.isEmpty(); note = w().statusNote()) {
            shown << note;
            w().statusBar()->clearMessage();  // as its time running out does
        }
        QCOMPARE(shown, notes);
        QCOMPARE(w().statusText(0), path);
        QCOMPARE(w().statusText(1), QStringLiteral("size - %1").arg(text.size()));
        QCOMPARE(s().FileName, Path(path));
        QVERIFY(s().HasFile);
        QCOMPARE(s().FileExt, std::string("txb"));  // opening never changes it

        const auto dialog = m_desktop->callsOf(Kind::OpenDialog).front().request;
        QCOMPARE(dialog.filter, std::string("Text|*.txt|Encypt A|*.txa|Encrypt B|*.txb|Encrypt "
                                            "C|*.txc|OpenPGP message|*.asc *.gpg"));
        QCOMPARE(dialog.filterIndex, 3);
        QVERIFY(dialog.existingOnly);
        QVERIFY(dialog.defaultExtension.empty());
        QCOMPARE(QDir(QString::fromStdString(dialog.folder)), QDir(m_dir->path()));

        // Save writes back to the same path, with CR LF, nothing added.
        if (!text.isEmpty()) {
            w().menu().Save1->trigger();
            QCOMPARE(ReadFile(path), text);
            QCOMPARE(m_desktop->countOf(Kind::SaveDialog), 0);
        }
    }

    void cancelledDialogsChangeNothing()
    {
        w().mem()->setBytes("keep");
        w().menu().Open1->trigger();
        w().menu().SaveAs1->trigger();
        QCOMPARE(notes(), (std::vector<std::string>{"File opening was cancelled!",
                                                    "Saving the file was stopped."}));
        QCOMPARE(w().mem()->bytes(), std::string("keep"));
        QCOMPARE(s().FileName, std::string("untitled"));
        QVERIFY(!s().HasFile);
        QCOMPARE(w().statusText(0), QStringLiteral("untitled"));
        QCOMPARE(w().statusText(1), QStringLiteral("-"));
    }

    void saveOfAnEmptyTextIsRefused()
    {
        w().menu().Save1->trigger();
        QCOMPARE(notes(),
                 std::vector<std::string>{
                     "Sorry, we could not save this document, it is empty. Please try Save As."});
        QVERIFY(m_desktop->calls.empty());
    }

    void saveUnboundRunsSaveAs()
    {
        w().mem()->setBytes("hello\r\nworld");
        s().FileExt = "txc";
        const QString path = m_dir->filePath("out.txc");
        m_desktop->savePaths.push_back(Path(path));
        w().menu().Save1->trigger();
        const auto dialog = m_desktop->callsOf(Kind::SaveDialog).front().request;
        QCOMPARE(dialog.title, std::string("Save your file"));
        QCOMPARE(dialog.filter,
                 std::string("Text file|*.txt|Encrypt A|*.txa|Encrypt B|*.txb|Encrypt "
                             "C|*.txc|OpenPGP message|*.asc *.gpg"));
        QCOMPARE(dialog.filterIndex, 4);
        QCOMPARE(QtFilters(dialog.filter).last(), QStringLiteral("OpenPGP message (*.asc *.gpg)"));
        QCOMPARE(dialog.defaultExtension, std::string("txt"));
        QCOMPARE(ReadFile(path), QByteArray("hello\r\nworld"));
        QVERIFY(s().HasFile);
        QCOMPARE(w().statusText(0), path);

        // Bound now: the next Save asks nothing.
        w().mem()->setBytes("changed");
        w().menu().Save1->trigger();
        QCOMPARE(m_desktop->countOf(Kind::SaveDialog), 1);
        QCOMPARE(ReadFile(path), QByteArray("changed"));
    }

    void saveAsReplacesAnExistingFileAndWritesEmptyText()
    {
        const QString path = m_dir->filePath("old.txt");
        WriteFile(path, "old content");
        m_desktop->savePaths.push_back(Path(path));
        w().menu().SaveAs1->trigger();
        QCOMPARE(ReadFile(path), QByteArray());
        QVERIFY(m_desktop->calls.size() == 1);  // no overwrite question
    }

    void newAndCloseAskBeforeEmptying()
    {
        const QString path = open("a.txt", "text");
        // No keeps everything.
        m_desktop->answers = {false, false};
        w().menu().New1->trigger();
        w().menu().Close1->trigger();
        QCOMPARE(w().mem()->bytes(), std::string("text"));
        QVERIFY(s().HasFile);
        QCOMPARE(w().statusText(0), path);
        const auto questions = m_desktop->callsOf(Kind::Question);
        QCOMPARE(questions.size(), 2u);
        QCOMPARE(questions[0].caption, std::string("Plimo"));
        QCOMPARE(
            questions[0].text,
            std::string(
                "Do you wish to start a new document? The current is not empty! Are you sure?"));
        QCOMPARE(questions[1].text, std::string("Closing this file - are you sure?"));

        // New with Yes: emptied and unbound, the size text stays.
        m_desktop->answers = {true};
        w().menu().New1->trigger();
        QVERIFY(w().mem()->isEmpty());
        QVERIFY(!s().HasFile);
        QCOMPARE(w().statusText(0), QStringLiteral("untitled"));
        QCOMPARE(w().statusText(1), QStringLiteral("size - 4"));

        // Close File on an empty area asks nothing and resets both panels.
        w().menu().Close1->trigger();
        QCOMPARE(m_desktop->countOf(Kind::Question), 3);
        QCOMPARE(w().statusText(1), QStringLiteral("-"));
    }

    void failuresLeaveEverythingAsItWas()
    {
        const QString good = open("good.txt", "good");
        // A path that vanished between the dialog and the read.
        m_desktop->openPaths.push_back(Path(m_dir->filePath("gone.txt")));
        w().menu().Open1->trigger();
        // A folder where a file should be.
        QVERIFY(QDir(m_dir->path()).mkdir("folder.txt"));
        m_desktop->openPaths.push_back(Path(m_dir->filePath("folder.txt")));
        w().menu().Open1->trigger();
        const auto errors = m_desktop->callsOf(Kind::Error);
        QCOMPARE(errors.size(), 2u);
        QCOMPARE(errors[0].text, "Cannot open file " + Path(m_dir->filePath("gone.txt")));
        QCOMPARE(errors[0].caption, std::string("Plimo Text Editor 1.7"));
        QCOMPARE(w().mem()->bytes(), std::string("good"));
        QCOMPARE(s().FileName, Path(good));
        QCOMPARE(w().statusText(0), good);

        // Save As onto a folder: the error, the name taken, the rest unchanged.
        m_desktop->savePaths.push_back(Path(m_dir->filePath("folder.txt")));
        w().menu().SaveAs1->trigger();
        QCOMPARE(m_desktop->countOf(Kind::Error), 3);
        QCOMPARE(m_desktop->calls.back().text,
                 "Cannot create file " + Path(m_dir->filePath("folder.txt")));
        QCOMPARE(s().FileName, Path(m_dir->filePath("folder.txt")));
        QCOMPARE(w().statusText(0), good);
        QCOMPARE(ReadFile(good), QByteArray("good"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(),
                 2);  // good.txt, plimo.dat
    }

    void randomBytesSurviveOpenAndSave()
    {
        std::mt19937 rng(2024);
        for (int round = 0; round < 30; ++round) {
            QByteArray bytes(static_cast<int>(rng() % 2000), '\0');
            for (char& c : bytes)
                c = static_cast<char>(rng() % 5 == 0 ? "\r\n"[rng() % 2] : rng() % 256);
            const QString path = open("r.bin", bytes);
            // What loading promises: every break to CR LF, every other byte kept; bytes that
            // start like a binary OpenPGP message keep their breaks too.
            QByteArray expected = bytes;
            if (!IsBinaryOpenPgpMessage(bytes.toStdString()))
                expected.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
            QCOMPARE(w().mem()->bytes(), expected.toStdString());
            if (!expected.isEmpty()) {
                w().menu().Save1->trigger();
                QCOMPARE(ReadFile(path).toHex(), expected.toHex());
            }
        }
    }

    // The files that hung or crashed the former widget open at once and take keys: one line of
    // a mebibyte without a blank (wrapped anywhere, laid out only as far as shown), and four
    // mebibytes of line feeds (eight of CR LF, four million lines).
    void pathologicalFilesOpenAndTakeKeys_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<std::size_t>("lines");
        QTest::newRow("1 MiB line without blanks") << QByteArray(1 << 20, 'Q') << std::size_t{1};
        QTest::newRow("4 MiB of line feeds") << QByteArray(4 << 20, '\n') << std::size_t{(4 << 20) + 1};
    }
    void pathologicalFilesOpenAndTakeKeys()
    {
        QFETCH(QByteArray, file);
        QFETCH(std::size_t, lines);
        w().show();
        QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
        QElapsedTimer clock;
        clock.start();
        const QString path = open("odd.txt", file);
        QVERIFY(!w().mem()->grab().isNull());
        const std::size_t size = lines == 1 ? file.size() : 2 * file.size();
        QCOMPARE(static_cast<std::size_t>(w().mem()->byteLength()), size);
        QVERIFY2(lines > 1 || !w().mem()->lineLaidOut(0), "the whole line laid out to show a screen");
        QTest::keyClick(w().mem(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(w().mem(), "end");
        QTest::keyClick(w().mem(), Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClicks(w().mem(), "A");
        QVERIFY(!w().mem()->grab().isNull());
        QCOMPARE(static_cast<std::size_t>(w().mem()->byteLength()), size + 4);
        QVERIFY(w().mem()->bytes().starts_with("A"));
        QVERIFY(w().mem()->bytes().ends_with("end"));
        // Seconds where the former widget took minutes; generous for the sanitizer build.
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
        w().menu().Save1->trigger();
        QCOMPARE(static_cast<std::size_t>(ReadFile(path).size()), size + 4);
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
        w().mem()->insertPlainText("draft");
        m_desktop->answers = {false};
        w().menu().Exit1->trigger();
        QVERIFY(w().isVisible());
        QCOMPARE(w().mem()->bytes(), std::string("draft"));
        QCOMPARE(m_desktop->calls.back().caption, std::string("Plimo"));
        QCOMPARE(m_desktop->calls.back().text,
                 std::string("The text has changes that are not saved. Exit anyway?"));

        // Saved: no question.
        m_desktop->savePaths.push_back(Path(m_dir->filePath("d.txt")));
        w().menu().Save1->trigger();
        QCloseEvent saved;
        QCoreApplication::sendEvent(m_w.get(), &saved);
        QVERIFY(saved.isAccepted());
        QCOMPARE(m_desktop->countOf(Kind::Question), 1);

        // Changed after opening: asked; Yes leaves.
        open("e.txt", "opened");
        w().mem()->insertPlainText("!");
        m_desktop->answers = {true};
        QCloseEvent changed;
        QCoreApplication::sendEvent(m_w.get(), &changed);
        QVERIFY(changed.isAccepted());
        QCOMPARE(m_desktop->countOf(Kind::Question), 2);
        QVERIFY(!m_desktop->anyUnscripted());
    }

    // A file named on the command line and a file dropped on the text open as Open does once its
    // dialog has answered.
    void openFileDoesWhatOpenDoes_data()
    {
        QTest::addColumn<bool>("dropped");
        QTest::newRow("named on the command line") << false;
        QTest::newRow("dropped from a file manager") << true;
    }
    void openFileDoesWhatOpenDoes()
    {
        QFETCH(bool, dropped);
        auto deliver = [&](const QString& path) {
            if (!dropped) {
                w().OpenFile(Path(path));
                return;
            }
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            data.setText(QUrl::fromLocalFile(path).toString());  // as file managers add it
            Drop(w().mem(), &data);
        };
        w().mem()->setBytes("before");
        s().FileExt = "txc";
        const QString path = m_dir->filePath("letter.txa");
        WriteFile(path, "a\nb");
        deliver(path);
        QTRY_COMPARE(w().mem()->bytes(), std::string("a\r\nb"));
        QCOMPARE(s().FileName, Path(path));
        QVERIFY(s().HasFile);
        QCOMPARE(s().FileExt, std::string("txc"));
        QCOMPARE(w().statusText(0), path);
        QCOMPARE(w().statusText(1), QStringLiteral("size - 4"));
        QVERIFY(m_desktop->calls.empty());  // no dialog, no question

        // A file that cannot be read: the error box, and everything stays.
        const QString missing = m_dir->filePath("gone.txt");
        deliver(missing);
        QTRY_COMPARE(m_desktop->countOf(Kind::Error), 1);
        QCOMPARE(m_desktop->calls.back().text, "Cannot open file " + Path(missing));
        QCOMPARE(m_desktop->calls.back().caption, std::string("Plimo Text Editor 1.7"));
        QCOMPARE(w().mem()->bytes(), std::string("a\r\nb"));
        QCOMPARE(s().FileName, Path(path));
        QCOMPARE(w().statusText(0), path);
    }

    void droppedTextGoesInAsText_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("text");
        QTest::newRow("text") << QList<QUrl>{} << "dragged words";
        QTest::newRow("a web address")
            << QList<QUrl>{QUrl("https://www.korvex.example/")} << "https://www.korvex.example/";
    }
    void droppedTextGoesInAsText()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QString, text);
        QMimeData data;
        data.setUrls(urls);
        data.setText(text);
        Drop(w().mem(), &data);
        QCOMPARE(w().mem()->bytes(), text.toStdString());
        QCOMPARE(s().FileName, std::string("untitled"));
        QVERIFY(m_desktop->calls.empty());
    }

    void dialogsStartWhereTheUsersFilesAre()
    {
        QTemporaryDir documents, letters, other;
        // Started by the launcher: the documents folder, not the current (working) folder.
        w().setDialogStartFolder(Path(documents.path()));
        w().menu().Open1->trigger();
        QCOMPARE(FolderOf(m_desktop->calls.back()), QDir(documents.path()));

        // With a document: its folder, for both dialogs.
        const QString letter = letters.filePath("letter.txt");
        WriteFile(letter, "Dear Anna");
        m_desktop->openPaths.push_back(Path(letter));
        w().menu().Open1->trigger();
        w().menu().SaveAs1->trigger();
        QCOMPARE(FolderOf(m_desktop->calls.back()), QDir(letters.path()));

        // Closed: the folder last used.
        m_desktop->answers = {true};
        w().menu().Close1->trigger();
        w().menu().Open1->trigger();
        QCOMPARE(FolderOf(m_desktop->calls.back()), QDir(letters.path()));

        // Saved elsewhere: there.
        w().mem()->setBytes("moved");
        m_desktop->savePaths.push_back(Path(other.filePath("moved.txt")));
        w().menu().SaveAs1->trigger();
        w().menu().Open1->trigger();
        QCOMPARE(FolderOf(m_desktop->calls.back()), QDir(other.path()));
    }

    // Save over a file another program changed since it was opened asks first.
    void saveAsksBeforeReplacingAnotherProgramsChange_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::newRow("unchanged") << "none" << false << false << QByteArray("mine");
        QTest::newRow("grown, No") << "grow" << true << false << QByteArray("original, theirs");
        QTest::newRow("grown, Yes") << "grow" << true << true << QByteArray("mine");
        QTest::newRow("same size, newer, No")
            << "rewrite" << true << false << QByteArray("ORIGINAL");
        QTest::newRow("only touched, Yes") << "touch" << true << true << QByteArray("mine");
        QTest::newRow("replaced by rename, same size and time, No")
            << "replace" << true << false << QByteArray("ORIGINAL");
        QTest::newRow("deleted") << "delete" << false << false << QByteArray("mine");
    }
    void saveAsksBeforeReplacingAnotherProgramsChange()
    {
        QFETCH(QString, change);
        QFETCH(bool, asked);
        QFETCH(bool, yes);
        QFETCH(QByteArray, fileAfter);
        const QString path = open("doc.txt", "original");
        w().mem()->setBytes("mine");
        const QDateTime opened = QFileInfo(path).lastModified();
        if (change == "grow")
            WriteFile(path, "original, theirs");
        if (change == "rewrite")
            WriteFile(path, "ORIGINAL");
        if (change == "delete")
            QVERIFY(QFile::remove(path));
        if (change == "replace") {
            // As "cp -p" or "rsync -t" do: another file of the same size, given the same time to
            // the nanosecond, takes the name.
            const QString other = path + ".new";
            WriteFile(other, "ORIGINAL");
            struct stat st {};
            QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
            const timespec times[2] = {st.st_atim, st.st_mtim};
            QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(other).constData(), times, 0) == 0);
            QVERIFY(::rename(QFile::encodeName(other).constData(),
                             QFile::encodeName(path).constData()) == 0);
        }
        if (change == "rewrite" || change == "touch") {
            // A later time for sure, whatever the file system's clock resolution.
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(opened.addSecs(10), QFileDevice::FileModificationTime));
        }
        m_desktop->answers = {yes};
        w().menu().Save1->trigger();

        const auto questions = m_desktop->callsOf(Kind::Question);
        QCOMPARE(questions.size(), asked ? 1u : 0u);
        if (asked) {
            QCOMPARE(questions[0].caption, std::string("Plimo"));
            QCOMPARE(questions[0].text, "The file " + Path(path) +
                                            " was changed by another program since it was "
                                            "opened. Overwrite it?");
        }
        QCOMPARE(ReadFile(path), fileAfter);
        QCOMPARE(w().mem()->bytes(), std::string("mine"));
        QCOMPARE(m_desktop->countOf(Kind::Error), 0);

        // Refused, the text is still unsaved: leaving asks. Written, the next Save asks nothing.
        QCloseEvent close;
        m_desktop->answers = {false};
        QCoreApplication::sendEvent(m_w.get(), &close);
        QCOMPARE(close.isAccepted(), !asked || yes);
        if (!asked || yes) {
            w().mem()->setBytes("mine again");
            w().menu().Save1->trigger();
            QCOMPARE(ReadFile(path), QByteArray("mine again"));
            QCOMPARE(m_desktop->countOf(Kind::Question), asked ? 1 : 0);
        }
    }

    void longCommandsShowTheBusyCursor_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("open") << "open";
        QTest::newRow("encrypt") << "encrypt";
        QTest::newRow("decrypt") << "decrypt";
        QTest::newRow("replace all") << "replace";
    }
    void longCommandsShowTheBusyCursor()
    {
        QFETCH(QString, command);
        w().mem()->setBytes("a text long enough for Level A");
        QList<int> shapes;
        connect(w().mem(), &Memo::textChanged, m_w.get(),
                [&shapes] { shapes << CursorNow(); });
        if (command == "open") {
            open("doc.txt", "opened text");
        } else if (command == "replace") {
            w().replacePanel()->rFrom->setText("text");
            w().replacePanel()->rButtClick();
        } else if (command == "encrypt") {
            w().encryptPanel()->actionClick();
        } else {
            w().decryptPanel()->actionClick();
        }
        QVERIFY(!shapes.isEmpty());
        QCOMPARE(shapes.last(), static_cast<int>(Qt::WaitCursor));
        QCOMPARE(CursorNow(), -1);

        // A command that ends in an error gives the cursor back too, before its error box.
        m_desktop->openPaths.push_back(Path(m_dir->filePath("missing.txt")));
        w().menu().Open1->trigger();
        QCOMPARE(m_desktop->countOf(Kind::Error), 1);
        QCOMPARE(CursorNow(), -1);
    }

    // Both dialogs preselect the filter of the document's extension.
    void filterIndex_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("index");
        QTest::newRow("txt") << "txt" << 1;
        QTest::newRow("txa") << "txa" << 2;
        QTest::newRow("txb") << "txb" << 3;
        QTest::newRow("txc") << "txc" << 4;
        QTest::newRow("asc") << "asc" << 5;
        QTest::newRow("gpg") << "gpg" << 5;
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("upper case is another extension") << "TXB" << 1;
        QTest::newRow("unknown") << "doc" << 1;
    }

    void filterIndex()
    {
        QFETCH(QString, ext);
        QFETCH(int, index);
        const std::string extension = ext.toStdString();
        QCOMPARE(FilterIndexFor(extension), index);
        // Both lists must hold that extension's pattern at the index the dialogs preselect.
        for (const std::string_view filter : {kOpenFilter, kSaveFilter}) {
            const QList<QByteArray> parts =
                QByteArray(filter.data(), qsizetype(filter.size())).split('|');
            QCOMPARE(parts.size(), 10);
            const QList<QByteArray> patterns = parts[2 * index - 1].split(' ');
            if (index > 1 || extension == "txt")
                QVERIFY(patterns.contains("*." + QByteArray::fromStdString(extension)));
            else
                QCOMPARE(patterns, QList<QByteArray>{"*.txt"});
        }
    }

    // File > Recent Files: the documents opened or saved, newest first, kept per user beside
    // (never in) plimo.dat, any path byte for byte; a file that is gone is shown, not offered.
    void recentFiles()
    {
        QCOMPARE(recentMenu(), QStringList{"&Clear List | Clear List off"});
        const QString a = open("a.txt", "A");
        const QString b = m_dir->filePath("b & co.txt");
        m_desktop->savePaths.push_back(Path(b));
        w().menu().SaveAs1->trigger();
        const QString c = open("c.txt", "C");
        open("a.txt", "A again");  // first again, once
        QFile::remove(c);
        QCOMPARE(recentMenu(), QStringList({"&1 a.txt | " + a, "&2 c.txt | " + c + " off",
                                            "&3 b && co.txt | " + b, "&Clear List | Clear List"}));
        QCOMPARE(ReadFile(m_dir->configHome() + "/plimo/options"),
                 ("recent=" + a + "\nrecent=" + c + "\nrecent=" + b + "\n").toUtf8());
        QCOMPARE(QFile::permissions(m_dir->configHome() + "/plimo/options"),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")).count('\n'), 3);

        // Opening from the list is Open, also of a name whose bytes are no UTF-8.
        const std::string odd = Path(m_dir->path()) + "/caf\xE9 \xFF.txt";
        std::ofstream(odd) << "odd";
        w().OpenFile(odd);
        triggerRecent(3);
        QCOMPARE(w().mem()->bytes(), std::string("A"));
        QCOMPARE(s().FileName, Path(b));
        QCOMPARE(w().statusText(1), QStringLiteral("size - 1"));
        triggerRecent(1);
        QCOMPARE(s().FileName, odd);
        QCOMPARE(w().mem()->bytes(), std::string("odd"));

        w().menu().ClearRecent1->trigger();
        QCOMPARE(recentMenu(), QStringList{"&Clear List | Clear List off"});
        QCOMPARE(m_desktop->calls.size(), 4u);  // the dialogs, nothing else
        QVERIFY(notes().empty());
    }

    // Over a changed text, a file from the list asks first; No is as a cancelled dialog.
    void recentFileOverUnsavedText()
    {
        const QString path = open("a.txt", "saved");
        w().mem()->setBytes("typed, not saved");
        m_desktop->answers = {false, true};
        triggerRecent(0);
        QCOMPARE(w().mem()->bytes(), std::string("typed, not saved"));
        QCOMPARE(notes(), std::vector<std::string>{"File opening was cancelled!"});
        triggerRecent(0);
        QCOMPARE(w().mem()->bytes(), std::string("saved"));
        const auto questions = m_desktop->callsOf(Kind::Question);
        QCOMPARE(questions.size(), 2u);
        QCOMPARE(questions[0].text, "The text has changes that are not saved. Open " +
                                        Path(path) + " anyway?");
    }

    // A configuration folder others may write to is not used: Open works, the list is kept for
    // the run, and the status bar says why once.
    void recentFilesWhereTheFolderIsNotTheUsersOwn()
    {
        QVERIFY(QDir().mkpath(m_dir->configHome() + "/plimo"));
        QFile::setPermissions(m_dir->configHome() + "/plimo", QFileDevice::Permissions(0x7777));
        const QString a = open("a.txt", "A");
        QVERIFY2(w().statusNote().startsWith("Recent files are not kept: Cannot create file "),
                 qPrintable(w().statusNote()));
        open("b.txt", "B");
        QCOMPARE(w().statusNote(), QString());  // said once
        QCOMPARE(recentMenu().value(1), "&2 a.txt | " + a);
        QVERIFY(!QFile::exists(m_dir->configHome() + "/plimo/options"));
        QVERIFY(m_desktop->callsOf(Kind::Error).empty());
    }

    // Print to a PDF file: the text comes back from it (pdftotext), every word in order, each
    // page under its header; the file appears only whole.
    void printToPdfGivesTheTextBack()
    {
        std::string text;
        for (int i = 1; i <= 130; ++i)
            text += "Line " + std::to_string(i) + ": caf\xE9 \x80 " + std::string(i % 3, '~') + "\r\n";
        for (int i = 0; i < 120; ++i)  // one long line that wraps over many rows
            text += "wrapped" + std::to_string(i) + " ";
        const QString pdf = open("story.txt", QByteArray::fromStdString(text)) + ".pdf";
        m_desktop->printFiles = {std::nullopt, Path(pdf)};
        w().menu().Print1->trigger();  // cancelled in the dialog
        QVERIFY(!QFile::exists(pdf));
        w().menu().Print1->trigger();
        QCOMPARE(m_desktop->callsOf(Kind::PrintDialog).back().text, std::string("story.txt"));
        QVERIFY(m_desktop->callsOf(Kind::Error).empty());
        QCOMPARE(QDir(m_dir->path()).entryList({"story.txt.pdf*"}, QDir::Files),
                 QStringList{"story.txt.pdf"});

        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
        QVERIFY2(pdftotext.waitForFinished(20000), "pdftotext (poppler-utils) did not run");
        const QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput())
                                      .split(QChar('\f'), Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 3);
        QStringList words;
        for (qsizetype p = 0; p < pages.size(); ++p) {
            const QString header = QStringLiteral("page %1 of %2").arg(p + 1).arg(pages.size());
            QVERIFY2(pages[p].contains("story.txt") && pages[p].contains(header),
                     qPrintable(pages[p].left(80)));
            QString body = pages[p];
            body.remove(header).remove("story.txt");
            words += body.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        }
        QCOMPARE(words, QString::fromLatin1(QByteArray::fromStdString(text))
                            .replace(QChar(0x80), QChar(0x20AC))
                            .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts));
    }

    // Cancel in the progress window, or a folder that cannot be written: no file, and the file
    // of that name as it was.
    void printThatStopsLeavesNoFile()
    {
        open("big.txt", QByteArray(6 << 20, 'x').replace(100, 2, "\r\n"));
        const QString kept = m_dir->filePath("kept.pdf");
        WriteFile(kept, "old");
        m_desktop->printFiles = {Path(kept)};
        QTimer::singleShot(0, &w(), [this] {
            for (QProgressDialog* progress : w().findChildren<QProgressDialog*>())
                progress->cancel();
        });
        w().menu().Print1->trigger();
        QCOMPARE(ReadFile(kept), QByteArray("old"));
        QCOMPARE(QDir(m_dir->path()).entryList({"kept.pdf*"}, QDir::Files), QStringList{"kept.pdf"});

        m_desktop->printFiles = {Path(m_dir->filePath("no folder/x.pdf"))};
        w().menu().Print1->trigger();
        const auto errors = m_desktop->callsOf(Kind::Error);
        QCOMPARE(errors.size(), 1u);
        QVERIFY2(errors[0].text.starts_with("Cannot create file " + Path(m_dir->filePath("no folder/x.pdf"))),
                 errors[0].text.c_str());
    }

    // Print Preview shows the first page at once and counts the rest as the window answers;
    // Page Down, End and Home go through them; Print... prints.
    void printPreviewPages()
    {
        std::string text;
        for (int i = 1; i <= 400; ++i)
            text += "Line " + std::to_string(i) + "\r\n";
        const QString pdf = open("pages.txt", QByteArray::fromStdString(text)) + ".pdf";
        m_desktop->printFiles = {Path(pdf)};
        QStringList seen;
        QTimer::singleShot(0, &w(), [&] {
            auto* preview = qobject_cast<PrintPreview*>(QApplication::activeModalWidget());
            if (!preview)
                return;
            seen << preview->pageText();
            QTRY_VERIFY(preview->pages().count().done());
            seen << preview->pageText();
            QTest::keyClick(preview, Qt::Key_PageDown);
            seen << preview->pageText();
            QTest::keyClick(preview, Qt::Key_End);
            seen << preview->pageText();
            QTest::keyClick(preview, Qt::Key_Home);
            seen << preview->pageText();
            const QImage shot = preview->grab().toImage();
            seen << (shot.isNull() ? "no picture" : "picture");
            preview->printButton->click();
            preview->closeButton->click();
        });
        w().menu().PrintPreview1->trigger();
        QCOMPARE(seen.size(), 6);
        const QString pages = seen[1].section(' ', -1);
        QVERIFY(pages.toInt() > 3);
        QCOMPARE(seen, QStringList({"Page 1 of ...", "Page 1 of " + pages, "Page 2 of " + pages,
                                    "Page " + pages + " of " + pages, "Page 1 of " + pages,
                                    "picture"}));
        QVERIFY(QFile::exists(pdf));
    }

    // Settings > Line Numbers is off at first and kept in the options file between runs.
    void lineNumbersAreKept()
    {
        QVERIFY(!w().menu().LineNumbers1->isChecked());
        QVERIFY(!w().mem()->lineNumbers());
        w().menu().LineNumbers1->trigger();
        QVERIFY(w().mem()->lineNumbers());
        QCOMPARE(ReadFile(m_dir->configHome() + "/plimo/options"), QByteArray("line-numbers=on\n"));
        makeWindow(false);
        QVERIFY(w().menu().LineNumbers1->isChecked());
        QVERIFY(w().mem()->lineNumbers());
        w().menu().LineNumbers1->trigger();
        QCOMPARE(ReadFile(m_dir->configHome() + "/plimo/options"), QByteArray());
    }

    // At start, the journal of an editor that ended unclosed: Restore gives its text back as an
    // unsaved change of its document, Discard removes it, and one that cannot be applied is
    // kept and named, the text on screen untouched.
    void recoveryAtStart_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("restore");
        QTest::newRow("a new document, restored") << "new" << true;
        QTest::newRow("an opened file with edits, restored") << "file" << true;
        QTest::newRow("discarded") << "file" << false;
        QTest::newRow("the file changed since") << "changed" << true;
        QTest::newRow("damaged") << "damaged" << true;
    }
    void recoveryAtStart()
    {
        QFETCH(QString, kind);
        QFETCH(bool, restore);
        const QString folder = m_dir->stateHome() + "/plimo/recovery";
        QVERIFY(QDir().mkpath(folder));
        const QString letter = m_dir->filePath("letter.txt");
        WriteFile(letter, "Dear Ann,");
        TRecoveryDocument document{letter.toStdString(), "txt", true, StampOf(letter.toStdString())};
        if (kind == "new")
            document = {"untitled", "txt", false, {}};
        const std::int64_t when = QDateTime::currentSecsSinceEpoch();
        std::string bytes(kJournalMagic);
        bytes += kind == "new" ? journal_record::FullText({"typed", {}})
                               : journal_record::Base(document) +
                                     journal_record::Edit(9, 0, "\r\nhow are you?");
        bytes += journal_record::Commit(when, 3, kind == "new" ? 5 : 23, document);
        if (kind == "damaged")
            bytes[bytes.size() / 2] ^= 1;
        const QString journal = folder + "/1-1.journal";
        WriteFile(journal, QByteArray::fromStdString(bytes));
        if (kind == "changed") {
            QTest::qWait(20);  // a new modification time
            WriteFile(letter, "Dear Bob,");
        }

        m_desktop->answers = {restore};
        w().offerRecovery();
        const QString question = "Plimo was not closed properly. Restore the unsaved text of " +
                                 QString(kind == "new" ? "untitled.txt" : "letter.txt") +
                                 " (last change " +
                                 QDateTime::fromSecsSinceEpoch(when).toString("HH:mm") + ")?";
        const bool applies = kind == "new" || kind == "file";
        if (kind != "damaged")
            QCOMPARE(QString::fromStdString(m_desktop->calls.at(0).text), question);
        if (!applies) {
            QVERIFY(QFile::exists(journal));
            QCOMPARE(m_desktop->countOf(Kind::Error), 1);
            QVERIFY(QString::fromStdString(m_desktop->callsOf(Kind::Error)[0].text)
                        .startsWith("The unsaved text could not be restored, and is kept in " +
                                    journal + ": "));
            QCOMPARE(w().mem()->bytes(), std::string());
            return;
        }
        QVERIFY(w().recoveryJournal().waitWritten(std::chrono::seconds(5)));
        if (!restore) {
            QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
            QCOMPARE(w().mem()->bytes(), std::string());
            return;
        }
        const std::string text = kind == "new" ? "typed" : "Dear Ann,\r\nhow are you?";
        QCOMPARE(w().mem()->bytes(), text);
        QCOMPARE(w().mem()->caret(), std::size_t(3));
        QCOMPARE(s().FileName, document.name);
        QCOMPARE(s().HasFile, document.hasFile);
        // Now this editor's own journal holds it; the old one is gone.
        QVERIFY(!QFile::exists(journal));
        const QByteArray own = ReadFile(QString::fromStdString(w().recoveryJournal().path()));
        QCOMPARE(RebuildText(ReadJournal(std::string_view(own.constData(), own.size())),
                             [](const std::string& p) { return LoadDocument(p); }, kMemoCapacity),
                 text);
        // An unsaved change: Exit asks.
        m_desktop->answers = {false};
        w().menu().Exit1->trigger();
        QCOMPARE(m_desktop->countOf(Kind::Question), 2);
    }

    // Settings > Keep Recovery Copies: off writes no journal, and the choice is kept in the
    // per-user options; a folder that cannot be used turns recovery off with one note.
    void keepRecoveryCopies()
    {
        const QString folder = m_dir->stateHome() + "/plimo/recovery";
        QVERIFY(w().menu().KeepRecovery1->isChecked());
        w().menu().KeepRecovery1->trigger();
        QVERIFY(ReadFile(m_dir->configHome() + "/plimo/options").contains("recovery=off\n"));
        w().mem()->insertPlainText("secret");
        QVERIFY(w().recoveryJournal().waitWritten(std::chrono::seconds(5)));
        QVERIFY(!QFile::exists(folder));
        m_w.reset();
        makeWindow(false);
        QVERIFY(!w().menu().KeepRecovery1->isChecked());
        w().menu().KeepRecovery1->trigger();  // on again, over an unsaved text
        w().mem()->insertPlainText("secret");
        QVERIFY(w().recoveryJournal().waitWritten(std::chrono::seconds(5)));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);

        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
        m_w.reset();
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
        makeWindow(false);
        w().mem()->insertPlainText("x");
        QVERIFY(w().recoveryJournal().waitWritten(std::chrono::seconds(5)));
        QTRY_VERIFY(w().statusNote().startsWith("Recovery copies are off for this run: Cannot "
                                                "create file " + folder + "/"));
        QVERIFY2(w().statusNote().contains("can be written by other users"),
                 qPrintable(w().statusNote()));
        QVERIFY(!w().recoveryJournal().isOn());
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
