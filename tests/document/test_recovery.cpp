// The recovery journal: what it writes rebuilds the text exactly, whole or not at all, through a
// kill at any step of a write, a journal cut short or damaged, a full disk, and two editors at
// once. (A document changed after the crash: test_file_commands' recoveryAtStart.)
#include <cerrno>
#include <memory>
#include <set>

#include <QTest>

#include "core/edit_history.h"
#include "document/file_calls.h"
#include "document/recovery_journal.h"
#include "document/recovery_restore.h"
#include "file_test_helpers.h"
#include "temp_workdir.h"

namespace {

using namespace std::chrono_literals;

std::string Load(const std::string& path)
{
    return LoadDocument(path);
}

// An editing area without the view: its text, its history, and the journal watching them.
struct Editor {
    explicit Editor(const std::string& folder, const QString& file = {},
                    const QByteArray& content = {})
        : journal(folder, [this](const std::string& why) { offs.push_back(why); }, 0ms)
    {
        history.setObserver(&journal);
        document = {kName, "txt", !file.isEmpty(), {}};
        if (!file.isEmpty()) {
            WriteRaw(file, content);
            document.name = file.toStdString();
            document.stamp = StampOf(document.name);
            text.setText(Load(document.name));
        }
        journal.startClean(document, text, !file.isEmpty());
    }
    void type(std::string_view typed) { history.type(text, {text.size(), 0}, typed); }
    // One op of a row: "+x" types x at the end, "-n" erases the first n bytes, "=x" replaces
    // the whole text, "u" undoes, "r" redoes.
    void run(const QString& op)
    {
        const std::string arg = op.mid(1).toStdString();
        switch (op[0].toLatin1()) {
            case '+': type(arg); break;
            case '-': history.edit(text, {}, 0, std::stoul(arg), {}); break;
            case '=': history.replaceWhole(text, {}, std::string(arg), {}); break;
            case 'u': history.undo(text); break;
            case 'r': history.redo(text); break;
        }
    }
    std::string now() { return std::string(text.text()); }

    static constexpr const char* kName = "untitled";
    ByteText text;
    EditHistory history;
    std::vector<std::string> offs;
    TRecoveryDocument document;
    RecoveryJournal journal;
};

// The text the journal at `path` rebuilds, or "<error: why>".
std::string Rebuilt(const QString& path)
{
    const QByteArray bytes = ReadRaw(path);
    try {
        return RebuildText(ReadJournal(std::string_view(bytes.constData(), bytes.size())), Load,
                           kMemoCapacity);
    } catch (const CommandError& e) {
        return std::string("<error: ") + e.what() + ">";
    }
}

QString RecoveryIn(const TempWorkDir& dir)
{
    return dir.stateHome() + "/plimo/recovery";
}

}  // namespace

class TestRecovery final : public QObject {
    Q_OBJECT

private slots:
    void rebuildsTheText_data();
    void rebuildsTheText();
    void killedAtEveryStep();
    void cutShortOrDamaged();
    void failureTurnsItOff_data();
    void failureTurnsItOff();
    void twoEditorsKeepTheirOwn();
};

void TestRecovery::rebuildsTheText_data()
{
    QTest::addColumn<QByteArray>("file");  // empty: a new document
    QTest::addColumn<QStringList>("ops");
    QTest::newRow("typed into a new document") << QByteArray() << QStringList{"+Hello", "+ world", "-2"};
    QTest::newRow("edits of an opened file, undone and redone")
        << QByteArray("one\r\ntwo\r\n") << QStringList{"+three", "-4", "u", "u", "r"};
    QTest::newRow("a whole-text change, edits after it, undone")
        << QByteArray("plain") << QStringList{"=CIPHER", "+x", "u", "u", "+y"};
    QTest::newRow("emptied, then typed again")
        << QByteArray("abc") << QStringList{"-3", "+new"};
    QTest::newRow("a file with lone line breaks") << QByteArray("a\nb\rc") << QStringList{"+d"};
}

void TestRecovery::rebuildsTheText()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, ops);
    TempWorkDir dir;
    Editor editor(RecoveryIn(dir).toStdString(), file.isEmpty() ? QString() : dir.filePath("a.txt"),
                  file);
    for (const QString& op : ops) {
        editor.run(op);
        QVERIFY(editor.journal.waitWritten(5s));
        const QString path = QString::fromStdString(editor.journal.path());
        if (editor.text.empty()) {
            QVERIFY2(!QFile::exists(path), "an emptied text keeps no journal");
            continue;
        }
        QCOMPARE(ModeOf(path), mode_t(0600));
        QCOMPARE(Rebuilt(path), editor.now());
    }
    // Saved: nothing is left.
    editor.journal.startClean(editor.document, editor.text, false);
    QVERIFY(editor.journal.waitWritten(5s));
    QCOMPARE(FolderEntries(RecoveryIn(dir)), QStringList());
    QVERIFY(editor.offs.empty());
}

// The journal's writer killed before each call that changes a file, one after another: what
// the next start finds rebuilds one of the texts the editor had, whole, or is nothing at all
// before the first write; never a mixture, and no leftover.
void TestRecovery::killedAtEveryStep()
{
    TempWorkDir dir;
    const std::string folder = RecoveryIn(dir).toStdString();
    const QString file = dir.filePath("letter.txt");
    const std::vector<std::string> states = {"base!", "base!!", "WHOLE", "WHOLE?"};
    std::set<std::string> seen;
    for (int step = 1;; ++step) {
        const bool killed = KilledAtStep(step, [&] {
            Editor editor(folder, file, "base");
            for (const char* op : {"+!", "+!", "=WHOLE", "+?"}) {
                editor.run(QString::fromLatin1(op));
                editor.journal.waitWritten(5s);
            }
        });
        std::vector<TOrphanJournal> found = FindOrphanJournals(folder);
        const QByteArray where = "killed at step " + QByteArray::number(step);
        QVERIFY2(found.size() <= 1, where);
        if (!found.empty()) {
            const std::string text = Rebuilt(QString::fromStdString(found[0].path));
            QVERIFY2(std::find(states.begin(), states.end(), text) != states.end(),
                     where + ": " + QByteArray::fromStdString(text));
            seen.insert(text);
            RemoveJournal(found[0]);
        }
        QVERIFY2(FolderEntries(RecoveryIn(dir)).isEmpty(), where);
        if (!killed) {
            QVERIFY2(found.empty(), "an editor that ended removed its journal");
            break;
        }
    }
    QCOMPARE(seen.size(), states.size());
}

// Cut at every length, or with one byte changed: the text of one of the commits, or a refusal.
void TestRecovery::cutShortOrDamaged()
{
    TempWorkDir dir;
    Editor editor(RecoveryIn(dir).toStdString(), dir.filePath("a.txt"), "start");
    std::vector<std::string> states;
    for (const char* op : {"+1", "+22", "-2", "=new text", "+333"}) {
        editor.run(QString::fromLatin1(op));
        QVERIFY(editor.journal.waitWritten(5s));
        states.push_back(editor.now());
    }
    const QByteArray whole = ReadRaw(QString::fromStdString(editor.journal.path()));
    const QString copy = dir.filePath("copy.journal");
    int refused = 0;
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        for (const bool flip : {false, true}) {
            QByteArray bytes = whole.left(cut);
            if (flip && cut > 0)
                bytes[cut / 2] = char(bytes[cut / 2] ^ 0x20);
            QVERIFY(WriteRaw(copy, bytes));
            const std::string text = Rebuilt(copy);
            if (text.rfind("<error: ", 0) == 0) {
                ++refused;
                continue;
            }
            // A change inside, with whole records after it, is damage, not a torn end.
            QVERIFY2(!(flip && cut == whole.size()), text.c_str());
            QVERIFY2(std::find(states.begin(), states.end(), text) != states.end(),
                     QByteArray::number(cut) + (flip ? " flipped: " : ": ") + text.c_str());
            if (cut == whole.size() && !flip)
                QCOMPARE(text, states.back());
        }
    }
    QVERIFY(refused > 0);
}

void TestRecovery::failureTurnsItOff_data()
{
    QTest::addColumn<int>("writeError");
    QTest::addColumn<int>("fsyncError");
    QTest::addColumn<QString>("why");
    QTest::newRow("full disk") << ENOSPC << 0 << "No space left on device";
    QTest::newRow("sync fails") << 0 << EIO << "Input/output error";
    // A folder others may write to: test_file_commands' keepRecoveryCopies, through the window.
}

namespace {
int g_writeError = 0;
int g_fsyncError = 0;
}  // namespace

void TestRecovery::failureTurnsItOff()
{
    QFETCH(int, writeError);
    QFETCH(int, fsyncError);
    QFETCH(QString, why);
    TempWorkDir dir;
    g_writeError = writeError;
    g_fsyncError = fsyncError;
    const TWriteFunction write = SetAtomicWriteFunction([](int fd, const void* b, size_t n) -> ssize_t {
        if (g_writeError == 0)
            return ::write(fd, b, n);
        errno = g_writeError;
        return -1;
    });
    const TFsyncFunction fsync = SetAtomicFsyncFunction([](int fd) {
        if (g_fsyncError == 0)
            return ::fsync(fd);
        errno = g_fsyncError;
        return -1;
    });
    {
        Editor editor(RecoveryIn(dir).toStdString());
        editor.type("secret");
        QVERIFY(editor.journal.waitWritten(5s));
        editor.type(" more");  // editing goes on; nothing more is written
        QVERIFY(editor.journal.waitWritten(5s));
        QCOMPARE(editor.now(), std::string("secret more"));
        QVERIFY(!editor.journal.isOn());
        QCOMPARE(editor.offs.size(), std::size_t(1));
        QVERIFY2(QString::fromStdString(editor.offs[0]).startsWith("Cannot create file " +
                                                                  RecoveryIn(dir)),
                 editor.offs[0].c_str());
        QVERIFY2(QString::fromStdString(editor.offs[0]).contains(why), editor.offs[0].c_str());
        const QStringList left = QDir(RecoveryIn(dir)).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
    }
    SetAtomicWriteFunction(write);
    SetAtomicFsyncFunction(fsync);
}

// Each running editor keeps its own journal, and none is offered while its editor runs.
void TestRecovery::twoEditorsKeepTheirOwn()
{
    TempWorkDir dir;
    const std::string folder = RecoveryIn(dir).toStdString();
    auto first = std::make_unique<Editor>(folder);
    Editor second(folder);
    first->type("one");
    second.type("two");
    QVERIFY(first->journal.waitWritten(5s) && second.journal.waitWritten(5s));
    QVERIFY(first->journal.path() != second.journal.path());
    QCOMPARE(FolderEntries(RecoveryIn(dir)).size(), 2);
    QVERIFY(FindOrphanJournals(folder).empty());
    QCOMPARE(Rebuilt(QString::fromStdString(second.journal.path())), std::string("two"));
    first.reset();
    QCOMPARE(FolderEntries(RecoveryIn(dir)),
             QStringList{QString::fromStdString(NameOf(second.journal.path()))});
}

QTEST_GUILESS_MAIN(TestRecovery)
#include "test_recovery.moc"
