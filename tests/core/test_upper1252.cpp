#include <QTest>

#include <array>
#include <clocale>
#include <cwctype>
#include <random>
#include <string>

#include "core/upper1252.h"
#include "core/win1252.h"

namespace {

// Bytes whose Unicode capital exists but has no Windows-1252 byte, so the byte stays:
// ƒ (U+0191) and µ (U+039C). Every other byte agrees with the C library's upper-casing.
const std::string kCapitalOutside1252 = "\x83\xB5";

// The C library's upper case of a byte's character, if it is a Windows-1252 character.
std::uint8_t LocaleUpper(std::uint8_t byte, bool* outside)
{
    const auto capital = static_cast<char32_t>(std::towupper(win1252::ToUnicode(byte)));
    const int back = win1252::FromUnicode(capital);
    *outside = back < 0;
    return back < 0 ? byte : static_cast<std::uint8_t>(back);
}

QByteArray Hex(std::uint8_t byte)
{
    return QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
}

}  // namespace

class TestUpper1252 final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr, "the C.UTF-8 locale is missing");
    }

    void agreesWithLocale_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("outside");
        for (int b = 0; b < 256; ++b) {
            bool outside = false;
            const int expected = LocaleUpper(static_cast<std::uint8_t>(b), &outside);
            QTest::addRow("0x%s", Hex(b).constData()) << b << expected << outside;
        }
    }

    void agreesWithLocale()
    {
        QFETCH(int, byte);
        QFETCH(int, expected);
        QFETCH(bool, outside);
        QCOMPARE(int(win1252::Upper(static_cast<std::uint8_t>(byte))), expected);
        const bool listed = kCapitalOutside1252.find(static_cast<char>(byte)) != std::string::npos;
        QCOMPARE(outside, listed);
    }

    void letters_data()
    {
        QTest::addColumn<int>("small");
        QTest::addColumn<int>("capital");
        const auto row = [](const char* name, int small, int capital) {
            QTest::newRow(name) << small << capital;
        };
        row("a", 'a', 'A');
        row("z", 'z', 'Z');
        row("backquote before a stays", '`', '`');
        row("brace after z stays", '{', '{');
        row("capital stays", 'Q', 'Q');
        row("a grave", 0xE0, 0xC0);
        row("e acute", 0xE9, 0xC9);
        row("thorn", 0xFE, 0xDE);
        row("division sign stays", 0xF7, 0xF7);
        row("multiplication sign stays", 0xD7, 0xD7);
        row("sharp s stays", 0xDF, 0xDF);
        row("micro stays", 0xB5, 0xB5);
        row("f hook stays", 0x83, 0x83);
        row("s caron", 0x9A, 0x8A);
        row("oe", 0x9C, 0x8C);
        row("z caron", 0x9E, 0x8E);
        row("y diaeresis", 0xFF, 0x9F);
        row("undefined 0x9D stays", 0x9D, 0x9D);
        row("ordinal a stays", 0xAA, 0xAA);
    }

    void letters()
    {
        QFETCH(int, small);
        QFETCH(int, capital);
        QCOMPARE(int(win1252::Upper(static_cast<std::uint8_t>(small))), capital);
    }

    // The finder relies on these: a capital is its own upper case, and at most one other byte
    // (its small letter) upper-cases to it.
    void idempotentAndPaired()
    {
        std::array<int, 256> preimages{};
        for (int b = 0; b < 256; ++b) {
            const std::uint8_t up = win1252::kUpperTable[b];
            QCOMPARE(win1252::kUpperTable[up], up);
            ++preimages[up];
        }
        for (int b = 0; b < 256; ++b)
            QVERIFY2(preimages[b] <= 2, Hex(b).constData());
    }

    // The 16-byte path must give the table's answer at every length and alignment; the rows
    // choose texts that take the ASCII shortcut, the full path, and both in one buffer.
    void bulkMatchesTable_data()
    {
        QTest::addColumn<QByteArray>("alphabet");
        QTest::newRow("ascii") << QByteArray("aZz`{@ \r\nmq");
        QTest::newRow("8-bit only") << QByteArray("\xE0\xF7\xFE\xFF\x9A\x9C\x9E\x9F\xDF\xB5\x80");
        QByteArray every(256, '\0');
        for (int b = 0; b < 256; ++b)
            every[b] = static_cast<char>(b);
        QTest::newRow("every byte") << every;
    }

    void bulkMatchesTable()
    {
        QFETCH(QByteArray, alphabet);
        std::mt19937 random(7);
        for (std::size_t length : {0, 1, 15, 16, 17, 31, 32, 33, 100, 300}) {
            for (std::size_t offset = 0; offset < 4; ++offset) {
                std::string src(offset + length, '.');
                for (char& c : src)
                    c = alphabet[static_cast<int>(random() % alphabet.size())];
                std::string expected = src.substr(offset);
                for (char& c : expected)
                    c = win1252::Upper(c);

                std::string copied(length, '\0');
                win1252::UpperCopy(src.data() + offset, length, copied.data());
                QCOMPARE(QByteArray::fromStdString(copied), QByteArray::fromStdString(expected));
                std::string inPlace = src.substr(offset);
                win1252::UpperInPlace(inPlace);
                QCOMPARE(QByteArray::fromStdString(inPlace), QByteArray::fromStdString(expected));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestUpper1252)
#include "test_upper1252.moc"
