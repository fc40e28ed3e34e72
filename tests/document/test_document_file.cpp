#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTest>

#include "document/document_file.h"
#include "document/file_messages.h"
#include "file_test_helpers.h"
#include "temp_workdir.h"

namespace {

// An independent statement of the rule: every kind of break to LF first, then LF to CR LF.
QByteArray ExpectedNormalised(QByteArray bytes)
{
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    bytes.replace("\n", "\r\n");
    return bytes;
}

// Random bytes, often line breaks and NUL, so that every neighbourhood of a break turns up.
QByteArray RandomBytes(QRandomGenerator& random, int maxLength)
{
    static const char kInteresting[] = {'\r', '\n', '\0', 'a', '\xA0', '\xFF'};
    QByteArray bytes(random.bounded(maxLength + 1), '\0');
    for (char& c : bytes)
        c = random.bounded(2) ? kInteresting[random.bounded(int(sizeof kInteresting))]
                              : static_cast<char>(random.bounded(256));
    return bytes;
}

// Both forms of the check, against the rule stated independently; `context` names the bytes.
void CheckCrLfVerdict(const QByteArray& bytes, const QByteArray& context)
{
    const bool expected = ExpectedNormalised(bytes) == bytes;
    QVERIFY2(AllBreaksCrLf(Std(bytes)) == expected, context.constData());
    QVERIFY2(detail::AllBreaksCrLfBaseline(Std(bytes)) == expected, context.constData());
}

// Bytes that are no line break, with CR LF pairs among them: a text the check accepts.
QByteArray RandomCrLfText(QRandomGenerator& random, int length)
{
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length; ++i) {
        if (i + 1 < length && random.bounded(8) == 0) {
            bytes[i++] = '\r';
            bytes[i] = '\n';
            continue;
        }
        char c;
        do
            c = static_cast<char>(random.bounded(256));
        while (c == '\r' || c == '\n');
        bytes[i] = c;
    }
    return bytes;
}

}  // namespace

class TestDocumentFile final : public QObject {
    Q_OBJECT

private slots:
    // Normalisation and loading: the text the editing area gets.
    void normalise_data();
    void normalise();
    void loadNormalises_data();
    void loadNormalises();
    void utf8AsQtReadsIt();
    void loadKeepsEveryOtherByte();
    void roundTripProperty();
    void crLfCheckAtEveryBlockEdge();
    void crLfCheckFarIntoTheText();

    // Saving.
    void saveWritesBytesExactly_data();
    void saveWritesBytesExactly();
    void saveNewFileMode_data();
    void saveNewFileMode();

    // Failures.
    void loadFailures_data();
    void loadFailures();
    void loadUnreadableFile();
    void capacity_data();
    void capacity();
    void fileAboveMemoCapacityIsRefusedUnread();

    // A file viewed where it lies, for a command that does not hold it whole.
    void mappedOnlyWhenNothingToNormalise_data();
    void mappedOnlyWhenNothingToNormalise();
    void mappedFileChangedOrCutWhileRead();

    // The file dialogs' filters.
};

void TestDocumentFile::normalise_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no break") << QByteArray("abc") << QByteArray("abc");
    QTest::newRow("LF") << QByteArray("a\nb") << QByteArray("a\r\nb");
    QTest::newRow("CR LF kept") << QByteArray("a\r\nb") << QByteArray("a\r\nb");
    QTest::newRow("lone CR") << QByteArray("a\rb") << QByteArray("a\r\nb");
    QTest::newRow("CR CR LF") << QByteArray("\r\r\n") << QByteArray("\r\n\r\n");
    QTest::newRow("LF CR") << QByteArray("\n\r") << QByteArray("\r\n\r\n");
    QTest::newRow("LF LF") << QByteArray("\n\n") << QByteArray("\r\n\r\n");
    QTest::newRow("trailing CR") << QByteArray("a\r") << QByteArray("a\r\n");
    QTest::newRow("leading LF") << QByteArray("\nx") << QByteArray("\r\nx");
    QTest::newRow("NUL") << QByteArray("a\0b", 3) << QByteArray("a\0b", 3);
    QTest::newRow("NUL before LF") << QByteArray("\0\n", 2) << QByteArray("\0\r\n", 3);
    QTest::newRow("0xA0") << QByteArray("\xA0") << QByteArray("\xA0");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestDocumentFile::normalise()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(NormaliseLineBreaks(Std(input))), expected);
}

void TestDocumentFile::loadNormalises_data()
{
    normalise_data();
}

void TestDocumentFile::loadNormalises()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    QVERIFY(WriteRaw(path, input));
    const std::string text = LoadDocument(path.toStdString());
    QCOMPARE(Bytes(text), expected);
    // The status bar's "size - " counts the text after normalising.
    QCOMPARE(qsizetype(text.size()), expected.size());
}

// What Open takes for UTF-8 is what Qt's own decoder reads without an error, on random bytes
// rich in lead and continuation bytes, at lengths around the 32-byte steps over ASCII.
void TestDocumentFile::utf8AsQtReadsIt()
{
    static const char kBytes[] = {'\x80', '\x9F', '\xA0', '\xBF', '\xC0', '\xC2', '\xDF',
                                  '\xE0', '\xED', '\xEF', '\xF0', '\xF4', '\xF5', '\xFF'};
    QRandomGenerator random(20261210);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes(random.bounded(40), 'x');
        for (int k = random.bounded(4); k > 0 && !bytes.isEmpty(); --k)
            bytes[random.bounded(int(bytes.size()))] = kBytes[random.bounded(int(sizeof kBytes))];
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = decoder.decode(bytes);  // decodes once made a QString
        const bool high = std::any_of(bytes.begin(), bytes.end(), [](char c) { return c < 0; });
        QVERIFY2(LooksLikeUtf8(Std(bytes)) == (high && !decoder.hasError()), bytes.toHex().constData());
    }
}

void TestDocumentFile::loadKeepsEveryOtherByte()
{
    TempWorkDir dir;
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all += char(b);
    const QString path = dir.filePath("bytes.bin");
    QVERIFY(WriteRaw(path, all + all));
    QCOMPARE(Bytes(LoadDocument(path.toStdString())), all + all);
}

void TestDocumentFile::roundTripProperty()
{
    TempWorkDir dir;
    const QString path = dir.filePath("random.txt");
    const quint32 seed = 20240917;
    QRandomGenerator random(seed);
    for (int round = 0; round < 3000; ++round) {
        const QByteArray bytes = RandomBytes(random, 64);
        const QByteArray normalised = Bytes(NormaliseLineBreaks(Std(bytes)));
        const QByteArray context = "seed " + QByteArray::number(seed) + " round " +
                                   QByteArray::number(round) + ": " + bytes.toHex();
        QVERIFY2(normalised == ExpectedNormalised(bytes), context.constData());
        QVERIFY2(Bytes(NormaliseLineBreaks(Std(normalised))) == normalised, context.constData());
        // Writing to disk on every round would only measure fsync; a few hundred suffice.
        if (round % 50 == 0) {
            SaveDocument(path.toStdString(), Std(bytes));
            QVERIFY2(ReadRaw(path) == bytes, context.constData());
            QVERIFY2(Bytes(LoadDocument(path.toStdString())) == normalised, context.constData());
        }
    }
}

// The check reads 64-byte blocks and carries a CR from one block to the next: each pair of
// bytes (CR, LF or neither) at each position of texts up to three blocks and a bit long, so that
// every block edge, the tail and both ends of the text meet every neighbourhood of a break.
void TestDocumentFile::crLfCheckAtEveryBlockEdge()
{
    const quint32 seed = 20261209;
    QRandomGenerator random(seed);
    const char kPair[] = {'\r', '\n', 'x'};
    int rejected = 0;
    for (int length = 0; length <= 3 * 64 + 3; ++length) {
        const QByteArray base = RandomCrLfText(random, length);
        CheckCrLfVerdict(base, "seed " + QByteArray::number(seed) + ": " + base.toHex());
        for (int at = 0; at < length; ++at) {
            for (const char first : kPair) {
                for (const char second : kPair) {
                    QByteArray bytes = base;
                    bytes[at] = first;
                    if (at + 1 < length)
                        bytes[at + 1] = second;
                    rejected += ExpectedNormalised(bytes) != bytes;
                    CheckCrLfVerdict(bytes, "seed " + QByteArray::number(seed) + " at " +
                                                QByteArray::number(at) + ": " + bytes.toHex());
                }
            }
        }
    }
    QVERIFY(rejected > 0);  // the loops made lone breaks, not only CR LF texts
}

// A lone break as the only one among many CR LF: the check looks for one only now and then,
// so one just before, at and after those looks, and in the last blocks before the tail.
void TestDocumentFile::crLfCheckFarIntoTheText()
{
    QRandomGenerator random(7);
    const int length = 3 * 4096 + 70;
    const QByteArray base = RandomCrLfText(random, length);
    CheckCrLfVerdict(base, "the whole text");
    QVERIFY(AllBreaksCrLf(Std(base)));
    // Looks after bytes 4095, 8191 and 12287; the block from 12288 is the last whole one before
    // the tail of 6 bytes from 12352.
    for (const int at : {0, 1, 63, 64, 4095, 4096, 4097, 8191, 8192, 12287, 12288, 12320, 12351,
                         12352, length - 2, length - 1}) {
        for (const char lone : {'\r', '\n'}) {
            QByteArray bytes = base;
            bytes[at] = lone;
            // Keep it alone: no partner on the side a CR LF would need it.
            if (lone == '\r' && at + 1 < length && bytes[at + 1] == '\n')
                bytes[at + 1] = 'x';
            if (lone == '\n' && at > 0 && bytes[at - 1] == '\r')
                bytes[at - 1] = 'x';
            const QByteArray context = "lone " + QByteArray::number(int(lone)) + " at " +
                                       QByteArray::number(at);
            QVERIFY2(ExpectedNormalised(bytes) != bytes, context.constData());
            CheckCrLfVerdict(bytes, context);
        }
    }
}

void TestDocumentFile::saveWritesBytesExactly_data()
{
    QTest::addColumn<QByteArray>("previous");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("new file") << QByteArray() << QByteArray("a\r\nb");
    QTest::newRow("no line end added") << QByteArray() << QByteArray("last line");
    QTest::newRow("shorter than the old file")
        << QByteArray("a much longer old text\r\n") << QByteArray("short");
    QTest::newRow("empty text") << QByteArray("old") << QByteArray();
    QTest::newRow("lone breaks stay as given") << QByteArray() << QByteArray("a\rb\nc");
    QTest::newRow("NUL and high bytes") << QByteArray("x") << QByteArray("\0\x80\xFF", 3);
}

void TestDocumentFile::saveWritesBytesExactly()
{
    QFETCH(QByteArray, previous);
    QFETCH(QByteArray, bytes);
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    if (!previous.isEmpty())
        QVERIFY(WriteRaw(path, previous));
    SaveDocument(path.toStdString(), Std(bytes));
    QCOMPARE(ReadRaw(path), bytes);
    QCOMPARE(FolderEntries(dir.path()), QStringList{"doc.txt"});
}

void TestDocumentFile::saveNewFileMode_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("expected");
    QTest::newRow("umask 022") << 022 << 0644;
    QTest::newRow("umask 002") << 002 << 0664;
    QTest::newRow("umask 077") << 077 << 0600;
}

void TestDocumentFile::saveNewFileMode()
{
    QFETCH(int, mask);
    QFETCH(int, expected);
    TempWorkDir dir;
    const QString path = dir.filePath("new.txt");
    {
        UmaskScope scope(static_cast<mode_t>(mask));
        SaveDocument(path.toStdString(), "text");
    }
    QCOMPARE(int(ModeOf(path)), expected);
}

void TestDocumentFile::loadFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("deleted between dialog and open") << "deleted";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a file used as a folder") << "notdir";
    QTest::newRow("a pipe, which would block") << "fifo";
}

void TestDocumentFile::loadFailures()
{
    QFETCH(QString, kind);
    TempWorkDir dir;
    QString path = dir.filePath("doc.txt");
    if (kind == "deleted") {
        QVERIFY(WriteRaw(path, "was here"));
        QVERIFY(QFile::remove(path));
    } else if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkdir("doc.txt"));
    } else if (kind == "fifo") {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (kind == "notdir") {
        QVERIFY(WriteRaw(path, "a file"));
        path += "/inner.txt";
    }
    QCOMPARE(ErrorOf([&] { LoadDocument(path.toStdString()); }), "Cannot open file " + path);
}

void TestDocumentFile::loadUnreadableFile()
{
    if (RunningAsRoot())
        QSKIP("root reads every file; the other failure rows cover the error path");
    TempWorkDir dir;
    const QString path = dir.filePath("secret.txt");
    QVERIFY(WriteRaw(path, "secret"));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0) == 0);
    QCOMPARE(ErrorOf([&] { LoadDocument(path.toStdString()); }), "Cannot open file " + path);
}

void TestDocumentFile::capacity_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("fits");
    // The capacity in these rows is 10 bytes.
    QTest::newRow("exactly full") << QByteArray("0123456789") << true;
    QTest::newRow("one byte over") << QByteArray("0123456789A") << false;
    QTest::newRow("full after normalising") << QByteArray("01234567\n") << true;
    QTest::newRow("over only after normalising") << QByteArray("\n\n\n\n\n\n") << false;
    QTest::newRow("CR LF adds nothing") << QByteArray("\r\n\r\n\r\n\r\n\r\n") << true;
}

void TestDocumentFile::capacity()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, fits);
    TempWorkDir dir;
    const QString path = dir.filePath("doc.txt");
    QVERIFY(WriteRaw(path, bytes));
    const QString error = ErrorOf([&] { LoadDocument(path.toStdString(), 10); });
    QCOMPARE(error, fits ? "<no error>" : "Text exceeds memo capacity");
}

void TestDocumentFile::fileAboveMemoCapacityIsRefusedUnread()
{
    // A sparse file: no disk space used, and it must be refused by its size before any read.
    TempWorkDir dir;
    const QString path = dir.filePath("huge.txt");
    QVERIFY(WriteRaw(path, ""));
    QVERIFY(::truncate(QFile::encodeName(path).constData(), off_t(kMemoCapacity) + 1) == 0);
    QCOMPARE(ErrorOf([&] { LoadDocument(path.toStdString()); }), "Text exceeds memo capacity");
}

void TestDocumentFile::mappedOnlyWhenNothingToNormalise_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("mapped");
    QTest::newRow("CR LF throughout") << QByteArray("one\r\ntwo\r\n\x80\0x") << true;
    QTest::newRow("no break at all") << QByteArray("plain") << true;
    QTest::newRow("a lone LF") << QByteArray("one\r\ntwo\nthree") << false;
    QTest::newRow("a lone CR at the end") << QByteArray("one\r") << false;
    // The check goes 64 bytes a block.
    const QByteArray block(63, 'a');
    QTest::newRow("CR LF across a block edge") << block + "\r\nb" << true;
    QTest::newRow("a lone LF opening a block") << block + "b\nc" << false;
    QTest::newRow("a lone CR closing a block") << block + "\rb" << false;
    QTest::newRow("a lone CR closing the text on a block edge") << block + "\r" << false;
    QTest::newRow("CR LF closing the text after a block") << block + "b\r\n" << true;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestDocumentFile::mappedOnlyWhenNothingToNormalise()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, mapped);
    TempWorkDir dir;
    QVERIFY(WriteRaw(dir.filePath("doc.txt"), bytes));
    const auto file = MappedDocument::Open("doc.txt", kMemoCapacity);
    QCOMPARE(file.has_value(), mapped);
    if (file) {
        QCOMPARE(Bytes(file->bytes()), bytes);
        QVERIFY(file->unchanged());
    }
    QVERIFY(!MappedDocument::Open("doc.txt", 2).has_value() || bytes.size() <= 2);
}

void TestDocumentFile::mappedFileChangedOrCutWhileRead()
{
    TempWorkDir dir;
    const QByteArray bytes(64 * 1024, 'a');
    QVERIFY(WriteRaw(dir.filePath("doc.txt"), bytes));
    const auto file = MappedDocument::Open("doc.txt", kMemoCapacity);
    QVERIFY(file.has_value());
    // Another program cuts the file short: the pages past its new end are gone. Reading them
    // must not end the program; the lost part reads as zeros and the view says it changed.
    QVERIFY(::truncate("doc.txt", 100) == 0);
    std::size_t letters = 0;
    for (const char c : file->bytes())
        letters += c == 'a';
    QVERIFY(letters >= 100 && letters < std::size_t(bytes.size()));
    QVERIFY(!file->unchanged());
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "test_document_file.moc"
