#include <sys/stat.h>

#include <QTest>

#include "core/app_state.h"
#include "document/settings_file.h"
#include "file_test_helpers.h"
#include "temp_workdir.h"

namespace {

const QByteArray kDefaultFile = "Plimo Text Editor 1.7\r\n15\r\ntzrhGowN\r\n";

TAppState DefaultState()
{
    TAppState state;
    SetStateDefaults(state, {});
    return state;
}

}  // namespace

class TestSettingsFile final : public QObject {
    Q_OBJECT

private slots:
    // Reading and writing the main window's settings.
    void firstStartWithoutFile();
    void loadAndRewrite_data();
    void loadAndRewrite();
    void typeSizeLine_data();
    void typeSizeLine();
    void saveFillsEmptyPassword();
    void saveKeepsModeOfExistingFile();
    void fileFollowsCurrentDirectory();
    void settingsFileIsAFolder();
    void unreadableSettingsFile_data();
    void unreadableSettingsFile();

    // The secondary window's copy.
    void secondaryDefaults();
    void secondaryWithoutFile();
    void secondaryReadsAndWritesBack_data();
    void secondaryReadsAndWritesBack();

    // The pieces both share.
    void splitLines_data();
    void splitLines();
    void wholeNumber_data();
    void wholeNumber();
};

void TestSettingsFile::firstStartWithoutFile()
{
    TempWorkDir dir;
    UmaskScope scope(0);  // the file must be private whatever the umask
    TAppState state = DefaultState();
    LoadSettings(state);
    QCOMPARE(ReadRaw(dir.filePath("plimo.dat")), QByteArray());
    QCOMPARE(int(ModeOf(dir.filePath("plimo.dat"))), 0600);
    QCOMPARE(state.AppTitle, "Plimo Text Editor 1.7");
    QCOMPARE(state.TypeSize, 15);
    QCOMPARE(state.LevelAPwd, "tzrhGowN");

    SaveSettings(state);
    QCOMPARE(ReadRaw(dir.filePath("plimo.dat")), kDefaultFile);
    QCOMPARE(int(ModeOf(dir.filePath("plimo.dat"))), 0600);
    QCOMPARE(FolderEntries(dir.path()), QStringList{"plimo.dat"});
}

void TestSettingsFile::loadAndRewrite_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("rewritten");
    QTest::newRow("complete") << QByteArray("My Editor\r\n20\r\nsecretPw\r\n")
                              << QByteArray("My Editor") << 20 << QByteArray("secretPw")
                              << QByteArray("My Editor\r\n20\r\nsecretPw\r\n");
    QTest::newRow("title changed by hand, 8-bit")
        << QByteArray("Caf\xE9 \x80\r\n15\r\ntzrhGowN\r\n") << QByteArray("Caf\xE9 \x80") << 15
        << QByteArray("tzrhGowN") << QByteArray("Caf\xE9 \x80\r\n15\r\ntzrhGowN\r\n");
    QTest::newRow("empty title") << QByteArray("\r\n12\r\nPw\r\n") << QByteArray() << 12
                                 << QByteArray("Pw") << QByteArray("\r\n12\r\nPw\r\n");
    QTest::newRow("only two lines")
        << QByteArray("T\r\n12\r\n") << QByteArray("T") << 12 << QByteArray("tzrhGowN")
        << QByteArray("T\r\n12\r\ntzrhGowN\r\n");
    QTest::newRow("more than three lines")
        << QByteArray("T\r\n12\r\nPw\r\nextra\r\nmore\r\n") << QByteArray("T") << 12
        << QByteArray("Pw") << QByteArray("T\r\n12\r\nPw\r\n");
    QTest::newRow("empty password line")
        << QByteArray("T\r\n12\r\n\r\n") << QByteArray("T") << 12 << QByteArray("tzrhGowN")
        << QByteArray("T\r\n12\r\ntzrhGowN\r\n");
    QTest::newRow("no break after the last line")
        << QByteArray("T\r\n12\r\nPw") << QByteArray("T") << 12 << QByteArray("Pw")
        << QByteArray("T\r\n12\r\nPw\r\n");
    QTest::newRow("LF breaks") << QByteArray("T\n12\nPw\n") << QByteArray("T") << 12
                               << QByteArray("Pw") << QByteArray("T\r\n12\r\nPw\r\n");
    QTest::newRow("CR breaks") << QByteArray("T\r12\rPw\r") << QByteArray("T") << 12
                               << QByteArray("Pw") << QByteArray("T\r\n12\r\nPw\r\n");
    QTest::newRow("empty file") << QByteArray() << QByteArray() << 15 << QByteArray("tzrhGowN")
                                << QByteArray("\r\n15\r\ntzrhGowN\r\n");
    QTest::newRow("password with blanks kept")
        << QByteArray("T\r\n15\r\n a b \r\n") << QByteArray("T") << 15 << QByteArray(" a b ")
        << QByteArray("T\r\n15\r\n a b \r\n");
}

void TestSettingsFile::loadAndRewrite()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, title);
    QFETCH(int, size);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, rewritten);
    TempWorkDir dir;
    QVERIFY(WriteRaw(dir.filePath("plimo.dat"), file));
    TAppState state = DefaultState();
    LoadSettings(state);
    QCOMPARE(Bytes(state.AppTitle), title);
    QCOMPARE(state.TypeSize, size);
    QCOMPARE(Bytes(state.LevelAPwd), password);
    SaveSettings(state);
    QCOMPARE(ReadRaw(dir.filePath("plimo.dat")), rewritten);
}

void TestSettingsFile::typeSizeLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("size");
    QTest::newRow("20") << QByteArray("20") << 20;
    QTest::newRow("smallest 1") << QByteArray("1") << 1;
    QTest::newRow("largest 500") << QByteArray("500") << 500;
    QTest::newRow("leading zero") << QByteArray("012") << 12;
    QTest::newRow("empty") << QByteArray() << 15;
    QTest::newRow("letters") << QByteArray("abc") << 15;
    QTest::newRow("digits then letters") << QByteArray("12pt") << 15;
    QTest::newRow("leading space") << QByteArray(" 12") << 15;
    QTest::newRow("trailing space") << QByteArray("12 ") << 15;
    QTest::newRow("plus sign") << QByteArray("+12") << 15;
    QTest::newRow("fraction") << QByteArray("12.5") << 15;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << 15;
    QTest::newRow("zero") << QByteArray("0") << 15;
    QTest::newRow("negative") << QByteArray("-12") << 15;
    QTest::newRow("just above the range") << QByteArray("501") << 15;
    QTest::newRow("beyond 32 bits") << QByteArray("4294967308") << 15;
    QTest::newRow("huge") << QByteArray("99999999999999999999999") << 15;
}

void TestSettingsFile::typeSizeLine()
{
    QFETCH(QByteArray, line);
    QFETCH(int, size);
    TAppState state = DefaultState();
    state.TypeSize = 33;
    ApplySettings(state, {"Title", Std(line), "Pw"});
    QCOMPARE(state.TypeSize, size);
    QCOMPARE(state.AppTitle, "Title");
    QCOMPARE(state.LevelAPwd, "Pw");
}

void TestSettingsFile::saveFillsEmptyPassword()
{
    TempWorkDir dir;
    TAppState state = DefaultState();
    state.AppTitle = "T";
    state.TypeSize = 9;
    state.LevelAPwd.clear();
    SaveSettings(state);
    QCOMPARE(state.LevelAPwd, "tzrhGowN");
    QCOMPARE(ReadRaw(dir.filePath("plimo.dat")), QByteArray("T\r\n9\r\ntzrhGowN\r\n"));
}

void TestSettingsFile::saveKeepsModeOfExistingFile()
{
    TempWorkDir dir;
    QVERIFY(WriteRaw(dir.filePath("plimo.dat"), kDefaultFile));
    QVERIFY(::chmod(QFile::encodeName(dir.filePath("plimo.dat")).constData(), 0640) == 0);
    TAppState state = DefaultState();
    state.LevelAPwd = "newPassw";
    SaveSettings(state);
    QCOMPARE(int(ModeOf(dir.filePath("plimo.dat"))), 0640);
    QCOMPARE(ReadRaw(dir.filePath("plimo.dat")),
             QByteArray("Plimo Text Editor 1.7\r\n15\r\nnewPassw\r\n"));
}

void TestSettingsFile::fileFollowsCurrentDirectory()
{
    TempWorkDir first;
    TAppState state = DefaultState();
    SaveSettings(state);
    {
        TempWorkDir second;
        state.TypeSize = 30;
        SaveSettings(state);
        QCOMPARE(ReadRaw(second.filePath("plimo.dat")),
                 QByteArray("Plimo Text Editor 1.7\r\n30\r\ntzrhGowN\r\n"));
    }
    QCOMPARE(ReadRaw(first.filePath("plimo.dat")), kDefaultFile);
}

void TestSettingsFile::settingsFileIsAFolder()
{
    TempWorkDir dir;
    QVERIFY(QDir(dir.path()).mkdir("plimo.dat"));
    TAppState state = DefaultState();
    state.AppTitle = "Kept";
    QCOMPARE(ErrorOf([&] { LoadSettings(state); }), "Cannot open file plimo.dat");
    QCOMPARE(state.AppTitle, "Kept");
    QCOMPARE(ErrorOf([&] { SaveSettings(state); }), "Cannot create file plimo.dat");
    QCOMPARE(state.AppTitle, "Kept");
    TSecondaryState secondary;
    QCOMPARE(ErrorOf([&] { LoadSecondarySettings(secondary); }), "Cannot open file plimo.dat");
    QCOMPARE(ErrorOf([&] { SaveSecondarySettings(secondary); }), "Cannot create file plimo.dat");
    QCOMPARE(FolderEntries(dir.path()), QStringList{"plimo.dat"});
}

void TestSettingsFile::unreadableSettingsFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a pipe") << "fifo";
    QTest::newRow("far too large to be ours") << "large";
}

void TestSettingsFile::unreadableSettingsFile()
{
    QFETCH(QString, kind);
    TempWorkDir dir;
    const QByteArray name = QFile::encodeName(dir.filePath("plimo.dat"));
    if (kind == "fifo")
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
    else
        QVERIFY(WriteRaw(dir.filePath("plimo.dat"), "T\r\n20\r\n" + QByteArray(2 << 20, 'x')));
    TAppState state = DefaultState();
    QCOMPARE(ErrorOf([&] { LoadSettings(state); }), "Cannot open file plimo.dat");
    QCOMPARE(state.AppTitle, "Plimo Text Editor 1.7");
    QCOMPARE(state.TypeSize, 15);
}

void TestSettingsFile::secondaryDefaults()
{
    const TSecondaryState state;
    QCOMPARE(state.ProductName, "Plimo Text Editorius");
    QCOMPARE(state.Version, "1.7");
    QCOMPARE(state.AppTitle, "Plimo Text Editorius 1.7");
    QCOMPARE(state.SettingsFile, "plimo.dat");
    QCOMPARE(state.TypeSize, 15);
    QCOMPARE(state.LevelAPwd, "");
}

void TestSettingsFile::secondaryWithoutFile()
{
    TempWorkDir dir;
    TSecondaryState state;
    LoadSecondarySettings(state);
    QCOMPARE(ReadRaw(dir.filePath("plimo.dat")), QByteArray());
    QCOMPARE(int(ModeOf(dir.filePath("plimo.dat"))), 0600);
    QCOMPARE(state.LevelAPwd, "");
    SaveSecondarySettings(state);
    QCOMPARE(state.LevelAPwd, "");
    QCOMPARE(ReadRaw(dir.filePath("plimo.dat")),
             QByteArray("Plimo Text Editorius 1.7\r\n15\r\n\r\n"));

    // The main window's next start reads the empty password line as the factory password.
    TAppState main = DefaultState();
    LoadSettings(main);
    QCOMPARE(main.AppTitle, "Plimo Text Editorius 1.7");
    QCOMPARE(main.LevelAPwd, "tzrhGowN");
}

void TestSettingsFile::secondaryReadsAndWritesBack_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("rewritten");
    QTest::newRow("as start-up wrote it") << kDefaultFile << kDefaultFile;
    QTest::newRow("own title and size")
        << QByteArray("Mine\r\n22\r\nabcdefgh\r\n") << QByteArray("Mine\r\n22\r\nabcdefgh\r\n");
    QTest::newRow("empty password line")
        << QByteArray("Mine\r\n22\r\n\r\n") << QByteArray("Mine\r\n22\r\ntzrhGowN\r\n");
    QTest::newRow("bad size") << QByteArray("Mine\r\nbig\r\nPw\r\n")
                              << QByteArray("Mine\r\n15\r\nPw\r\n");
    QTest::newRow("extra lines dropped")
        << QByteArray("Mine\r\n22\r\nPw\r\nx\r\n") << QByteArray("Mine\r\n22\r\nPw\r\n");
}

void TestSettingsFile::secondaryReadsAndWritesBack()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, rewritten);
    TempWorkDir dir;
    QVERIFY(WriteRaw(dir.filePath("plimo.dat"), file));
    AppState.AppTitle = "untouched";
    TSecondaryState state;
    LoadSecondarySettings(state);
    SaveSecondarySettings(state);
    QCOMPARE(ReadRaw(dir.filePath("plimo.dat")), rewritten);
    QCOMPARE(AppState.AppTitle, "untouched");
}

void TestSettingsFile::splitLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("lines");
    using L = QList<QByteArray>;
    QTest::newRow("empty") << QByteArray() << L{};
    QTest::newRow("one line, no break") << QByteArray("a") << L{"a"};
    QTest::newRow("one line, CR LF") << QByteArray("a\r\n") << L{"a"};
    QTest::newRow("CR LF is one break") << QByteArray("a\r\nb") << (L{"a", "b"});
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << (L{"a", "", "b"});
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << (L{"a", "", "b"});
    QTest::newRow("only a break") << QByteArray("\r\n") << L{""};
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx") << (L{"", "", "x"});
}

void TestSettingsFile::splitLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, lines);
    QList<QByteArray> actual;
    for (const std::string& line : SplitSettingsLines(Std(bytes)))
        actual << Bytes(line);
    QCOMPARE(actual, lines);
}

void TestSettingsFile::wholeNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("15") << QByteArray("15") << true << 15;
    QTest::newRow("-7") << QByteArray("-7") << true << -7;
    QTest::newRow("largest 32-bit") << QByteArray("2147483647") << true << 2147483647;
    QTest::newRow("smallest 32-bit") << QByteArray("-2147483648") << true << int(-2147483648LL);
    QTest::newRow("one over") << QByteArray("2147483648") << false << 0;
    QTest::newRow("lone minus") << QByteArray("-") << false << 0;
    QTest::newRow("two minus") << QByteArray("--5") << false << 0;
    QTest::newRow("plus") << QByteArray("+5") << false << 0;
    QTest::newRow("NUL after digits") << QByteArray("5\0", 2) << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
}

void TestSettingsFile::wholeNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const auto parsed = ParseWholeNumber(Std(text));
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
