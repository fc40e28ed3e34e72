#include <QTest>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/upper1252.h"
#include "core/win1252.h"
#include "document/find_replace.h"

namespace {

// A click of the Find button: each search starts where the last one left FindNext.
using Clicks = std::vector<std::pair<int, int>>;  // hit, FindNext

std::string Upper(std::string text)
{
    for (char& c : text)
        c = win1252::Upper(c);
    return text;
}

// The plain reading of the search: fold both wholly, try every start, wrap when too few remain.
std::vector<std::size_t> NaiveHits(const std::string& text, const std::string& needle,
                                   FindOptions options)
{
    std::vector<std::size_t> hits;
    const std::string folded = options.matchCase ? text : Upper(text);
    const std::string key = options.matchCase ? needle : Upper(needle);
    const auto word = [&](std::size_t i) { return i < text.size() && IsWordByte(text[i]); };
    for (std::size_t p = folded.find(key); !key.empty() && p != std::string::npos;
         p = folded.find(key, p + 1)) {
        const bool cut = options.wholeWords &&
                         ((IsWordByte(needle.front()) && p > 0 && word(p - 1)) ||
                          (IsWordByte(needle.back()) && word(p + key.size())));
        if (!cut)
            hits.push_back(p);
    }
    return hits;
}

FindOutcome NaiveOutcome(const std::string& whole, std::size_t p, const std::string& needle)
{
    const int next = static_cast<int>(p + needle.size());
    return {static_cast<int>(p), next > int(whole.size() - needle.size()) ? 0 : next};
}

FindOutcome NaiveFindFrom(const std::string& whole, int start, const std::string& needle,
                          FindOptions options = {})
{
    const std::vector<std::size_t> hits = NaiveHits(whole, needle, options);
    const auto at = std::lower_bound(hits.begin(), hits.end(), std::size_t(std::max(start, 0)));
    return at == hits.end() ? FindOutcome{} : NaiveOutcome(whole, *at, needle);
}

// Backwards: the last hit before `before`, else the last of all.
FindOutcome NaiveFindBefore(const std::string& whole, std::size_t before, const std::string& needle,
                            FindOptions options)
{
    const std::vector<std::size_t> hits = NaiveHits(whole, needle, options);
    const auto at = std::lower_bound(hits.begin(), hits.end(), before);
    return hits.empty() ? FindOutcome{}
                        : NaiveOutcome(whole, at == hits.begin() ? hits.back() : *(at - 1), needle);
}

// The hits a run of Find clicks visits from the start: each one after the one before.
std::vector<std::size_t> NaiveChain(const std::string& text, const std::string& needle,
                                    FindOptions options)
{
    std::vector<std::size_t> chain;
    for (std::size_t p : NaiveHits(text, needle, options))
        if (chain.empty() || p >= chain.back() + needle.size())
            chain.push_back(p);
    return chain;
}

std::string NaiveReplace(const std::string& text, const std::string& from, const std::string& to,
                         FindOptions options = {})
{
    std::string out;
    std::size_t done = 0;
    for (std::size_t p : NaiveChain(text, from, options)) {
        out += text.substr(done, p - done) + to;
        done = p + from.size();
    }
    return out + text.substr(done);
}

std::string RandomText(std::mt19937& random, std::size_t maxLength)
{
    // Few letters, so that hits, near misses and case pairs are frequent.
    static const std::string kAlphabet = "aAbB \r\n\xE9\xC9\x9A\x8A\xFF\x9F\xDFsS\xF7\xD7";
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text)
        c = kAlphabet[random() % kAlphabet.size()];
    return text;
}

// A short random pattern repeated, with a few bytes changed: near misses everywhere.
std::string RepetitiveText(std::mt19937& random, std::size_t maxLength)
{
    const std::string pattern = "a" + RandomText(random, 3);
    std::string text;
    for (std::size_t length = random() % (maxLength + 1); text.size() < length;)
        text += pattern;
    for (int i = 0; i < 3 && !text.empty(); ++i)
        text[random() % text.size()] = "xX"[random() % 2];
    return text;
}

}  // namespace

Q_DECLARE_METATYPE(Clicks)

class TestFindReplace final : public QObject {
    Q_OBJECT

private slots:
    void clicks_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<Clicks>("clicks");
        QTest::newRow("worked example") << QByteArray("one two one two") << QByteArray("TWO")
                                        << Clicks{{4, 7}, {12, 0}, {4, 7}};
        QTest::newRow("hit at the very end is reached")
            << QByteArray("abcabc") << QByteArray("abc") << Clicks{{0, 3}, {3, 0}, {0, 3}};
        QTest::newRow("as many left as the needle has: go on")
            << QByteArray("abcxyz") << QByteArray("abc") << Clicks{{0, 3}, {-1, 0}, {0, 3}};
        QTest::newRow("fewer left than the needle has: start over")
            << QByteArray("abcab") << QByteArray("abc") << Clicks{{0, 0}, {0, 0}};
        QTest::newRow("any case") << QByteArray("Two TWO two") << QByteArray("tWo")
                                  << Clicks{{0, 3}, {4, 7}, {8, 0}};
        QTest::newRow("CR LF counts two") << QByteArray("line\r\nline\r\nline")
                                          << QByteArray("LINE") << Clicks{{0, 4}, {6, 10}, {12, 0}};
        QTest::newRow("needle spans a line break")
            << QByteArray("a\r\nb a\r\nb") << QByteArray("A\r\nB") << Clicks{{0, 4}, {5, 0}};
        QTest::newRow("no hit") << QByteArray("hello") << QByteArray("xyz")
                                << Clicks{{-1, 0}, {-1, 0}};
        QTest::newRow("empty needle") << QByteArray("abc") << QByteArray() << Clicks{{-1, 0}};
        QTest::newRow("empty text") << QByteArray() << QByteArray("a") << Clicks{{-1, 0}};
        QTest::newRow("needle longer than text")
            << QByteArray("ab") << QByteArray("abc") << Clicks{{-1, 0}};
        QTest::newRow("e acute both ways")
            << QByteArray("CAF\xC9 caf\xE9") << QByteArray("\xE9") << Clicks{{3, 4}, {8, 0}};
        QTest::newRow("S caron both ways")
            << QByteArray("\x8A-\x9A") << QByteArray("\x9A") << Clicks{{0, 1}, {2, 0}};
        QTest::newRow("Y diaeresis both ways")
            << QByteArray("\xFF-\x9F") << QByteArray("\x9F") << Clicks{{0, 1}, {2, 0}};
        QTest::newRow("sharp s matches only itself")
            << QByteArray("SS ss \xDF") << QByteArray("\xDF") << Clicks{{6, 0}, {6, 0}};
        QTest::newRow("ss does not match sharp s")
            << QByteArray("\xDF") << QByteArray("ss") << Clicks{{-1, 0}};
        QTest::newRow("micro is no M")
            << QByteArray("M\xB5") << QByteArray("\xB5") << Clicks{{1, 0}};
        QTest::newRow("division sign is no multiplication sign")
            << QByteArray("\xD7\xF7") << QByteArray("\xF7") << Clicks{{1, 0}};
        // First and last byte fit at 2 but the middle does not; the hit lies past the 16-byte
        // blocks.
        QTest::newRow("near miss, then hit in the tail")
            << QByteArray("xxabxd" + QByteArray(32, 'x') + "ABCDx") << QByteArray("abcd")
            << Clicks{{38, 0}};
        // Nearly every start passes the filter here, so the linear scan takes over.
        QTest::newRow("long run of one letter")
            << QByteArray(QByteArray(300, 'a') + "b" + QByteArray(20, 'a'))
            << QByteArray("AAAAAAAABA") << Clicks{{292, 302}, {-1, 0}, {292, 302}};
        QTest::newRow("long run of y diaeresis")
            << QByteArray(QByteArray(200, '\x9F') + "S\xFF\xFF\xFF")
            << QByteArray("\xFF\xFF\xFF\xFFs\xFF") << Clicks{{196, 0}};
    }

    void clicks()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(Clicks, clicks);
        std::int32_t findPos = 0;
        for (std::size_t i = 0; i < clicks.size(); ++i) {
            const FindOutcome outcome = FindFrom(text.toStdString(), findPos, needle.toStdString());
            QCOMPARE(std::make_pair(int(outcome.Hit), int(outcome.FindNext)), clicks[i]);
            QCOMPARE(outcome.Found(), clicks[i].first >= 0);
            findPos = outcome.FindNext;
        }
    }

    void start_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("hit");
        QTest::addColumn<int>("findNext");
        QTest::newRow("negative counts as zero") << QByteArray("ab ab ab") << -5 << 0 << 2;
        QTest::newRow("skips a hit it starts inside") << QByteArray("ab ab ab") << 1 << 3 << 5;
        QTest::newRow("finds a hit it starts on") << QByteArray("ab ab ab") << 3 << 3 << 5;
        QTest::newRow("at the end") << QByteArray("ab ab ab") << 8 << -1 << 0;
        QTest::newRow("text shortened below it") << QByteArray("ab") << 7 << -1 << 0;
        QTest::newRow("largest start") << QByteArray("ab") << INT32_MAX << -1 << 0;
    }

    void start()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, start);
        QFETCH(int, hit);
        QFETCH(int, findNext);
        const FindOutcome outcome = FindFrom(text.toStdString(), start, "AB");
        QCOMPARE(outcome.Hit, hit);
        QCOMPARE(outcome.FindNext, findNext);
    }

    void replace_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("every case") << QByteArray("Aa aA") << QByteArray("a") << QByteArray("b")
                                    << true << QByteArray("bb bb");
        QTest::newRow("no overlap") << QByteArray("aaaa") << QByteArray("aa") << QByteArray("a")
                                    << true << QByteArray("aa");
        QTest::newRow("inserted text not searched")
            << QByteArray("x") << QByteArray("x") << QByteArray("xx") << true << QByteArray("xx");
        QTest::newRow("inserted case kept") << QByteArray("one ONE") << QByteArray("one")
                                            << QByteArray("Two") << true << QByteArray("Two Two");
        QTest::newRow("empty to deletes")
            << QByteArray("a-b-c") << QByteArray("-") << QByteArray() << true << QByteArray("abc");
        QTest::newRow("everything deleted")
            << QByteArray("abcABC") << QByteArray("Abc") << QByteArray() << true << QByteArray();
        QTest::newRow("8-bit letters") << QByteArray("\xC9lan \xE9lan") << QByteArray("\xE9")
                                       << QByteArray("e") << true << QByteArray("elan elan");
        QTest::newRow("line breaks") << QByteArray("a\r\nb\r\n") << QByteArray("\r\n")
                                     << QByteArray(" ") << true << QByteArray("a b ");
        QTest::newRow("case-only change")
            << QByteArray("abc") << QByteArray("b") << QByteArray("B") << true << QByteArray("aBc");
        QTest::newRow("not found")
            << QByteArray("abc") << QByteArray("z") << QByteArray("y") << false << QByteArray();
        QTest::newRow("empty from")
            << QByteArray("abc") << QByteArray() << QByteArray("y") << false << QByteArray();
        QTest::newRow("replaced by itself")
            << QByteArray("aba") << QByteArray("A") << QByteArray("a") << false << QByteArray();
    }

    void replace()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(bool, changed);
        QFETCH(QByteArray, expected);
        const auto result =
            ReplaceAll(text.toStdString(), from.toStdString(), to.toStdString());
        QCOMPARE(result.has_value(), changed);
        if (changed)
            QCOMPARE(QByteArray::fromStdString(*result), expected);
    }

    // Compared with the plain reading on random texts whose lengths cross the 16-byte blocks;
    // repetitive texts make the filter pass nearly everywhere, so the linear scan takes over.
    void matchesNaiveReference_data()
    {
        QTest::addColumn<bool>("repetitive");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<int>("maxNeedle");
        QTest::addColumn<int>("rounds");
        QTest::newRow("random texts") << false << 80 << 5 << 20000;
        QTest::newRow("repetitive texts") << true << 700 << 40 << 3000;
    }

    void matchesNaiveReference()
    {
        QFETCH(bool, repetitive);
        QFETCH(int, maxLength);
        QFETCH(int, maxNeedle);
        QFETCH(int, rounds);
        std::mt19937 random(20240601);
        for (int round = 0; round < rounds; ++round) {
            const std::string text =
                repetitive ? RepetitiveText(random, maxLength) : RandomText(random, maxLength);
            std::string needle = RandomText(random, 4);
            if (needle.empty() || repetitive || round % 3 == 0) {
                needle = text.substr(random() % (text.size() + 1), 1 + random() % maxNeedle);
                if (!needle.empty() && random() % 2)
                    needle[random() % needle.size()] = 'x';
                if (random() % 2)
                    needle = Upper(needle);
            }
            const int start = static_cast<int>(random() % (text.size() + 3)) - 1;
            // Every fourth round with the plain options; the rest with one or both set.
            const FindOptions options{round % 4 != 0 && random() % 2 != 0,
                                      round % 4 != 0 && random() % 2 != 0};
            const QByteArray where = QByteArray::fromStdString(text).toHex() + " / " +
                                     QByteArray::fromStdString(needle).toHex() + " options " +
                                     QByteArray::number(options.matchCase + 2 * options.wholeWords);

            // An exactly sized copy, so that a sanitizer build sees any read past the end.
            const std::vector<char> exact(text.begin(), text.end());
            const std::string_view view(exact.data(), exact.size());
            const FindOutcome got = FindFrom(view, start, needle, options);
            const FindOutcome want = NaiveFindFrom(text, start, needle, options);
            QVERIFY2(got.Hit == want.Hit && got.FindNext == want.FindNext, where.constData());

            const std::size_t before = random() % (text.size() + 2);
            const FindOutcome back = FindBefore(view, before, needle, options);
            const FindOutcome backWant = NaiveFindBefore(text, before, needle, options);
            QVERIFY2(back.Hit == backWant.Hit && back.FindNext == backWant.FindNext,
                     where.constData());

            // Counted in pieces of any size, the shown hit anywhere.
            const std::vector<std::size_t> chain = NaiveChain(text, needle, options);
            const std::size_t shown = random() % (text.size() + 1);
            HitCount count(TextFinder(needle, options), shown);
            for (const std::size_t piece = 1 + random() % 20; !count.CountOn(view, piece);) {
            }
            const auto atOrBefore = std::upper_bound(chain.begin(), chain.end(), shown) - chain.begin();
            QVERIFY2(count.Total() == chain.size() &&
                         count.Index() == std::max<std::size_t>(1, atOrBefore),
                     where.constData());

            const std::string to = RandomText(random, 3);
            const auto replaced = ReplaceAll(view, needle, to, options);
            const std::string naive = NaiveReplace(text, needle, to, options);
            QVERIFY2(replaced.value_or(text) == naive, where.constData());
            QVERIFY2(replaced.has_value() == (naive != text), where.constData());
        }
    }

    // The search backwards in a text longer than its first look back, and hits of whole words
    // and matched case that the random texts rarely make.
    void findBeforeLooksFurtherBack()
    {
        std::string text = "Word " + std::string(300000, '.') + " word";
        QCOMPARE(FindBefore(text, text.size() - 4, "WORD").Hit, 0);
        QCOMPARE(FindBefore(text, 0, "WORD").Hit, int(text.size() - 4));  // wraps round
        QCOMPARE(FindBefore(text, text.size(), "Word", {true, false}).Hit, 0);
        QCOMPARE(FindBefore(text, 3, "x").Hit, -1);
    }

    // The word letters are those the desktop's text boxes take for letters and digits.
    void wordBytesAreQtsLettersAndDigits()
    {
        for (int b = 0; b < 256; ++b) {
            const QChar c(win1252::ToUnicode(static_cast<std::uint8_t>(b)));
            QVERIFY2(IsWordByte(static_cast<char>(b)) == (c.isLetterOrNumber() || c == u'_'),
                     QByteArray::number(b, 16).constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestFindReplace)
#include "test_find_replace.moc"
