// The editing area's own view over the byte text: what it holds, where its caret goes, what the
// keys, the mouse and the clipboard do to the bytes, and that it lays out only what it shows.
#include <algorithm>
#include <cstdlib>
#include <random>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "editor_test_rows.h"
#include "ui/editor/text_view.h"

namespace {

QByteArray Show(std::string_view s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size())).toHex(' ');
}

// The rightmost column with dark pixels, or -1.
int InkRight(const QImage& image)
{
    for (int x = image.width() - 1; x >= 0; --x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 128)
                return x;
    return -1;
}

// A shown view in a fixed-pitch font, so that widths in characters are known.
struct ShownView {
    TextView view;

    explicit ShownView(QSize size = {600, 300})
    {
        view.setFamily(QStringLiteral("DejaVu Sans Mono"));
        view.setPointSize(10);
        view.resize(size);
        view.show();
        view.activateWindow();
        view.setFocus();
    }
    bool exposed() { return QTest::qWaitForWindowExposed(&view); }

    // The middle of the caret's place at `pos`, in the viewport.
    QPoint pointOf(std::size_t pos)
    {
        const std::size_t start = view.selStart();
        const std::size_t length = view.selLength();
        view.select(pos, 0);
        const QRect r = view.inputMethodQuery(Qt::ImCursorRectangle).toRect();
        view.select(start, length);
        return r.center() - view.viewport()->pos();
    }
};

}  // namespace

class TestTextView : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        AddByteStringRows();
    }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        ShownView v;
        QVERIFY(v.exposed());
        QVERIFY(v.view.setBytes(bytes.toStdString()));
        QCOMPARE(Show(v.view.bytes()), Show(bytes.toStdString()));
        QCOMPARE(v.view.byteLength(), static_cast<std::size_t>(bytes.size()));
        QCOMPARE(v.view.isEmpty(), bytes.isEmpty());
        v.view.selectAll();
        QCOMPARE(Show(v.view.selectedBytes()), Show(bytes.toStdString()));
        QVERIFY(!v.view.grab().isNull());  // painting every kind of byte
    }

    void randomStringsRoundTrip()
    {
        std::mt19937 rng(1252);
        TextView view;
        for (int round = 0; round < 200; ++round) {
            const std::string s = RandomByteString(rng);
            view.setBytes(std::string(s));
            QCOMPARE(Show(view.bytes()), Show(s));
        }
    }

    void selectionInBytes_data()
    {
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<qsizetype>("selStart");
        QTest::addColumn<QByteArray>("selected");
        // Text: "one\r\ntwo\r\n\r\nthree"
        QTest::newRow("across a break") << qsizetype(2) << qsizetype(5) << qsizetype(2)
                                        << QByteArray("e\r\ntw");
        QTest::newRow("past the end is clipped")
            << qsizetype(15) << qsizetype(10) << qsizetype(15) << QByteArray("ee");
        QTest::newRow("a start inside CR LF goes to the line's end")
            << qsizetype(4) << qsizetype(3) << qsizetype(3) << QByteArray("\r\nt");
        QTest::newRow("an end inside CR LF goes to the line's end")
            << qsizetype(0) << qsizetype(4) << qsizetype(0) << QByteArray("one");
    }
    void selectionInBytes()
    {
        QFETCH(qsizetype, start);
        QFETCH(qsizetype, length);
        QFETCH(qsizetype, selStart);
        QFETCH(QByteArray, selected);
        TextView view;
        view.setBytes("one\r\ntwo\r\n\r\nthree");
        view.select(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
        QCOMPARE(static_cast<qsizetype>(view.selStart()), selStart);
        QCOMPARE(Show(view.selectedBytes()), Show(selected.toStdString()));
    }

    void keys_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selLength");
        const QByteArray t("one two\r\nthree\r\n\r\nfour");  // 0 one 4 two 9 three 16 (empty) 18 four
        const int none = Qt::NoModifier;
        const int shift = Qt::ShiftModifier;
        const int ctrl = Qt::ControlModifier;
        // clang-format off
        QTest::newRow("Right steps over CR LF") << t << 7 << 0 << int(Qt::Key_Right) << none << t << 9 << 0;
        QTest::newRow("Left steps over CR LF") << t << 9 << 0 << int(Qt::Key_Left) << none << t << 7 << 0;
        QTest::newRow("Right over a lone CR") << QByteArray("a\rb") << 1 << 0 << int(Qt::Key_Right) << none << QByteArray("a\rb") << 2 << 0;
        QTest::newRow("Left ends a selection at its start") << t << 4 << 3 << int(Qt::Key_Left) << none << t << 4 << 0;
        QTest::newRow("Shift+Right extends") << t << 0 << 0 << int(Qt::Key_Right) << shift << t << 1 << 1;
        QTest::newRow("Down keeps the column") << t << 2 << 0 << int(Qt::Key_Down) << none << t << 11 << 0;
        QTest::newRow("Down past a short line's end") << t << 6 << 0 << int(Qt::Key_Down) << none << t << 14 << 0;
        QTest::newRow("Down onto an empty line") << t << 11 << 0 << int(Qt::Key_Down) << none << t << 16 << 0;
        QTest::newRow("Up from the empty line") << t << 16 << 0 << int(Qt::Key_Up) << none << t << 9 << 0;
        QTest::newRow("Up on the first line goes to its start") << t << 2 << 0 << int(Qt::Key_Up) << none << t << 0 << 0;
        QTest::newRow("Down on the last line goes to the end") << t << 19 << 0 << int(Qt::Key_Down) << none << t << 22 << 0;
        QTest::newRow("Home") << t << 12 << 0 << int(Qt::Key_Home) << none << t << 9 << 0;
        QTest::newRow("End") << t << 10 << 0 << int(Qt::Key_End) << none << t << 14 << 0;
        QTest::newRow("Shift+End selects to the line's end") << t << 9 << 0 << int(Qt::Key_End) << shift << t << 14 << 5;
        QTest::newRow("Ctrl+Home") << t << 12 << 0 << int(Qt::Key_Home) << ctrl << t << 0 << 0;
        QTest::newRow("Ctrl+End") << t << 2 << 0 << int(Qt::Key_End) << ctrl << t << 22 << 0;
        QTest::newRow("Ctrl+Right to the next word") << t << 0 << 0 << int(Qt::Key_Right) << ctrl << t << 4 << 0;
        QTest::newRow("Ctrl+Right stops at the line's end") << t << 4 << 0 << int(Qt::Key_Right) << ctrl << t << 7 << 0;
        QTest::newRow("Ctrl+Left to the word's start") << t << 6 << 0 << int(Qt::Key_Left) << ctrl << t << 4 << 0;
        QTest::newRow("Ctrl+Left from a line's start") << t << 9 << 0 << int(Qt::Key_Left) << ctrl << t << 7 << 0;
        QTest::newRow("Backspace takes CR LF whole") << t << 9 << 0 << int(Qt::Key_Backspace) << none << QByteArray("one twothree\r\n\r\nfour") << 7 << 0;
        QTest::newRow("Backspace after CR CR LF") << QByteArray("a\r\r\nb") << 4 << 0 << int(Qt::Key_Backspace) << none << QByteArray("a\rb") << 2 << 0;
        QTest::newRow("Backspace deletes the selection") << t << 4 << 3 << int(Qt::Key_Backspace) << none << QByteArray("one \r\nthree\r\n\r\nfour") << 4 << 0;
        QTest::newRow("Ctrl+Backspace deletes a word") << t << 7 << 0 << int(Qt::Key_Backspace) << ctrl << QByteArray("one \r\nthree\r\n\r\nfour") << 4 << 0;
        QTest::newRow("Delete joins two lines") << t << 7 << 0 << int(Qt::Key_Delete) << none << QByteArray("one twothree\r\n\r\nfour") << 7 << 0;
        QTest::newRow("Ctrl+Delete deletes a word and its blank") << t << 0 << 0 << int(Qt::Key_Delete) << ctrl << QByteArray("two\r\nthree\r\n\r\nfour") << 0 << 0;
        QTest::newRow("Delete that makes a lone CR and LF a break") << QByteArray("a\rX\nb") << 2 << 0 << int(Qt::Key_Delete) << none << QByteArray("a\r\nb") << 1 << 0;
        QTest::newRow("Tab") << t << 3 << 0 << int(Qt::Key_Tab) << none << QByteArray("one\t two\r\nthree\r\n\r\nfour") << 4 << 0;
        QTest::newRow("Enter") << t << 3 << 0 << int(Qt::Key_Return) << none << QByteArray("one\r\n two\r\nthree\r\n\r\nfour") << 5 << 0;
        QTest::newRow("Shift+Enter is a line break too") << t << 3 << 0 << int(Qt::Key_Return) << shift << QByteArray("one\r\n two\r\nthree\r\n\r\nfour") << 5 << 0;
        QTest::newRow("Enter on the keypad replaces the selection") << t << 4 << 3 << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << QByteArray("one \r\n\r\nthree\r\n\r\nfour") << 6 << 0;
        // clang-format on
    }
    void keys()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QByteArray, bytes);
        QFETCH(int, caret);
        QFETCH(int, selLength);
        ShownView v;
        QVERIFY(v.exposed());
        v.view.setBytes(text.toStdString());
        v.view.select(start, length);
        QTest::keyClick(&v.view, static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(Show(v.view.bytes()), Show(bytes.toStdString()));
        QCOMPARE(static_cast<int>(v.view.caret()), caret);
        QCOMPARE(static_cast<int>(v.view.selLength()), selLength);
        QVERIFY(v.view.hasFocus());
    }

    void pageKeysMoveByAScreen()
    {
        ShownView v;
        QVERIFY(v.exposed());
        std::string text;
        for (int i = 0; i < 200; ++i)
            text += "line " + std::to_string(i) + "\r\n";
        v.view.setBytes(std::move(text));
        const auto caretLine = [&v] {
            const std::string_view before = v.view.bytes().substr(0, v.view.caret());
            return static_cast<int>(std::count(before.begin(), before.end(), '\n'));
        };
        QTest::keyClick(&v.view, Qt::Key_PageDown);
        const int screen = caretLine();
        QVERIFY2(screen >= 5 && screen < 60, qPrintable(QString::number(screen)));
        QCOMPARE(v.view.verticalScrollBar()->value(), screen);
        QTest::keyClick(&v.view, Qt::Key_PageDown);
        QCOMPARE(caretLine(), 2 * screen);
        QCOMPARE(v.view.verticalScrollBar()->value(), 2 * screen);
        QTest::keyClick(&v.view, Qt::Key_PageUp, Qt::ShiftModifier);
        QCOMPARE(caretLine(), screen);
        QVERIFY(v.view.selLength() > 0);
    }

    void typedCharactersWithoutAByteBecomeQuestionMarks_data()
    {
        AddTypedInputRows();
    }
    void typedCharactersWithoutAByteBecomeQuestionMarks()
    {
        QFETCH(QStringList, keys);
        QFETCH(QByteArray, bytes);
        ShownView v;
        QVERIFY(v.exposed());
        for (const QString& key : keys)
            QTest::sendKeyEvent(QTest::Click, &v.view, Qt::Key_unknown, key, Qt::NoModifier);
        QCOMPARE(Show(v.view.bytes()), Show(bytes.toStdString()));
    }

    void inputMethodCommitIsTyped()
    {
        ShownView v;
        QVERIFY(v.exposed());
        v.view.setBytes("ab");
        v.view.select(1, 0);
        const int plainRight = InkRight(v.view.viewport()->grab().toImage());
        // Text still being composed is no part of the bytes; it stands at the caret and pushes
        // the rest of the row aside, drawing over nothing.
        QInputMethodEvent composing(QStringLiteral("ka"), {});
        QApplication::sendEvent(&v.view, &composing);
        const int composingRight = InkRight(v.view.viewport()->grab().toImage());
        const int pushed = QFontMetrics(v.view.font()).horizontalAdvance(QStringLiteral("ka"));
        QVERIFY2(std::abs(composingRight - plainRight - pushed) <= 2,
                 qPrintable(QStringLiteral("ink to %1, composing to %2, pushed by %3")
                                .arg(plainRight)
                                .arg(composingRight)
                                .arg(pushed)));
        QCOMPARE(Show(v.view.bytes()), Show("ab"));
        QInputMethodEvent compose;
        compose.setCommitString(QString::fromUtf8("\u00E9\u4E2D"));
        QApplication::sendEvent(&v.view, &compose);
        QCOMPARE(Show(v.view.bytes()), Show("a\xE9?b"));
        QCOMPARE(v.view.caret(), std::size_t{3});
    }

    void undoAndRedo()
    {
        ShownView v;
        QVERIFY(v.exposed());
        v.view.setBytes("start");
        QVERIFY(!v.view.canUndo());  // a fresh document has nothing to undo
        v.view.select(5, 0);
        QTest::keyClicks(&v.view, " abc");
        QTest::keyClick(&v.view, Qt::Key_Return);
        QTest::keyClicks(&v.view, "de");
        QCOMPARE(Show(v.view.bytes()), Show("start abc\r\nde"));
        QTest::keyClick(&v.view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Show(v.view.bytes()), Show("start abc\r\n"));
        QTest::keyClick(&v.view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Show(v.view.bytes()), Show("start abc"));
        QTest::keyClick(&v.view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Show(v.view.bytes()), Show("start"));
        QTest::keyClick(&v.view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Show(v.view.bytes()), Show("start abc"));
        QCOMPARE(v.view.caret(), std::size_t{9});

        // A whole replacement, such as an encryption, is one step.
        QVERIFY(v.view.replaceAllBytes("CIPHER\r\nTEXT"));
        QCOMPARE(Show(v.view.bytes()), Show("CIPHER\r\nTEXT"));
        v.view.undo();
        QCOMPARE(Show(v.view.bytes()), Show("start abc"));
        v.view.redo();
        QCOMPARE(Show(v.view.bytes()), Show("CIPHER\r\nTEXT"));
        v.view.setBytes("fresh");
        QVERIFY(!v.view.canUndo());

        // Ctrl+Y redoes too, whatever the desktop's own key for it.
        QTest::keyClicks(&v.view, "!");
        v.view.undo();
        QTest::keyClick(&v.view, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Show(v.view.bytes()), Show("!fresh"));
    }

    // A text that fits has nothing to scroll, however it came: typed, replaced whole, undone.
    void aShortTextHasNothingToScroll()
    {
        ShownView v;
        QVERIFY(v.exposed());
        QTest::keyClicks(&v.view, "Dear Ann,");
        QTest::keyClick(&v.view, Qt::Key_Return);
        QTest::keyClicks(&v.view, "see you at eight.");
        const QScrollBar* bar = v.view.verticalScrollBar();
        QCOMPARE(bar->maximum(), 0);
        QVERIFY(v.view.replaceAllBytes(std::string(28, 'x')));
        QCOMPARE(bar->maximum(), 0);
        v.view.undo();
        QCOMPARE(bar->maximum(), 0);
        QCOMPARE(bar->value(), 0);
        // Scrolled by row, as far as the last row at the bottom.
        std::string lines;
        for (int i = 0; i < 100; ++i)
            lines += "line\r\n";
        v.view.setBytes(std::move(lines));
        QCOMPARE(bar->maximum(), 101 - bar->pageStep());
        QTest::keyClick(&v.view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(bar->value(), bar->maximum());
    }

    void mouseClickPlacesTheCaret()
    {
        ShownView v;
        QVERIFY(v.exposed());
        v.view.setBytes("first line\r\nsecond line");
        QSignalSpy clicks(&v.view, &TextView::clicked);
        QWidget* port = v.view.viewport();
        QTest::mouseClick(port, Qt::LeftButton, {}, v.pointOf(15));
        QCOMPARE(v.view.caret(), std::size_t{15});
        QCOMPARE(clicks.count(), 1);
        QTest::mouseClick(port, Qt::LeftButton, Qt::ShiftModifier, v.pointOf(3));
        QCOMPARE(v.view.selStart(), std::size_t{3});
        QCOMPARE(v.view.selLength(), std::size_t{12});
        // Far right of a line: its end, not the next line.
        QTest::mouseClick(port, Qt::LeftButton, {}, QPoint(port->width() - 2, v.pointOf(2).y()));
        QCOMPARE(v.view.caret(), std::size_t{10});
    }

    void mouseDragSelects()
    {
        ShownView v;
        QVERIFY(v.exposed());
        v.view.setBytes("first line\r\nsecond line");
        QWidget* port = v.view.viewport();
        const QPoint from = v.pointOf(2);
        const QPoint to = v.pointOf(18);
        QTest::mousePress(port, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, port->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(port, &move);
        QTest::mouseRelease(port, Qt::LeftButton, {}, to);
        QCOMPARE(v.view.selStart(), std::size_t{2});
        QCOMPARE(Show(v.view.selectedBytes()), Show("rst line\r\nsecond"));
    }

    void doubleClickSelectsAWord_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<QByteArray>("word");
        // Text: "alpha be\xE9ta, gamma"
        QTest::newRow("first word") << 1 << QByteArray("alpha");
        QTest::newRow("a word with an 8-bit letter") << 8 << QByteArray("be\xE9ta");
        QTest::newRow("punctuation alone") << 11 << QByteArray(",");
    }
    void doubleClickSelectsAWord()
    {
        QFETCH(int, at);
        QFETCH(QByteArray, word);
        ShownView v;
        QVERIFY(v.exposed());
        v.view.setBytes("alpha be\xE9ta, gamma");
        QTest::mouseDClick(v.view.viewport(), Qt::LeftButton, {}, v.pointOf(at) + QPoint(2, 0));
        QCOMPARE(Show(v.view.selectedBytes()), Show(word.toStdString()));
    }

    void clipboard()
    {
        ShownView v;
        QVERIFY(v.exposed());
        v.view.setBytes("\x80\xE9\r\nz\rq");
        v.view.selectAll();
        QTest::keyClick(&v.view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8("\u20AC\u00E9\nz\rq"));
        QTest::keyClick(&v.view, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(v.view.isEmpty());
        QApplication::clipboard()->setText(QString::fromUtf8("x\u0160\u03A9\r\ny\nw"));
        QTest::keyClick(&v.view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Show(v.view.bytes()), Show("x\x8A?\r\ny\r\nw"));
    }

    void drops()
    {
        ShownView v;
        QVERIFY(v.exposed());
        v.view.setBytes("ab");
        QSignalSpy files(&v.view, &TextView::fileDropped);
        const QPoint at = v.pointOf(1);
        auto drop = [&](QMimeData& data) {
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(v.view.viewport(), &enter);
            QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(v.view.viewport(), &dropped);
        };
        QMimeData text;
        text.setText(QString::fromUtf8("d\U0001F600e"));
        drop(text);
        QCOMPARE(Show(v.view.bytes()), Show("ad?eb"));
        QMimeData file;
        file.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/letter.txt"))});
        file.setText(QStringLiteral("not this"));
        drop(file);
        QCOMPARE(Show(v.view.bytes()), Show("ad?eb"));
        QCOMPARE(files.count(), 1);
        QCOMPARE(files.at(0).at(0).toString(), QStringLiteral("/tmp/letter.txt"));
    }

    void readOnlyRefusesEdits()
    {
        ShownView v;
        QVERIFY(v.exposed());
        v.view.setBytes("help text");
        v.view.setReadOnly(true);
        v.view.select(4, 0);
        QTest::keyClicks(&v.view, "xy");
        QTest::keyClick(&v.view, Qt::Key_Backspace);
        QTest::keyClick(&v.view, Qt::Key_Delete);
        QTest::keyClick(&v.view, Qt::Key_Return);
        QTest::keyClick(&v.view, Qt::Key_Tab);
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        v.view.paste();
        v.view.select(0, 4);
        v.view.cut();
        QCOMPARE(Show(v.view.bytes()), Show("help text"));
        // Moving and copying still work.
        QTest::keyClick(&v.view, Qt::Key_End);
        QCOMPARE(v.view.caret(), std::size_t{9});
        v.view.select(0, 4);
        v.view.copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("help"));
    }

    void aFullTextRefusesWhatWouldNotFit()
    {
        TextView view(nullptr, 6);
        view.show();
        QSignalSpy full(&view, &TextView::capacityReached);
        view.setFocus();
        QTest::keyClicks(&view, "abcdef");
        QCOMPARE(full.count(), 0);
        QTest::keyClicks(&view, "g");
        QTest::keyClick(&view, Qt::Key_Return);  // two bytes
        view.select(0, 1);
        QApplication::clipboard()->setText(QStringLiteral("xy"));
        view.paste();  // one byte for one would fit; two do not
        QCOMPARE(full.count(), 3);
        QCOMPARE(Show(view.bytes()), Show("abcdef"));
        QApplication::clipboard()->setText(QStringLiteral("z"));
        view.paste();
        QCOMPARE(Show(view.bytes()), Show("zbcdef"));
        QCOMPARE(full.count(), 3);
    }

    void longLinesWrap_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("rows");
        // About 20 characters fit a row.
        QTest::newRow("no blanks: anywhere") << QByteArray(50, 'x') << 3;
        QTest::newRow("at the blank before a word")
            << QByteArray("aaaaaaaaaa bbbbbbbbbb cccccccccc") << 3;
        QTest::newRow("short") << QByteArray("short") << 1;
    }
    void longLinesWrap()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, rows);
        ShownView v(QSize(100, 200));
        QVERIFY(v.exposed());
        const int charWidth = QFontMetrics(v.view.font()).horizontalAdvance(u'x');
        v.view.resize(v.view.width() - v.view.viewport()->width() + 8 + 20 * charWidth + 2, 200);
        QTRY_COMPARE(v.view.viewport()->width(), 8 + 20 * charWidth + 2);
        v.view.setBytes(line.toStdString());
        QCOMPARE(v.view.rowCount(0), static_cast<std::size_t>(rows));
        // The caret at the end of each row's first word stays on its own row.
        QTest::keyClick(&v.view, Qt::Key_End);
        QVERIFY(v.view.caret() <= 20);
    }

    // The line numbers' margin: each line's number on its first row only, the text moved right
    // by the margin with clicks still finding their bytes, one digit more as the lines pass 99.
    void lineNumbersMargin()
    {
        ShownView v(QSize(300, 300));
        QVERIFY(v.exposed());
        const std::string text = "first\r\n" + std::string(200, 'w') + "\r\nthird";
        v.view.setBytes(text);
        const QPoint plain = v.pointOf(0);
        v.view.setLineNumbers(true);
        const QPoint numbered = v.pointOf(0);
        QVERIFY(numbered.x() > plain.x() + 8);
        QCOMPARE(numbered.y(), plain.y());
        const QImage shot = v.view.viewport()->grab().toImage();
        const auto numberBeside = [&](std::size_t pos) {
            const int y = v.pointOf(pos).y();
            for (int x = 0; x < numbered.x() - 8; ++x)
                for (int dy = -3; dy <= 3; ++dy)
                    if (qGray(shot.pixel(x, y + dy)) < 160)
                        return true;
            return false;
        };
        QVERIFY(numberBeside(0));
        QVERIFY(numberBeside(7));
        QVERIFY(!numberBeside(7 + 120));  // a row line 2 wraps onto
        QVERIFY(numberBeside(text.size()));
        QTest::mouseClick(v.view.viewport(), Qt::LeftButton, {}, v.pointOf(3));
        QCOMPARE(v.view.caret(), std::size_t{3});
        std::string many;
        for (int i = 0; i < 120; ++i)
            many += "x\r\n";
        v.view.setBytes(many);
        QVERIFY(v.pointOf(0).x() > numbered.x());
        v.view.setLineNumbers(false);
        QCOMPARE(v.pointOf(0), plain);
    }

    void aLongLineIsLaidOutOnlyAsFarAsShown()
    {
        ShownView v(QSize(300, 200));
        QVERIFY(v.exposed());
        v.view.setBytes(std::string(std::size_t{1} << 20, 'w'));
        QVERIFY(!v.view.grab().isNull());
        QVERIFY(!v.view.lineLaidOut(0));
        // The scroll bar promises the line's rows before they are laid out.
        QVERIFY2(v.view.verticalScrollBar()->maximum() > 1000,
                 qPrintable(QString::number(v.view.verticalScrollBar()->maximum())));
        QTest::keyClicks(&v.view, "abc");
        QVERIFY(!v.view.lineLaidOut(0));
        QTest::keyClick(&v.view, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(v.view.lineLaidOut(0));
        QTest::keyClicks(&v.view, "z");
        QCOMPARE(v.view.byteLength(), (std::size_t{1} << 20) + 4);
        QCOMPARE(Show(v.view.bytes().substr(v.view.byteLength() - 2)), Show("wz"));
    }

    // After any edit, undo and redo, the rows the view keeps agree with a fresh layout, and
    // undoing everything gives the first text back.
    void randomEditsKeepRowsAndUndo()
    {
        std::mt19937 rng(14);
        ShownView v(QSize(160, 200));
        QVERIFY(v.exposed());
        const std::string first = "one two three four five six\r\nseven\rx\ny\r\n\r\nend of it all";
        v.view.setBytes(std::string(first));
        TextView fresh;
        fresh.setFamily(v.view.family());
        fresh.setPointSize(v.view.pointSize());
        fresh.resize(v.view.size());
        fresh.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fresh));
        const Qt::Key keys[] = {Qt::Key_A,     Qt::Key_Space,  Qt::Key_Return, Qt::Key_Backspace,
                                Qt::Key_Delete, Qt::Key_Left,  Qt::Key_Right,  Qt::Key_Up,
                                Qt::Key_Down,  Qt::Key_Home,   Qt::Key_End,    Qt::Key_Z,
                                Qt::Key_Z,     Qt::Key_Y};
        for (int step = 0; step < 300; ++step) {
            const Qt::Key key = keys[rng() % std::size(keys)];
            const Qt::KeyboardModifiers mods = key == Qt::Key_Z || key == Qt::Key_Y
                                                   ? Qt::ControlModifier
                                               : rng() % 4 == 0 ? Qt::ShiftModifier
                                                                : Qt::NoModifier;
            QTest::keyClick(&v.view, key, mods);
            if (step % 3 != 0 && key != Qt::Key_Z && key != Qt::Key_Y)
                continue;
            fresh.setBytes(std::string(v.view.bytes()));
            QCOMPARE(fresh.viewport()->width(), v.view.viewport()->width());
            for (std::size_t line = 0; line < 8; ++line)
                QCOMPARE(v.view.rowCount(line), fresh.rowCount(line));
        }
        while (v.view.canUndo())
            v.view.undo();
        QCOMPARE(Show(v.view.bytes()), Show(first));
    }

    // A screen reader reads the text, the caret and the selection, and can move them.
    void accessibleText()
    {
        ShownView v;
        QVERIFY(v.exposed());
        v.view.setBytes("Caf\xE9 \x80\r\nline two");
        v.view.select(2, 4);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&v.view);
        QVERIFY(a);
        QAccessibleTextInterface* text = a->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), 16);
        QCOMPARE(text->text(0, 16), QString::fromUtf8("Caf\u00E9 \u20AC\r\nline two"));
        QCOMPARE(text->cursorPosition(), 6);
        int start = -1;
        int end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(start, 2);
        QCOMPARE(end, 6);
        text->setSelection(0, 12, 8);
        QCOMPARE(Show(v.view.selectedBytes()), Show("line"));
        text->setCursorPosition(9);
        QCOMPARE(v.view.caret(), std::size_t{9});
        QCOMPARE(text->selectionCount(), 0);
        // The character under a point is the one whose rectangle holds it.
        const QRect r = text->characterRect(10);
        QVERIFY(r.width() > 1);
        QCOMPARE(text->offsetAtPoint(r.center() - QPoint(r.width() / 4, 0)), 10);
        QVERIFY(a->state().editable);
        v.view.setReadOnly(true);
        QVERIFY(a->state().readOnly);
    }

    void fontSizeReadsBack_data()
    {
        QTest::addColumn<int>("points");
        for (int p : {10, 15, 22, 35})
            QTest::newRow(qPrintable(QString::number(p))) << p;
    }
    void fontSizeReadsBack()
    {
        QFETCH(int, points);
        TextView view;
        view.setPointSize(points);
        view.setFamily(QStringLiteral("DejaVu Serif"));
        QCOMPARE(view.pointSize(), points);
        QCOMPARE(view.family(), QStringLiteral("DejaVu Serif"));
    }
};

QTEST_MAIN(TestTextView)
#include "test_text_view.moc"
