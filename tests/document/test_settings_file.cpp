#include <sys/stat.h>

#include <algorithm>

#include <QTest>

#include "core/app_state.h"
#include "document/settings_file.h"
#include "document/user_options.h"
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
    void saveMakesTheFilePrivate_data();
    void saveMakesTheFilePrivate();
    void fileFollowsCurrentDirectory();
    void unreadableFileIsLeftAlone_data();
    void unreadableFileIsLeftAlone();
    void folderNotTheUsersOwn_data();
    void folderNotTheUsersOwn();
    void secondCopyKeepsTheNewPassword();

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

    // The per-user options file beside plimo.dat: the recent files.
    void userOptionsRoundTrip();
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

void TestSettingsFile::saveMakesTheFilePrivate_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("readable by all") << 0644;
    QTest::newRow("readable by the group") << 0640;
    QTest::newRow("already private") << 0600;
}

void TestSettingsFile::saveMakesTheFilePrivate()
{
    QFETCH(int, mode);
    TempWorkDir dir;
    QVERIFY(WriteRaw(dir.filePath("plimo.dat"), kDefaultFile));
    QVERIFY(::chmod(QFile::encodeName(dir.filePath("plimo.dat")).constData(), mode_t(mode)) == 0);
    TAppState state = DefaultState();
    state.LevelAPwd = "newPassw";
    SaveSettings(state);
    QCOMPARE(int(ModeOf(dir.filePath("plimo.dat"))), 0600);
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

void TestSettingsFile::unreadableFileIsLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("three good lines and 2 MiB more")
        << "large" << "it is larger than 1 MiB, far more than settings take";
    QTest::newRow("no read permission") << "write-only" << "Permission denied";
    QTest::newRow("a folder") << "folder" << "it is a folder";
    QTest::newRow("a pipe") << "fifo" << "it is not a regular file";
}

// The third line may be the only copy of the Level A password: a file that cannot be read is
// never replaced by defaults, by either window, for the whole run.
void TestSettingsFile::unreadableFileIsLeftAlone()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    TempWorkDir dir;
    const QString file = dir.filePath("plimo.dat");
    const QByteArray name = QFile::encodeName(file);
    const QByteArray content = "Mine\r\n20\r\nsecretPw\r\n" + QByteArray(2 << 20, 'x');
    if (kind == "fifo") {
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
    } else if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkdir("plimo.dat"));
    } else {
        QVERIFY(WriteRaw(file, kind == "large" ? content : content.left(22)));
    }
    // The check runs as an ordinary user, whose own the settings file's folder must be.
    if (RunningAsRoot())
        QVERIFY(::chown(QFile::encodeName(dir.path()).constData(), NobodyUid(), gid_t(-1)) == 0);
    if (kind == "write-only") {
        // Owned by the user who runs the check, who may write it but not read it.
        QVERIFY(::chmod(name.constData(), 0200) == 0);
        if (RunningAsRoot())
            QVERIFY(::chown(name.constData(), NobodyUid(), gid_t(-1)) == 0);
    }

    const QString failure = InChildProcess([&]() -> QString {
        const QString refused =
            "Settings are not saved: the settings file plimo.dat could not be read at start-up "
            "and is left as it is.";
        TAppState state = DefaultState();
        state.AppTitle = "Kept";
        const QString loaded = ErrorOf([&] { LoadSettings(state); });
        if (loaded != "Cannot open file plimo.dat: " + reason +
                          ". The file is left as it is: settings changed in this run are not "
                          "saved, and Level A uses the factory password until the file can be "
                          "read.")
            return "LoadSettings said: " + loaded;
        if (!state.SettingsUnreadable || state.AppTitle != "Kept" || state.TypeSize != 15)
            return QStringLiteral("the state changed");
        state.TypeSize = 30;
        state.LevelAPwd = "changed1";
        if (const QString saved = ErrorOf([&] { SaveSettings(state); }); saved != refused)
            return "SaveSettings said: " + saved;
        TSecondaryState secondary;
        if (ErrorOf([&] { LoadSecondarySettings(secondary); }) == "<no error>")
            return QStringLiteral("the secondary window read the file");
        if (const QString saved = ErrorOf([&] { SaveSecondarySettings(secondary); });
            saved != refused)
            return "SaveSecondarySettings said: " + saved;
        return {};
    });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    QCOMPARE(FolderEntries(dir.path()), QStringList{"plimo.dat"});
    if (kind == "large" || kind == "write-only")
        QVERIFY(ReadRaw(file) == (kind == "large" ? content : content.left(22)));
    if (kind == "write-only")
        QCOMPARE(int(ModeOf(file)), 0200);
}

void TestSettingsFile::folderNotTheUsersOwn_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("byOther");
    QTest::addColumn<QString>("link");  // plimo.dat as a link to a private file, made by
    QTest::addColumn<QString>("problem");
    const QString shared =
        " can be written by other users, and Plimo keeps private files only in "
        "a folder of your own: ";
    QTest::newRow("shared, another user's link") << 01777 << false << "other"
                                                 << shared +
                                                        "use a "
                                                        "folder of "
                                                        "your own";
    QTest::newRow("shared, the user's own link") << 01777 << false << "own"
                                                 << shared +
                                                        "use a "
                                                        "folder of your "
                                                        "own";
    QTest::newRow("group may write, no file yet")
        << 0770 << false << "" << shared + "make it yours alone (chmod go-w $)";
    QTest::newRow("another user's") << 0755 << true << ""
                                    << " belongs to another user, and Plimo "
                                       "keeps private files only in a folder "
                                       "of your own: have it removed (its "
                                       "owner or root can), or name another "
                                       "folder";
}

// Where another user may write, plimo.dat could be planted as a link to one of the user's
// files, which the next click would overwrite, or as a file of theirs naming the Level A
// password: such a folder is refused, the file neither read nor written nor made.
void TestSettingsFile::folderNotTheUsersOwn()
{
    QFETCH(int, mode);
    QFETCH(bool, byOther);
    QFETCH(QString, link);
    QFETCH(QString, problem);
    if (!RunningAsRoot() && (byOther || link == "other"))
        QSKIP("only root can make a link or folder that belongs to another user");
    TempWorkDir victim;
    const QString privateFile = victim.filePath("private.txt");
    const QByteArray secret = "my private notes\r\n15\r\n";
    QVERIFY(WriteRaw(privateFile, secret));
    TempWorkDir shared;
    const QByteArray folder = QFile::encodeName(shared.path());
    QVERIFY(::chmod(folder.constData(), mode_t(mode)) == 0);
    if (byOther)
        QVERIFY(::chown(folder.constData(), NobodyUid(), gid_t(-1)) == 0);
    const QByteArray plimoDat = QFile::encodeName(shared.filePath("plimo.dat"));
    if (!link.isEmpty())
        QVERIFY(::symlink(QFile::encodeName(privateFile).constData(), plimoDat.constData()) == 0);
    if (link == "other")
        QVERIFY(::lchown(plimoDat.constData(), NobodyUid(), gid_t(-1)) == 0);
    const QString because =
        "the folder " + shared.path() + problem.replace("$", "'" + shared.path() + "'");

    TAppState state = DefaultState();
    QCOMPARE(ErrorOf([&] { LoadSettings(state); }),
             "Cannot open file plimo.dat: " + because +
                 ". The file is left as it is: settings changed in this run are not saved, and "
                 "Level A uses the factory password until the file can be read.");
    QVERIFY(state.SettingsUnreadable);
    QCOMPARE(state.LevelAPwd, "tzrhGowN");
    QVERIFY(ErrorOf([&] { SaveSettings(state); }).startsWith("Settings are not saved"));
    TAppState fresh = DefaultState();
    QCOMPARE(ErrorOf([&] { SaveSettings(fresh); }), "Cannot create file plimo.dat: " + because);
    QCOMPARE(ReadRaw(privateFile), secret);
    QCOMPARE(FolderEntries(shared.path()),
             link.isEmpty() ? QStringList() : QStringList{"plimo.dat"});
}

// Two running copies: the one that did not change the Level A password must not write its old
// one back over the new one, or the texts encrypted under the new one are lost at the next start.
void TestSettingsFile::secondCopyKeepsTheNewPassword()
{
    TempWorkDir dir;
    const QString file = dir.filePath("plimo.dat");
    TAppState first = DefaultState();
    LoadSettings(first);
    SaveSettings(first);
    TAppState second = DefaultState();
    LoadSettings(second);

    first.LevelAPwd = "firstPw1";
    SaveSettings(first);
    second.TypeSize = 30;  // the title and the size: the last write wins
    SaveSettings(second);
    QCOMPARE(ReadRaw(file), QByteArray("Plimo Text Editor 1.7\r\n30\r\nfirstPw1\r\n"));
    QCOMPARE(second.LevelAPwd, "firstPw1");  // and the second copy now encrypts with it

    second.LevelAPwd = "secondP2";  // a change of its own is written
    SaveSettings(second);
    first.AppTitle = "First";
    SaveSettings(first);
    QCOMPARE(ReadRaw(file), QByteArray("First\r\n15\r\nsecondP2\r\n"));
    QCOMPARE(first.LevelAPwd, "secondP2");

    // The secondary window's start-up rewrite keeps it too.
    TSecondaryState secondary;
    LoadSecondarySettings(secondary);
    first.LevelAPwd = "thirdPw3";
    SaveSettings(first);
    SaveSecondarySettings(secondary);
    QCOMPARE(ReadRaw(file), QByteArray("First\r\n15\r\nthirdPw3\r\n"));
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

void TestSettingsFile::userOptionsRoundTrip()
{
    TUserOptions options{{}, true, {"tab-width=4"}};
    // Newest first, once each, ten at most; every byte of a path comes back.
    const std::string odd("/tmp/caf\xE9 100%\x01\xFF\xC3\xA9\nx.txt");
    for (int i = 0; i < 12; ++i)
        AddRecentFile(options, "/docs/" + std::to_string(i) + ".txt");
    AddRecentFile(options, odd);
    AddRecentFile(options, "/docs/5.txt");
    QCOMPARE(options.recentFiles.size(), kRecentFilesKept);
    QCOMPARE(options.recentFiles[1], odd);
    QCOMPARE(std::count(options.recentFiles.begin(), options.recentFiles.end(), "/docs/5.txt"), 1);
    const std::string bytes = FormatUserOptions(options);
    // Readable text: UTF-8 stays, what is not text is escaped.
    QVERIFY(bytes.find("recent=/tmp/caf%E9 100%25%01%FF\xC3\xA9%0Ax.txt\n") != std::string::npos);
    const TUserOptions back = ParseUserOptions(bytes);
    QCOMPARE(back.recentFiles, options.recentFiles);
    QCOMPARE(back.otherLines, options.otherLines);
    QVERIFY(back.lineNumbers);
    // Off is the default and is not written; a later line wins.
    QVERIFY(FormatUserOptions({}).empty());
    QVERIFY(!ParseUserOptions("line-numbers=on\nline-numbers=off\n").lineNumbers);
    // Written by hand: CR LF, a stray "%", a repeat, an empty entry.
    const TUserOptions hand = ParseUserOptions("recent=/a%2\r\nrecent=/a%2\nrecent=\n\nx=1");
    QCOMPARE(hand.recentFiles, std::vector<std::string>{"/a%2"});
    QCOMPARE(hand.otherLines, std::vector<std::string>{"x=1"});
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
