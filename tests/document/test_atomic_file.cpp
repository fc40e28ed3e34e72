#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include <QFileInfo>
#include <QTest>

#include "document/atomic_file.h"
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

QString WriteError(const QString& path, const QByteArray& bytes, mode_t mode = kDocumentFileMode)
{
    return ErrorOf([&] { WriteFileAtomically(path.toStdString(), Std(bytes), mode); });
}

const QByteArray kOld = "the old content\r\nstays as it was\r\n";

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
    void folderNotWritable();
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

void TestAtomicFile::folderNotWritable()
{
    if (RunningAsRoot())
        QSKIP("root writes into any folder; the injected failures cover this path");
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    QVERIFY(WriteRaw(path, kOld));
    const QByteArray folder = QFile::encodeName(dir.path());
    QVERIFY(::chmod(folder.constData(), 0555) == 0);
    const QString error = WriteError(path, "new");
    QVERIFY(::chmod(folder.constData(), 0755) == 0);
    QCOMPARE(error, "Cannot create file " + path);
    QCOMPARE(ReadRaw(path), kOld);
    QCOMPARE(FolderEntries(dir.path()), QStringList{"doc.txt"});
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

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "test_atomic_file.moc"
