#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTest>

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
