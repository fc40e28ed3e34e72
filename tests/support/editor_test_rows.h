#pragma once

#include <random>
#include <string>

#include <QByteArray>
#include <QStringList>
#include <QTest>

// Byte strings the editing area must give back exactly: every value, and each line-break
// shape that a mapping to characters could confuse.
inline void AddByteStringRows()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    QTest::newRow("all 256 values") << all;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("lone CR") << QByteArray("a\rb");
    QTest::newRow("lone LF") << QByteArray("a\nb");
    QTest::newRow("NUL") << QByteArray("a\0b", 3);
    QTest::newRow("no-break space") << QByteArray("a\xA0 b");
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb");
    QTest::newRow("LF CR") << QByteArray("a\n\rb");
    QTest::newRow("ends in CR") << QByteArray("abc\r");
    QTest::newRow("ends in CR LF") << QByteArray("abc\r\n");
    QTest::newRow("only breaks") << QByteArray("\r\n\r\n\r\n");
    QTest::newRow("undefined five") << QByteArray("\x81\x8D\x8F\x90\x9D");
    QTest::newRow("tab and 8-bit letters") << QByteArray("\t\xE9\x80\x9A\xFF");
}

// Keys that type characters with and without a Windows-1252 byte, and the bytes they must give:
// what the screen shows is what is saved, "?" at once. Shared by the editing area's suites.
inline void AddTypedInputRows()
{
    QTest::addColumn<QStringList>("keys");  // the text of each key press
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("letters with and without a byte")
        << QStringList{"a", "\u00E9", "\u20AC", "\u4E2D"} << QByteArray("a\xE9\x80?");
    QTest::newRow("an emoji: one key, two UTF-16 units, one ?")
        << QStringList{"x", "\U0001F600", "y"} << QByteArray("x?y");
    QTest::newRow("format characters (right-to-left mark, joiner)")
        << QStringList{"\u200F", "b", "\u200D"} << QByteArray("?b?");
}

// A random byte string of up to 300 bytes, biased toward line-break bytes, where the mapping to
// characters is subtle.
inline std::string RandomByteString(std::mt19937& rng)
{
    std::string s(rng() % 300, '\0');
    for (char& c : s) {
        const unsigned r = rng() % 8;
        c = static_cast<char>(r == 0 ? '\r' : r == 1 ? '\n' : rng() % 256);
    }
    return s;
}
