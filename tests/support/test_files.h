#pragma once

#include <string>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// Small file helpers shared by the GUI tests.

// The whole file, or "<missing>" when it cannot be read (so a comparison shows why it failed).
inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Replaces the file's content; fails the running test when it cannot.
inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A path as the program holds it: the file system's own bytes.
inline std::string Path(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}
