#include <QTest>

#include <string>

#include "cipher/level_b_tables.h"
#include "cipher/levels.h"
#include "cipher/shift_cipher.h"
#include "cipher/whole_number.h"
#include "core/command_error.h"
#include "core/show_note.h"
#include "note_recorder.h"

using namespace std::string_literals;
using Notes = std::vector<std::string>;

namespace {

constexpr auto A = EncryptionLevel::A;
constexpr auto B = EncryptionLevel::B;
constexpr auto C = EncryptionLevel::C;
const std::string kAPwd(kFactoryLevelAPwd);
const std::string kText = "Plain text\r\nof two lines";
const std::string kBad = "a\rb\nc\r\ncd\x01xy";  // \x01 never comes back; lone CR, LF split no line
const std::string kBadRefused =
    "Text was not encrypted: the character with code 1 in line 2, column 3 would not come back "
    "when decrypted. Nothing has been changed.";
// Under a key character of 235, "~" encrypts to LF, which decryption passes through.
const std::string kTildeRefused =
    "Text was not encrypted: the character \"~\" (code 126) in line 1, column 1 would not come "
    "back when decrypted. Nothing has been changed.";

std::string S(std::string_view v)
{
    return std::string(v);
}
const std::string kIgnored = S(level_messages::kPasswordIgnored);
const std::string kOutOfRange = S(level_messages::kCodeOutOfRange);

// One command: the state before, and what it must show and leave. An empty key means failed;
// otherwise the result must be the plain cipher under that key.
struct Row {
    EncryptionLevel level;
    std::string text, typed;
    bool plainBefore;
    Notes notes;
    std::string key, fileExt;
    bool plainAfter;
};

TAppState FreshState(bool plain)
{
    TAppState state;
    SetStateDefaults(state, LevelBKeyTableData());
    state.FileExt = "doc";  // none of the cipher's, so any change shows
    state.PlainText = plain;
    return state;
}

// The in-place form of a command gives the same messages, outcome, text and state as the
// copying one, and a result in the text's own buffer.
template <typename InPlace>
void CheckInPlace(const Row& row, InPlace&& inPlace, const TLevelResult& copied,
                  const TAppState& copiedState)
{
    TAppState state = FreshState(row.plainBefore);
    NoteRecorder recorder;
    std::string text = row.text;
    const char* const buffer = text.data();
    QCOMPARE(inPlace(state, row.level, text, row.typed), copied.outcome);
    QCOMPARE(recorder.notes, row.notes);
    QCOMPARE(text, copied.text);
    if (copied.outcome == LevelOutcome::Done)
        QCOMPARE(static_cast<const void*>(text.data()), static_cast<const void*>(buffer));
    QCOMPARE(state.FileExt, copiedState.FileExt);
    QCOMPARE(state.PlainText, copiedState.PlainText);
    QCOMPARE(state.LevelBKey, copiedState.LevelBKey);
    QCOMPARE(state.LevelCPwd, copiedState.LevelCPwd);
}

}  // namespace

Q_DECLARE_METATYPE(Row)

namespace {
void AddRow(const char* name, const Row& row)
{
    QTest::newRow(name) << row;
}
}  // namespace
Q_DECLARE_METATYPE(EncryptionLevel)
Q_DECLARE_METATYPE(LevelAPwdUpdate)

class TestLevels final : public QObject {
    Q_OBJECT

private slots:
    void tablesArePinned()
    {
        const TLevelBKeyTables& tables = LevelBKeyTableData();
        QCOMPARE(BuildLevelBKey(tables, "000"), "UbukOgwzruiP"s);
        QCOMPARE(BuildLevelBKey(tables, "509"), "9YqoOgwzYxsw"s);
        QCOMPARE(BuildLevelBKey(tables, "999x"), "pqdKSdoiYxsw"s);
        for (const auto& table : tables)
            for (const std::string& entry : table)
                QVERIFY(entry.size() == 4 && IsValidLevelAPwd(entry + entry));
        QCOMPARE(FreshState(true).LevelBKeyTables, tables);
    }

    void strToInt_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<int>("value");
        // clang-format off
        const std::pair<const char*, int> good[] = {
            {"0", 0}, {"999", 999}, {"-0", 0}, {"+12", 12}, {"  -7", -7}, {"0012", 12},
            {"$3E8", 1000}, {"x1f", 31}, {"X1F", 31}, {"0x10", 16}, {"-$10", -16},
            {"+0X7fffffff", INT32_MAX}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
            {"-$80000000", INT32_MIN}, {"000000000000000000001", 1}};
        // clang-format on
        for (const auto& [text, value] : good)
            QTest::newRow(text) << QByteArray(text) << true << value;
        // clang-format off
        const char* const bad[] = {
            "", "   ", "-", "+", "$", "0x", "x", "abc", "12 ", "1 2", "--1", "+-1", "- 1", "\t5",
            "1e3", "0x1g", "$-1", "08x", "2147483648", "-2147483649", "$80000000", "$FFFFFFFF",
            "99999999999999999999"};
        // clang-format on
        for (const char* text : bad)
            QTest::newRow(*text ? text : "empty") << QByteArray(text) << false << 0;
    }
    void strToInt()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, converts);
        QFETCH(int, value);
        const auto expected = converts ? std::optional<std::int32_t>(value) : std::nullopt;
        QCOMPARE(TryStrToInt(text.toStdString()), expected);
        if (!converts)
            QVERIFY_THROWS_EXCEPTION(CommandError, StrToInt(text.toStdString()));
    }

    void encrypt_data()
    {
        namespace m = level_messages;
        const std::string digits = S(m::kCodeNotDigits), three = S(m::kCodeNotThreeCharacters);
        const std::string text = S(cipher_messages::kTextTooShortToEncrypt);
        const std::string keyShort = S(cipher_messages::kEncryptKeyTooShort);
        const std::string keyLong = S(cipher_messages::kEncryptKeyTooLong);
        const std::string a = S(m::kEncryptTooShort[0]), b = S(m::kEncryptTooShort[1]);
        const std::string c = S(m::kEncryptTooShort[2]);
        QTest::addColumn<Row>("row");
        // clang-format off
        AddRow("A", {A, kText, "", true, {}, kAPwd, "txa", false});
        AddRow("A typed ignored", {A, kText, "x", true, {kIgnored}, kAPwd, "txa", false});
        AddRow("A 5 chars", {A, "short", "", false, {text, a}, "", "txa", true});
        AddRow("B 509", {B, kText, "509", true, {}, "9YqoOgwzYxsw", "txb", false});
        AddRow("B two digits", {B, kText, "50", false, {three}, "", "doc", false});
        AddRow("B four digits", {B, kText, "5090", false, {three}, "", "doc", false});
        AddRow("B two letters", {B, kText, "a0b", false, {digits, digits}, "", "doc", true});
        AddRow("B 7 chars", {B, "1234567", "509", false, {text, b}, "", "txb", true});
        AddRow("C", {C, kText, "secret1", true, {}, "secret1", "txc", false});
        AddRow("C empty", {C, kText, "", false, {keyShort, c}, "", "txc", true});
        AddRow("C 13", {C, kText, "thirteen char", false, {keyLong, c}, "", "txc", true});
        AddRow("A unrestorable", {A, kBad, "x", true, {kIgnored, kBadRefused}, "", "doc", true});
        AddRow("C 235 ~", {C, "~~~~~~~~", "\xEBkey12", false, {kTildeRefused}, "", "doc", false});
        // The cipher's refusals come first, also for a text the restorability check refuses.
        AddRow("A typed, 5 chars", {A, "short", "x", false, {kIgnored, text, a}, "", "txa", true});
        AddRow("C unrestorable, 7", {C, "\x01shorty", "secret1", false, {text, c}, "", "txc", true});
        AddRow("C unrestorable, key 3", {C, kBad, "abc", false, {keyShort, c}, "", "txc", true});
        // clang-format on
    }
    void encrypt()
    {
        QFETCH(Row, row);
        TAppState state = FreshState(row.plainBefore);
        NoteRecorder recorder;
        const TLevelResult result = EncryptWithLevel(state, row.level, row.text, row.typed);
        QCOMPARE(recorder.notes, row.notes);
        QCOMPARE(result.outcome, row.key.empty() ? LevelOutcome::Failed : LevelOutcome::Done);
        QCOMPARE(result.text, row.key.empty() ? "" : detail::EncryptReference(row.text, row.key));
        QCOMPARE(state.FileExt, row.fileExt);
        QCOMPARE(state.PlainText, row.plainAfter);
        if (row.level == C)
            QCOMPARE(state.LevelCPwd, row.typed);
        if (row.level == B && !row.key.empty())
            QCOMPARE(state.LevelBKey, row.key);
        CheckInPlace(row, EncryptWithLevelInPlace, result, state);
    }

    void decrypt_data()
    {
        const std::string text = S(cipher_messages::kTextTooShortToDecrypt);
        const std::string keyShort = S(cipher_messages::kDecryptKeyTooShort);
        const std::string a = S(level_messages::kDecryptTooShort[0]);
        const std::string bc = S(level_messages::kDecryptTooShort[1]);
        const std::string cKey = "a long Level C key!!";
        QTest::addColumn<Row>("row");
        // clang-format off
        AddRow("A typed ignored", {A, kText, "x", false, {kIgnored}, kAPwd, "txt", true});
        AddRow("A 5 chars", {A, "short", "", true, {text, a}, "", "txt", false});
        AddRow("B 0509 uses 050", {B, kText, "0509", false, {}, "Ubuk8pklruiP", "txt", true});
        AddRow("B 1000 stops", {B, kText, "1000", true, {"1000" + kOutOfRange}, "", "doc", false});
        AddRow("B -5 stops", {B, kText, "-5", true, {"-5" + kOutOfRange}, "", "doc", false});
        AddRow("B $3E8 stops", {B, kText, "$3E8", true, {"1000" + kOutOfRange}, "", "doc", false});
        AddRow("C empty", {C, kText, "", true, {keyShort, bc}, "", "txt", false});
        AddRow("C 20 chars", {C, kText, cKey, false, {}, cKey, "txt", true});
        AddRow("A typed, 5 chars", {A, "short", "x", true, {kIgnored, text, a}, "", "txt", false});
        AddRow("C 5 chars, no key", {C, "short", "", true, {text, keyShort, bc}, "", "txt", false});
        // clang-format on
    }
    void decrypt()
    {
        QFETCH(Row, row);
        TAppState state = FreshState(row.plainBefore);
        NoteRecorder recorder;
        const TLevelResult result = DecryptWithLevel(state, row.level, row.text, row.typed);
        QCOMPARE(recorder.notes, row.notes);
        QCOMPARE(result.outcome, row.key.empty() ? LevelOutcome::Failed : LevelOutcome::Done);
        QCOMPARE(result.text, row.key.empty() ? "" : detail::DecryptReference(row.text, row.key));
        QCOMPARE(state.FileExt, row.fileExt);
        QCOMPARE(state.PlainText, row.plainAfter);
        if (row.level == B)
            QCOMPARE(state.LevelBKey, row.key.empty() ? row.typed : row.key);
        CheckInPlace(row, DecryptWithLevelInPlace, result, state);
    }

    // A Level B code that is no whole number, or lacks three digits, ends the command.
    void stopped_data()
    {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<QString>("error");
        const auto invalid = [](const char* s) {
            return QString("'%1' is not a valid integer value.").arg(s);
        };
        for (const char* typed : {"abc", "", "-", "12 ", "7x"})
            QTest::newRow(*typed ? typed : "empty") << QByteArray(typed) << invalid(typed);
        QTest::newRow("\xE9 (1252)") << QByteArray("\xE9") << invalid("\u00E9");
        for (const char* typed : {" 12", "+12", "$3E7"})
            QTest::newRow(typed) << QByteArray(typed)
                                 << invalid(QByteArray(typed, 1)) + " Character 1";
        QTest::newRow("0x1F") << QByteArray("0x1F") << invalid("x") + " Character 2";
        QTest::newRow("12") << QByteArray("12") << QString("'12' has no third digit");
        QTest::newRow("7") << QByteArray("7") << QString("'7' has no second digit");
    }
    void stopped()
    {
        QFETCH(QByteArray, typed);
        QFETCH(QString, error);
        for (const bool plain : {false, true}) {
            TAppState state = FreshState(plain);
            NoteRecorder recorder;
            try {
                DecryptWithLevel(state, B, kText, typed.toStdString());
                QFAIL("no CommandError");
            } catch (const CommandError& e) {
                QVERIFY2(QString::fromUtf8(e.what()).startsWith(error), e.what());
            }
            QVERIFY(recorder.notes.empty());
            QCOMPARE(state.LevelBKey, typed.toStdString());
            QCOMPARE(state.FileExt, "doc"s);
            QCOMPARE(state.PlainText, plain);
        }
    }

    // What a message window sees of the state while each message is shown: the cipher's
    // refusals come before the level sets FileExt, the level's own message after.
    void fileExtWhileTold_data()
    {
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("seen");
        QTest::newRow("encrypt 5 chars")
            << true << QByteArray("short") << QStringList{"doc", "doc", "txa"};
        QTest::newRow("decrypt 5 chars")
            << false << QByteArray("short") << QStringList{"doc", "doc", "txt"};
        QTest::newRow("encrypt unrestorable")
            << true << QByteArray::fromStdString(kBad) << QStringList{"doc", "doc"};
    }
    void fileExtWhileTold()
    {
        QFETCH(bool, encrypt);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, seen);
        TAppState state = FreshState(true);
        QStringList told;
        NoteHandler previous = SetNoteHandler(
            [&](std::string_view) { told << QString::fromStdString(state.FileExt); });
        if (encrypt)
            EncryptWithLevel(state, A, text.toStdString(), "typed");
        else
            DecryptWithLevel(state, A, text.toStdString(), "typed");
        SetNoteHandler(std::move(previous));
        QCOMPARE(told, seen);
    }

    // A level none of the three (a list index out of range, cast) does nothing at all.
    void unknownLevel()
    {
        const auto none = static_cast<EncryptionLevel>(3);
        for (const bool encrypt : {true, false}) {
            TAppState state = FreshState(true);
            const TAppState before = state;
            NoteRecorder recorder;
            std::string text = kText;
            const LevelOutcome outcome =
                encrypt ? EncryptWithLevelInPlace(state, none, text, "secret1")
                        : DecryptWithLevelInPlace(state, none, text, "secret1");
            QCOMPARE(outcome, LevelOutcome::Failed);
            QVERIFY(text.empty());
            QVERIFY(recorder.notes.empty());
            QCOMPARE(state.FileExt, before.FileExt);
            QCOMPARE(state.PlainText, before.PlainText);
            QCOMPARE(state.LevelBKey, before.LevelBKey);
            QCOMPARE(state.LevelCPwd, before.LevelCPwd);
        }
    }

    void roundTrips_data()
    {
        QTest::addColumn<EncryptionLevel>("level");
        QTest::addColumn<QByteArray>("typed");
        QTest::newRow("A") << A << QByteArray();
        QTest::newRow("B 000") << B << QByteArray("000");
        QTest::newRow("B 999") << B << QByteArray("999");
        QTest::newRow("C") << C << QByteArray("~~Pass~~word");
    }
    void roundTrips()
    {
        QFETCH(EncryptionLevel, level);
        QFETCH(QByteArray, typed);
        TAppState state = FreshState(true);
        state.LevelAPwd = "NewPwd42";
        const std::string text = "Tabs\tand ~ lines\r\n\r\nall come back.\r\n";
        const TLevelResult encrypted = EncryptWithLevel(state, level, text, typed.toStdString());
        QCOMPARE(encrypted.outcome, LevelOutcome::Done);
        QVERIFY(encrypted.text != text);
        QCOMPARE(state.FileExt, S(kLevelExtensions[static_cast<int>(level)]));
        if (level == A)
            QCOMPARE(encrypted.text, detail::EncryptReference(text, "NewPwd42"));
        const auto decrypted = DecryptWithLevel(state, level, encrypted.text, typed.toStdString());
        QCOMPARE(decrypted.outcome, LevelOutcome::Done);
        QCOMPARE(decrypted.text, text);
        QCOMPARE(state.FileExt, "txt"s);
        QVERIFY(state.PlainText);
    }

    void levelAPwd_data()
    {
        QTest::addColumn<QByteArray>("candidate");
        QTest::addColumn<LevelAPwdUpdate>("update");
        const auto same = LevelAPwdUpdate::Unchanged, no = LevelAPwdUpdate::Refused;
        const auto yes = LevelAPwdUpdate::Accepted;
        QTest::newRow("current") << QByteArray("tzrhGowN") << same;
        QTest::newRow("current, other case") << QByteArray("TZRHGOWN") << yes;
        QTest::newRow("letters") << QByteArray("abcdEFGH") << yes;
        QTest::newRow("digits") << QByteArray("12345678") << yes;
        for (const char* bad : {"abc1234", "abc123456", "abc 1234", "abc_1234", "abc\3511234",
                                "09AZaz/:", "09AZaz@[", "09AZaz`{", ""})
            QTest::newRow(*bad ? bad : "empty") << QByteArray(bad) << no;
    }
    void levelAPwd()
    {
        QFETCH(QByteArray, candidate);
        QFETCH(LevelAPwdUpdate, update);
        QCOMPARE(ClassifyLevelAPwdUpdate(FreshState(true), candidate.toStdString()), update);
    }
};

QTEST_GUILESS_MAIN(TestLevels)
#include "test_levels.moc"
