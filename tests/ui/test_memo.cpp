// The editing area must give back every byte string it is given, count positions in bytes with
// CR LF as two, and take back every edit, whole-text commands included.
#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include "editor_test_rows.h"
#include "ui/editor/memo.h"

namespace {
QByteArray Show(std::string_view s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size())).toHex(' ');
}
// Where dark pixels are.
QRect InkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
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
        QVERIFY(memo.setBytes(bytes.toStdString()));
        QCOMPARE(Show(memo.bytes()), Show(bytes.toStdString()));
        QCOMPARE(memo.byteLength(), bytes.size());
        // A negative start or length counts as none; the whole text is still selectable.
        memo.select(-5, bytes.size() + 10);
        QCOMPARE(memo.selStart(), 0);
        QCOMPARE(memo.selLength(), bytes.size());
        memo.select(1, -1);
        QCOMPARE(memo.selLength(), 0);
    }

    // Random edits through the area's own commands, with undo and redo, against a plain list of
    // the texts each step leaves: what undo brings back is what was there, byte for byte.
    void randomEditsUndoAndRedoFollowTheModel()
    {
        std::mt19937 rng(6);
        Memo memo;
        memo.setBytes("first line\r\nsecond \xE9\xA0 line\r\n\r\nlone\rCR and lone\nLF");
        memo.insertPlainText({});  // nothing typed is no step
        std::vector<std::string> states{std::string(memo.bytes())};
        std::size_t done = 0;  // index of the state shown
        const QString pieces[] = {QStringLiteral("x"), QStringLiteral("\n"), QStringLiteral("ab\ncd"),
                                  QString(QChar(0x20AC)), QStringLiteral("\t"), QString(QChar(0x4E2D))};
        for (int step = 0; step < 600; ++step) {
            const qsizetype size = memo.byteLength();
            const qsizetype a = size ? static_cast<qsizetype>(rng() % (size + 1)) : 0;
            const qsizetype len = static_cast<qsizetype>(rng() % 4);
            const std::string before(memo.bytes());
            bool changes = true;
            switch (rng() % 7) {
            case 0:
            case 1:
                memo.select(a, len);
                memo.insertPlainText(pieces[rng() % std::size(pieces)]);
                break;
            case 2:
                memo.select(a, len);
                changes = memo.selLength() > 0;
                memo.deleteSelection();
                break;
            case 3: {
                std::string whole = before;
                std::reverse(whole.begin(), whole.end());
                QVERIFY(memo.replaceAllBytes(std::move(whole)));
                break;
            }
            case 4:
                changes = false;
                memo.undo();
                if (done > 0)
                    --done;
                break;
            default:
                changes = false;
                memo.redo();
                if (done + 1 < states.size())
                    ++done;
                break;
            }
            if (changes) {
                states.resize(done + 1);
                states.emplace_back(memo.bytes());
                ++done;
            }
            QVERIFY2(memo.bytes() == states[done],
                     qPrintable(QStringLiteral("step %1: %2 against %3")
                                    .arg(step)
                                    .arg(QString::fromLatin1(Show(memo.bytes())),
                                         QString::fromLatin1(Show(states[done])))));
            QCOMPARE(memo.canUndo(), done > 0);
            QCOMPARE(memo.canRedo(), done + 1 < states.size());
        }
    }

    // Encrypt, Decrypt and Replace All replace the whole text as one step; what else they
    // changed is put back with it.
    void wholeTextStepUndoesWithWhatItChanged()
    {
        Memo memo;
        memo.setBytes("plain text\r\nof two lines");
        memo.select(3, 4);
        std::vector<bool> moves;
        QSignalSpy changed(&memo, &Memo::textChanged);
        QVERIFY(memo.replaceAllBytes("cipher text\r\n\x9D\x9D", [&](bool undone) { moves.push_back(undone); }));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(memo.selStart(), 0);
        QCOMPARE(memo.selLength(), 0);
        QVERIFY(moves.empty());

        memo.undo();
        QCOMPARE(memo.bytes(), std::string_view("plain text\r\nof two lines"));
        QCOMPARE(memo.selStart(), 3);  // the selection the command found
        QCOMPARE(memo.selLength(), 4);
        memo.redo();
        QCOMPARE(memo.bytes(), std::string_view("cipher text\r\n\x9D\x9D"));
        QCOMPARE(moves, (std::vector<bool>{true, false}));
        QCOMPARE(changed.count(), 3);

        // A fresh document forgets the step: nothing more to undo.
        memo.setBytes("opened");
        memo.undo();
        QCOMPARE(memo.bytes(), std::string_view("opened"));
        QCOMPARE(moves.size(), std::size_t{2});
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

    // The text stands where the former editing area, a QPlainTextEdit with the same font and
    // margins, put it: same left edge, first baseline and line spacing, within a pixel.
    void textStandsWhereItStood_data()
    {
        QTest::addColumn<int>("pixels");
        for (int px : {13, 20, 27, 40})
            QTest::newRow(qPrintable(QStringLiteral("%1 px").arg(px))) << px;
    }
    void textStandsWhereItStood()
    {
        QFETCH(int, pixels);
        const QString lines = QStringLiteral("Dear Ann,\nsee you at eight.\n\xC0 la carte");
        Memo memo;
        QPlainTextEdit former;
        former.setFrameShape(QFrame::NoFrame);
        former.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        for (QWidget* w : {static_cast<QWidget*>(&memo), static_cast<QWidget*>(&former)}) {
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setPixelSize(pixels);
            w->setFont(f);
            w->resize(600, 300);
        }
        memo.insertPlainText(lines);
        former.setPlainText(lines);
        const QRect mine = InkBox(memo.viewport()->grab().toImage());
        const QRect theirs = InkBox(former.viewport()->grab().toImage());
        QVERIFY2(!mine.isEmpty() && !theirs.isEmpty(), "nothing drawn");
        QVERIFY2(std::abs(mine.left() - theirs.left()) <= 1 && std::abs(mine.top() - theirs.top()) <= 1 &&
                     std::abs(mine.bottom() - theirs.bottom()) <= 1 &&
                     std::abs(mine.right() - theirs.right()) <= 2,
                 qPrintable(QStringLiteral("ink at %1,%2 to %3,%4; formerly %5,%6 to %7,%8")
                                .arg(mine.left())
                                .arg(mine.top())
                                .arg(mine.right())
                                .arg(mine.bottom())
                                .arg(theirs.left())
                                .arg(theirs.top())
                                .arg(theirs.right())
                                .arg(theirs.bottom())));
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
