#include <QtTest>

#include <random>
#include <string>
#include <vector>

#include "core/byte_text.h"
#include "core/edit_history.h"

namespace {

std::string All(const ByteText& text)
{
    return text.bytes(0, text.size());
}

std::string RandomPiece(std::mt19937& random, std::size_t maxLength)
{
    std::string out(random() % (maxLength + 1), ' ');
    for (char& c : out)
        c = "ab\r\n \x00\xFF"[random() % 7];
    return out;
}

}  // namespace

class TestEditHistory final : public QObject {
    Q_OBJECT

private slots:
    // A script of edits on "0123456789", then undo after undo: the texts seen on the way back.
    // type P L X: X typed over [P, P + L); edit P L X: a non-typing edit; close: the caret moved;
    // undo.
    void steps_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("undone");
        const auto row = [](const char* name, QStringList script, QStringList undone) {
            QTest::newRow(name) << script << undone;
        };
        row("a typed word is one step", {"type 3 0 a", "type 4 0 b", "type 5 0 c"},
            {"0123456789"});
        row("typing over a selection, then on", {"type 2 4 x", "type 3 0 y"}, {"0123456789"});
        row("the caret moved between characters", {"type 3 0 a", "close", "type 4 0 b"},
            {"012a3456789", "0123456789"});
        row("a character typed elsewhere", {"type 3 0 a", "type 0 0 b"},
            {"012a3456789", "0123456789"});
        row("a selection typed over while typing", {"type 3 0 a", "type 4 2 b"},
            {"012a3456789", "0123456789"});
        row("a line break splits the typing", {"type 3 0 a", "type 4 0 \r\n", "type 6 0 b"},
            {"012a\r\n3456789", "012a3456789", "0123456789"});
        row("a paste is a step of its own", {"type 3 0 a", "edit 4 0 pp", "type 6 0 b"},
            {"012app3456789", "012a3456789", "0123456789"});
        row("typing after an undo starts afresh", {"type 3 0 a", "undo", "type 3 0 b"},
            {"0123456789"});
        row("an undo ends the step being typed", {"type 3 0 a", "edit 0 1 ", "undo", "type 4 0 b"},
            {"012a3456789", "0123456789"});
        row("erasing is a step each", {"edit 9 1 ", "edit 8 1 "}, {"012345678", "0123456789"});
    }

    void steps()
    {
        QFETCH(QStringList, script);
        QFETCH(QStringList, undone);
        ByteText text;
        QVERIFY(text.setText("0123456789"));
        EditHistory history;
        for (const QString& line : script) {
            const QStringList w = line.split(' ');
            const std::string with = w.size() > 3 ? w[3].toStdString() : std::string();
            if (w[0] == "type")
                QVERIFY(history.type(text, {w[1].toULongLong(), w[2].toULongLong()}, with));
            else if (w[0] == "edit")
                QVERIFY(history.edit(text, {}, w[1].toULongLong(), w[2].toULongLong(), with));
            else if (w[0] == "close")
                history.closeTyping();
            else
                QVERIFY(history.undo(text));
        }
        for (const QString& expected : undone) {
            QVERIFY(history.undo(text));
            QCOMPARE(All(text), expected.toStdString());
        }
        QVERIFY(!history.canUndo());
    }

    // Random edits, whole-text replacements, undos and redos against a list of the texts each
    // step leaves; every undo restores the text and selection from before its step, every redo
    // the text and caret after it.
    void randomAgainstModel_data()
    {
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 6; ++seed)
            QTest::addRow("seed %d", seed) << seed;
    }

    void randomAgainstModel()
    {
        QFETCH(int, seed);
        std::mt19937 random(static_cast<unsigned>(seed));
        struct State {
            std::string text;
            TextSelection before;  // of the step that led here
            TextSelection after;
        };
        std::vector<State> states{
            {std::string(3000, 'x') + "\r\n" + RandomPiece(random, 2000), {}, {}}};
        std::size_t done = 0;
        bool typingOpen = false;
        std::size_t typingEnd = 0;
        ByteText text;
        QVERIFY(text.setText(std::string(states[0].text)));
        EditHistory history;
        for (int step = 0; step < 1500; ++step) {
            const std::string current = states[done].text;
            const unsigned kind = random() % 10;
            const std::size_t pos = random() % (current.size() + 1);
            const std::size_t len = random() % 4 == 0 ? random() % 50 : 0;
            const std::size_t n = std::min(len, current.size() - pos);
            const TextSelection sel{pos, n};
            if (kind <= 3) {
                // Mostly typing on at the caret.
                const std::size_t at = typingOpen && kind != 0 ? typingEnd : pos;
                const TextSelection typedSel{at, typingOpen && kind != 0 ? 0 : n};
                const std::string typed = RandomPiece(random, 2);
                QVERIFY(history.type(text, typedSel, typed));
                std::string next = current;
                next.replace(at, typedSel.length, typed);
                const bool merges = typingOpen && at == typingEnd && typedSel.length == 0 &&
                                    typed.find("\r\n") == std::string::npos;
                states.resize(done + 1);
                if (merges) {
                    states[done].text = next;
                    states[done].after = {at + typed.size(), 0};
                } else {
                    states.push_back({next, typedSel, {at + typed.size(), 0}});
                    ++done;
                }
                typingOpen = typed.find("\r\n") == std::string::npos;
                typingEnd = at + typed.size();
            } else if (kind == 4) {
                const std::string with = RandomPiece(random, 300);
                QVERIFY(history.edit(text, sel, pos, n, with));
                std::string next = current;
                next.replace(pos, n, with);
                states.resize(done + 1);
                states.push_back({next, sel, {pos + with.size(), 0}});
                ++done;
                typingOpen = false;
            } else if (kind == 5) {
                std::string next = current;
                for (char& c : next)
                    if (c != '\r' && c != '\n')
                        c = static_cast<char>(c + 1);
                QVERIFY(history.replaceWhole(text, sel, std::string(next), {0, 0}));
                states.resize(done + 1);
                states.push_back({next, sel, {0, 0}});
                ++done;
                typingOpen = false;
            } else if (kind <= 7) {
                const auto restored = history.undo(text);
                QCOMPARE(restored.has_value(), done > 0);
                if (done > 0) {
                    QCOMPARE(*restored, states[done].before);
                    --done;
                    typingOpen = false;  // nothing to undo leaves the typing as it was
                }
            } else {
                const auto restored = history.redo(text);
                QCOMPARE(restored.has_value(), done + 1 < states.size());
                if (restored) {
                    ++done;
                    QCOMPARE(*restored, states[done].after);
                    typingOpen = false;
                }
            }
            QCOMPARE(history.canUndo(), done > 0);
            QCOMPARE(history.canRedo(), done + 1 < states.size());
            QVERIFY2(All(text) == states[done].text, qPrintable(QString("step %1").arg(step)));
            QCOMPARE(text.lineCount(),
                     std::size_t(1) + [&] {
                         std::size_t breaks = 0;
                         const std::string& t = states[done].text;
                         for (std::size_t i = 0; i + 1 < t.size(); ++i)
                             breaks += t[i] == '\r' && t[i + 1] == '\n';
                         return breaks;
                     }());
        }
    }

    // Undoing a whole-text replacement gives back the very buffer it replaced.
    void wholeReplacementMovesTheText()
    {
        ByteText text;
        QVERIFY(text.setText(std::string(50000, 'p') + "\r\n"));
        const void* original = text.text().data();
        std::string cipher(50002, 'c');
        const void* replacement = cipher.data();
        EditHistory history;
        QVERIFY(history.replaceWhole(text, {3, 4}, std::move(cipher), {0, 0}));
        QCOMPARE(static_cast<const void*>(text.text().data()), replacement);
        QCOMPARE(text.lineCount(), std::size_t{1});
        QCOMPARE(history.undo(text), std::optional<TextSelection>({3, 4}));
        QCOMPARE(static_cast<const void*>(text.text().data()), original);
        QCOMPARE(text.lineCount(), std::size_t{2});
        QCOMPARE(history.redo(text), std::optional<TextSelection>({0, 0}));
        QCOMPARE(static_cast<const void*>(text.text().data()), replacement);
    }
};

QTEST_GUILESS_MAIN(TestEditHistory)
#include "test_edit_history.moc"
