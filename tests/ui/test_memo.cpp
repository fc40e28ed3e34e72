// The editing area must give back every byte string it is given, and count positions in bytes
// with CR LF as two.
#include <random>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QTextDocument>
#include <QTest>

#include "editor_test_rows.h"
#include "ui/editor/memo.h"
#include "ui/editor/text_codec.h"

namespace {
QByteArray Show(const std::string& s)
{
    return QByteArray::fromStdString(s).toHex(' ');
}
}  // namespace

class TestMemo : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        AddByteStringRows();
    }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        Memo memo;
        memo.setBytes(bytes.toStdString());
        // Through the widget's own document, not the kept copy.
        const std::string back =
            text_codec::QtRawToBytes(memo.document()->toRawText());
        QCOMPARE(Show(back), Show(bytes.toStdString()));
        QCOMPARE(memo.byteLength(), bytes.size());
        QCOMPARE(memo.bytes(), bytes.toStdString());
    }

    void randomStringsRoundTrip()
    {
        std::mt19937 rng(1252);
        Memo memo;
        for (int round = 0; round < 200; ++round) {
            const std::string s = RandomByteString(rng);
            memo.setBytes(s);
            QCOMPARE(Show(text_codec::QtRawToBytes(memo.document()->toRawText())), Show(s));
        }
    }

    void editsInvalidateKeptBytes()
    {
        Memo memo;
        memo.setBytes("ab");
        QCOMPARE(memo.bytes(), std::string("ab"));
        QTextCursor c = memo.textCursor();
        c.movePosition(QTextCursor::End);
        c.insertText(QStringLiteral("\nc"));
        QCOMPARE(memo.bytes(), std::string("ab\r\nc"));
        QCOMPARE(memo.byteLength(), 5);
    }

    void keptBytesFollowEveryEdit()
    {
        // Whatever the edit, the bytes the area keeps equal a fresh read of its document.
        std::mt19937 rng(6);
        Memo memo;
        memo.setBytes("first line\r\nsecond \xE9\xA0 line\r\n\r\nlone\rCR and lone\nLF\0end");
        const QString pieces[] = {QStringLiteral("x"), QStringLiteral("\n"), QStringLiteral("ab\ncd"),
                                  QString(QChar(0x20AC)), QStringLiteral("\t"), QStringLiteral("\n\n")};
        for (int step = 0; step < 600; ++step) {
            QTextCursor c(memo.document());
            const int size = memo.document()->characterCount() - 1;
            const int a = size ? static_cast<int>(rng() % (size + 1)) : 0;
            const int b = std::min(size, a + static_cast<int>(rng() % 4));
            c.setPosition(a);
            switch (rng() % 6) {
            case 0:
            case 1:
                c.insertText(pieces[rng() % std::size(pieces)]);
                break;
            case 2:
                c.setPosition(b, QTextCursor::KeepAnchor);
                c.removeSelectedText();
                break;
            case 3:
                c.setPosition(b, QTextCursor::KeepAnchor);
                c.insertText(pieces[rng() % std::size(pieces)]);
                break;
            case 4:
                memo.undo();
                break;
            default:
                memo.redo();
                break;
            }
            if (step % 3 == 0 || step > 590) {
                const std::string fresh =
                    text_codec::QtRawToBytes(memo.document()->toRawText());
                QCOMPARE(memo.byteLength(), static_cast<qsizetype>(fresh.size()));
                QVERIFY2(memo.bytes() == fresh, qPrintable(QStringLiteral("step %1").arg(step)));
            }
        }
    }

    void selectionInBytes_data()
    {
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QByteArray>("selected");
        // Text: "one\r\ntwo\r\n\r\nthree"
        QTest::newRow("first line") << qsizetype(0) << qsizetype(3) << QByteArray("one");
        QTest::newRow("second line") << qsizetype(5) << qsizetype(3) << QByteArray("two");
        QTest::newRow("across a break") << qsizetype(2) << qsizetype(5) << QByteArray("e\r\ntw");
        QTest::newRow("after an empty line") << qsizetype(12) << qsizetype(5) << QByteArray("three");
        QTest::newRow("whole") << qsizetype(0) << qsizetype(17)
                               << QByteArray("one\r\ntwo\r\n\r\nthree");
        QTest::newRow("past the end is clipped") << qsizetype(15) << qsizetype(10) << QByteArray("ee");
    }
    void selectionInBytes()
    {
        QFETCH(qsizetype, start);
        QFETCH(qsizetype, length);
        QFETCH(QByteArray, selected);
        Memo memo;
        memo.setBytes("one\r\ntwo\r\n\r\nthree");
        memo.select(start, length);
        QCOMPARE(memo.selStart(), start);
        QCOMPARE(memo.selLength(), selected.size());
        QCOMPARE(Show(memo.selectedBytes()), Show(selected.toStdString()));
    }

    void typedCharactersWithoutAByteBecomeQuestionMarks_data()
    {
        AddTypedInputRows();
    }

    // What the screen shows is what is saved: "?" at once, not only in the file.
    void typedCharactersWithoutAByteBecomeQuestionMarks()
    {
        QFETCH(QStringList, keys);
        QFETCH(QByteArray, bytes);
        Memo memo;
        memo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        for (const QString& key : keys)
            QTest::sendKeyEvent(QTest::Click, &memo, Qt::Key_unknown, key, Qt::NoModifier);
        QCOMPARE(Show(memo.bytes()), Show(bytes.toStdString()));
        QCOMPARE(memo.document()->toRawText(), QString::fromLatin1(bytes).replace('\x80', u'\u20AC'));
    }

    void droppedTextWithoutBytesBecomesQuestionMarks()
    {
        Memo memo;
        memo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        QMimeData data;
        data.setText(QString::fromUtf8("d\U0001F600\u200Fe"));
        const QPoint at = memo.viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(memo.viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(memo.viewport(), &drop);
        QCOMPARE(Show(memo.bytes()), Show(std::string("d??e")));
        QCOMPARE(memo.document()->toRawText(), QStringLiteral("d??e"));
    }

    void pasteMapsToWindows1252()
    {
        Memo memo;
        QApplication::clipboard()->setText(QString::fromUtf8("x\u0160\u03A9\r\ny"));
        memo.paste();
        QCOMPARE(Show(memo.bytes()), Show(std::string("x\x8A?\r\ny")));
    }

    void copyGivesUnicode()
    {
        Memo memo;
        memo.setBytes("\x80\xE9\r\nz");
        memo.selectAll();
        memo.copy();
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8("\u20AC\u00E9\nz"));
    }

    void shiftEnterIsALineBreak()
    {
        Memo memo;
        memo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        QTest::keyClicks(&memo, "ab");
        QTest::keyClick(&memo, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(&memo, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
        QTest::keyClicks(&memo, "c");
        QCOMPARE(Show(memo.bytes()), Show(std::string("ab\r\n\r\nc")));
    }

    void tabIsTyped()
    {
        Memo memo;
        memo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        QTest::keyClick(&memo, Qt::Key_Tab);
        QCOMPARE(memo.bytes(), std::string("\t"));
        QVERIFY(memo.hasFocus());
    }

    void pointSizeReadsBack_data()
    {
        QTest::addColumn<int>("points");
        for (int p : {10, 12, 15, 18, 20, 22, 25, 28, 30, 32, 35})
            QTest::newRow(qPrintable(QString::number(p))) << p;
    }
    void pointSizeReadsBack()
    {
        QFETCH(int, points);
        Memo memo;
        memo.setPointSize(points);
        QCOMPARE(memo.pointSize(), points);
    }
};

QTEST_MAIN(TestMemo)
#include "test_memo.moc"
