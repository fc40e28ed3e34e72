// The editing area against the desktop's own text box: the same keys and mouse events played on
// a Memo and on a QPlainTextEdit set up alike (typeface, size, margins, tab stops, word wrap),
// and the text, the selection and the caret compared after every step. A difference found
// later is one more row.
//
// A step script is a list of steps separated by ";". Positions are byte positions of the text
// as it is at that step; a mouse step aims a third of the way into the character there, as the
// desktop text box lays it out:
//   key Shift+End        one key, as QKeySequence writes it
//   type some words      keys that type text
//   click 12             left click (also shift+click, middle 12: the middle button)
//   dclick 5 / tclick 5  double and triple click
//   drag 5 14            press at 5, move to 14 in steps, let go
//   ddrag 5 14           double click at 5, then move to 14 with the button held, let go
//   below                click under the last row, a third of the way across
//   wheel 40             forty steps of the wheel down (negative: up)
//   thumb                the scroll bar's thumb dragged to the bottom
//   top                  click on the first row shown, at its left edge
#include <QApplication>
#include <QDrag>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QWheelEvent>

#include "core/win1252.h"
#include "failing_new.h"
#include "ui/editor/memo.h"
#include "ui/editor/mime_text.h"

namespace {

constexpr int kPixels = 15;

// The desktop text box's text as the area counts it: CR LF between lines, Windows-1252 bytes.
std::string BytesOf(const QPlainTextEdit& edit)
{
    std::string out;
    for (const QChar c : edit.document()->toRawText()) {
        if (c == QChar::ParagraphSeparator)
            out += "\r\n";
        else
            out += static_cast<char>(win1252::FromUnicode(c.unicode()));
    }
    return out;
}

struct State {
    QByteArray text;
    std::size_t selStart = 0;
    std::size_t selLength = 0;
    std::size_t caret = 0;
    bool operator==(const State&) const = default;
    // The selection and caret, and the text from where it differs from `other`'s.
    QString show(const State& other) const
    {
        qsizetype from = 0;
        while (from < text.size() && from < other.text.size() && text[from] == other.text[from])
            ++from;
        const QString rest = from == text.size() && from == other.text.size()
                                 ? QStringLiteral("the same text")
                                 : QStringLiteral("text from %1: \"%2\"")
                                       .arg(from)
                                       .arg(QString::fromLatin1(text.mid(from, 40).toPercentEncoding(" ")));
        return QStringLiteral("sel %1+%2 caret %3, %4").arg(selStart).arg(selLength).arg(caret).arg(rest);
    }
};

class Pair {
public:
    Pair(const QByteArray& text, int width, int height)
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(kPixels);
        font.setKerning(false);
        edit.setFrameShape(QFrame::NoFrame);
        edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit.setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        edit.setTabStopDistance(80);
        // Side by side: a drag finds its target by where it is on the screen.
        int left = 0;
        for (QWidget* w : {static_cast<QWidget*>(&memo), static_cast<QWidget*>(&edit)}) {
            w->setFont(font);
            w->setGeometry(left, 0, width, height);
            w->show();
            left += width + 40;
        }
        memo.setBytes(text.toStdString());
        edit.setPlainText(mime_text::ClipboardText({std::string_view(text), {}}));
    }

    bool exposed() { return QTest::qWaitForWindowExposed(&memo) && QTest::qWaitForWindowExposed(&edit); }

    State memoState() const
    {
        return {QByteArray::fromStdString(std::string(memo.bytes())), std::size_t(memo.selStart()),
                std::size_t(memo.selLength()), memo.caret()};
    }
    State editState() const
    {
        const QTextCursor c = edit.textCursor();
        const std::size_t start = bytePos(c.selectionStart());
        return {QByteArray::fromStdString(BytesOf(edit)), start, bytePos(c.selectionEnd()) - start,
                bytePos(c.position())};
    }

    // A line break is one character there and two bytes here.
    std::size_t bytePos(int pos) const
    {
        return std::size_t(pos + edit.document()->findBlock(pos).blockNumber());
    }
    int charPos(std::size_t bytes) const
    {
        QTextBlock block = edit.document()->begin();
        while (block.next().isValid() && bytePos(block.next().position()) <= bytes)
            block = block.next();
        return int(bytes) - block.blockNumber();
    }

    // A third of the way into the character at `pos`, in viewport coordinates.
    QPoint pointOn(std::size_t pos) const
    {
        QTextCursor c(edit.document());
        c.setPosition(charPos(pos));
        const QRect here = edit.cursorRect(c);
        c.movePosition(QTextCursor::Right);
        const QRect next = edit.cursorRect(c);
        const int width = next.top() == here.top() && next.left() > here.left()
                              ? next.left() - here.left()
                              : kPixels / 2;
        return {here.left() + width / 3, here.center().y()};
    }

    Memo memo;
    QPlainTextEdit edit;
};

// Plays one step on one of the two; `pair` aims the mouse.
void Play(const Pair& pair, QAbstractScrollArea* area, const QString& step)
{
    QWidget* port = area->viewport();
    const QStringList words = step.split(u' ', Qt::SkipEmptyParts);
    const QString verb = words.value(0);
    const auto at = [&](int i) { return pair.pointOn(words.value(i).toULongLong()); };
    const Qt::MouseButton left = Qt::LeftButton;
    if (verb == u"key") {
        const QKeyCombination key = QKeySequence::fromString(words.value(1))[0];
        QTest::keyClick(area, key.key(), key.keyboardModifiers());
    } else if (verb == u"type") {
        QTest::keyClicks(area, step.mid(5));
    } else if (verb == u"click" || verb == u"shift+click") {
        QTest::mouseClick(port, left, verb == u"click" ? Qt::NoModifier : Qt::ShiftModifier, at(1));
    } else if (verb == u"middle") {
        QTest::mouseClick(port, Qt::MiddleButton, {}, at(1));
    } else if (verb == u"dclick" || verb == u"tclick" || verb == u"ddrag") {
        QTest::mousePress(port, left, {}, at(1));
        QTest::mouseRelease(port, left, {}, at(1));
        QTest::mouseDClick(port, left, {}, at(1));
        if (verb == u"ddrag")
            QTest::mouseMove(port, at(2));
        QTest::mouseRelease(port, left, {}, verb == u"ddrag" ? at(2) : at(1));
        if (verb == u"tclick")
            QTest::mouseClick(port, left, {}, at(1));
    } else if (verb == u"drag") {
        const QPoint from = at(1);
        const QPoint to = at(2);
        QTest::mousePress(port, left, {}, from);
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(port, from + (to - from) * i / 4);
        QTest::mouseRelease(port, left, {}, to);
    } else if (verb == u"dragdrop") {
        // The move that starts a drag runs the drag's own event loop until the drop: the rest of
        // the drag comes from inside that loop.
        const QPoint from = at(1);
        const QPoint to = at(2);
        QTest::mousePress(port, left, {}, from);
        QTimer::singleShot(0, port, [port, from, to] {
            for (int i = 2; i <= 4; ++i)
                QTest::mouseMove(port, from + (to - from) * i / 4);
            QTest::mouseRelease(port, Qt::LeftButton, {}, to);
        });
        QTest::mouseMove(port, from + (to - from) / 4);
        // The drag is over once the desktop has let go of it.
        QTRY_VERIFY(area->findChildren<QDrag*>().isEmpty());
    } else if (verb == u"below") {
        QTest::mouseClick(port, left, {}, {port->width() / 3, port->height() - 3});
    } else if (verb == u"top") {
        QTest::mouseClick(port, left, {}, {5, 4 + kPixels / 2});
    } else if (verb == u"wheel") {
        const int steps = words.value(1).toInt();
        const QPoint c = port->rect().center();
        for (int i = 0; i < std::abs(steps); ++i) {
            QWheelEvent wheel(c, port->mapToGlobal(c), {}, {0, steps > 0 ? -120 : 120},
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(port, &wheel);
        }
    } else if (verb == u"thumb") {
        area->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    } else {
        QFAIL(qPrintable(QStringLiteral("no such step: ") + step));
    }
}

}  // namespace

class TestEditingOracle : public QObject {
    Q_OBJECT

private:
    void rows(const char* group, const std::initializer_list<std::tuple<const char*, QByteArray, const char*>>& list, int width = 300)
    {
        for (const auto& [name, text, steps] : list)
            QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(group), QLatin1String(name))))
                << text << width << QString::fromLatin1(steps);
    }

    // Plays the steps on both and compares after each. A script that pastes the primary
    // selection is played on one and then on the other, so that neither pastes what the other
    // selected; its mouse steps aim at the text as it was at the start.
    void playBoth()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, width);
        QFETCH(QString, steps);
        Pair pair(text, width, 160);
        QVERIFY(pair.exposed());
        QVERIFY(pair.memoState() == pair.editState());
        QStringList list = steps.split(u';', Qt::SkipEmptyParts);
        for (QString& step : list)
            step = step.trimmed();
        if (steps.contains(u"middle")) {
            QList<State> theirs;
            for (const QString& step : list) {
                Play(pair, &pair.edit, step);
                theirs << pair.editState();
            }
            QGuiApplication::clipboard()->clear(QClipboard::Selection);
            Pair fresh(text, width, 160);
            QVERIFY(fresh.exposed());
            for (qsizetype i = 0; i < list.size(); ++i) {
                Play(fresh, &fresh.memo, list[i]);
                compare(list[i], fresh.memoState(), theirs[i]);
                if (QTest::currentTestFailed())
                    return;
            }
            return;
        }
        for (const QString& step : list) {
            Play(pair, &pair.memo, step);
            Play(pair, &pair.edit, step);
            compare(step, pair.memoState(), pair.editState());
            if (QTest::currentTestFailed())
                return;
        }
    }

    static void compare(const QString& step, const State& mine, const State& theirs)
    {
        QVERIFY2(mine == theirs, qPrintable(QStringLiteral("after \"%1\":\n   memo %2\n   text box %3")
                                                .arg(step, mine.show(theirs), theirs.show(mine))));
    }

private slots:
    void agrees_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("steps");
        const QByteArray prose = "The quick brown fox jumps over the lazy dog, and then it runs far "
                                 "away into the deep green forest.\r\nA second line.";
        const QByteArray longWord = "see averyveryveryverylongwordwithoutanyblankatallinsideitreally ok";
        rows("motion on wrapped rows", {
            {"End on a row that wraps after a blank", prose, "click 3; key End; key End; key Down; key End"},
            {"End on a row that wraps inside a long word", longWord, "click 6; key End; key Shift+Home"},
            {"Home and End on each row, Up and Down", prose, "click 70; key Home; key Up; key End; key Down; key Down"},
            {"Ctrl+Right and Ctrl+Left over punctuation", "a...b // c-d, e!", "click 0; key Ctrl+Right; key Ctrl+Right; key Ctrl+Right; key Ctrl+Left; key Ctrl+Shift+Left"},
            {"Page Up on the first page keeps the column", prose, "click 10; key PgDown; key PgUp; key Shift+PgDown"},
            {"Down and Up scroll the view a row at a time", prose + "\r\n" + prose + "\r\n" + prose, "click 3; key Down; key Down; key Down; key Down; key Down; key Down; key Down; key Down; key Down; key Down; top; key Ctrl+End; key Up; key Up; key Up; key Up; key Up; key Up; key Up; key Up; key Up; key Up; top"},
        });
        rows("word and line selection", {
            {"double click on a word", prose, "dclick 6"},
            {"double click on a run of punctuation", "wait... // ok", "dclick 5; dclick 9"},
            {"double click on a run of blanks", "one    two", "dclick 5"},
            {"triple click selects the line with its break", prose, "tclick 8"},
            {"triple click on the last line", prose, "tclick 105"},
            {"double click, then Shift+click extends by words", prose, "dclick 6; shift+click 22"},
            {"double click, then a drag back keeps the word", prose, "ddrag 22 6"},
            {"double click, then a drag on extends by words", prose, "ddrag 6 24"},
            {"click below the last line", "one line\r\ntwo words on the last line", "click 1; below"},
        });
        rows("deletion and its undo grouping", {
            {"five Backspaces, one Ctrl+Z", "some words here", "click 10; key Backspace; key Backspace; key Backspace; key Backspace; key Backspace; key Ctrl+Z"},
            {"five Deletes, one Ctrl+Z", "some words here", "click 2; key Delete; key Delete; key Delete; key Delete; key Delete; key Ctrl+Z"},
            {"typing, then Backspace, two steps", "x", "key End; type abc; key Backspace; key Ctrl+Z; key Ctrl+Z"},
            {"Ctrl+Delete twice, two steps", "Don't stop: the cafe", "click 3; key Ctrl+Delete; key Ctrl+Delete; key Ctrl+Z; key Ctrl+Z"},
            {"typed over a selection, Ctrl+Z puts the caret after what comes back", "some words here", "click 5; key Shift+Right; key Shift+Right; type xy; key Ctrl+Z; key Ctrl+Y"},
        });
        rows("clipboard", {
            {"a copied word, typed before and inside, then pasted", prose, "dclick 6; key Ctrl+C; click 0; type ab; click 9; type cd; key End; key Ctrl+V"},
        });
        rows("control bytes", {
            {"each one takes room and a click finds it", "a\x01\x02\x7F" "b\x81\x8D\x8F\x90\x9D" "c\x1F" "d", "click 3; click 5; click 9; click 11; click 12; key End"},
        });
        rows("wrap at a slash or a hyphen", {
            {"an address at the row's end", "Look at http://www.example.com/some/long/path/to/a/page.html today", "click 0; key End; key Down; key End"},
            {"a hyphenated word at the row's end", "a well-known, long-standing and hard-working self-made sort of man", "click 0; key End; key Down; key End; key Down; key Home"},
        }, 200);
        QByteArray paragraphs;
        for (int i = 0; i < 60; ++i)
            paragraphs += "Paragraph " + QByteArray::number(i) +
                          " holds enough words to wrap over several rows of the narrow view, more "
                          "than one or two.\r\n";
        rows("scrolling to the end of wrapped texts", {
            {"the wheel reaches the end", paragraphs, "wheel 200; top"},
            {"the thumb reaches the end", paragraphs, "thumb; top"},
        }, 250);
    }
    void agrees() { playBoth(); }

    // What each character shows: where the text box draws ink in a character's cell, so does
    // the area, and where it draws none, neither does the area.
    void drawsWhereTheTextBoxDraws_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("control bytes: a box for each")
            << QByteArray("a\x01\x02\x7F" "b\x81\x8D\x8F\x90\x9D" "c\x1F \x08" "d");
    }
    void drawsWhereTheTextBoxDraws()
    {
        QFETCH(QByteArray, text);
        Pair pair(text, 400, 60);
        QVERIFY(pair.exposed());
        const QImage mine = pair.memo.viewport()->grab().toImage();
        const QImage theirs = pair.edit.viewport()->grab().toImage();
        const auto ink = [](const QImage& image, const QRect& cell) {
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    if (qGray(image.pixel(x, y)) < 128)
                        return true;
            return false;
        };
        for (std::size_t i = 0; i < std::size_t(text.size()); ++i) {
            QTextCursor c(pair.edit.document());
            c.setPosition(int(i));
            const QRect left = pair.edit.cursorRect(c);
            c.setPosition(int(i) + 1);
            const QRect cell(QPoint(left.left() + 1, left.top()), QPoint(pair.edit.cursorRect(c).left() - 1, left.bottom()));
            QVERIFY2(ink(mine, cell) == ink(theirs, cell),
                     qPrintable(QStringLiteral("byte %1 (0x%2): ink here %3, in the text box %4")
                                    .arg(i).arg(quint8(text[qsizetype(i)]), 2, 16, QLatin1Char('0'))
                                    .arg(ink(mine, cell)).arg(ink(theirs, cell))));
        }
    }

    // Selecting and copying a long text needs no copy of it: the characters are made only when
    // some program asks, so a text near the limit of memory is selected and copied at once.
    void selectsAndCopiesWithoutACopy()
    {
        QByteArray text;
        while (text.size() < (1 << 20))
            text += "A line of the long text, of words and more words.\r\n";
        Pair pair(text, 300, 160);
        QVERIFY(pair.exposed());
        g_failingFrom = std::size_t(text.size()) / 2;  // neither a copy nor its characters fit
        for (const char* step : {"key Ctrl+A", "key Ctrl+C", "shift+click 20", "key Ctrl+C"}) {
            g_allocationsFailed = 0;
            g_allocationsUntilFailure = 0;
            Play(pair, &pair.memo, QLatin1String(step));
            g_allocationsUntilFailure = -1;
            QCOMPARE(g_allocationsFailed, 0);
            const QString copied = QGuiApplication::clipboard()->text();
            Play(pair, &pair.edit, QLatin1String(step));
            compare(QLatin1String(step), pair.memoState(), pair.editState());
            if (QTest::currentTestFailed())
                return;
            QCOMPARE(copied, QGuiApplication::clipboard()->text());
        }
    }

    // Rows that need the X11 primary selection or a real drag: they run on a real X server (the
    // test ui_test_editing_oracle_x11 runs them under Xvfb).
    void agreesOnX11_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("steps");
        const QByteArray text = "alpha beta gamma delta\r\nepsilon zeta";
        rows("primary selection", {
            {"Shift+arrows, then a middle click pastes them", text, "click 6; key Shift+Right; key Shift+Right; key Shift+Right; key Shift+Right; middle 29"},
            {"Ctrl+A, then a middle click pastes all", "one two", "key Ctrl+A; middle 3"},
            {"a drag selection, then a middle click", text, "drag 0 5; middle 25"},
        });
        rows("drag and drop", {
            {"a selected word dragged on moves", text, "click 6; key Ctrl+Shift+Right; dragdrop 7 19"},
            {"a selected word dragged back moves", text, "click 17; key Ctrl+Shift+Right; dragdrop 18 2"},
            {"dropped inside itself changes nothing", text, "click 6; key Ctrl+Shift+Right; dragdrop 7 9"},
        });
    }
    void agreesOnX11()
    {
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("needs a real X server: ui_test_editing_oracle_x11 runs it");
        playBoth();
    }
};

QTEST_MAIN(TestEditingOracle)
#include "test_editing_oracle.moc"
