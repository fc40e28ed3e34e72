#include <sys/stat.h>
#include <unistd.h>

#include <signal.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

#include "document/atomic_file.h"
#include "document/file_calls.h"
#include "document/safe_copy.h"
#include "file_test_helpers.h"
#include "temp_workdir.h"

namespace {

// A disk that takes `g_budget` more bytes and then fails with `g_errno`.
std::size_t g_budget = 0;
int g_errno = 0;
bool g_zeroWhenFull = false;

ssize_t FillingWrite(int fd, const void* buffer, size_t count)
{
    if (g_budget == 0) {
        if (g_zeroWhenFull)
            return 0;
        errno = g_errno;
        return -1;
    }
    const std::size_t now = std::min(count, g_budget);
    g_budget -= now;
    return ::write(fd, buffer, now);
}

// A slow device: every other call is interrupted, the others write at most 7 bytes.
int g_calls = 0;
ssize_t ChoppyWrite(int fd, const void* buffer, size_t count)
{
    if (++g_calls % 2 == 0) {
        errno = EINTR;
        return -1;
    }
    return ::write(fd, buffer, std::min<size_t>(count, 7));
}

// A disk that fails only for the file with this inode (the target, or the safe copy of it),
// after `g_budget` more bytes; every other file is written as usual. -1: never fails.
ino_t g_failingInode = 0;
std::int64_t g_inodeBudget = -1;
bool g_killInstead = false;

ino_t InodeOf(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? st.st_ino : 0;
}

ssize_t FailingForOneFile(int fd, const void* buffer, size_t count)
{
    if (g_inodeBudget < 0 || InodeOf(fd) != g_failingInode)
        return ::write(fd, buffer, count);
    if (g_inodeBudget == 0) {
        if (g_killInstead)
            ::raise(SIGKILL);
        errno = ENOSPC;
        return -1;
    }
    const auto now = std::min<std::int64_t>(std::int64_t(count), g_inodeBudget);
    g_inodeBudget -= now;
    return ::write(fd, buffer, std::size_t(now));
}

// The mode every file had while it was being written.
QList<int> g_modesWhileWritten;
ssize_t RecordingWrite(int fd, const void* buffer, size_t count)
{
    struct stat st {};
    if (::fstat(fd, &st) == 0)
        g_modesWhileWritten << int(st.st_mode & 07777);
    return ::write(fd, buffer, count);
}

ino_t InodeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Gives the file a second name (a hard link): a save must then rewrite it in place.
bool SecondName(const QString& path, const QString& second)
{
    return ::link(QFile::encodeName(path).constData(), QFile::encodeName(second).constData()) == 0;
}

QString SafeCopies(const TempWorkDir& dir)
{
    return dir.dataHome() + "/plimo/unfinished-saves";
}

int FailingFsync(int)
{
    errno = EIO;
    return -1;
}

class HookScope final {
public:
    HookScope(TWriteFunction write, TFsyncFunction fsync)
        : m_write(SetAtomicWriteFunction(write)), m_fsync(SetAtomicFsyncFunction(fsync))
    {
    }
    ~HookScope()
    {
        SetAtomicWriteFunction(m_write);
        SetAtomicFsyncFunction(m_fsync);
    }
    HookScope(const HookScope&) = delete;
    HookScope& operator=(const HookScope&) = delete;

private:
    TWriteFunction m_write;
    TFsyncFunction m_fsync;
};

// The write-back requests the writer made, in order; the one numbered g_failingRange (1 is the
// first) fails with g_rangeErrno.
struct TRange {
    off_t offset, count;
    unsigned flags;
    off_t writtenBefore;  // how far the file was written when it was asked
};
std::vector<TRange> g_ranges;
int g_failingRange = 0;
int g_rangeErrno = 0;

int LoggingSyncRange(int fd, off_t offset, off_t count, unsigned flags)
{
    g_ranges.push_back({offset, count, flags, ::lseek(fd, 0, SEEK_CUR)});
    if (int(g_ranges.size()) == g_failingRange)
        return errno = g_rangeErrno, -1;
    return ::sync_file_range(fd, offset, count, flags);
}

// A text of `megabytes` MiB and a few bytes, no two of its 4 KiB blocks alike.
QByteArray LargeContent(int megabytes)
{
    QByteArray bytes;
    for (int block = 0; bytes.size() < megabytes * 1024 * 1024 + 13; ++block)
        bytes += QByteArray::number(block).rightJustified(16, '.').repeated(256);
    return bytes.left(megabytes * 1024 * 1024 + 13);
}

QString WriteError(const QString& path, const QByteArray& bytes, mode_t mode = kDocumentFileMode)
{
    return ErrorOf([&] { WriteFileAtomically(path.toStdString(), Std(bytes), mode); });
}

// What a start finds, told to the user at once.
std::vector<TInterruptedSave> TakeInterruptedSaves()
{
    std::vector<TInterruptedSave> saves = FindInterruptedSaves();
    for (const TInterruptedSave& save : saves)
        ForgetInterruptedSave(save);
    return saves;
}

const QByteArray kOld = "the old content\r\nstays as it was\r\n";

// doc.txt in the folder, holding kOld; with a second name, second.txt, when a save is to
// rewrite it in place. Empty when it cannot be made.
QString OldDocument(const TempWorkDir& dir, bool secondName)
{
    const QString path = dir.filePath("doc.txt");
    if (!WriteRaw(path, kOld) || (secondName && !SecondName(path, dir.filePath("second.txt"))))
        return {};
    return path;
}

QByteArray NewContent()
{
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += char('a' + i % 26);
    return bytes;
}

}  // namespace

class TestAtomicFile final : public QObject {
    Q_OBJECT

private slots:
    // A failure leaves the old file byte for byte and no temporary file.
    void diskFillsMidway_data();
    void diskFillsMidway();
    void fsyncFails();
    void targetIsAFolder();
    void folderIsMissing();
    void symlinkLoop();

    // Success paths.
    void shortWritesAndInterruptsComplete();
    void newFileMode_data();
    void newFileMode();
    void existingFileKeepsMode_data();
    void existingFileKeepsMode();
    void existingFileKeepsOwner();
    void symlinkIsFollowed_data();
    void symlinkIsFollowed();

    // What a rename would lose: the file is rewritten in place, its old content kept safe.
    void hardLinksStayJoined();
    void writableFileInReadOnlyFolder();
    void anotherUsersFileKeepsItsOwner();
    void inPlaceFailures_data();
    void inPlaceFailures();

    // Nothing a killed save leaves lives on.
    void killedMidway_data();
    void killedMidway();
    void killedAtEveryStep_data();
    void killedAtEveryStep();
    void oneRewriteInPlaceAtATime_data();
    void oneRewriteInPlaceAtATime();
    // What other users could plant: links in shared folders, the safe copies' folder.
    void plantedLinksAreRefused_data();
    void plantedLinksAreRefused();
    void safeCopiesOnlyInAFolderOfTheUsersOwn_data();
    void safeCopiesOnlyInAFolderOfTheUsersOwn();
    void staleTemporariesGo();
    void temporaryIsOwnerOnly();
    void writtenInPieces_data();
    void writtenInPieces();

    // A large file goes to the disk while it is written; a failure there still leaves nothing.
    void sentWhileWritten_data();
    void sentWhileWritten();
    void writeBackFails_data();
    void writeBackFails();
    void writtenBackPagesLeaveTheCache();
};

void TestAtomicFile::diskFillsMidway_data()
{
    QTest::addColumn<int>("budget");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("zeroWhenFull");
    QTest::newRow("full at once") << 0 << ENOSPC << false;
    QTest::newRow("after one byte") << 1 << ENOSPC << false;
    QTest::newRow("after a block") << 4096 << ENOSPC << false;
    QTest::newRow("one byte short") << 99999 << ENOSPC << false;
    QTest::newRow("I/O error midway") << 5000 << EIO << false;
    QTest::newRow("quota exceeded") << 100 << EDQUOT << false;
    QTest::newRow("write makes no progress") << 10 << 0 << true;
}

void TestAtomicFile::diskFillsMidway()
{
    QFETCH(int, budget);
    QFETCH(int, error);
    QFETCH(bool, zeroWhenFull);
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    QVERIFY(WriteRaw(path, kOld));
    g_budget = std::size_t(budget);
    g_errno = error;
    g_zeroWhenFull = zeroWhenFull;
    {
        HookScope hooks(FillingWrite, nullptr);
        QCOMPARE(WriteError(path, NewContent()), "Cannot create file " + path);
    }
    QCOMPARE(ReadRaw(path), kOld);
    QCOMPARE(FolderEntries(dir.path()), QStringList{"doc.txt"});
}

void TestAtomicFile::fsyncFails()
{
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    QVERIFY(WriteRaw(path, kOld));
    {
        HookScope hooks(nullptr, FailingFsync);
        QCOMPARE(WriteError(path, "new"), "Cannot create file " + path);
    }
    QCOMPARE(ReadRaw(path), kOld);
    QCOMPARE(FolderEntries(dir.path()), QStringList{"doc.txt"});
}

void TestAtomicFile::targetIsAFolder()
{
    TempWorkDir dir;
    QVERIFY(QDir(dir.path()).mkpath("doc.txt/inside"));
    const QString path = dir.filePath("doc.txt");
    QCOMPARE(WriteError(path, "new"), "Cannot create file " + path);
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(FolderEntries(path), QStringList{"inside"});
    QCOMPARE(FolderEntries(dir.path()), QStringList{"doc.txt"});
}

void TestAtomicFile::folderIsMissing()
{
    TempWorkDir dir;
    const QString path = dir.filePath("gone/doc.txt");
    QCOMPARE(WriteError(path, "new"), "Cannot create file " + path);
    QVERIFY(FolderEntries(dir.path()).isEmpty());
}

void TestAtomicFile::symlinkLoop()
{
    TempWorkDir dir;
    QVERIFY(QFile::link("b.txt", dir.filePath("a.txt")));
    QVERIFY(QFile::link("a.txt", dir.filePath("b.txt")));
    const QString path = dir.filePath("a.txt");
    QCOMPARE(WriteError(path, "new"), "Cannot create file " + path);
    QCOMPARE(FolderEntries(dir.path()), (QStringList{"a.txt", "b.txt"}));
}

void TestAtomicFile::shortWritesAndInterruptsComplete()
{
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    QVERIFY(WriteRaw(path, kOld));
    const QByteArray bytes = NewContent().left(5000);
    g_calls = 0;
    {
        HookScope hooks(ChoppyWrite, nullptr);
        QCOMPARE(WriteError(path, bytes), "<no error>");
    }
    QCOMPARE(ReadRaw(path), bytes);
    QCOMPARE(FolderEntries(dir.path()), QStringList{"doc.txt"});
}

void TestAtomicFile::newFileMode_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("expected");
    QTest::newRow("document, umask 022") << int(kDocumentFileMode) << 022 << 0644;
    QTest::newRow("document, umask 0") << int(kDocumentFileMode) << 0 << 0666;
    QTest::newRow("private, umask 0") << int(kPrivateFileMode) << 0 << 0600;
    QTest::newRow("private, umask 022") << int(kPrivateFileMode) << 022 << 0600;
}

void TestAtomicFile::newFileMode()
{
    QFETCH(int, requested);
    QFETCH(int, mask);
    QFETCH(int, expected);
    TempWorkDir dir;
    const QString path = dir.filePath("new.dat");
    {
        UmaskScope scope(static_cast<mode_t>(mask));
        QCOMPARE(WriteError(path, "x", static_cast<mode_t>(requested)), "<no error>");
    }
    QCOMPARE(int(ModeOf(path)), expected);
    QCOMPARE(ReadRaw(path), QByteArray("x"));
}

void TestAtomicFile::existingFileKeepsMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("requested");
    QTest::newRow("0640 given the document mode") << 0640 << int(kDocumentFileMode);
    QTest::newRow("0604 given the document mode") << 0604 << int(kDocumentFileMode);
    QTest::newRow("0755 given the document mode") << 0755 << int(kDocumentFileMode);
    QTest::newRow("0644 given the private mode") << 0644 << int(kPrivateFileMode);
    QTest::newRow("0400 read-only") << 0400 << int(kDocumentFileMode);
}

void TestAtomicFile::existingFileKeepsMode()
{
    QFETCH(int, mode);
    QFETCH(int, requested);
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    QVERIFY(WriteRaw(path, kOld));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
    QCOMPARE(WriteError(path, "new", static_cast<mode_t>(requested)), "<no error>");
    QCOMPARE(int(ModeOf(path)), mode);
    QCOMPARE(ReadRaw(path), QByteArray("new"));
}

void TestAtomicFile::existingFileKeepsOwner()
{
    if (!RunningAsRoot())
        QSKIP("only root can give a file to another owner to begin with");
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    QVERIFY(WriteRaw(path, kOld));
    const QByteArray name = QFile::encodeName(path);
    QVERIFY(::chown(name.constData(), 4321, 4322) == 0);
    QCOMPARE(WriteError(path, "new"), "<no error>");
    struct stat st {};
    QVERIFY(::stat(name.constData(), &st) == 0);
    QCOMPARE(int(st.st_uid), 4321);
    QCOMPARE(int(st.st_gid), 4322);
}

void TestAtomicFile::symlinkIsFollowed_data()
{
    QTest::addColumn<QString>("linkTarget");  // as stored in the link; $ stands for the folder
    QTest::addColumn<QString>("realFile");    // relative to the folder
    QTest::addColumn<bool>("exists");
    QTest::newRow("relative link") << "real.txt"
                                   << "real.txt" << true;
    QTest::newRow("absolute link") << "$/real.txt"
                                   << "real.txt" << true;
    QTest::newRow("into a subfolder") << "sub/real.txt"
                                      << "sub/real.txt" << true;
    QTest::newRow("dangling link creates its target") << "real.txt"
                                                      << "real.txt" << false;
    QTest::newRow("chain of two links") << "middle.txt"
                                        << "real.txt" << true;
}

void TestAtomicFile::symlinkIsFollowed()
{
    QFETCH(QString, linkTarget);
    QFETCH(QString, realFile);
    QFETCH(bool, exists);
    TempWorkDir dir;
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    const QString real = dir.filePath(realFile);
    if (exists)
        QVERIFY(WriteRaw(real, kOld));
    if (linkTarget == "middle.txt")
        QVERIFY(QFile::link(realFile, dir.filePath("middle.txt")));
    linkTarget.replace("$", dir.path());
    const QString link = dir.filePath("link.txt");
    QVERIFY(QFile::link(linkTarget, link));

    QCOMPARE(WriteError(link, "through the link"), "<no error>");

    // The link itself is untouched and still leads to the file that now holds the text.
    QVERIFY(QFileInfo(link).isSymLink());
    char stored[4096] = {};
    const ssize_t length =
        ::readlink(QFile::encodeName(link).constData(), stored, sizeof stored - 1);
    QCOMPARE(QString::fromUtf8(stored, length), linkTarget);
    QCOMPARE(QFileInfo(link).canonicalFilePath(), QFileInfo(real).canonicalFilePath());
    QCOMPARE(ReadRaw(real), QByteArray("through the link"));
    // Nothing else appeared in either folder: no temporary, no copy beside the link.
    QStringList expected{"link.txt", "sub"};
    if (QFileInfo::exists(dir.filePath("middle.txt")))
        expected << "middle.txt";
    if (!realFile.startsWith("sub/"))
        expected << realFile;
    expected.sort();
    QCOMPARE(FolderEntries(dir.path()), expected);
    QCOMPARE(FolderEntries(dir.filePath("sub")).size(), realFile.startsWith("sub/") ? 1 : 0);
}

void TestAtomicFile::hardLinksStayJoined()
{
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    const QString other = dir.filePath("other name.txt");
    QVERIFY(WriteRaw(path, kOld));
    QVERIFY(SecondName(path, other));
    const ino_t inode = InodeOf(path);
    QCOMPARE(WriteError(path, "new for both"), "<no error>");
    QCOMPARE(InodeOf(path), inode);
    QCOMPARE(ReadRaw(other), QByteArray("new for both"));
    QCOMPARE(FolderEntries(dir.path()), (QStringList{".data-home", "doc.txt", "other name.txt"}));
    QCOMPARE(FolderEntries(SafeCopies(dir)), QStringList());  // the safe copy went once done
}

void TestAtomicFile::writableFileInReadOnlyFolder()
{
    TempWorkDir dir;
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
    QVERIFY(QDir(dir.path()).mkdir("locked"));
    const QString path = dir.filePath("locked/doc.txt");
    QVERIFY(WriteRaw(path, kOld));
    const QByteArray locked = QFile::encodeName(dir.filePath("locked"));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0666) == 0);
    QVERIFY(::chmod(locked.constData(), 0555) == 0);
    const QString failure = InChildProcess([&]() -> QString {
        if (const QString e = WriteError(path, "new text"); e != "<no error>")
            return "saving the writable file: " + e;
        // A new file has no place to go.
        const QString created = WriteError(dir.filePath("locked/new.txt"), "x");
        return created == "Cannot create file " + dir.filePath("locked/new.txt")
                   ? QString()
                   : "creating a file: " + created;
    });
    QVERIFY(::chmod(locked.constData(), 0755) == 0);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(ReadRaw(path), QByteArray("new text"));
    QCOMPARE(FolderEntries(dir.filePath("locked")), QStringList{"doc.txt"});
}

void TestAtomicFile::anotherUsersFileKeepsItsOwner()
{
    if (!RunningAsRoot())
        QSKIP("only root can give a file to another owner to begin with");
    // A shared file that root owns and everybody may write, saved by an ordinary user: a new
    // file would belong to that user.
    TempWorkDir dir;
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
    const QString path = dir.filePath("shared.txt");
    QVERIFY(WriteRaw(path, kOld));
    const QByteArray name = QFile::encodeName(path);
    QVERIFY(::chown(name.constData(), 0, 0) == 0);
    QVERIFY(::chmod(name.constData(), 0666) == 0);
    const QString failure = InChildProcess([&] {
        const QString e = WriteError(path, "by another");
        return e == "<no error>" ? QString() : e;
    });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    struct stat st {};
    QVERIFY(::stat(name.constData(), &st) == 0);
    QCOMPARE(int(st.st_uid), 0);
    QCOMPARE(int(st.st_gid), 0);
    QCOMPARE(int(st.st_mode & 07777), 0666);
    QCOMPARE(ReadRaw(path), QByteArray("by another"));
}

void TestAtomicFile::inPlaceFailures_data()
{
    QTest::addColumn<bool>("failOnCopy");
    QTest::addColumn<int>("budget");
    QTest::addColumn<bool>("restoreFails");
    QTest::newRow("disk full while the old content is copied") << true << 10 << false;
    QTest::newRow("disk full at the first new byte") << false << 0 << false;
    QTest::newRow("I/O error midway through the new content") << false << 50000 << false;
    QTest::newRow("midway, and the old content cannot be put back") << false << 50000 << true;
}

// Rewriting in place (the file has a second name) on a disk that fails: the old content is
// always there afterwards, in the file or, when even that fails, in the copy the message names.
void TestAtomicFile::inPlaceFailures()
{
    QFETCH(bool, failOnCopy);
    QFETCH(int, budget);
    QFETCH(bool, restoreFails);
    TempWorkDir dir;
    const QString path = OldDocument(dir, true);
    QVERIFY(!path.isEmpty());
    QString error;
    {
        HookScope hooks(FailingForOneFile, nullptr);
        g_killInstead = false;
        g_inodeBudget = budget;
        // The copy does not exist yet; its inode is the next the folder gets, so fail every
        // file but the target instead, which only the copy is.
        g_failingInode = failOnCopy ? 0 : InodeOf(path);
        if (failOnCopy) {
            g_inodeBudget = -1;
            HookScope copyFails(
                [](int fd, const void* buffer, size_t count) -> ssize_t {
                    if (InodeOf(fd) == g_failingInode)
                        return ::write(fd, buffer, count);
                    errno = ENOSPC;
                    return -1;
                },
                nullptr);
            g_failingInode = InodeOf(path);
            error = WriteError(path, NewContent());
        } else if (restoreFails) {
            // Every write to the target fails once the budget is spent, the putting back too.
            error = WriteError(path, NewContent());
        } else {
            // The budget is spent on the new content; the putting back gets a fresh one.
            HookScope once(
                [](int fd, const void* buffer, size_t count) -> ssize_t {
                    const ssize_t result = FailingForOneFile(fd, buffer, count);
                    if (result < 0)
                        g_inodeBudget = -1;
                    return result;
                },
                nullptr);
            error = WriteError(path, NewContent());
        }
    }
    const QStringList copies = FolderEntries(SafeCopies(dir));
    if (restoreFails) {
        QCOMPARE(copies.size(), 1);
        const QString copy = SafeCopies(dir) + "/" + copies.front();
        QCOMPARE(error, "Cannot create file " + path + ". Its previous content is kept in " + copy);
        QCOMPARE(ReadRaw(copy), kOld);
        QCOMPARE(int(ModeOf(copy)), 0600);
        QVERIFY(TakeInterruptedSaves().empty());  // the user was told already
    } else {
        QCOMPARE(error, "Cannot create file " + path);
        QCOMPARE(ReadRaw(path), kOld);
        QCOMPARE(ReadRaw(dir.filePath("second.txt")), kOld);
        QCOMPARE(copies, QStringList());
    }
}

void TestAtomicFile::killedMidway_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("replaced by rename") << false;
    QTest::newRow("rewritten in place") << true;
}

void TestAtomicFile::killedMidway()
{
    QFETCH(bool, inPlace);
    TempWorkDir dir;
    const QString path = OldDocument(dir, inPlace);
    QVERIFY(!path.isEmpty());
    const pid_t child = ::fork();
    if (child == 0) {
        SetAtomicWriteFunction(inPlace ? FailingForOneFile : [](int, const void*, size_t) {
            ::raise(SIGKILL);
            return ssize_t(-1);
        });
        g_failingInode = InodeOf(path);
        g_inodeBudget = 4096;
        g_killInstead = true;
        try {
            WriteFileAtomically(path.toStdString(), Std(NewContent()), kDocumentFileMode);
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    const std::vector<TInterruptedSave> interrupted = FindInterruptedSaves();
    if (!inPlace) {
        // The unnamed temporary died with the process.
        QCOMPARE(ReadRaw(path), kOld);
        QCOMPARE(FolderEntries(dir.path()), QStringList{"doc.txt"});
        QVERIFY(interrupted.empty());
        return;
    }
    QCOMPARE(ReadRaw(path).left(4096), NewContent().left(4096));  // half new: killed midway
    QCOMPARE(interrupted.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(interrupted[0].target), QFileInfo(path).canonicalFilePath());
    QCOMPARE(ReadRaw(QString::fromStdString(interrupted[0].copy)), kOld);
    // Found again until the user has seen it; then the copy stays for the user, unreported.
    QCOMPARE(FindInterruptedSaves().size(), std::size_t(1));
    ForgetInterruptedSave(interrupted[0]);
    QVERIFY(FindInterruptedSaves().empty());
    QCOMPARE(FolderEntries(SafeCopies(dir)).size(), 1);
}

void TestAtomicFile::killedAtEveryStep_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("longer than the old content") << NewContent();
    QTest::newRow("shorter than the old content") << QByteArray("a short one");
}

// A rewrite in place killed before each call that changes a file, one after another: the next
// start reports the save exactly when the file holds neither its old content nor all of its new
// one, names a copy holding the old content, and leaves no other copy behind.
void TestAtomicFile::killedAtEveryStep()
{
    QFETCH(QByteArray, bytes);
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    const QString second = dir.filePath("second.txt");
    int reported = 0;
    for (int step = 1;; ++step) {
        QFile::remove(second);
        QVERIFY(WriteRaw(path, kOld));
        QVERIFY(SecondName(path, second));
        const bool killed = KilledAtStep(step, [&] {
            // In pieces, so that some steps leave the file half old and half new.
            std::size_t at = 0;
            const TBytePieces pieces{
                std::size_t(bytes.size()), [&] {
                    const std::string_view piece =
                        std::string_view(bytes.constData(), bytes.size()).substr(at, 30000);
                    at += piece.size();
                    return piece;
                }};
            try {
                WriteFileAtomically(path.toStdString(), pieces, kDocumentFileMode);
            } catch (...) {
            }
        });
        const QByteArray now = ReadRaw(path);
        const std::vector<TInterruptedSave> saves = TakeInterruptedSaves();
        const QByteArray where = "killed at step " + QByteArray::number(step);
        QVERIFY2(saves.size() == (now == kOld || now == bytes ? 0u : 1u), where);
        if (!saves.empty()) {
            QVERIFY2(ReadRaw(QString::fromStdString(saves[0].copy)) == kOld, where);
            QVERIFY(QFile::remove(QString::fromStdString(saves[0].copy)));
            ++reported;
        }
        QVERIFY2(FolderEntries(SafeCopies(dir)).isEmpty(), where);
        if (!killed) {
            QCOMPARE(now, bytes);
            QVERIFY(step > 10 && reported > 0);
            break;
        }
    }
}

void TestAtomicFile::oneRewriteInPlaceAtATime_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("in place: waits, then fails") << true;
    QTest::newRow("by rename: the last whole version wins") << false;
}

// Two rewrites in place of one file would interleave their blocks: the second waits briefly for
// the first, then fails and changes nothing. A save by rename takes no lock.
void TestAtomicFile::oneRewriteInPlaceAtATime()
{
    QFETCH(bool, inPlace);
    TempWorkDir dir;
    const QString path = OldDocument(dir, inPlace);
    QVERIFY(!path.isEmpty());
    // Another writer's rewrite holds the file.
    const int other = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    QVERIFY(::fcntl(other, F_OFD_SETLK, &lock) == 0);
    QElapsedTimer waited;
    waited.start();
    const QString error = WriteError(path, "mine");
    ::close(other);
    if (!inPlace) {
        QCOMPARE(error, "<no error>");
        QCOMPARE(ReadRaw(path), QByteArray("mine"));
        return;
    }
    QCOMPARE(error, "Cannot create file " + path + ": another program is saving this file");
    QVERIFY(waited.elapsed() >= 500);
    QCOMPARE(ReadRaw(path), kOld);
    QCOMPARE(FolderEntries(SafeCopies(dir)), QStringList());
    QCOMPARE(WriteError(path, "mine"), "<no error>");  // the other one is done
    QCOMPARE(ReadRaw(dir.filePath("second.txt")), QByteArray("mine"));
}

void TestAtomicFile::plantedLinksAreRefused_data()
{
    QTest::addColumn<QString>("chain");  // who made each link, from the name saved to
    QTest::addColumn<bool>("folderByOther");
    QTest::addColumn<bool>("followed");
    QTest::newRow("another user's link") << "other" << false << false;
    QTest::newRow("the user's link to another user's link") << "own other" << false << false;
    QTest::newRow("the user's own link") << "own" << false << true;
    QTest::newRow("the folder owner's link") << "other" << true << true;
}

// In a sticky folder anyone may write to, another user plants notes.txt as a link to one of the
// user's private files; saving to notes.txt must not overwrite that file, as the kernel's
// protected-symlink rule would not let an open follow the link. Links of the user or the
// folder's owner are followed as ever.
void TestAtomicFile::plantedLinksAreRefused()
{
    QFETCH(QString, chain);
    QFETCH(bool, folderByOther);
    QFETCH(bool, followed);
    if (!RunningAsRoot())
        QSKIP("only root can make a link or folder that belongs to another user");
    TempWorkDir victim;
    const QString precious = victim.filePath("precious.txt");
    QVERIFY(WriteRaw(precious, kOld));
    TempWorkDir shared;
    QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), 01777) == 0);
    if (folderByOther)
        QVERIFY(::chown(QFile::encodeName(shared.path()).constData(), NobodyUid(), gid_t(-1)) == 0);
    const QStringList owners = chain.split(' ');
    QString next = precious;
    for (int i = owners.size() - 1; i >= 0; --i) {
        const QString link =
            shared.filePath(i == 0 ? "notes.txt" : QStringLiteral("link%1").arg(i));
        const QByteArray name = QFile::encodeName(link);
        QVERIFY(::symlink(QFile::encodeName(next).constData(), name.constData()) == 0);
        if (owners[i] == "other")
            QVERIFY(::lchown(name.constData(), NobodyUid(), gid_t(-1)) == 0);
        next = link;
    }
    const QString path = shared.filePath("notes.txt");
    const QString error = WriteError(path, "typed text");
    QCOMPARE(error, followed ? QStringLiteral("<no error>")
                             : "Cannot create file " + path +
                                   ": it leads through a link another user made in a shared "
                                   "folder");
    QCOMPARE(ReadRaw(precious), followed ? QByteArray("typed text") : kOld);
    QVERIFY(QFileInfo(path).isSymLink());
    QCOMPARE(FolderEntries(shared.path()).size(), owners.size());
}

void TestAtomicFile::safeCopiesOnlyInAFolderOfTheUsersOwn_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a link another user made")
        << true
        << " is a link another user made, and Plimo keeps private files only in a folder "
           "of your own: remove the link (rm '$')";
    QTest::newRow("writable by others")
        << false
        << " can be written by other users, and Plimo keeps private files only in a "
           "folder of your own: make it yours alone (chmod go-w '$')";
}

// The safe copies hold the user's old texts: another user who may write in their folder could
// take or remove them. A rewrite in place then fails before it touches anything.
void TestAtomicFile::safeCopiesOnlyInAFolderOfTheUsersOwn()
{
    QFETCH(bool, link);
    QFETCH(QString, problem);
    if (link && !RunningAsRoot())
        QSKIP("only root can make a link that belongs to another user");
    TempWorkDir dir;
    const QString path = OldDocument(dir, true);
    QVERIFY(!path.isEmpty());
    const QString copies = SafeCopies(dir);
    QVERIFY(QDir().mkpath(dir.filePath("elsewhere")));
    QVERIFY(QDir().mkpath(QFileInfo(copies).path()));
    const QByteArray folder = QFile::encodeName(copies);
    if (link) {
        QVERIFY(::symlink(QFile::encodeName(dir.filePath("elsewhere")).constData(),
                          folder.constData()) == 0);
        QVERIFY(::lchown(folder.constData(), NobodyUid(), gid_t(-1)) == 0);
    } else {
        QVERIFY(QDir().mkpath(copies));
        QVERIFY(::chmod(folder.constData(), 0777) == 0);
    }
    QCOMPARE(WriteError(path, NewContent()), "Cannot create file " + path + ": the folder " +
                                                 copies + problem.replace("$", copies));
    QCOMPARE(ReadRaw(path), kOld);
    QCOMPARE(FolderEntries(dir.filePath("elsewhere")), QStringList());
    QCOMPARE(FolderEntries(copies), QStringList());
}

void TestAtomicFile::staleTemporariesGo()
{
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    QVERIFY(WriteRaw(path, kOld));
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    QCOMPARE(::waitpid(gone, nullptr, 0), gone);
    const QString stale = QStringLiteral(".doc.txt.tmp%1-5-1").arg(gone);
    const QString living = QStringLiteral(".doc.txt.tmp%1-5-1").arg(::getppid());
    const QString othersFile = QStringLiteral(".other.txt.tmp%1-5-1").arg(gone);
    for (const QString& name : {stale, living, othersFile})
        QVERIFY(WriteRaw(dir.filePath(name), "half written"));
    QCOMPARE(WriteError(path, "new"), "<no error>");
    QStringList expected{"doc.txt", living, othersFile};
    expected.sort();
    QCOMPARE(FolderEntries(dir.path()), expected);
}

void TestAtomicFile::temporaryIsOwnerOnly()
{
    TempWorkDir dir;
    UmaskScope scope(0);
    const QString path = dir.filePath("doc.txt");
    QVERIFY(WriteRaw(path, kOld));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0666) == 0);
    g_modesWhileWritten.clear();
    {
        HookScope hooks(RecordingWrite, nullptr);
        QCOMPARE(WriteError(path, "new"), "<no error>");
        QCOMPARE(WriteError(dir.filePath("fresh.txt"), "new"), "<no error>");
    }
    QCOMPARE(g_modesWhileWritten, (QList<int>{0600, 0600}));
    QCOMPARE(int(ModeOf(path)), 0666);
    QCOMPARE(int(ModeOf(dir.filePath("fresh.txt"))), 0666);
}

void TestAtomicFile::writtenInPieces_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<int>("shortBy");
    QTest::newRow("replaced, all pieces") << false << 0;
    QTest::newRow("in place, all pieces") << true << 0;
    QTest::newRow("replaced, a piece missing") << false << 1;
    QTest::newRow("in place, a piece missing") << true << 1;
}

// A result made a piece at a time is written whole, or not at all.
void TestAtomicFile::writtenInPieces()
{
    QFETCH(bool, inPlace);
    QFETCH(int, shortBy);
    TempWorkDir dir;
    const QString path = OldDocument(dir, inPlace);
    QVERIFY(!path.isEmpty());
    const QByteArray bytes = NewContent();
    std::size_t at = 0;
    const TBytePieces pieces{std::size_t(bytes.size()) + std::size_t(shortBy), [&] {
                                 const std::string_view all(bytes.constData(), bytes.size());
                                 const std::string_view piece = all.substr(at, 7777);
                                 at += piece.size();
                                 return piece;
                             }};
    const QString error = ErrorOf(
        [&] { WriteFileAtomically(Std(QFile::encodeName(path)), pieces, kDocumentFileMode); });
    QCOMPARE(error, shortBy ? "Cannot create file " + path : QStringLiteral("<no error>"));
    QCOMPARE(ReadRaw(path), shortBy ? kOld : bytes);
    QCOMPARE(FolderEntries(SafeCopies(dir)), QStringList());
}

void TestAtomicFile::sentWhileWritten_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<int>("megabytes");
    QTest::newRow("replaced, 48 MiB") << false << 48;
    QTest::newRow("in place, 48 MiB") << true << 48;
    QTest::newRow("a usual document") << false << 0;
}

// Regions are sent in order from the start, each once it is written and most well before the
// end; the oldest in flight are waited for on the way. A small file waits for the fsync alone.
void TestAtomicFile::sentWhileWritten()
{
    QFETCH(bool, inPlace);
    QFETCH(int, megabytes);
    TempWorkDir dir;
    const QString path = OldDocument(dir, inPlace);
    QVERIFY(!path.isEmpty());
    const QByteArray bytes = LargeContent(megabytes);
    g_ranges.clear();
    g_failingRange = 0;
    const TSyncRangeFunction previous = SetAtomicSyncRangeFunction(LoggingSyncRange);
    const QString error = WriteError(path, bytes);
    SetAtomicSyncRangeFunction(previous);
    QCOMPARE(error, "<no error>");
    QCOMPARE(ReadRaw(path), bytes);
    if (megabytes == 0)
        QVERIFY(g_ranges.empty());
    off_t sent = 0;
    off_t waited = 0;
    for (const TRange& range : g_ranges) {
        const bool wait = range.flags & SYNC_FILE_RANGE_WAIT_AFTER;
        QCOMPARE(range.offset, wait ? waited : sent);
        (wait ? waited : sent) += range.count;
        QVERIFY(sent <= range.writtenBefore && waited < sent);
    }
    QVERIFY(sent <= bytes.size() && sent > bytes.size() - 8 * 1024 * 1024);
    QVERIFY(megabytes == 0 || (waited > 0 && waited < sent));
}

void TestAtomicFile::writeBackFails_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<int>("failingRange");
    QTest::addColumn<int>("error");
    QTest::newRow("replaced, the first request") << false << 1 << EIO;
    QTest::newRow("replaced, a wait midway") << false << 12 << EIO;
    QTest::newRow("in place, a wait midway") << true << 12 << ENOSPC;
    QTest::newRow("not supported: written all the same") << false << 1 << EINVAL;
}

// A write-back error is reported to the call that meets it only, not to the fsync after it: the
// save stops there, and the old file stays, its other name and no copy left.
void TestAtomicFile::writeBackFails()
{
    QFETCH(bool, inPlace);
    QFETCH(int, failingRange);
    QFETCH(int, error);
    TempWorkDir dir;
    const QString path = OldDocument(dir, inPlace);
    QVERIFY(!path.isEmpty());
    const QByteArray bytes = LargeContent(48);
    g_ranges.clear();
    g_failingRange = failingRange;
    g_rangeErrno = error;
    const TSyncRangeFunction previous = SetAtomicSyncRangeFunction(LoggingSyncRange);
    const QString message = WriteError(path, bytes);
    SetAtomicSyncRangeFunction(previous);
    if (error == EINVAL) {
        QCOMPARE(message, "<no error>");
        QCOMPARE(ReadRaw(path), bytes);
        return;
    }
    QCOMPARE(message, "Cannot create file " + path);
    QCOMPARE(int(g_ranges.size()), failingRange);
    QCOMPARE(ReadRaw(path), kOld);
    if (inPlace)
        QCOMPARE(ReadRaw(dir.filePath("second.txt")), kOld);
    QCOMPARE(FolderEntries(SafeCopies(dir)), QStringList());
    QCOMPARE(FolderEntries(dir.path()).filter("doc").size(), 1);  // no temporary beside it
}

// Once on the disk, a large file's first pages are no longer held in memory.
void TestAtomicFile::writtenBackPagesLeaveTheCache()
{
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    const QByteArray bytes = LargeContent(64);
    QCOMPARE(WriteError(path, bytes), "<no error>");
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    const std::size_t quarter = std::size_t(bytes.size()) / 4;
    void* map = ::mmap(nullptr, quarter, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    QVERIFY(map != MAP_FAILED);
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> pages((quarter + page - 1) / page);  // one for each page touched
    const bool asked = ::mincore(map, quarter, pages.data()) == 0;
    ::munmap(map, quarter);
    QVERIFY(asked);
    QCOMPARE(std::count_if(pages.begin(), pages.end(), [](unsigned char p) { return p & 1; }), 0);
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "test_atomic_file.moc"
