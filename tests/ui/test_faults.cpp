// The file system failing under the main window's commands: a folder without write permission,
// a file that vanishes between the dialog and the read, a folder where the file should be, a
// disk that fills up, an fsync that fails, a settings file that cannot be written. Each must show
// the right error box, leave the old file byte for byte and no temporary file behind, and let the
// next command work.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "cipher/levels.h"
#include "core/app_state.h"
#include "document/atomic_file.h"
#include "document/file_calls.h"
#include "note_recorder.h"
#include "scripted_desktop.h"
#include "failing_new.h"
#include "temp_workdir.h"
#include "test_files.h"
#include "ui/editor/memo.h"
#include "ui/main/cipher_panel.h"
#include "ui/main/fCPas.h"
#include "ui/main/level_a_panel.h"
#include "ui/main/replace_panel.h"
#include "ui/main/type_panel.h"
#include "ui/platform/command_guard.h"
#include "ui/platform/qt_desktop.h"

using Kind = ScriptedDesktop::Kind;

// A document's buffers, never the toolkit's small allocations, fail on demand.
constexpr std::size_t kLargeAllocation = std::size_t{8} << 20;

namespace {

constexpr const char* kTitle = "Plimo Text Editor 1.7";
constexpr const char* kFactorySettings = "Plimo Text Editor 1.7\r\n15\r\ntzrhGowN\r\n";
// Set in the child process that runs the permission case as an ordinary user.
constexpr const char* kAsNobodyVariable = "PLIMO_FAULTS_AS_NOBODY";

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A text of many lines, `size` bytes long, CR LF between lines.
std::string Lines(std::size_t size, char letter)
{
    std::string text;
    text.reserve(size);
    for (int line = 0; text.size() < size; ++line)
        text += std::string(1, letter) + " line " + std::to_string(line) + " of the document\r\n";
    text.resize(size);
    return text;
}

QByteArray Bytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The write and fsync the atomic writer makes, failing as a test asks: the disk takes `budget`
// more bytes and then reports `writeError`; every fsync reports `fsyncError`.
namespace disk {
std::int64_t g_budget = -1;  // negative: no limit
int g_writeError = 0;
int g_fsyncError = 0;
int g_writes = 0;
int g_fsyncs = 0;

ssize_t Write(int fd, const void* buffer, size_t count)
{
    ++g_writes;
    if (g_budget == 0) {
        errno = g_writeError;
        return -1;
    }
    if (g_budget > 0)
        count = std::min(count, static_cast<size_t>(g_budget));
    const ssize_t written = ::write(fd, buffer, count);
    if (written > 0 && g_budget > 0)
        g_budget -= written;
    return written;
}

int Fsync(int fd)
{
    ++g_fsyncs;
    if (g_fsyncError != 0) {
        errno = g_fsyncError;
        return -1;
    }
    return ::fsync(fd);
}
}  // namespace disk

class InjectedDisk final {
public:
    InjectedDisk(std::int64_t budget, int writeError, int fsyncError)
        : m_write(SetAtomicWriteFunction(disk::Write)), m_fsync(SetAtomicFsyncFunction(disk::Fsync))
    {
        disk::g_budget = budget;
        disk::g_writeError = writeError;
        disk::g_fsyncError = fsyncError;
        disk::g_writes = disk::g_fsyncs = 0;
    }
    ~InjectedDisk()
    {
        SetAtomicWriteFunction(m_write);
        SetAtomicFsyncFunction(m_fsync);
    }
    InjectedDisk(const InjectedDisk&) = delete;
    InjectedDisk& operator=(const InjectedDisk&) = delete;

private:
    TWriteFunction m_write;
    TFsyncFunction m_fsync;
};

// The scripted desktop, with a moment between the user's choice in the open dialog and the
// program's read of the file, where a test lets the file go away.
class RacingDesktop final : public Desktop {
public:
    ScriptedDesktop script;
    std::function<void()> afterOpenDialog;

    RestoreAnswer askRestore(const std::string& caption, const std::string& question) override
    {
        return script.askRestore(caption, question);
    }
    bool askYesNo(const std::string& caption, const std::string& question) override
    {
        return script.askYesNo(caption, question);
    }
    void showError(const std::string& caption, const std::string& message) override
    {
        script.showError(caption, message);
    }
    std::optional<std::string> openFileDialog(const FileDialogRequest& request) override
    {
        std::optional<std::string> path = script.openFileDialog(request);
        if (afterOpenDialog)
            std::exchange(afterOpenDialog, nullptr)();
        return path;
    }
    std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override
    {
        return script.saveFileDialog(request);
    }
    void openUrl(const std::string& url) override { script.openUrl(url); }
    QStringList screenFontFamilies() override { return script.screenFontFamilies(); }
    QSize virtualDesktopSize() override { return script.virtualDesktopSize(); }
    QSize primaryScreenSize() override { return script.primaryScreenSize(); }
};

// A folder's mode bits for one test, put back (so that it can be removed) at the end.
class FolderMode final {
public:
    FolderMode(const QString& folder, mode_t mode) : m_path(QFile::encodeName(folder))
    {
        m_ok = ::chmod(m_path.constData(), mode) == 0;
    }
    ~FolderMode() { ::chmod(m_path.constData(), 0755); }
    FolderMode(const FolderMode&) = delete;
    FolderMode& operator=(const FolderMode&) = delete;
    bool ok() const { return m_ok; }

private:
    QByteArray m_path;
    bool m_ok = false;
};

// A small memory file system mounted on a folder for one test.
class SmallTmpfs final {
public:
    SmallTmpfs(const QString& folder, const char* size) : m_path(QFile::encodeName(folder))
    {
        const std::string options = std::string("size=") + size + ",mode=0755";
        if (::mount("tmpfs", m_path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) ==
            0)
            m_mounted = true;
        else
            m_error = errno;
    }
    ~SmallTmpfs()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
    bool mounted() const { return m_mounted; }
    int error() const { return m_error; }

private:
    QByteArray m_path;
    bool m_mounted = false;
    int m_error = 0;
};

std::uint64_t FreeBlocks(const QString& folder)
{
    struct statvfs st {};
    return ::statvfs(QFile::encodeName(folder).constData(), &st) == 0 ? st.f_bfree : 0;
}

}  // namespace

class TestFaults : public QObject {
    Q_OBJECT

    struct Session {
        TempWorkDir dir;
        RacingDesktop desktop;
        TAppState state;
        NoteRecorder notes;
        std::unique_ptr<TfC> w;

        ScriptedDesktop& script() { return desktop.script; }
        std::vector<ScriptedDesktop::Call> errors() const
        {
            return desktop.script.callsOf(Kind::Error);
        }
        // Opens the file through the scripted dialog.
        void open(const QString& path)
        {
            script().openPaths.push_back(Path(path));
            w->menu().Open1->trigger();
        }
    };

    static std::unique_ptr<Session> start(bool shown = false)
    {
        auto s = std::make_unique<Session>();
        s->w = std::make_unique<TfC>(s->desktop, s->state);
        if (shown) {
            s->w->show();
            s->w->activateWindow();
            if (!QTest::qWaitForWindowActive(s->w.get()))
                return nullptr;
        }
        return s;
    }

    // The one error box of a failed command: captioned with the application title, this text.
    static void expectOneError(const Session& s, const std::string& text)
    {
        const auto errors = s.errors();
        QCOMPARE(errors.size(), 1u);
        QCOMPARE(errors.front().caption, std::string(kTitle));
        QCOMPARE(errors.front().caption, ApplicationTitle());
        QCOMPARE(errors.front().text, text);
        QVERIFY(s.notes.notes.empty());
    }

private slots:
    void initTestCase() { g_failingFrom = kLargeAllocation; }

    // Memory that runs out under Open, Encrypt, Decrypt or Replace All of a large text, or under
    // a key typed over a large copied selection, ends the command with an error box and loses
    // nothing: the text on screen, its name and extension, and what Ctrl+Z can bring back stay
    // as they were, and the next command works.
    void memoryRunningOutLosesNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("failing");  // which large allocation fails, from 0
        QTest::newRow("open, the file") << "open" << 0;
        QTest::newRow("open with line feeds, the file") << "open LF" << 0;
        QTest::newRow("open with line feeds, its CR LF text") << "open LF" << 1;
        QTest::newRow("encrypt") << "encrypt" << 0;
        QTest::newRow("decrypt") << "decrypt" << 0;
        QTest::newRow("replace all") << "replace" << 0;
        QTest::newRow("a key over a copied selection") << "type over copy" << 0;
    }
    void memoryRunningOutLosesNothing()
    {
        QFETCH(QString, command);
        QFETCH(int, failing);
        auto s = start();
        QVERIFY(s);
        std::string big(12 << 20, 'a');
        for (std::size_t i = 64; i < big.size(); i += 65)
            big.replace(i - 2, 2, "\r\n");
        const QString path = s->dir.filePath(QStringLiteral("big.txt"));
        QByteArray file = QByteArray::fromStdString(big);
        if (command == "open LF")
            file.replace("\r\n", "\n");
        WriteFile(path, file);
        s->w->mem()->setBytes("the text before");
        QTest::keyClicks(s->w->mem(), "!");
        const std::string before(s->w->mem()->bytes());
        const TAppState stateBefore = s->state;
        const QString status = s->w->statusText(0);

        g_allocationsFailed = 0;
        if (command.startsWith("open")) {
            g_allocationsUntilFailure = failing;
            s->open(path);
        } else if (command == "replace") {
            s->w->mem()->setBytes(std::string(big));
            QTest::keyClicks(s->w->mem(), "!");
            s->w->menu().rMen->trigger();
            s->w->replacePanel()->rFrom->setText(QStringLiteral("a"));
            s->w->replacePanel()->rTo->setText(QStringLiteral("bc"));
            g_allocationsFailed = 0;
            g_allocationsUntilFailure = failing;
            QTest::mouseClick(s->w->replacePanel()->rButt, Qt::LeftButton);
        } else if (command == "type over copy") {
            // The clipboard reads the selection in place; the key makes it copy the bytes first.
            s->w->mem()->setBytes(std::string(big));
            QTest::keyClicks(s->w->mem(), "!");
            QTest::keyClick(s->w->mem(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(s->w->mem(), Qt::Key_C, Qt::ControlModifier);
            g_allocationsFailed = 0;
            g_allocationsUntilFailure = failing;
            QTest::keyClicks(s->w->mem(), "x");
            QCoreApplication::processEvents();  // the box comes once the key is over
        } else {
            s->w->mem()->setBytes(std::string(big));
            QTest::keyClicks(s->w->mem(), "!");
            CipherPanel* panel = command == "encrypt" ? s->w->encryptPanel() : s->w->decryptPanel();
            (command == "encrypt" ? s->w->menu().eMen : s->w->menu().dMen)->trigger();
            panel->levelList->setCurrentIndex(2);
            emit panel->levelList->activated(2);
            panel->pwdBox->setText(QStringLiteral("secret1"));
            g_allocationsFailed = 0;
            g_allocationsUntilFailure = failing;
            QTest::mouseClick(panel->actionButton, Qt::LeftButton);
        }
        g_allocationsUntilFailure = -1;
        QCOMPARE(g_allocationsFailed, 1);

        const auto errors = s->errors();
        QCOMPARE(errors.size(), 1u);
        QCOMPARE(errors.front().caption, std::string(kTitle));
        QVERIFY2(errors.front().text == "Text exceeds memo capacity" ||
                     errors.front().text == "Out of memory: the command was not completed.",
                 errors.front().text.c_str());
        if (command.startsWith("open")) {
            QCOMPARE(s->w->mem()->bytes(), before);
            QCOMPARE(s->state.FileName, stateBefore.FileName);
            QCOMPARE(s->w->statusText(0), status);
        } else {
            std::string expected = big;
            expected.insert(0, "!");
            QCOMPARE(s->w->mem()->bytes().size(), expected.size());
            QVERIFY(s->w->mem()->bytes() == expected);
            QCOMPARE(s->state.FileExt, stateBefore.FileExt);
            QCOMPARE(s->state.PlainText, stateBefore.PlainText);
        }
        // Ctrl+Z still takes back the typing before the command.
        QTest::keyClick(s->w->mem(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(s->w->mem()->bytes().find('!') == std::string_view::npos);
        // And the same command works once memory is there again.
        s->script().calls.clear();
        s->open(path);
        QCOMPARE(s->w->mem()->bytes(), big);
        QVERIFY(s->errors().empty());
    }

    void saveOnAFailingDisk_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<int>("writeError");
        QTest::addColumn<int>("fsyncError");
        QTest::newRow("Save, disk full after 1 MB of 4 MB")
            << false << qint64(1 << 20) << ENOSPC << 0;
        QTest::newRow("Save, disk full at the first byte") << false << qint64(0) << ENOSPC << 0;
        QTest::newRow("Save As, disk full after one byte") << true << qint64(1) << ENOSPC << 0;
        QTest::newRow("Save, I/O error after 3 MB") << false << qint64(3 << 20) << EIO << 0;
        QTest::newRow("Save As, quota exceeded one byte short")
            << true << qint64((4 << 20) - 1) << EDQUOT << 0;
        QTest::newRow("Save, fsync fails") << false << qint64(-1) << 0 << EIO;
        QTest::newRow("Save As, fsync finds the disk full") << true << qint64(-1) << 0 << ENOSPC;
    }
    void saveOnAFailingDisk()
    {
        QFETCH(bool, saveAs);
        QFETCH(qint64, budget);
        QFETCH(int, writeError);
        QFETCH(int, fsyncError);
        auto s = start();
        const QString path = s->dir.filePath("doc.txt");
        const QByteArray old = Bytes(Lines(100 * 1024, 'o'));
        WriteFile(path, old);
        s->open(path);
        const std::string text = Lines(4 << 20, 'n');
        s->w->mem()->setBytes(text);
        const QString status0 = s->w->statusText(0);
        {
            InjectedDisk failing(budget, writeError, fsyncError);
            if (saveAs) {
                s->script().savePaths.push_back(Path(path));
                s->w->menu().SaveAs1->trigger();
            } else {
                s->w->menu().Save1->trigger();
            }
            // The failure was the injected one, not some other path.
            QVERIFY(writeError ? disk::g_writes > 0 : disk::g_fsyncs > 0);
        }
        expectOneError(*s, "Cannot create file " + Path(path));
        QVERIFY2(ReadFile(path) == old, "the old file changed");
        QCOMPARE(Entries(s->dir.path()), (QStringList{"doc.txt", "plimo.dat"}));
        QCOMPARE(s->w->mem()->bytes(), text);
        QCOMPARE(s->state.FileName, Path(path));
        QVERIFY(s->state.HasFile);
        QCOMPARE(s->w->statusText(0), status0);

        // The disk has room again: the same command writes the text.
        s->script().savePaths.push_back(Path(path));
        (saveAs ? s->w->menu().SaveAs1 : s->w->menu().Save1)->trigger();
        QCOMPARE(s->errors().size(), 1u);
        QVERIFY2(ReadFile(path) == Bytes(text), "the text was not saved after the disk recovered");
        QCOMPARE(Entries(s->dir.path()), (QStringList{"doc.txt", "plimo.dat"}));
    }

    // Allowed to replace another program's change, the save fails: the change is still on disk
    // and still guarded, so the next Save asks again.
    void overwriteOfAnotherProgramsChangeFails()
    {
        auto s = start();
        const QString path = s->dir.filePath("doc.txt");
        WriteFile(path, "original");
        s->open(path);
        s->w->mem()->setBytes(Lines(1 << 20, 'n'));
        WriteFile(path, "changed by another program");
        s->script().answers = {true};
        {
            InjectedDisk failing(4096, ENOSPC, 0);
            s->w->menu().Save1->trigger();
        }
        expectOneError(*s, "Cannot create file " + Path(path));
        QCOMPARE(ReadFile(path), QByteArray("changed by another program"));
        QCOMPARE(Entries(s->dir.path()), (QStringList{"doc.txt", "plimo.dat"}));

        s->script().answers = {false, true};
        s->w->menu().Save1->trigger();
        QCOMPARE(ReadFile(path), QByteArray("changed by another program"));
        s->w->menu().Save1->trigger();
        QCOMPARE(ReadFile(path), Bytes(Lines(1 << 20, 'n')));
        QCOMPARE(s->script().countOf(ScriptedDesktop::Kind::Question), 3);
        QCOMPARE(s->errors().size(), 1u);
    }

    void saveIntoASmallTmpfsThatFillsUp()
    {
        TempWorkDir outer;
        const QString mountPoint = outer.filePath("small");
        QVERIFY(QDir(outer.path()).mkdir("small"));
        SmallTmpfs tmpfs(mountPoint, "64k");
        if (!tmpfs.mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a 64 KB tmpfs here (%1); the injected "
                                            "writer's full-disk rows cover this outcome")
                                 .arg(QString::fromLocal8Bit(std::strerror(tmpfs.error())))));
        auto s = start();
        const QString path = mountPoint + "/doc.txt";
        const QByteArray old = Bytes(Lines(4096, 'o'));
        WriteFile(path, old);
        s->open(path);
        const std::uint64_t freeBefore = FreeBlocks(mountPoint);
        s->w->mem()->setBytes(Lines(1 << 20, 'n'));
        s->w->menu().Save1->trigger();
        expectOneError(*s, "Cannot create file " + Path(path));
        QVERIFY2(ReadFile(path) == old, "the old file changed");
        QCOMPARE(Entries(mountPoint), QStringList{"doc.txt"});
        QCOMPARE(FreeBlocks(mountPoint), freeBefore);  // the half-written temporary is gone

        // A text that fits is saved.
        const std::string fits = Lines(8192, 'f');
        s->w->mem()->setBytes(fits);
        s->w->menu().Save1->trigger();
        QCOMPARE(s->errors().size(), 1u);
        QVERIFY(ReadFile(path) == Bytes(fits));
        QCOMPARE(Entries(mountPoint), QStringList{"doc.txt"});
    }

    void folderWithoutWritePermission()
    {
        if (::geteuid() == 0 && !qEnvironmentVariableIsSet(kAsNobodyVariable)) {
            // Permission bits do not stop root: run this case again, as an ordinary user, in a
            // child process of this test program.
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QString::fromLatin1(kAsNobodyVariable), QStringLiteral("1"));
            env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("folderWithoutWritePermission")});
            QVERIFY(child.waitForFinished(300000));
            const QString output = QString::fromLocal8Bit(child.readAll());
            if (output.contains(
                    QLatin1String("SKIP   : TestFaults::folderWithoutWritePermission()")))
                QSKIP(qPrintable("as an ordinary user: " +
                                 output.section("SKIP", 1).section('\n', 0, 0)));
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                     qPrintable(output));
            QVERIFY2(output.contains(
                         QLatin1String("PASS   : TestFaults::folderWithoutWritePermission()")),
                     qPrintable(output));
            return;
        }
        if (qEnvironmentVariableIsSet(kAsNobodyVariable) && ::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody)
                QSKIP("there is no user 'nobody' to run as");
            QVERIFY(::setgroups(0, nullptr) == 0);
            QVERIFY(::setgid(nobody->pw_gid) == 0);
            QVERIFY(::setuid(nobody->pw_uid) == 0);
            QCOMPARE(::geteuid(), nobody->pw_uid);
            // A process that changed its user is not dumpable, and LeakSanitizer must inspect it.
            ::prctl(PR_SET_DUMPABLE, 1);
        }

        auto s = start();
        QVERIFY2(s->dir.isValid(), "no temporary folder for this user");
        QVERIFY(QDir(s->dir.path()).mkdir("locked"));
        const QString locked = s->dir.filePath("locked");
        const QString path = locked + "/doc.txt";
        WriteFile(path, "the old text\r\n");
        s->open(path);
        const std::string text = "the new text\r\nof two lines";
        s->w->mem()->setBytes(text);
        {
            FolderMode readOnly(locked, 0555);
            QVERIFY(readOnly.ok());
            // The file itself may be written: it is, in place.
            s->w->menu().Save1->trigger();
            QVERIFY(s->errors().empty());
            QCOMPARE(ReadFile(path), Bytes(text));
            QCOMPARE(Entries(locked), QStringList{"doc.txt"});

            // A new file has no place to go; the name is taken all the same.
            const QString other = locked + "/other.txt";
            s->script().savePaths.push_back(Path(other));
            s->w->menu().SaveAs1->trigger();
            expectOneError(*s, "Cannot create file " + Path(other));
            QCOMPARE(s->state.FileName, Path(other));
            QCOMPARE(Entries(locked), QStringList{"doc.txt"});
        }
        // Writable again: Save writes to the name Save As took.
        s->w->menu().Save1->trigger();
        QCOMPARE(s->errors().size(), 1u);
        QCOMPARE(ReadFile(locked + "/other.txt"), Bytes(text));
        QCOMPARE(ReadFile(path), Bytes(text));
        QCOMPARE(Entries(locked), (QStringList{"doc.txt", "other.txt"}));
    }

    void fileVanishesBetweenDialogAndRead_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("deleted") << 0;
        QTest::newRow("replaced by a folder") << 1;
        QTest::newRow("replaced by a dangling link") << 2;
        QTest::newRow("replaced by a pipe") << 3;
        QTest::newRow("made unreadable") << 4;
    }
    void fileVanishesBetweenDialogAndRead()
    {
        QFETCH(int, how);
        if (how == 4 && ::geteuid() == 0)
            QSKIP("root reads a file without read permission; the other rows cover the outcome");
        auto s = start();
        const QString first = s->dir.filePath("first.txt");
        WriteFile(first, "first\nfile");
        s->open(first);
        const QString status1 = s->w->statusText(1);

        const QString path = s->dir.filePath("chosen.txt");
        WriteFile(path, "chosen");
        const QByteArray native = QFile::encodeName(path);
        s->desktop.afterOpenDialog = [&] {
            QVERIFY(QFile::remove(path) || how == 4);
            switch (how) {
                case 1:
                    QVERIFY(QDir(s->dir.path()).mkdir("chosen.txt"));
                    break;
                case 2:
                    QVERIFY(QFile::link("nowhere.txt", path));
                    break;
                case 3:
                    QVERIFY(::mkfifo(native.constData(), 0644) == 0);
                    break;
                case 4:
                    QVERIFY(::chmod(native.constData(), 0) == 0);
                    break;
                default:
                    break;
            }
        };
        s->open(path);
        QVERIFY2(!s->desktop.afterOpenDialog, "the dialog was not shown");
        expectOneError(*s, "Cannot open file " + Path(path));
        QCOMPARE(s->w->mem()->bytes(), std::string("first\r\nfile"));
        QCOMPARE(s->state.FileName, Path(first));
        QVERIFY(s->state.HasFile);
        QCOMPARE(s->w->statusText(0), first);
        QCOMPARE(s->w->statusText(1), status1);

        // The next Open works, and Save still writes to the file that is open.
        const QString next = s->dir.filePath("next.txt");
        WriteFile(next, "next");
        s->open(next);
        QCOMPARE(s->errors().size(), 1u);
        QCOMPARE(s->w->mem()->bytes(), std::string("next"));
        QCOMPARE(s->w->statusText(1), QStringLiteral("size - 4"));
    }

    void saveOntoAFolder_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<bool>("withFiles");
        QTest::newRow("Save As onto an empty folder") << true << false;
        QTest::newRow("Save As onto a folder holding files") << true << true;
        QTest::newRow("Save after the file became a folder") << false << true;
    }
    void saveOntoAFolder()
    {
        QFETCH(bool, saveAs);
        QFETCH(bool, withFiles);
        auto s = start();
        const QString target = s->dir.filePath("target.txt");
        if (saveAs) {
            s->w->mem()->setBytes("a text to keep\r\n");
        } else {
            WriteFile(target, "opened");
            s->open(target);
            s->w->mem()->setBytes("changed after opening");
            QVERIFY(QFile::remove(target));
        }
        QVERIFY(QDir(s->dir.path()).mkdir("target.txt"));
        if (withFiles)
            WriteFile(target + "/inside.txt", "inside");
        const std::string text(s->w->mem()->bytes());
        const bool hadFile = s->state.HasFile;
        const QString status0 = s->w->statusText(0);

        if (saveAs)
            s->script().savePaths.push_back(Path(target));
        (saveAs ? s->w->menu().SaveAs1 : s->w->menu().Save1)->trigger();
        expectOneError(*s, "Cannot create file " + Path(target));
        QCOMPARE(s->script().countOf(Kind::SaveDialog), saveAs ? 1 : 0);
        QVERIFY(QFileInfo(target).isDir());
        QCOMPARE(Entries(target), withFiles ? QStringList{"inside.txt"} : QStringList{});
        if (withFiles)
            QCOMPARE(ReadFile(target + "/inside.txt"), QByteArray("inside"));
        QCOMPARE(Entries(s->dir.path()), (QStringList{"plimo.dat", "target.txt"}));
        QCOMPARE(s->w->mem()->bytes(), text);
        QCOMPARE(s->state.FileName, Path(target));  // Save As takes the name before writing
        QCOMPARE(s->state.HasFile, hadFile);
        QCOMPARE(s->w->statusText(0), status0);

        // Save As to a file works.
        const QString good = s->dir.filePath("good.txt");
        s->script().savePaths.push_back(Path(good));
        s->w->menu().SaveAs1->trigger();
        QCOMPARE(s->errors().size(), 1u);
        QCOMPARE(ReadFile(good), Bytes(text));
        QVERIFY(s->state.HasFile);
        QCOMPARE(s->w->statusText(0), good);
    }

    void settingsCannotBeWritten_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("trigger");
        const char* const faults[] = {"a folder named plimo.dat", "disk full", "fsync fails"};
        const char* const triggers[] = {"click in the editing area", "type size chosen",
                                        "type panel closed", "Level A password updated"};
        for (int f = 0; f < 3; ++f)
            for (int t = 0; t < 4; ++t)
                QTest::addRow("%s, %s", faults[f], triggers[t]) << f << t;
    }
    void settingsCannotBeWritten()
    {
        QFETCH(int, fault);
        QFETCH(int, trigger);
        auto s = start(true);
        QVERIFY2(s, "the main window did not become active");
        TfC& w = *s->w;
        const QString settings = s->dir.filePath("plimo.dat");
        QCOMPARE(ReadFile(settings), QByteArray(kFactorySettings));
        if (trigger == 1 || trigger == 2)
            w.menu().tMen->trigger();
        if (trigger == 3)
            w.menu().levelAPwd->trigger();
        const int size20 = w.typePanel()->ComboBox1->findText(QStringLiteral("20"));
        auto act = [&](const QString& password) {
            switch (trigger) {
                case 0:
                    QTest::mouseClick(w.mem()->viewport(), Qt::LeftButton);
                    break;
                case 1:
                    w.typePanel()->ComboBox1->setCurrentIndex(size20);
                    emit w.typePanel()->ComboBox1->activated(size20);
                    break;
                case 2:
                    QTest::mouseClick(w.typePanel()->cType, Qt::LeftButton);
                    break;
                default:
                    w.levelAPanel()->editLA->setText(password);
                    QTest::mouseClick(w.levelAPanel()->laButt, Qt::LeftButton);
                    break;
            }
        };

        {
            std::optional<InjectedDisk> failing;
            if (fault == 0) {
                QVERIFY(QFile::remove(settings));
                QVERIFY(QDir(s->dir.path()).mkdir("plimo.dat"));
                WriteFile(settings + "/inside", "inside");
            } else {
                failing.emplace(fault == 1 ? 10 : -1, ENOSPC, fault == 2 ? EIO : 0);
            }
            act(QStringLiteral("newPwd12"));
        }
        expectOneError(*s, "Cannot create file plimo.dat");
        if (fault == 0) {
            QVERIFY(QFileInfo(settings).isDir());
            QCOMPARE(ReadFile(settings + "/inside"), QByteArray("inside"));
        } else {
            QCOMPARE(ReadFile(settings), QByteArray(kFactorySettings));
        }
        QCOMPARE(Entries(s->dir.path()), QStringList{"plimo.dat"});
        if (trigger == 0)
            QCOMPARE(w.statusText(0), QStringLiteral("untitled"));
        if (trigger == 3) {
            // A password the file does not hold would be lost at the next start.
            QCOMPARE(s->state.LevelAPwd, std::string("tzrhGowN"));
            QCOMPARE(w.levelAPanel()->editLA->text(), QStringLiteral("newPwd12"));
        }
        QVERIFY(w.isVisible());

        // The program goes on: typing works, and once the file can be written the same
        // action writes it.
        w.mem()->setFocus();
        QTest::keyClicks(w.mem(), QStringLiteral("ok"));
        QCOMPARE(w.mem()->bytes(), std::string("ok"));
        if (fault == 0)
            QVERIFY(QDir(settings).removeRecursively());
        if (trigger == 2)
            w.menu()
                .tMen->trigger();  // Close hid the panel and kept its toggle: hide all, then show
        if (trigger == 2)
            w.menu().tMen->trigger();
        act(QStringLiteral("newPwd12"));
        QCOMPARE(s->errors().size(), 1u);
        const std::string expected = std::string(kTitle) + "\r\n" +
                                     std::to_string(s->state.TypeSize) + "\r\n" +
                                     s->state.LevelAPwd + "\r\n";
        QCOMPARE(ReadFile(settings), Bytes(expected));
        if (trigger == 3)
            QCOMPARE(s->state.LevelAPwd, std::string("newPwd12"));
        QCOMPARE(Entries(s->dir.path()), QStringList{"plimo.dat"});
    }

    // A settings file that exists but cannot be read is reported once at the start, and no
    // click writes defaults over it.
    void unreadableSettingsAreLeftAlone()
    {
        TempWorkDir early;  // plimo.dat must be in place before the window starts
        const QByteArray settings = "Mine\r\n22\r\nsecretPw\r\n" + QByteArray(2 << 20, 'x');
        WriteFile(early.filePath("plimo.dat"), settings);
        RacingDesktop desktop;
        TAppState state;
        NoteRecorder notes;
        TfC w(desktop, state);
        const auto errors = [&] { return desktop.script.callsOf(Kind::Error); };
        QCOMPARE(errors().size(), 1u);
        QCOMPARE(errors().front().caption, std::string(kTitle));
        QCOMPARE(errors().front().text,
                 "Cannot open file plimo.dat: it is larger than 1 MiB, far more than settings "
                 "take. The file is left as it is: settings changed in this run are not saved, "
                 "and Level A uses the factory password until the file can be read.");

        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.mem()->viewport(), Qt::LeftButton);
        QCOMPARE(errors().size(), 2u);
        QCOMPARE(errors().back().text,
                 "Settings are not saved: the settings file plimo.dat could not be read at "
                 "start-up and is left as it is.");
        QTest::mouseClick(w.mem()->viewport(), Qt::LeftButton);  // said once only
        w.menu().tMen->trigger();
        const int size20 = w.typePanel()->ComboBox1->findText(QStringLiteral("20"));
        w.typePanel()->ComboBox1->setCurrentIndex(size20);
        emit w.typePanel()->ComboBox1->activated(size20);
        QCOMPARE(errors().size(), 2u);
        QCOMPARE(w.mem()->pointSize(), 20);  // the choice holds for this run

        // A new password would be gone at the next start: it is refused, each time.
        w.menu().levelAPwd->trigger();
        w.levelAPanel()->editLA->setText(QStringLiteral("newPwd12"));
        QTest::mouseClick(w.levelAPanel()->laButt, Qt::LeftButton);
        QCOMPARE(errors().size(), 3u);
        QCOMPARE(state.LevelAPwd, std::string("tzrhGowN"));
        QVERIFY(ReadFile(early.filePath("plimo.dat")) == settings);
        QCOMPARE(Entries(early.path()), QStringList{"plimo.dat"});
    }

    // A second editor in the same folder, used from the keyboard alone, after the first changed
    // the Level A password: each of its Level A commands takes the password plimo.dat holds
    // then, so that what it encrypts decrypts with that password.
    void levelACommandsTakeThePasswordTheFileHoldsNow_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("encrypt") << "encrypt";
        QTest::newRow("decrypt") << "decrypt";
        QTest::newRow("the Level A panel shows it") << "panel";
    }
    void levelACommandsTakeThePasswordTheFileHoldsNow()
    {
        QFETCH(QString, command);
        auto first = start();
        RacingDesktop desktop;
        TAppState state;
        TfC second(desktop, state);  // started before the change: it read the factory password
        first->w->menu().levelAPwd->trigger();
        first->w->levelAPanel()->editLA->setText(QStringLiteral("Kx7mQ2pZ"));
        QTest::mouseClick(first->w->levelAPanel()->laButt, Qt::LeftButton);
        QCOMPARE(ReadFile("plimo.dat"), QByteArray("Plimo Text Editor 1.7\r\n15\r\nKx7mQ2pZ\r\n"));

        TAppState now;
        SetStateDefaults(now, {});
        now.LevelAPwd = "Kx7mQ2pZ";
        const std::string plain = "Meet at the north gate at eight.";
        const std::string cipher = EncryptWithLevel(now, EncryptionLevel::A, plain, "").text;
        if (command == "panel") {
            second.menu().levelAPwd->trigger();
            QCOMPARE(second.levelAPanel()->editLA->text(), QStringLiteral("Kx7mQ2pZ"));
            return;
        }
        const bool encrypt = command == "encrypt";
        second.mem()->setBytes(encrypt ? plain : cipher);
        (encrypt ? second.menu().eMen : second.menu().dMen)->trigger();
        CipherPanel* panel = encrypt ? second.encryptPanel() : second.decryptPanel();
        QTest::mouseClick(panel->actionButton, Qt::LeftButton);
        QCOMPARE(std::string(second.mem()->bytes()), encrypt ? cipher : plain);
    }

    // A file name is shown as it is, never as markup: a name could otherwise pass for another
    // message, or hide the end of the question it is in.
    void fileNamesAreShownAsPlainText_data()
    {
        QTest::addColumn<bool>("question");
        QTest::newRow("the error box") << false;
        QTest::newRow("the changed-on-disk question") << true;
    }
    void fileNamesAreShownAsPlainText()
    {
        QFETCH(bool, question);
        const std::string text =
            "Cannot open file /tmp/x/<h1>Saved OK</h1><!--.txt was changed. Overwrite it?";
        QString shown;
        int format = -1;
        QMetaObject::invokeMethod(
            this,
            [&] {
                QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                shown = box->text();
                format = box->textFormat();
                box->done(QMessageBox::No);
            },
            Qt::QueuedConnection);
        QtDesktop desktop;
        if (question)
            desktop.askYesNo("Plimo", text);
        else
            desktop.showError(kTitle, text);
        QCOMPARE(shown, QString::fromStdString(text));
        QCOMPARE(format, int(Qt::PlainText));

        auto s = start();
        const QString name = s->dir.filePath("<b>bold.txt");
        WriteFile(name, "text");
        s->open(name);
        QCOMPARE(s->w->statusBar()->findChildren<QLabel*>().front()->textFormat(), Qt::PlainText);
    }

    // A save that rewrote a file in place and was killed left the old content in the per-user
    // data folder: the next start says where, once.
    void interruptedSaveIsReportedAtStart()
    {
        TempWorkDir early;
        const pid_t gone = ::fork();
        if (gone == 0)
            ::_exit(0);
        QCOMPARE(::waitpid(gone, nullptr, 0), gone);
        const QString copies = early.dataHome() + "/plimo/unfinished-saves";
        QVERIFY(QDir().mkpath(copies));
        const QString stem = copies + QStringLiteral("/letter.txt.%1-77-1").arg(gone);
        WriteFile(stem + ".old", "the letter as it was\r\n");
        const std::string target = Path(early.filePath("letter.txt"));
        WriteFile(stem + ".target", Bytes(target));

        for (int start = 0; start < 2; ++start) {
            RacingDesktop desktop;
            TAppState state;
            NoteRecorder notes;
            TfC w(desktop, state);
            const auto errors = desktop.script.callsOf(Kind::Error);
            if (start == 1) {
                QVERIFY(errors.empty());
                break;
            }
            QCOMPARE(errors.size(), 1u);
            QCOMPARE(errors.front().text, "Saving " + target +
                                              " was interrupted. Its previous content is kept "
                                              "in " +
                                              Path(stem) + ".old.");
        }
        QCOMPARE(ReadFile(stem + ".old"), QByteArray("the letter as it was\r\n"));
    }
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
