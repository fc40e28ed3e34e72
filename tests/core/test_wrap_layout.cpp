#include <QtTest>
#include <QTextBoundaryFinder>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/byte_text.h"
#include "core/caret_motion.h"
#include "core/page_layout.h"
#include "core/row_layout.h"
#include "core/win1252.h"
#include "core/word_table.h"
#include "core/wrap_layout.h"

namespace {

using wrap::Fixed;

constexpr Fixed kPx = 64;

wrap::Metrics OnePixelEach(Fixed tabStop)
{
    wrap::Metrics m;
    m.advance.fill(kPx);
    m.tabStop = tabStop * kPx;
    return m;
}

// Widths from 1 to 9 pixels, differing from byte to byte.
wrap::Metrics VariedWidths()
{
    wrap::Metrics m;
    for (int b = 0; b < 256; ++b) {
        m.advance[b] = (1 + (b * 7) % 9) * kPx;
        m.overhang[b] = b % 5 == 0 ? kPx : 0;  // ink past the advance, as an italic r or f
    }
    m.tabStop = 13 * kPx;
    return m;
}

// The rule stated another way: a row takes the furthest place where it may break whose text,
// its trailing blanks left out, fits; when there is none, the longest run of bytes that fits.
// A row's first character fits whatever its width.
std::vector<std::pair<std::size_t, std::size_t>> NaiveRows(const wrap::Metrics& m, Fixed width,
                                                           const std::string& line)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::vector<std::pair<std::size_t, std::size_t>> rows;
    std::size_t s = 0;
    do {
        // ink[c - s]: the width of [s, c) up to its last character that is not a blank, as far
        // as the first that passes the room (the first character's own width at least).
        std::vector<Fixed> ink{0};
        Fixed x = 0;
        Fixed room = width;
        for (std::size_t i = s; i < line.size() && ink.back() <= room; ++i) {
            x += wrap::Advance(m, static_cast<unsigned char>(line[i]), x);
            ink.push_back(blank(line[i]) ? ink.back() : x + m.overhang[static_cast<unsigned char>(line[i])]);
            if (i == s)
                room = std::max(width, ink.back());
        }
        const std::size_t seen = s + ink.size() - 1;
        std::size_t end = 0;
        if (seen == line.size() && ink.back() <= room) {
            end = line.size();
        } else {
            for (std::size_t c = s + 1; c < seen; ++c)
                if (word_table::MayBreakBetween(static_cast<std::uint8_t>(line[c - 1]),
                                                static_cast<std::uint8_t>(line[c])) &&
                    ink[c - s] <= room)
                    end = c;
            if (end == 0) {
                end = s + 1;
                while (end < seen && ink[end + 1 - s] <= room)
                    ++end;
            }
        }
        rows.emplace_back(s, end);
        s = end;
    } while (s < line.size());
    return rows;
}

// The line split where a gap might be.
TextPieces Split(const std::string& line, std::size_t at)
{
    at = std::min(at, line.size());
    return {std::string_view(line).substr(0, at), std::string_view(line).substr(at)};
}

std::string RandomLine(std::mt19937& random, std::size_t n)
{
    std::string line(n, ' ');
    for (char& c : line)
        c = "ab  \twxyz\0\r\n\xA0-"[random() % 14];
    return line;
}

}  // namespace

class TestWrapLayout final : public QObject {
    Q_OBJECT

private slots:
    // Characters one pixel wide, so that a width is a count of characters.
    void rule_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<QByteArray>>("rows");
        const auto row = [](const char* name, QByteArray line, int width, QList<QByteArray> rows) {
            QTest::newRow(name) << line << width << rows;
        };
        row("fits on one row", "hello world", 11, {"hello world"});
        row("wraps after the space", "aaa bbb", 5, {"aaa ", "bbb"});
        row("blanks hang past the edge", "aaa      bbb", 4, {"aaa      ", "bbb"});
        row("a long word breaks anywhere", "abcdefghij", 4, {"abcd", "efgh", "ij"});
        row("a long word first moves to a row of its own", "ab cdefghij", 4,
            {"ab ", "cdef", "ghij"});
        row("the last word that fits stays", "ab cd ef", 5, {"ab cd ", "ef"});
        row("leading blanks then a word too long", "   abcdef", 4, {"   ", "abcd", "ef"});
        row("a character wider than the row takes a row", "abc", 0, {"a", "b", "c"});
        row("tabs reach the next stop and hang", "a\tb\tcd", 8, {"a\tb\t", "cd"});
        row("tab stops count from the row's edge", "ab cd\tef", 4, {"ab ", "cd\t", "ef"});
        row("NUL and lone CR, LF are characters", QByteArray("a\0b\rc\nd", 7), 3,
            {QByteArray("a\0b", 3), "\rc\n", "d"});
        row("no-break space does not break",
            "aaa\xA0"
            "bbb",
            5,
            {"aaa\xA0"
             "b",
             "bb"});
        row("after a hyphen before a letter", "aa-bbb", 4, {"aa-", "bbb"});
        row("not after a hyphen before a digit", "aa-123", 4, {"aa-1", "23"});
        row("after the slashes of an address", "see http://ab.cd/efg", 12,
            {"see http://", "ab.cd/efg"});
        row("never before closing punctuation", "ab cd !ef", 7, {"ab cd !", "ef"});
        row("empty line is one empty row", "", 10, {""});
        row("only blanks stay on one row", "      ", 2, {"      "});
    }

    void rule()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, width);
        QFETCH(QList<QByteArray>, rows);
        const wrap::Metrics m = OnePixelEach(4);
        const std::string text = line.toStdString();
        wrap::LineWrap layout(m, width * kPx);
        const TextPieces pieces = Split(text, text.size() / 2);
        QCOMPARE(layout.rowCount(pieces), std::size_t(rows.size()));
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const wrap::Row r = layout.row(pieces, std::size_t(i));
            QCOMPARE(QByteArray(text.data() + r.start, qsizetype(r.end - r.start)), rows[i]);
        }
    }

    // Where a row may break agrees with the desktop's own line breaking (Unicode's, as the
    // toolkit applies it) for every pair of Windows-1252 characters between letters; a vertical
    // tab or form feed, a box here, breaks nothing.
    void breaksWhereTextBoxesBreak()
    {
        for (int a = 1; a < 256; ++a) {
            for (int b = 1; b < 256; ++b) {
                if (a == '\r' || a == '\n' || a == 0x0B || a == 0x0C || b == '\r' || b == '\n')
                    continue;
                const QString s = QStringLiteral("ab") + QChar(win1252::ToUnicode(std::uint8_t(a))) +
                                  QChar(win1252::ToUnicode(std::uint8_t(b))) + QStringLiteral("cd");
                QTextBoundaryFinder finder(QTextBoundaryFinder::Line, s);
                finder.setPosition(3);
                if (finder.isAtBoundary() != word_table::MayBreakBetween(std::uint8_t(a), std::uint8_t(b)))
                    QFAIL(qPrintable(QStringLiteral("0x%1 0x%2").arg(a, 2, 16).arg(b, 2, 16)));
            }
        }
    }

    // Random lines, widths and gaps: the rows agree with the reference, and every caret
    // position maps to its row and x and back.
    void agreesWithReference_data()
    {
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 8; ++seed)
            QTest::addRow("seed %d", seed) << seed;
    }

    void agreesWithReference()
    {
        QFETCH(int, seed);
        std::mt19937 random(static_cast<unsigned>(seed));
        const wrap::Metrics m = VariedWidths();
        for (int round = 0; round < 20; ++round) {
            const std::string line = RandomLine(random, random() % 400);
            const Fixed width = Fixed(random() % 60) * kPx;
            const auto expected = NaiveRows(m, width, line);
            const TextPieces pieces = Split(line, random() % (line.size() + 1));
            wrap::LineWrap layout(m, width);
            for (std::size_t i = 0; i < expected.size(); ++i) {
                const wrap::Row r = layout.row(pieces, i);
                QVERIFY2(std::make_pair(r.start, r.end) == expected[i],
                         qPrintable(QString("row %1 of %2: %3..%4, expected %5..%6; line %7")
                                        .arg(i)
                                        .arg(expected.size())
                                        .arg(r.start)
                                        .arg(r.end)
                                        .arg(expected[i].first)
                                        .arg(expected[i].second)
                                        .arg(QByteArray::fromStdString(line).toHex())));
            }
            QCOMPARE(layout.rowCount(pieces), expected.size());
            for (std::size_t pos = 0; pos <= line.size(); ++pos) {
                const std::size_t index = layout.rowOf(pieces, pos);
                const auto [start, end] = expected[index];
                QVERIFY(start <= pos && (pos < end || end == line.size()));
                QCOMPARE(layout.positionAt(pieces, index, layout.xOf(pieces, pos)), pos);
            }
            const wrap::Row last = layout.row(pieces, expected.size() + 5);
            QCOMPARE(last.end, line.size());
        }
    }

    // A line of hundreds of rows edited here and there: rows laid out before each edit and
    // kept across it agree with the reference for the new line.
    void editsKeepOnlyValidRows()
    {
        std::mt19937 random(11);
        const wrap::Metrics m = VariedWidths();
        std::string line = RandomLine(random, 6000);
        const Fixed width = 40 * kPx;
        wrap::LineWrap layout(m, width);
        for (int step = 0; step < 400; ++step) {
            // Lay out as far as some row, as a view would.
            layout.row(Split(line, 0), random() % 1000);
            // Half the edits fall just after a kept row start, where the row before looked.
            const std::size_t kept = wrap::LineWrap::kRowsPerPoint * (1 + random() % 8);
            const std::size_t pos =
                random() % 2
                    ? std::min(line.size(), layout.row(Split(line, 0), kept).start + random() % 4)
                    : random() % (line.size() + 1);
            const std::size_t erased = std::min<std::size_t>(random() % 5, line.size() - pos);
            line.replace(pos, erased, RandomLine(random, random() % 5));
            layout.edited(pos);
            const TextPieces pieces = Split(line, pos);
            const auto expected = NaiveRows(m, width, line);
            for (std::size_t k = 0; k < 8; ++k) {
                const std::size_t i = random() % expected.size();
                const wrap::Row r = layout.row(pieces, i);
                QCOMPARE(std::make_pair(r.start, r.end), expected[i]);
            }
            QCOMPARE(layout.rowCount(pieces), expected.size());
        }
    }

    // The pages hold the rows the line wraps give, rowsPerPage a page, counted in any pieces,
    // whether the buffer's gap splits a line break or not.
    void pagesHoldTheRows_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("rowsPerPage");
        QTest::addColumn<int>("piece");
        std::string words;
        for (int i = 0; i < 300; ++i)
            words += "word" + std::to_string(i) + (i % 17 ? " " : "\r\n");
        QTest::newRow("empty text, one page") << QByteArray() << 10 << 3 << 1;
        QTest::newRow("short lines") << QByteArray("a\r\nbb\r\n\r\nccc\r\nd") << 10 << 2 << 1;
        QTest::newRow("a last empty line") << QByteArray("a\r\nb\r\n") << 10 << 2 << 1;
        QTest::newRow("pages end inside a line") << QByteArray(words.c_str()) << 23 << 4 << 7;
        QTest::newRow("counted in one go") << QByteArray(words.c_str()) << 9 << 5 << 100000;
        QTest::newRow("lone CR and LF break no line")
            << QByteArray("ab\rcd\nef\r\n\r\r\n\n") << 3 << 1 << 100;
    }

    void pagesHoldTheRows()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, width);
        QFETCH(int, rowsPerPage);
        QFETCH(int, piece);
        const wrap::Metrics m = VariedWidths();
        const std::string bytes = text.toStdString();
        // The expected page starts, from each line's own wrap.
        std::vector<RowPos> starts;
        std::size_t row = 0;
        std::size_t line = 0;
        for (std::size_t from = 0;; ++line) {
            const std::size_t end = std::min(bytes.find("\r\n", from), bytes.size());
            const std::string one = bytes.substr(from, end - from);
            wrap::LineWrap layout(m, width * kPx);
            for (std::size_t r = 0; r < layout.rowCount(Split(one, 0)); ++r, ++row)
                if (row % rowsPerPage == 0)
                    starts.push_back({line, r});
            if (end == bytes.size())
                break;
            from = end + 2;
        }
        // The gap of the buffer just after the first CR: between it and its LF.
        ByteText buffer;
        const std::size_t cut = std::min(bytes.find('\r') + 1, bytes.size());
        QVERIFY(buffer.setText(bytes.substr(0, cut) + bytes.substr(cut + (cut < bytes.size()))));
        if (cut < bytes.size())
            QVERIFY(buffer.insert(cut, bytes.substr(cut, 1)));
        PageCount count(buffer, m, width * kPx, rowsPerPage);
        std::size_t pieces = 0;
        while (!count.countOn(piece))
            ++pieces;
        QCOMPARE(count.bytesCounted(), bytes.size());
        QVERIFY(pieces > 0 || piece >= int(bytes.size()));
        QCOMPARE(count.pages(), starts.size());
        for (std::size_t p = 0; p < starts.size(); ++p)
            QCOMPARE(count.pageStart(p), starts[p]);
    }

    // The rows of a whole text of short and wrapped lines: walking down and back up meets the
    // same rows; each row's first byte, a count of rows from the top, the scroll value and the
    // view's last page all lead back to the row they came from.
    void rowLayoutWalksTheText()
    {
        std::mt19937 random(7);
        std::string bytes = RandomLine(random, 3000);
        for (std::size_t at = 0; at + 2 < bytes.size(); at += 1 + random() % 120)
            bytes.replace(at, 2, "\r\n");
        ByteText text;
        QVERIFY(text.setText(std::move(bytes)));
        RowLayout rows(text);
        rows.setGeometry(VariedWidths(), 40 * kPx);
        std::vector<RowPos> down{RowPos{}};
        for (RowPos at{}; rows.next(at);)
            down.push_back(at);
        std::vector<RowPos> up{down.back()};
        for (RowPos at = down.back(); rows.previous(at);)
            up.insert(up.begin(), at);
        QVERIFY(up == down);
        for (std::size_t i = 0; i < down.size(); ++i) {
            const auto row = QString::number(i);
            QVERIFY2(rows.rowOf(rows.startOf(down[i])) == down[i], qPrintable(row));
            QVERIFY2(rows.moved({}, long(i)) == down[i], qPrintable(row));
            QVERIFY2(rows.rowsBetween({}, down[i], long(down.size())) == long(i), qPrintable(row));
            // Every line laid out: the scroll estimate is exact.
            QCOMPARE(rows.estimate(down[i]).above, i);
            QVERIFY2(rows.rowAtValue(i) == down[i], qPrintable(row));
        }
        QCOMPARE(rows.estimate({}).total, down.size());
        QVERIFY(rows.lastTop(5) == down[down.size() - 5]);
        rows.setTop(down[down.size() - 5]);
        QVERIFY(rows.showsEnd(5));
        rows.setTop(down[down.size() - 6]);
        QVERIFY(!rows.showsEnd(5));
    }

    // The caret's moves by characters and words, and what a double and a triple click take;
    // a span is start-end.
    void caretMotion_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("move");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QByteArray& text, const char* move, int pos,
                            const char* expected) {
            QTest::newRow(name) << text << QString::fromLatin1(move) << pos
                                << QString::fromLatin1(expected);
        };
        row("between CR and LF to the line's end", "ab\r\ncd", "normalized", 3, "2");
        row("a line break is one step right", "ab\r\ncd", "nextChar", 2, "4");
        row("a line break is one step left", "ab\r\ncd", "previousChar", 4, "2");
        row("Ctrl+Right past a word and its blanks", "one  two", "nextWord", 0, "5");
        row("Ctrl+Right past a run of punctuation", "a...b", "nextWord", 1, "4");
        row("Ctrl+Right at a line's end", "ab\r\ncd", "nextWord", 2, "4");
        row("Ctrl+Left over blanks to the word", "one  two", "previousWord", 5, "0");
        row("a word of Windows-1252 letters", "caf\xE9 x", "word", 1, "0-4");
        row("a run of dots", "wait... // ok", "word", 5, "4-7");
        row("a run of slashes", "wait... // ok", "word", 9, "8-10");
        row("on blanks, the word before", "one    two", "word", 5, "0-3");
        row("a line with its break", "ab\r\ncd\r\nef", "line", 5, "4-8");
        row("the last line", "ab\r\ncd\r\nef", "line", 9, "8-10");
    }
    void caretMotion()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, move);
        QFETCH(int, pos);
        QFETCH(QString, expected);
        ByteText t;
        QVERIFY(t.setText(text.toStdString()));
        const auto p = std::size_t(pos);
        const auto span = [](caret::Span s) { return QStringLiteral("%1-%2").arg(s.start).arg(s.end); };
        const QString got = move == u"normalized"     ? QString::number(caret::Normalized(t, p))
                            : move == u"nextChar"     ? QString::number(caret::NextChar(t, p))
                            : move == u"previousChar" ? QString::number(caret::PreviousChar(t, p))
                            : move == u"nextWord"     ? QString::number(caret::NextWord(t, p))
                            : move == u"previousWord" ? QString::number(caret::PreviousWord(t, p))
                            : move == u"word"         ? span(caret::WordAt(t, p))
                                                      : span(caret::LineAt(t, p));
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(TestWrapLayout)
#include "test_wrap_layout.moc"
