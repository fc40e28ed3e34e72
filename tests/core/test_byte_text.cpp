#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "byte_text_model.h"
#include "failing_new.h"
#include "core/byte_text.h"
#include "core/edit_history.h"

namespace {

constexpr std::size_t kSpan = LineIndex::kSpan;

// Text of a given shape: dense breaks, prose lines, or long lines with rare breaks, always with
// some lone CR, lone LF and NUL.
std::string RandomBytes(std::mt19937& random, std::size_t n, int shape)
{
    std::string out;
    while (out.size() < n) {
        const unsigned r = random() % 1000;
        const unsigned breakPerMille = shape == 0 ? 450 : shape == 1 ? 25 : 1;
        if (r < breakPerMille)
            out += "\r\n";
        else if (r < breakPerMille + 20)
            out += "\r\n\0"[random() % 3];
        else
            out += static_cast<char>("ab \xE9x"[random() % 5]);
    }
    out.resize(n);
    return out;
}

}  // namespace

class TestByteText final : public QObject {
    Q_OBJECT

private slots:
    void edgeEdits_data()
    {
        QTest::addColumn<QByteArray>("initial");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("len");
        QTest::addColumn<QByteArray>("with");
        const auto row = [](const char* name, QByteArray initial, int pos, int len,
                            QByteArray with) {
            QTest::newRow(name) << initial << pos << len << with;
        };
        row("LF after a lone CR joins a break", "ab\rcd", 3, 0, "\n");
        row("CR before a lone LF joins a break", "ab\ncd", 2, 0, "\r");
        row("a byte between CR and LF splits the break", "ab\r\ncd", 3, 0, "x");
        row("erasing the CR of a pair", "ab\r\ncd", 2, 1, "");
        row("erasing the LF of a pair", "ab\r\ncd", 3, 1, "");
        row("erasing a whole break", "ab\r\ncd", 2, 2, "");
        row("erasing between two breaks joins CR and LF", "a\rxy\nb", 2, 2, "");
        row("CR LF typed into empty text", "", 0, 0, "\r\n");
        row("replacing across breaks", "a\r\nb\r\nc\r\nd", 1, 7, "\n\r\n\r");
        row("a break at the very end", "abc\r", 4, 0, "\n");
        row("erasing everything", "a\r\n\r\nb", 0, 7, "");
        row("text of only breaks, one erased", "\r\n\r\n\r\n\r\n", 4, 2, "");
        row("text of only breaks, half a break erased", "\r\n\r\n\r\n\r\n", 3, 2, "");
        row("NUL and lone breaks are plain bytes", QByteArray("a\0b\rc\nd", 7), 1, 0,
            QByteArray("\0\n\r", 3));
        row("a break typed at the end of a line", "abc", 3, 0, "\r\n");
        row("replacing to the end of a line", "ab\r\ncd", 1, 5, "Z");
    }

    // Each row alone, and again after enough dense lines and one long line that the index keeps
    // points before, around and after the edit.
    void edgeEdits()
    {
        QFETCH(QByteArray, initial);
        QFETCH(int, pos);
        QFETCH(int, len);
        QFETCH(QByteArray, with);
        for (const std::size_t before : {std::size_t{0}, 3 * kSpan + 1, 2 * kSpan}) {
            std::string prefix;
            while (prefix.size() < before)
                prefix += before == 2 * kSpan ? "y" : "x\r\n";
            prefix.resize(before);
            std::string model = prefix + initial.toStdString() + "\r\n" + prefix;
            ByteText text;
            QVERIFY(text.setText(std::string(model)));
            const std::size_t at = before + pos;
            const std::size_t n = len;
            QVERIFY(text.replace(at, n, with.toStdString()));
            model.replace(at, n, with.toStdString());
            const std::string wrong = byte_text_model::Disagreement(text, model);
            QVERIFY2(wrong.empty(), (wrong + ", " + std::to_string(before) + " before").c_str());
        }
    }

    void randomEditsMatchModel_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 2; ++seed) {
            QTest::addRow("dense breaks, seed %d", seed) << 0 << seed;
            QTest::addRow("prose lines, seed %d", seed) << 1 << seed;
            QTest::addRow("long lines, seed %d", seed) << 2 << seed;
        }
    }

    void randomEditsMatchModel()
    {
        QFETCH(int, shape);
        QFETCH(int, seed);
        std::mt19937 random(static_cast<unsigned>(seed));
        std::string model = RandomBytes(random, 4000, shape);
        ByteText text;
        QVERIFY(text.setText(std::string(model)));
        for (int step = 0; step < 300; ++step) {
            const unsigned kind = random() % 20;
            if (kind == 0) {
                QCOMPARE(std::string(text.text()), model);  // closes the gap
                continue;
            }
            const bool big = kind == 1;
            const std::size_t pos = random() % (model.size() + 3);
            const std::size_t len = random() % (big ? model.size() / 3 + 1 : 6);
            const std::string with = RandomBytes(random, random() % (big ? 3000 : 5), shape);
            QVERIFY(text.replace(pos, len, with));
            const std::size_t at = std::min(pos, model.size());
            model.replace(at, std::min(len, model.size() - at), with);
            const std::string wrong = byte_text_model::Disagreement(text, model, 13);
            QVERIFY2(wrong.empty(), (wrong + " after step " + std::to_string(step)).c_str());
        }
    }

    // The index stays small where lines are dense, and the whole text is one piece on demand.
    void denseBreaksCostFewPoints()
    {
        std::string breaks;
        for (int i = 0; i < 100000; ++i)
            breaks += "\r\n";
        ByteText text;
        QVERIFY(text.setText(std::move(breaks)));
        QCOMPARE(text.lineCount(), std::size_t{100001});
        QVERIFY2(text.lineIndexBytes() <= 200000 / kSpan * 16 * 2 + 64,
                 std::to_string(text.lineIndexBytes()).c_str());
        QCOMPARE(text.lineStart(77777), std::size_t{155554});
        QCOMPARE(text.lineOf(155555), std::size_t{77777});
        QCOMPARE(text.lineOf(155556), std::size_t{77778});
    }

    void textIsTakenNotCopied()
    {
        std::string bytes(100000, 'q');
        const char* const data = bytes.data();
        ByteText text;
        QVERIFY(text.setText(std::move(bytes)));
        QCOMPARE(static_cast<const void*>(text.text().data()), static_cast<const void*>(data));
        QVERIFY(text.insert(500, "z"));
        QCOMPARE(text.at(500), 'z');
        // The text refers to itself: its own bytes copied into the middle.
        const TextPieces own = text.pieces(0, 20000);
        QVERIFY(text.insert(1, own.first));
        QCOMPARE(text.size(), std::size_t{100001} + own.first.size());
    }

    void capacityRefusesAndKeepsText()
    {
        ByteText text(10);
        QVERIFY(text.setText("ab\r\ncd"));
        QVERIFY(!text.insert(2, "12345"));
        QVERIFY(!text.replace(0, 1, std::string(11, 'x')));
        QVERIFY(!text.setText(std::string(11, 'y')));
        QCOMPARE(text.bytes(0, 99), std::string("ab\r\ncd"));
        QCOMPARE(text.lineCount(), std::size_t{2});
        QVERIFY(text.replace(0, 2, "123456"));  // exactly full
        QCOMPARE(text.size(), std::size_t{10});

        EditHistory history;
        QVERIFY(!history.type(text, {10, 0}, "x"));
        QVERIFY(!history.edit(text, {}, 0, 0, "x"));
        QVERIFY(!history.replaceWhole(text, {}, std::string(11, 'z'), {}));
        QVERIFY(!history.canUndo());
        QCOMPARE(text.bytes(0, 99), std::string("123456\r\ncd"));
    }

    // Whichever allocation fails, the operation throws std::bad_alloc and leaves the text, its
    // lines and the history as they were; the next attempt that can allocate succeeds.
    void outOfMemoryChangesNothing_data()
    {
        QTest::addColumn<int>("operation");
        QTest::newRow("insert into a full gap") << 0;
        QTest::newRow("big paste with breaks") << 1;
        QTest::newRow("typed character, first of a step") << 2;
        QTest::newRow("whole-text replacement") << 3;
        QTest::newRow("undo of an erase") << 4;
        QTest::newRow("set text") << 5;
    }

    void outOfMemoryChangesNothing()
    {
        QFETCH(int, operation);
        std::mt19937 random(4);
        const std::string original = RandomBytes(random, 20000, 1);
        const std::string paste = RandomBytes(random, 30000, 0);
        bool done = false;
        for (long fail = 0; !done && fail < 200; ++fail) {
            ByteText text;
            QVERIFY(text.setText(std::string(original)));
            EditHistory history;
            QVERIFY(history.edit(text, {}, 100, 50, ""));
            const std::string before = text.bytes(0, text.size());
            const std::size_t steps = history.stepCount();
            g_allocationsUntilFailure = fail;
            try {
                switch (operation) {
                    case 0:
                        text.insert(7000, std::string(9000, 'g'));
                        break;
                    case 1:
                        history.edit(text, {}, 5000, 10, paste);
                        break;
                    case 2:
                        history.type(text, {9000, 3}, "k");
                        break;
                    case 3:
                        history.replaceWhole(text, {}, std::string(paste), {});
                        break;
                    case 4:
                        history.undo(text);
                        break;
                    case 5:
                        text.setText(std::string(paste));
                        break;
                }
                done = true;
            } catch (const std::bad_alloc&) {
                g_allocationsUntilFailure = -1;
                QCOMPARE(text.bytes(0, text.size()), before);
                QCOMPARE(history.stepCount(), steps);
                QVERIFY(history.canUndo());
                const std::string wrong = byte_text_model::Disagreement(text, before, 7);
                QVERIFY2(wrong.empty(), wrong.c_str());
            }
            g_allocationsUntilFailure = -1;
        }
        QVERIFY(done);
    }
};

QTEST_GUILESS_MAIN(TestByteText)
#include "test_byte_text.moc"
