#include <QTest>

#include <random>
#include <string>
#include <vector>

#include "byte_text_model.h"
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
        row("a typed word is one step", {"type 3 0 a", "type 4 0 b", "type 5 0 c"}, {"0123456789"});
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

    // Random edits, whole-text replacements, undos and redos against the model: every undo
    // restores the text and selection from before its step, every redo the text and caret after
    // it, and the line index follows.
    void randomAgainstModel_data()
    {
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 4; ++seed)
            QTest::addRow("seed %d", seed) << seed;
    }

    void randomAgainstModel()
    {
        QFETCH(int, seed);
        std::mt19937 random(static_cast<unsigned>(seed));
        byte_text_model::History model(std::string(3000, 'x') + "\r\n" + RandomPiece(random, 2000));
        ByteText text;
        QVERIFY(text.setText(std::string(model.text())));
        EditHistory history;
        for (int step = 0; step < 1000; ++step) {
            const std::size_t size = model.text().size();
            const unsigned kind = random() % 10;
            const std::size_t pos = random() % (size + 1);
            const std::size_t len =
                random() % 4 == 0 ? std::min<std::size_t>(random() % 50, size - pos) : 0;
            if (kind <= 3) {
                // Mostly typing on at the caret.
                const bool onward = model.typingOpen() && kind != 0;
                const TextSelection sel{onward ? model.typingEnd() : pos, onward ? 0 : len};
                const std::string typed = RandomPiece(random, 2);
                QVERIFY(history.type(text, sel, typed));
                model.type(sel, typed);
            } else if (kind == 4) {
                const std::string with = RandomPiece(random, 300);
                QVERIFY(history.edit(text, {pos, len}, pos, len, with));
                model.edit({pos, len}, pos, len, with);
            } else if (kind == 5) {
                std::string next = model.text();
                for (char& c : next)
                    c = static_cast<char>(c ^ 0x20);
                QVERIFY(history.replaceWhole(text, {pos, len}, std::string(next), {0, 0}));
                model.whole({pos, len}, std::move(next), {0, 0});
            } else if (kind <= 7) {
                QCOMPARE(history.undo(text), model.undo());
            } else {
                QCOMPARE(history.redo(text), model.redo());
            }
            QCOMPARE(history.canUndo(), model.canUndo());
            QCOMPARE(history.canRedo(), model.canRedo());
            const std::string wrong = byte_text_model::Disagreement(text, model.text(), 97);
            QVERIFY2(wrong.empty(), (wrong + " after step " + std::to_string(step)).c_str());
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
