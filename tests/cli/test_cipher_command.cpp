#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include "cipher/level_b_tables.h"
#include "cipher/openpgp_level.h"
#include "cli/cipher_command.h"
#include "cli/key_sources.h"
#include "core/command_error.h"
#include "core/show_note.h"
#include "core/win1252.h"
#include "document/atomic_file.h"
#include "document/document_file.h"
#include "document/file_calls.h"
#include "document/settings_file.h"
#include "gpg_home.h"
#include "temp_workdir.h"
#include "test_files.h"

namespace {

const QByteArray kSettings = "Plimo Text Editor 1.7\r\n15\r\nAbcd1234\r\n";
// Lone LF and CR and a tab: what Open normalises and the cipher passes through.
const QByteArray kLetter = "Dear Ann,\nthe cafe opens at eight.\r\tSee you there!\n";

// A text whose breaks are all CR LF already, over two of the pieces a file is transformed in, and
// a length that no key cycle divides: the command reads it where it lies, piece by piece.
QByteArray LongLetter()
{
    QByteArray text;
    for (int line = 0; text.size() < 9 * 1024 * 1024 + 13; ++line)
        text += "Line " + QByteArray::number(line) + " of a long letter,\tall of it kept.\r\n";
    return text;
}

struct Outcome {
    int status = -1;
    QStringList errors;
};

// One run in this process, standard error collected; `prepare` may set the rest of the io.
template <typename Prepare>
Outcome Run(const QStringList& args, Prepare&& prepare)
{
    Outcome outcome;
    TCipherIo io;
    io.error = [&](std::string_view line) { outcome.errors << QString::fromUtf8(line); };
    prepare(io);
    std::vector<std::string> words;
    for (const QString& arg : args)
        words.push_back(arg.toStdString());
    outcome.status = RunCipherCommand(words, io);
    return outcome;
}

Outcome Run(const QStringList& args)
{
    return Run(args, [](TCipherIo&) {});
}

// The file the editor saves: Open, the level's command at start-up state, Save. Its messages go
// to `notes`, as the command writes them after the file's name, when given.
QByteArray EditorSaves(const QString& input, bool encrypt, EncryptionLevel level,
                       const std::string& typed, QStringList* notes = nullptr)
{
    TAppState state;
    SetStateDefaults(state, LevelBKeyTableData());
    LoadSettings(state);
    const std::string text = LoadDocument(Path(input));
    NoteHandler previous = SetNoteHandler([&](std::string_view note) {
        if (notes)
            *notes << "plimo-cipher: " + input + ": " + QString::fromStdString(win1252::ToUtf8(note));
    });
    const TLevelResult result = encrypt ? EncryptWithLevel(state, level, text, typed)
                                        : DecryptWithLevel(state, level, text, typed);
    SetNoteHandler(std::move(previous));
    if (result.outcome != LevelOutcome::Done)
        return "<refused>";
    SaveDocument("editor.out", result.text);
    const QByteArray saved = ReadFile("editor.out");
    QFile::remove("editor.out");
    return saved;
}

// Where the command cuts a file: the pieces it writes, and the parts of a piece it checks and
// encrypts at once.
constexpr qsizetype kPiece = 4 * 1024 * 1024;
constexpr qsizetype kPart = 256 * 1024;

// The next index from `at` that holds no line break, so that a character put there leaves every
// break CR LF and the command reads the file where it lies.
qsizetype NoBreakFrom(const QByteArray& text, qsizetype at)
{
    while (at < text.size() && (text[at] == '\r' || text[at] == '\n'))
        ++at;
    return at;
}

// An OpenPGP passphrase with a character outside ASCII: taken as its UTF-8 bytes, as gpg takes it.
const QByteArray kPassphrase = "Kestrel over the D\xC3\xBCnen";
constexpr std::size_t kFastS2k = 1024;

// A run at the OpenPGP level, its S2K count the least (no tuning, no tenth of a second a key).
Outcome RunFast(const QStringList& args, int in = 0, int out = 1)
{
    return Run(args, [&](TCipherIo& io) {
        io.s2kIterations = kFastS2k;
        io.input = in;
        io.output = out;
    });
}

QByteArray MessageOf(const QByteArray& plain)
{
    std::string message;
    OpenPgpEncrypt(plain.toStdString(), kPassphrase.toStdString(), message, {true, kFastS2k});
    return QByteArray::fromStdString(message);
}

std::string Decrypted(const QByteArray& message, const QByteArray& passphrase = kPassphrase)
{
    std::string plain;
    return OpenPgpDecrypt(message.toStdString(), passphrase.toStdString(), plain) ==
                   OpenPgpOutcome::Done
               ? plain
               : "<not decrypted>";
}

// Writes fail once this many bytes went to the disk, as on a disk that fills up.
qsizetype g_writeBudget = 0;
ssize_t WriteUntilFull(int fd, const void* bytes, size_t count)
{
    if (static_cast<qsizetype>(count) > g_writeBudget) {
        errno = ENOSPC;
        return -1;
    }
    g_writeBudget -= static_cast<qsizetype>(count);
    return ::write(fd, bytes, count);
}

}  // namespace

class TestCipherCommand final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.emplace().isValid());
        // Password files as they should be: the user's alone (others' get a warning).
        m_umask = ::umask(077);
        WriteFile("plimo.dat", kSettings);
    }
    void cleanup()
    {
        ::umask(m_umask);
        m_dir.reset();
    }

    // Each level, both ways, on a file and through a pipe: what the editor saves.
    void matchesTheEditor_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QByteArray>("typed");  // in the editor's box; the file adds a break
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("longText");
        QTest::addColumn<bool>("lineFeeds");  // its breaks LF, made CR LF a piece at a time
        const auto row = [](const char* command, const char* level, const char* typed,
                            const char* input, const char* output, bool longText = false,
                            bool lineFeeds = false) {
            QTest::addRow("%s %s %s%s%s", command, level, input, longText ? ", 9 MiB" : "",
                          lineFeeds ? " of LF lines" : "")
                << QString(command) << QString(level) << QByteArray(typed) << QString(input)
                << QString(output) << longText << lineFeeds;
        };
        row("encrypt", "A", "", "letter.txt", "letter.txa");
        row("encrypt", "B", "042", "letter.txt", "letter.txb");
        row("encrypt", "C", "Kestrel7", "letter", "letter.txc");
        row("decrypt", "A", "", "note.txa", "note.txt");
        row("decrypt", "B", "0429", "note.txb", "note.txt");
        row("decrypt", "C", "a long key, 20 chars", "v1.2.txc", "v1.2.txt");
        row("encrypt", "A", "", "long.txt", "long.txa", true);
        row("encrypt", "B", "317", "long.txt", "long.txb", true);
        row("encrypt", "C", "Kestrel7", "long.txt", "long.txc", true);
        row("decrypt", "C", "Kestrel7", "long.txc", "long.txt", true);
        row("encrypt", "C", "Kestrel7", "long.txt", "long.txc", true, true);
        row("decrypt", "B", "317", "long.txb", "long.txt", true, true);
    }
    void matchesTheEditor()
    {
        QFETCH(QString, command);
        QFETCH(QString, level);
        QFETCH(QByteArray, typed);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(bool, longText);
        QFETCH(bool, lineFeeds);
        const auto index = static_cast<EncryptionLevel>(level[0].toLatin1() - 'A');
        WriteFile(input, longText ? (lineFeeds ? LongLetter().replace("\r\n", "\n") : LongLetter())
                                  : kLetter);
        const QByteArray expected =
            EditorSaves(input, command == "encrypt", index, typed.toStdString());
        QVERIFY(expected != "<refused>");
        QStringList args{command, "--level", level, input};
        if (!typed.isEmpty()) {
            WriteFile("pw", typed + (index == EncryptionLevel::B ? "\r\n" : "\n"));
            args << "--password-file=pw";
        }

        const Outcome onFile = Run(args);
        QCOMPARE(onFile.errors, QStringList());
        QCOMPARE(onFile.status, kCipherExitDone);
        QCOMPARE(ReadFile(output), expected);

        args.removeAll(input);
        const int in = ::open(QFile::encodeName(input).constData(), O_RDONLY | O_CLOEXEC);
        const int out = ::open("piped", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const Outcome piped = Run(args, [&](TCipherIo& io) {
            io.input = in;
            io.output = out;
        });
        ::close(in);
        ::close(out);
        QCOMPARE(piped.status, kCipherExitDone);
        QCOMPARE(ReadFile("piped"), expected);
    }

    // The editor's checks and messages, in its order, each after the file's name; usage errors.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("errors");
        const QString p = "plimo-cipher: ";
        const QString f = p + "letter.txt: ";
        const QString help = "Try 'plimo-cipher --help'.";
        const auto row = [](const char* name, const QString& args, const QByteArray& text,
                            int status, const QStringList& errors) {
            QTest::newRow(name) << args.split(' ') << text << status << errors;
        };
        row("text of 7", "encrypt --level C --password-file pw", "7 chars", 1,
            {f + "Entered text is too short to encrypt.",
             f + "Text is too short (C). It needs to 8 or more characters long."});
        row("would not come back", "encrypt --level A", "First line\nab\x01", 1,
            {f + "Text was not encrypted: the character with code 1 in line 2, column 3 would "
                 "not come back when decrypted. Nothing has been changed."});
        row("A ignores a password", "encrypt --level A --password-file pw", kLetter, 0,
            {f + "Your password will be ignored because you have chosen Level A."});
        row("B code 1000", "decrypt --level B --password-file pw1000", kLetter, 1,
            {f + "1000Your password digits need to be from 000 to 999."});
        row("B code abc", "decrypt --level b --password-file pwabc", kLetter, 1,
            {f + "'abc' is not a valid integer value."});
        row("no settings file", "encrypt --level A --settings none.dat", kLetter, 1,
            {p + "Cannot open file none.dat", p + "Level A takes its password from the editor's "
                                                  "settings file; name it with --settings FILE."});
        row("two-line password file", "encrypt --level C --password-file pw2", kLetter, 1,
            {p + "pw2 holds more than one line: a password or code is one line"});
        row("no key source", "decrypt --level C", kLetter, 2,
            {p + "Level C needs --password-file FILE: standard input is no terminal to ask on",
             help});
        row("level D", "encrypt --level D", kLetter, 2,
            {p + "unknown level 'D': use A, B, C or P", help});
        row("password on the command line", "encrypt --level C --password x", kLetter, 2,
            {p + "unknown option '--password'", help});
        row("password file a pipe nobody writes to", "encrypt --level C --password-file pwfifo",
            kLetter, 1, {p + "Cannot open file pwfifo: a password file must be a regular file"});
        row("password file others may read", "encrypt --level C --password-file pwshared", kLetter,
            0,
            {p + "warning: other users may read the password file pwshared (chmod go-r makes it "
                 "yours alone)"});
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, text);
        QFETCH(int, status);
        QFETCH(QStringList, errors);
        WriteFile("letter.txt", text);
        WriteFile("pw", "Kestrel7");
        WriteFile("pw1000", "1000\n");
        WriteFile("pwabc", "abc\n");
        WriteFile("pw2", "Kestrel7\n\n");
        WriteFile("pwshared", "Kestrel7\n");
        QVERIFY(::chmod("pwshared", 0644) == 0);
        QVERIFY(::mkfifo("pwfifo", 0600) == 0);
        const Outcome outcome = Run(args << "letter.txt");
        QCOMPARE(outcome.errors, errors);
        QCOMPARE(outcome.status, status);
        const QStringList made = QDir().entryList({"letter.tx?"}, QDir::Files | QDir::Hidden);
        QCOMPARE(made.size(), status == 0 ? 2 : 1);
    }

    // A long file is checked and encrypted a part at a time: a character that would not come
    // back is refused with the editor's line and column wherever it lies against the parts and
    // pieces, and one that does come back under its key character is encrypted as the editor
    // does. Both characters come back under some characters of the key and not others, so each
    // of seven places in a row meets another key character.
    void refusalWhereverThePartsBreak_data()
    {
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<char>("character");
        QTest::addColumn<bool>("lineFeeds");
        const qsizetype end = LongLetter().size();
        for (const char character : {'\x0B', '\xF5'}) {
            const auto row = [character](const char* name, qsizetype from, bool lineFeeds = false) {
                QTest::addRow("%s, code %d%s", name, int(static_cast<unsigned char>(character)),
                              lineFeeds ? ", LF lines" : "")
                    << from << character << lineFeeds;
            };
            row("first characters", 0);
            row("across the first parts' edge", kPart - 3);
            row("across the first pieces' edge", kPiece - 3);
            row("across a part's edge in the last piece", 2 * kPiece + 3 * kPart - 3);
            row("last characters", end - 9);
            if (character == '\x0B')
                row("across the first parts' edge", kPart / 2 - 3, true);
        }
    }
    void refusalWhereverThePartsBreak()
    {
        QFETCH(qsizetype, from);
        QFETCH(char, character);
        QFETCH(bool, lineFeeds);
        WriteFile("pw", "Kestrel7\n");
        const QByteArray text = lineFeeds ? LongLetter().replace("\r\n", "\n") : LongLetter();
        int refused = 0;
        for (qsizetype at = from; at < from + 7; ++at) {
            QByteArray bytes = text;
            const qsizetype place = NoBreakFrom(bytes, at);
            QVERIFY(place < bytes.size());
            bytes[place] = character;
            WriteFile("letter.txt", bytes);
            QStringList notes;
            const QByteArray expected =
                EditorSaves("letter.txt", true, EncryptionLevel::C, "Kestrel7", &notes);
            const Outcome outcome =
                Run({"encrypt", "--level", "C", "--password-file", "pw", "letter.txt"});
            const QByteArray where = "at " + QByteArray::number(place);
            QVERIFY2(outcome.errors == notes, where + ": " + outcome.errors.join('|').toUtf8());
            QVERIFY2(outcome.status == (expected == "<refused>" ? 1 : 0), where);
            QVERIFY2(ReadFile("letter.txc") == (expected == "<refused>" ? "<missing>" : expected),
                     where);
            refused += expected == "<refused>";
            QFile::remove("letter.txc");
        }
        QVERIFY(refused > 0);
    }

    // A refused long text touches no output: one that exists stays (the refusal is told, not that
    // it exists), and a write that fails is told as the refusal when the text would be refused.
    void refusedLongTextTouchesNoOutput()
    {
        WriteFile("pw", "Kestrel7\n");
        QByteArray text = LongLetter();
        const QByteArray plain = text;
        text[NoBreakFrom(text, 2 * kPiece + 100)] = '\x01';
        WriteFile("letter.txt", text);
        QStringList refusal;
        QCOMPARE(EditorSaves("letter.txt", true, EncryptionLevel::C, "Kestrel7", &refusal),
                 QByteArray("<refused>"));
        QCOMPARE(refusal.size(), 1);
        const QStringList args{"encrypt", "--level", "C", "--password-file", "pw", "letter.txt"};

        WriteFile("letter.txc", "older");
        for (const bool force : {false, true}) {
            const Outcome outcome = Run(force ? QStringList(args) << "--force" : args);
            QCOMPARE(outcome.errors, refusal);
            QCOMPARE(outcome.status, kCipherExitRefused);
            QCOMPARE(ReadFile("letter.txc"), QByteArray("older"));
        }
        QFile::remove("letter.txc");

        // The disk fills up while the first piece is written, before the check met the
        // character; then the same without it, where the failed write is what is told.
        const TWriteFunction previous = SetAtomicWriteFunction(WriteUntilFull);
        g_writeBudget = kPiece / 2;
        const Outcome full = Run(args);
        g_writeBudget = kPiece / 2;
        WriteFile("letter.txt", plain);
        const Outcome fullPlain = Run(args);
        SetAtomicWriteFunction(previous);
        QCOMPARE(full.errors, refusal);
        QCOMPARE(full.status, kCipherExitRefused);
        QCOMPARE(fullPlain.errors,
                 QStringList{"plimo-cipher: letter.txt: Cannot create file letter.txc"});
        QCOMPARE(fullPlain.status, kCipherExitRefused);
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden),
                 QStringList({"letter.txt", "plimo.dat", "pw"}));

        // A text that is not refused is still kept from an existing output.
        WriteFile("letter.txc", "older");
        const Outcome kept = Run(args);
        QCOMPARE(kept.errors, QStringList{"plimo-cipher: letter.txt: letter.txc exists and was "
                                          "not replaced (--force replaces it)"});
        QCOMPARE(ReadFile("letter.txc"), QByteArray("older"));
    }

    // Pieces cut anywhere give, checked and encrypted one by one, what the whole text gives:
    // the first character that would not come back, or else the whole cipher text. Keys of any
    // bytes too, under some of which a printable character does not come back either.
    void piecesAddUpToTheWholeText()
    {
        const quint32 seed = 1209;
        QRandomGenerator random(seed);
        static const char kUsual[] = "Dear Ann,\t see you\r\n";
        int refused = 0;
        int encrypted = 0;
        for (int round = 0; round < 400; ++round) {
            std::string text(static_cast<std::size_t>(random.bounded(1, 700)), '\0');
            const int unusual = random.bounded(3);  // none, now and then, often
            for (char& c : text) {
                const int pick = random.bounded(1000);
                c = pick < (unusual == 0 ? 0 : unusual == 1 ? 2 : 100)
                        ? static_cast<char>(random.bounded(256))
                        : kUsual[random.bounded(int(sizeof kUsual) - 1)];
            }
            std::string key(static_cast<std::size_t>(random.bounded(2, 13)), '\0');
            const bool anyBytes = random.bounded(2) == 0;
            for (char& c : key)
                c = static_cast<char>(anyBytes ? random.bounded(256) : random.bounded(32, 127));

            const auto lost = FirstUnrestorable(text, key);
            std::string out(text.size(), '\0');
            std::optional<std::size_t> found;
            for (std::size_t done = 0; done < text.size() && !found;) {
                const std::size_t size = std::min<std::size_t>(
                    text.size() - done, static_cast<std::size_t>(random.bounded(1, 200)));
                const std::string_view piece = std::string_view(text).substr(done, size);
                const auto alone = FirstUnrestorable(piece, key, done);
                const auto checked = EncryptPieceChecked(piece, key, done, out.data() + done);
                const QByteArray context = "seed " + QByteArray::number(seed) + " round " +
                                           QByteArray::number(round) + " piece at " +
                                           QByteArray::number(qulonglong(done));
                QVERIFY2(alone == checked, context.constData());
                if (checked)
                    found = done + *checked;
                done += size;
            }
            const QByteArray context =
                "seed " + QByteArray::number(seed) + " round " + QByteArray::number(round);
            QVERIFY2(found == lost, context.constData());
            if (!lost)
                QVERIFY2(out == detail::EncryptReference(text, key), context.constData());
            refused += lost.has_value();
            encrypted += !lost;
        }
        QVERIFY(refused > 20 && encrypted > 20);
    }

    // An existing output stays unless --force; one file refused, the others still done.
    void neverOverwrites()
    {
        WriteFile("a.txt", kLetter);
        WriteFile("b.txt", kLetter);
        WriteFile("a.txa", "older");
        const QStringList args{"encrypt", "--level", "A", "a.txt", "missing.txt", "b.txt"};
        const Outcome kept = Run(args);
        QCOMPARE(kept.status, kCipherExitRefused);
        QCOMPARE(kept.errors,
                 QStringList({"plimo-cipher: a.txt: a.txa exists and was not replaced (--force "
                              "replaces it)",
                              "plimo-cipher: missing.txt: Cannot open file missing.txt"}));
        QCOMPARE(ReadFile("a.txa"), QByteArray("older"));
        const QByteArray encrypted = ReadFile("b.txa");
        QVERIFY(encrypted.size() > 40);

        const Outcome forced = Run(QStringList(args) << "--force");
        QCOMPARE(forced.status, kCipherExitRefused);  // missing.txt still is
        QCOMPARE(ReadFile("a.txa"), encrypted);
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden),
                 QStringList({"a.txa", "a.txt", "b.txa", "b.txt", "plimo.dat"}));
    }

    // --force onto the input itself: through a symbolic link it would replace the only plain
    // copy, unasked for, and is refused; a second name (hard link) the user gave it is written in
    // place, its own writes no reason to think another program changed it.
    void outputOntoItsInput_data()
    {
        QTest::addColumn<bool>("symbolic");
        QTest::newRow("a symbolic link to the input") << true;
        QTest::newRow("a second name of the input, 9 MiB") << false;
    }
    void outputOntoItsInput()
    {
        QFETCH(bool, symbolic);
        WriteFile("pw", "Kestrel7\n");
        const QByteArray plain = symbolic ? kLetter : LongLetter();
        WriteFile("a.txt", plain);
        const QByteArray expected = EditorSaves("a.txt", true, EncryptionLevel::C, "Kestrel7");
        QVERIFY(symbolic ? QFile::link("a.txt", "a.txc") : ::link("a.txt", "a.txc") == 0);
        const Outcome outcome =
            Run({"encrypt", "--level", "C", "--password-file", "pw", "--force", "a.txt"});
        if (symbolic) {
            QCOMPARE(outcome.errors, QStringList{"plimo-cipher: a.txt: Cannot create file a.txc: "
                                                 "it is a link to the file being read, which it "
                                                 "would replace"});
            QCOMPARE(outcome.status, kCipherExitRefused);
            QCOMPARE(ReadFile("a.txt"), plain);
            return;
        }
        QCOMPARE(outcome.errors, QStringList());
        QCOMPARE(outcome.status, kCipherExitDone);
        QVERIFY(ReadFile("a.txc") == expected);
        QVERIFY(ReadFile("a.txt") == expected);
    }

    // A file another program cuts short while it is encrypted reads as zeros past its new end:
    // that is told as the change it is, not as a character that would not come back.
    void inputChangedWhileRead()
    {
        WriteFile("pw", "Kestrel7\n");
        WriteFile("letter.txt", LongLetter().replace("\r\n", "\n"));
        const TWriteFunction previous =
            SetAtomicWriteFunction([](int fd, const void* bytes, size_t count) -> ssize_t {
                ::truncate("letter.txt", 100);  // while the first piece is written
                return ::write(fd, bytes, count);
            });
        const Outcome outcome =
            Run({"encrypt", "--level", "C", "--password-file", "pw", "letter.txt"});
        SetAtomicWriteFunction(previous);
        QCOMPARE(outcome.errors,
                 QStringList{"plimo-cipher: letter.txt: Cannot open file letter.txt: another "
                             "program changed it while it was read; nothing was written"});
        QCOMPARE(outcome.status, kCipherExitRefused);
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden),
                 QStringList({"letter.txt", "plimo.dat", "pw"}));
    }

    // Level P keeps every byte: a file encrypted beside itself as .asc that gpg decrypts, gpg's
    // binary .gpg decrypted, a second name of the output rewritten in place, and a pipe.
    void openPgpFilesAndPipes()
    {
        WriteFile("letter.txt", kLetter);
        WriteFile("pp", kPassphrase + "\n");
        const Outcome encrypted =
            RunFast({"encrypt", "--level", "p", "--password-file", "pp", "letter.txt"});
        QCOMPARE(encrypted.errors, QStringList());
        QCOMPARE(encrypted.status, kCipherExitDone);
        const QByteArray message = ReadFile("letter.asc");
        QVERIFY(message.startsWith("-----BEGIN PGP MESSAGE-----\r\n"));
        GpgHome gpg(kPassphrase);
        QCOMPARE(gpg.run({"--decrypt"}, message), kLetter);

        // letter.txt is there: only --force replaces it, here through its second name too.
        const Outcome kept =
            RunFast({"decrypt", "--level", "P", "--password-file=pp", "letter.asc"});
        QCOMPARE(kept.status, kCipherExitRefused);
        QCOMPARE(kept.errors, QStringList{"plimo-cipher: letter.asc: letter.txt exists and was not "
                                          "replaced (--force replaces it)"});
        QFile::remove("letter.txt");
        WriteFile("twin.txt", "old");
        QVERIFY(::link("twin.txt", "letter.txt") == 0);
        QCOMPARE(RunFast({"decrypt", "--level", "P", "--password-file=pp", "--force", "letter.asc"})
                     .status,
                 kCipherExitDone);
        QCOMPARE(ReadFile("twin.txt"), kLetter);

        WriteFile("gpg.txt.gpg", gpg.run({"--symmetric", "--s2k-count", "2048"}, kLetter));
        QCOMPARE(RunFast({"decrypt", "--level", "P", "--password-file=pp", "gpg.txt.gpg"}).status,
                 kCipherExitDone);
        QCOMPARE(ReadFile("gpg.txt"), kLetter);

        const int in = ::open("letter.txt", O_RDONLY | O_CLOEXEC);
        const int out = ::open("piped", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        QCOMPARE(RunFast({"encrypt", "--level", "P", "--password-file=pp"}, in, out).status, 0);
        ::close(in);
        ::close(out);
        QCOMPARE(Decrypted(ReadFile("piped")), kLetter.toStdString());
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden),
                 QStringList({"gpg.txt", "gpg.txt.gpg", "letter.asc", "letter.txt", "piped",
                              "plimo.dat", "pp", "twin.txt"}));
    }

    // Each refusal in the layer's words, after the file's name; no output, no temporary left.
    void openPgpRefusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<QString>("output");  // the file a success writes
        using namespace openpgp_messages;
        const QString p = "plimo-cipher: ";
        const auto row = [](const char* name, const char* args, int status,
                            const QStringList& errors, const char* output = "") {
            QTest::newRow(name) << QString(args).split(' ') << status << errors << QString(output);
        };
        const auto m = [](std::string_view text) { return QString::fromLatin1(text); };
        row("wrong passphrase", "decrypt --level P --password-file wrong note.asc", 1,
            {p + "note.asc: " + m(kWrongPassphrase)});
        row("cut short", "decrypt --level P --password-file pp cut.asc", 1,
            {p + "cut.asc: " + m(kDamaged)});
        row("no message", "decrypt --level P --password-file pp text.asc", 1,
            {p + "text.asc: " + m(kNotOpenPgp)});
        row("empty passphrase", "encrypt --level P --password-file empty plain.txt", 1,
            {p + m(kEmptyPassphrase)});
        row("no key source", "decrypt --level P note.asc", 2,
            {p + "Level P needs --password-file FILE: standard input is no terminal to ask on",
             "Try 'plimo-cipher --help'."});
        row("short passphrase: a warning", "encrypt --level P --password-file short plain.txt", 0,
            {p + "warning: This passphrase has 8 characters: 12 or more are advised, as a "
                 "shorter one is easier to guess."},
            "plain.asc");
    }
    void openPgpRefusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, errors);
        QFETCH(QString, output);
        WriteFile("pp", kPassphrase);
        WriteFile("wrong", "Kestrel over the Dunen");
        WriteFile("empty", "\n");
        WriteFile("short", "Kestrel8");
        WriteFile("note.asc", MessageOf(kLetter));
        // Long enough that plain text is written before the end of the message proves missing.
        WriteFile("cut.asc", MessageOf(QByteArray(300000, 'x')).chopped(2000));
        WriteFile("plain.txt", kLetter);
        WriteFile("text.asc", kLetter);
        const QStringList before = QDir().entryList(QDir::Files | QDir::Hidden);
        const Outcome outcome = RunFast(args);
        QCOMPARE(outcome.errors, errors);
        QCOMPARE(outcome.status, status);
        QStringList after = QDir().entryList(QDir::Files | QDir::Hidden);
        if (!output.isEmpty())
            QVERIFY(after.removeOne(output));
        QCOMPARE(after, before);
    }

    // One line break at the end of a password file is not part of the password.
    void passwordFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("password");
        const auto row = [](const char* name, const char* bytes, const char* password) {
            QTest::newRow(name) << QByteArray(bytes) << QByteArray(password);
        };
        row("no break", "Kestrel7", "Kestrel7");
        row("LF", "Kestrel7\n", "Kestrel7");
        row("CR LF", "Kestrel7\r\n", "Kestrel7");
        row("CR", "Kestrel7\r", "Kestrel7");
        row("blanks kept", " Kestrel7 \n", " Kestrel7 ");
        row("empty", "\n", "");
        row("UTF-8", "K\xC3\xA9strel\xE2\x82\xAC\n", "K\xE9strel\x80");
        row("beyond U+FFFF", "Kestrel\xF0\x9F\x98\x80", "Kestrel??");
        row("Windows-1252", "K\xE9strel\x80", "K\xE9strel\x80");
    }
    void passwordFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, password);
        QCOMPARE(QByteArray::fromStdString(PasswordFromFileBytes(bytes.toStdString(), "pw")),
                 password);
    }

    // At the terminal: asked twice to encrypt, so that a typing error cannot lock a file away.
    void asksOnTheTerminal()
    {
        WriteFile("letter.txt", kLetter);
        QStringList asked;
        QStringList answers{"Kestrel7", "Kestrel8"};
        const auto terminal = [&](TCipherIo& io) {
            io.ask = [&](std::string_view prompt) -> std::optional<std::string> {
                asked << QString::fromUtf8(prompt);
                return answers.takeFirst().toStdString();
            };
        };
        const Outcome differ = Run({"encrypt", "--level", "C", "letter.txt"}, terminal);
        QCOMPARE(asked, QStringList({"Level C password: ", "Level C password again: "}));
        QCOMPARE(differ.status, kCipherExitRefused);
        QCOMPARE(differ.errors,
                 QStringList{"plimo-cipher: the two entries differ: nothing was encrypted"});
        QVERIFY(!QFile::exists("letter.txc"));

        asked.clear();
        answers = QStringList{"042"};
        QCOMPARE(Run({"decrypt", "--level", "B", "letter.txt", "--force"}, terminal).status, 0);
        QCOMPARE(asked, QStringList{"Level B code: "});

        // An OpenPGP passphrase is taken as typed: UTF-8, not made Windows-1252.
        asked.clear();
        answers = QStringList{QString::fromUtf8(kPassphrase), QString::fromUtf8(kPassphrase)};
        const Outcome openPgp = Run({"encrypt", "--level", "P", "letter.txt"}, [&](TCipherIo& io) {
            terminal(io);
            io.s2kIterations = kFastS2k;
        });
        QCOMPARE(openPgp.status, 0);
        QCOMPARE(asked, QStringList({"Level P passphrase: ", "Level P passphrase again: "}));
        QCOMPARE(Decrypted(ReadFile("letter.asc")), ReadFile("letter.txt").toStdString());
    }

    void defaultSettingsFile()
    {
        const QByteArray home = qgetenv("HOME"), dataHome = qgetenv("XDG_DATA_HOME");
        QCOMPARE(DefaultSettingsPath("plimo.dat"), "plimo.dat");
        QFile::remove("plimo.dat");
        qputenv("HOME", "/home/ann");
        qputenv("XDG_DATA_HOME", "/data");
        QCOMPARE(DefaultSettingsPath("plimo.dat"), "/data/plimo/plimo.dat");
        qputenv("XDG_DATA_HOME", "relative/data");  // invalid, as the launcher knows
        QCOMPARE(DefaultSettingsPath("plimo.dat"), "/home/ann/.local/share/plimo/plimo.dat");
        qputenv("HOME", home);
        qputenv("XDG_DATA_HOME", dataHome);
    }

    // The built program: bytes in, bytes out through a pipe, and its exit codes.
    void theProgram()
    {
        const auto run = [](const QStringList& args, const QByteArray& input = {}) {
            QProcess program;
            program.start(PLIMO_CIPHER_BINARY, args);
            program.write(input);
            program.closeWriteChannel();
            program.waitForFinished();
            return std::make_pair(program.exitCode(), program.readAllStandardOutput());
        };
        WriteFile("pw", "Kestrel7\n");
        WriteFile("letter.txt", kLetter);
        const auto [status, output] =
            run({"encrypt", "--level", "C", "--password-file", "pw"}, kLetter);
        QCOMPARE(status, 0);
        QCOMPARE(output, EditorSaves("letter.txt", true, EncryptionLevel::C, "Kestrel7"));
        QCOMPARE(run({"--help"}).first, 0);
        QVERIFY(run({"--help"}).second.startsWith("Usage: plimo-cipher encrypt|decrypt"));
        QCOMPARE(run({"encrypt"}).first, 2);

        // In the user's language: a refusal through ShowNote (Windows-1252 inside, UTF-8 out).
        QProcess spanish;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LANGUAGE", "es");
        spanish.setProcessEnvironment(environment);
        spanish.start(PLIMO_CIPHER_BINARY, {"encrypt", "--level", "C", "--password-file", "pw"});
        spanish.write("corto");
        spanish.closeWriteChannel();
        QVERIFY(spanish.waitForFinished());
        QVERIFY(spanish.readAllStandardError().contains(
            "plimo-cipher: El texto introducido es demasiado corto para cifrarlo.\n"));

        // RNP's own account of a failure stays off standard error: the command's line alone.
        WriteFile("wrong", "not the passphrase\n");
        QProcess wrong;
        wrong.start(PLIMO_CIPHER_BINARY, {"decrypt", "--level", "P", "--password-file", "wrong"});
        wrong.write(MessageOf("text"));
        wrong.closeWriteChannel();
        QVERIFY(wrong.waitForFinished());
        QCOMPARE(wrong.exitCode(), kCipherExitRefused);
        QCOMPARE(wrong.readAllStandardError(),
                 "plimo-cipher: " +
                     QByteArray::fromStdString(std::string(openpgp_messages::kWrongPassphrase)) +
                     "\n");
        QVERIFY(wrong.readAllStandardOutput().isEmpty());

#if !defined(PLIMO_SANITIZED)
        // Memory running out, on an input without end: the editor's message, and no output.
        QProcess endless;
        endless.setStandardInputFile("/dev/zero");
        endless.setChildProcessModifier([] {
            const rlimit cap{256 << 20, 256 << 20};
            ::setrlimit(RLIMIT_AS, &cap);
        });
        endless.start(PLIMO_CIPHER_BINARY, {"encrypt", "--level", "C", "--password-file", "pw"});
        QVERIFY(endless.waitForFinished(60000));
        QCOMPARE(endless.exitCode(), kCipherExitRefused);
        QCOMPARE(endless.readAllStandardError(),
                 QByteArray("plimo-cipher: Out of memory: the command was not completed.\n"));
        QVERIFY(endless.readAllStandardOutput().isEmpty());
#endif
    }

private:
    std::optional<TempWorkDir> m_dir;
    mode_t m_umask = 022;
};

QTEST_GUILESS_MAIN(TestCipherCommand)
#include "test_cipher_command.moc"
