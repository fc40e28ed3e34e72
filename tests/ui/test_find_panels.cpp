// The find and replace panels of the main window: one hit a click, continuing after it and
// starting over, without regard to case in Windows-1252; every occurrence replaced at once.
#include <memory>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "core/app_state.h"
#include "note_recorder.h"
#include "scripted_desktop.h"
#include "temp_workdir.h"
#include "test_files.h"
#include "ui/common/display_text.h"
#include "ui/editor/memo.h"
#include "ui/editor/text_codec.h"
#include "ui/main/fCPas.h"
#include "ui/main/find_panel.h"
#include "ui/main/replace_panel.h"
#include "window_test.h"

namespace {

const std::string kWorked = "one two one two";

QString Box(const QByteArray& bytes)
{
    return display_text::FromBytes(bytes.toStdString());
}

// What a find click or a replacement may change besides the text: where the caret is and
// what is selected.
struct Selection {
    qsizetype start;
    qsizetype length;
    bool operator==(const Selection&) const = default;
};

}  // namespace

class TestFindPanels : public WindowTest {
    Q_OBJECT

    Selection selection() const { return {m_w->mem()->selStart(), m_w->mem()->selLength()}; }

    // The text in the area, the find panel shown, the sought text in its box.
    void prepareFind(const std::string& text, const QByteArray& needle)
    {
        w().mem()->setBytes(text);
        press(Qt::CTRL | Qt::Key_F);
        QVERIFY(w().findPanel()->isVisible());
        w().findPanel()->editF->setText(Box(needle));
    }

    void clickFind() { QTest::mouseClick(w().findPanel()->fButt, Qt::LeftButton); }

    void prepareReplace(const std::string& text, const QByteArray& from, const QByteArray& to)
    {
        w().mem()->setBytes(text);
        press(Qt::CTRL | Qt::Key_R);
        QVERIFY(w().replacePanel()->isVisible());
        w().replacePanel()->rFrom->setText(Box(from));
        w().replacePanel()->rTo->setText(Box(to));
    }

private slots:
    // A panel needs no window: the editing area, the state and a desktop for its error box.
    void findPanelWithAMemoAlone()
    {
        Memo mem;
        TAppState state;
        ScriptedDesktop desktop;
        mem.setBytes("one Two two");
        FindPanel panel(mem, state, desktop);
        panel.setEnabled(true);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        panel.editF->setText(QStringLiteral("TWO"));
        panel.editF->setFocus();
        QTest::keyClick(panel.editF, Qt::Key_Return);  // Enter answers Find
        QCOMPARE(mem.selStart(), 4);
        QCOMPARE(mem.selLength(), 3);
        QTest::keyClick(panel.editF, Qt::Key_Return);
        QCOMPARE(mem.selStart(), 8);
        QTest::mouseClick(panel.cFind, Qt::LeftButton);
        QVERIFY(panel.isHidden());
        QVERIFY(desktop.calls.empty());
    }

    void init()
    {
        setUpWindowTest();
        makeWindow(true);
    }
    void cleanup()
    {
        QCOMPARE(m_notes->notes, std::vector<std::string>{});  // neither panel says a word
        tearDownWindowTest();
    }

    // --- find -----------------------------------------------------------------------------

    // Each click: where the hit must begin (-1: no hit, the selection stays) and FindPos after.
    void findClicks_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<QList<int>>("hits");
        QTest::addColumn<QList<int>>("findPos");
        // clang-format off
        QTest::newRow("worked example") << QByteArray("one two one two") << QByteArray("TWO") << QList<int>{4, 12, 4} << QList<int>{7, 0, 7};
        QTest::newRow("abc at the very end is reached") << QByteArray("abcabc") << QByteArray("abc") << QList<int>{0, 3, 0} << QList<int>{3, 0, 3};
        QTest::newRow("Two finds TWO and two") << QByteArray("TWO and two") << QByteArray("Two") << QList<int>{0, 8, 0} << QList<int>{3, 0, 3};
        QTest::newRow("the whole text") << QByteArray("abc") << QByteArray("ABC") << QList<int>{0, 0} << QList<int>{0, 0};
        QTest::newRow("E acute finds e acute") << QByteArray("caf\xE9 au CAF\xC9") << QByteArray("\xC9") << QList<int>{3, 11, 3} << QList<int>{4, 0, 4};
        QTest::newRow("e acute finds E acute") << QByteArray("caf\xE9 au CAF\xC9") << QByteArray("\xE9") << QList<int>{3, 11, 3} << QList<int>{4, 0, 4};
        QTest::newRow("S caron finds s caron") << QByteArray("\x9Ako \x8Akoda") << QByteArray("\x8A") << QList<int>{0, 4, -1, 0} << QList<int>{1, 5, 0, 1};
        QTest::newRow("y diaeresis finds Y diaeresis") << QByteArray("\xFF\x9F") << QByteArray("\xFF") << QList<int>{0, 1, 0} << QList<int>{1, 0, 1};
        QTest::newRow("sharp s is no SS") << QByteArray("SS ss \xDF") << QByteArray("\xDF") << QList<int>{6, 6} << QList<int>{0, 0};
        QTest::newRow("division sign is no times sign") << QByteArray("a\xD7" "b") << QByteArray("\xF7") << QList<int>{-1, -1} << QList<int>{0, 0};
        QTest::newRow("second line of CR LF text") << QByteArray("one\r\ntwo\r\nthree") << QByteArray("TWO") << QList<int>{5, -1, 5} << QList<int>{8, 0, 8};
        QTest::newRow("third line of CR LF text") << QByteArray("one\r\ntwo\r\nthree two") << QByteArray("tWo") << QList<int>{5, 16, 5} << QList<int>{8, 0, 8};
        QTest::newRow("after two empty lines") << QByteArray("\r\n\r\nxy") << QByteArray("Y") << QList<int>{5, 5} << QList<int>{0, 0};
        QTest::newRow("no hit") << QByteArray("abc") << QByteArray("x") << QList<int>{-1, -1} << QList<int>{0, 0};
        QTest::newRow("empty sought text") << QByteArray("abc") << QByteArray() << QList<int>{-1} << QList<int>{0};
        QTest::newRow("empty text") << QByteArray() << QByteArray("a") << QList<int>{-1} << QList<int>{0};
        QTest::newRow("sought text longer than the text") << QByteArray("ab") << QByteArray("abc") << QList<int>{-1} << QList<int>{0};
        // clang-format on
    }
    void findClicks()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(QList<int>, hits);
        QFETCH(QList<int>, findPos);
        const std::string whole = text.toStdString();
        prepareFind(whole, needle);
        for (qsizetype i = 0; i < hits.size(); ++i) {
            const Selection before = selection();
            clickFind();
            if (hits[i] < 0) {
                QVERIFY2(selection() == before, qPrintable(QString("click %1").arg(i + 1)));
            } else {
                QCOMPARE(w().mem()->selStart(), hits[i]);
                QCOMPARE(w().mem()->selLength(), needle.size());
                // The text's own characters, in their own case.
                QCOMPARE(w().mem()->selectedBytes(),
                         whole.substr(static_cast<std::size_t>(hits[i]), needle.size()));
                QVERIFY(w().mem()->hasFocus());
            }
            QCOMPARE(s().FindPos, findPos[i]);
            QCOMPARE(s().FindNext, findPos[i]);
            QCOMPARE(w().mem()->bytes(), whole);
        }
    }

    // Shift+F3 selects the hit before the selection, round from the end, with the case matched
    // when asked; F3 then goes on after it, as the Find button would (FindPos after each key).
    void findPrevious()
    {
        prepareFind("one One ONE One one", "One");
        w().mem()->select(0, 0);
        QList<Selection> hits;
        QList<int> findPos;
        for (const char* keys : {"p", "p", "p", "n", "c", "p", "p"}) {
            if (*keys == 'c')
                w().findPanel()->fCase->setChecked(true);
            else
                press(*keys == 'p' ? Qt::SHIFT | Qt::Key_F3 : QKeyCombination(Qt::Key_F3));
            hits << selection();
            findPos << s().FindPos;
        }
        QCOMPARE(hits, QList<Selection>({{16, 3}, {12, 3}, {8, 3}, {12, 3}, {12, 3}, {4, 3}, {12, 3}}));
        QCOMPARE(findPos, QList<int>({0, 15, 11, 15, 15, 7, 15}));
    }

    // After each hit the status bar counts the hits the Find button visits; a change of the text,
    // of the sought text or of an option takes the count away.
    void hitCount()
    {
        prepareFind("an ant, an Ant and a plant", "ant");
        clickFind();
        QCOMPARE(w().statusText(3), QStringLiteral("hit 1 of 3"));
        clickFind();
        press(QKeyCombination(Qt::Key_F3));
        QCOMPARE(w().statusText(3), QStringLiteral("hit 3 of 3"));
        press(Qt::SHIFT | Qt::Key_F3);
        QCOMPARE(w().statusText(3), QStringLiteral("hit 2 of 3"));
        w().findPanel()->fWhole->setChecked(true);
        QCOMPARE(w().statusText(3), QString());
        clickFind();  // after "Ant" only "plant" is left, no whole word: silent, as ever
        QCOMPARE(w().statusText(3), QString());
        clickFind();
        QCOMPARE(w().statusText(3), QStringLiteral("hit 1 of 2"));
        w().findPanel()->editF->setText(QStringLiteral("an"));
        QCOMPARE(w().statusText(3), QString());
    }

    // A long count goes on between other events, so the window answers meanwhile; an edit
    // meanwhile ends it, since it counted a text that is no more.
    void longCountNeverStopsTheWindow()
    {
        std::string text;  // eight million hits: far more than one piece of the count
        for (int i = 0; i < (8 << 20); ++i)
            text += "a ";
        prepareFind(text, "A");
        clickFind();
        QCOMPARE(w().statusText(3), QStringLiteral("counting hits\u2026"));
        bool answered = false;
        QTimer::singleShot(0, this, [&answered] { answered = true; });
        QTRY_VERIFY(answered);
        QCOMPARE(w().statusText(3), QStringLiteral("counting hits\u2026"));
        QTRY_COMPARE_WITH_TIMEOUT(w().statusText(3), QStringLiteral("hit 1 of 8388608"), 30000);

        clickFind();
        w().mem()->insertPlainText(QStringLiteral("a"));  // the text changes while counting
        QCOMPARE(w().statusText(3), QString());
        QCoreApplication::processEvents();  // no piece of the count is left to run
        QCOMPARE(w().statusText(3), QString());
    }

    // The find box keeps the last ten searches, newest first; Up and Down go through them and
    // come back to what was typed.
    // While the find panel is open every hit in the rows shown is marked, with the panel's
    // options; none once it closes.
    void hitsShownAreMarked()
    {
        std::string text;
        for (int i = 0; i < 500; ++i)
            text += "an Apple, apples and pineapple\r\n";
        w().mem()->setBytes(text);
        QVERIFY(w().mem()->shownHits().empty());
        w().menu().fMen->trigger();
        w().findPanel()->editF->setText("apple");
        const auto hits = w().mem()->shownHits();
        const std::size_t rows = hits.size() / 3;
        QVERIFY(rows > 3 && rows < 200);  // the rows shown, not all 500 lines
        QCOMPARE(hits.size(), rows * 3);
        QCOMPARE(hits[0], std::make_pair(std::size_t{3}, std::size_t{8}));
        QCOMPARE(w().mem()->bytes().substr(hits[4].first, 5), std::string_view("apple"));
        QTest::mouseClick(w().findPanel()->fWhole, Qt::LeftButton);
        QCOMPARE(w().mem()->shownHits().size(), rows);  // "Apple" alone
        QTest::mouseClick(w().findPanel()->fCase, Qt::LeftButton);
        QVERIFY(w().mem()->shownHits().empty());
        // Painted: the mark's colour under the hits ("apples", "pineapple").
        w().findPanel()->fWhole->setChecked(false);
        QCOMPARE(w().mem()->shownHits().size(), rows * 2);
        const QImage shot = w().mem()->viewport()->grab().toImage();
        bool yellow = false;
        for (int x = 0; x < shot.width() && !yellow; ++x)
            for (int y = 0; y < 30 && !yellow; ++y)
                yellow = shot.pixel(x, y) == 0xFFFFE066;
        QVERIFY(yellow);
        w().menu().fMen->trigger();  // closed
        QVERIFY(w().mem()->shownHits().empty());
    }

    void searchHistory()
    {
        prepareFind("one two three", "x");
        QLineEdit* box = w().findPanel()->editF;
        for (int i = 0; i < 13; ++i) {
            box->setText(QString::number(i));
            clickFind();
        }
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Up);  // the box holds the last search: the one before
        box->selectAll();
        QTest::keyClicks(box, "typed");
        QStringList shown;
        for (int k = 0; k < 24; ++k) {
            QTest::keyClick(box, k < 12 ? Qt::Key_Up : Qt::Key_Down);
            shown << box->text();
        }
        QCOMPARE(shown.join(' '), QStringLiteral("12 11 10 9 8 7 6 5 4 3 3 3 4 5 6 7 8 9 10 11 12 "
                                                 "typed typed typed"));
    }

    void enterInTheFindBoxSearches()
    {
        w().mem()->setBytes(kWorked);
        press(Qt::CTRL | Qt::Key_F);
        QVERIFY(w().findPanel()->editF->hasFocus());
        QTest::keyClicks(w().findPanel()->editF, "two");
        QTest::keyClick(w().findPanel()->editF, Qt::Key_Return);
        QCOMPARE(selection(), (Selection{4, 3}));
        QCOMPARE(s().FindPos, 7);
        QVERIFY(w().mem()->hasFocus());

        w().findPanel()->editF->setFocus();
        QTest::keyClick(w().findPanel()->editF, Qt::Key_Enter);
        QCOMPARE(selection(), (Selection{12, 3}));
        QCOMPARE(s().FindPos, 0);
        QCOMPARE(w().mem()->bytes(), kWorked);
        QCOMPARE(w().findPanel()->editF->text(), QStringLiteral("two"));
    }

    // The text shortened below FindPos: one click finds nothing, the next starts over.
    void textShortenedBelowFindPos_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<int>("firstHit");
        QTest::newRow("text set") << 0 << 0;
        QTest::newRow("replacement") << 1 << 4;
        QTest::newRow("new document, then typing") << 2 << 0;
        QTest::newRow("everything selected and typed over") << 3 << 0;
    }
    void textShortenedBelowFindPos()
    {
        QFETCH(int, how);
        QFETCH(int, firstHit);
        prepareFind(kWorked, "two");
        clickFind();
        QCOMPARE(s().FindPos, 7);

        switch (how) {
            case 0:
                w().mem()->setBytes("two, x");
                break;
            case 1:
                press(Qt::CTRL | Qt::Key_R);
                w().replacePanel()->rFrom->setText(" one two");
                w().replacePanel()->rTo->clear();
                QTest::mouseClick(w().replacePanel()->rButt, Qt::LeftButton);
                QCOMPARE(w().mem()->bytes(), std::string("one two"));
                press(Qt::CTRL | Qt::Key_F);  // the find toggle is false: hides only
                break;
            case 2:
                m_desktop->answers.push_back(true);
                w().menu().New1->trigger();
                QVERIFY(w().mem()->isEmpty());
                w().mem()->setFocus();
                QTest::keyClicks(w().mem(), "two, x");
                break;
            case 3:
                w().mem()->setFocus();
                w().mem()->selectAll();
                QTest::keyClicks(w().mem(), "two, x");
                break;
        }
        QCOMPARE(s().FindPos, 7);
        if (!w().findPanel()->isVisible())
            press(Qt::CTRL | Qt::Key_F);
        QVERIFY(w().findPanel()->isVisible());
        QVERIFY(w().mem()->byteLength() <= 7);

        const Selection before = selection();
        clickFind();
        QCOMPARE(selection(), before);
        QCOMPARE(s().FindPos, 0);
        QCOMPARE(s().FindNext, 0);

        clickFind();
        QCOMPARE(selection(), (Selection{firstHit, 3}));
        QCOMPARE(w().mem()->selectedBytes(), std::string("two"));
    }

    // Only the Find button moves FindPos; a later search starts from it whatever happened.
    void findPosKeptByEverythingElse_data()
    {
        QTest::addColumn<int>("what");
        QTest::addColumn<QByteArray>("textAfter");
        QTest::addColumn<int>("nextHit");  // the next click's hit from the kept FindPos
        QTest::newRow("New") << 0 << QByteArray() << -1;
        QTest::newRow("Open") << 1 << QByteArray("two two two two") << 8;
        QTest::newRow("Close File") << 2 << QByteArray() << -1;
        QTest::newRow("replacement") << 3 << QByteArray("1 two 1 two") << 8;
        QTest::newRow("find panel toggled and closed") << 4 << QByteArray(kWorked.c_str()) << 12;
        QTest::newRow("other panels shown") << 5 << QByteArray(kWorked.c_str()) << 12;
        QTest::newRow("sought text changed") << 6 << QByteArray(kWorked.c_str()) << 8;
    }
    void findPosKeptByEverythingElse()
    {
        QFETCH(int, what);
        QFETCH(QByteArray, textAfter);
        QFETCH(int, nextHit);
        prepareFind(kWorked, "two");
        clickFind();
        QCOMPARE(s().FindPos, 7);

        switch (what) {
            case 0:
                m_desktop->answers.push_back(true);
                w().menu().New1->trigger();
                break;
            case 1: {
                const QString path = m_dir->filePath("other.txt");
                WriteFile(path, textAfter);
                m_desktop->openPaths.push_back(QFile::encodeName(path).toStdString());
                w().menu().Open1->trigger();
                break;
            }
            case 2:
                m_desktop->answers.push_back(true);
                w().menu().Close1->trigger();
                break;
            case 3:
                press(Qt::CTRL | Qt::Key_R);
                w().replacePanel()->rFrom->setText("ONE");
                w().replacePanel()->rTo->setText("1");
                QTest::mouseClick(w().replacePanel()->rButt, Qt::LeftButton);
                break;
            case 4:
                press(Qt::CTRL | Qt::Key_F);
                press(Qt::CTRL | Qt::Key_F);
                QTest::mouseClick(w().findPanel()->cFind, Qt::LeftButton);
                break;
            case 5:
                press(Qt::CTRL | Qt::Key_E);
                press(Qt::CTRL | Qt::Key_L);
                press(Qt::CTRL | Qt::Key_T);
                press(Qt::CTRL | Qt::Key_D);
                break;
            case 6:
                w().findPanel()->editF->setText("o");
                break;
        }
        QCOMPARE(w().mem()->bytes(), textAfter.toStdString());
        QCOMPARE(s().FindPos, 7);
        QCOMPARE(s().FindNext, 7);

        for (int i = 0; i < 2 && !w().findPanel()->isVisible(); ++i)
            press(Qt::CTRL | Qt::Key_F);
        QVERIFY(w().findPanel()->isVisible());
        const Selection before = selection();
        clickFind();
        if (nextHit < 0) {
            QCOMPARE(selection(), before);
            QCOMPARE(s().FindPos, 0);
        } else {
            QCOMPARE(w().mem()->selStart(), nextHit);
        }
    }

    // --- replace --------------------------------------------------------------------------

    void replaceAll_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QByteArray>("expected");
        // clang-format off
        QTest::newRow("a by b in Aa aA") << QByteArray("Aa aA") << QByteArray("a") << QByteArray("b") << QByteArray("bb bb");
        QTest::newRow("aa by a in aaaa, no re-scan") << QByteArray("aaaa") << QByteArray("aa") << QByteArray("a") << QByteArray("aa");
        QTest::newRow("x by xx in x") << QByteArray("x") << QByteArray("x") << QByteArray("xx") << QByteArray("xx");
        QTest::newRow("no overlap in aaa") << QByteArray("aaa") << QByteArray("AA") << QByteArray("b") << QByteArray("ba");
        QTest::newRow("replacement as typed") << QByteArray("Hello HELLO hello") << QByteArray("hello") << QByteArray("Bye") << QByteArray("Bye Bye Bye");
        QTest::newRow("case alone changes") << QByteArray("Hello") << QByteArray("hello") << QByteArray("hello") << QByteArray("hello");
        QTest::newRow("empty replacement deletes") << QByteArray("a-b-c-") << QByteArray("-") << QByteArray() << QByteArray("abc");
        QTest::newRow("across CR LF lines") << QByteArray("one\r\ntwo\r\nOne") << QByteArray("ONE") << QByteArray("1") << QByteArray("1\r\ntwo\r\n1");
        QTest::newRow("8-bit letters fold") << QByteArray("\xE9t\xE9 \xC9T\xC9") << QByteArray("\xC9") << QByteArray("e") << QByteArray("ete eTe");
        QTest::newRow("S caron and OE") << QByteArray("\x9A\x9C \x8A\x8C") << QByteArray("\x8A\x9C") << QByteArray("z") << QByteArray("z z");
        // clang-format on
    }
    void replaceAll()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QByteArray, expected);
        prepareReplace(text.toStdString(), from, to);
        s().FindPos = 3;
        s().FindNext = 5;
        QTest::mouseClick(w().replacePanel()->rButt, Qt::LeftButton);
        QCOMPARE(w().mem()->bytes(), expected.toStdString());
        QCOMPARE(s().FindPos, 3);
        QCOMPARE(s().FindNext, 5);
        QVERIFY(w().replacePanel()->isVisible());
        // The boxes keep their texts.
        QCOMPARE(w().replacePanel()->rFrom->text(), Box(from));
        QCOMPARE(w().replacePanel()->rTo->text(), Box(to));
    }

    // The replace panel's options, for Replace All.
    void replaceAllWithOptions()
    {
        prepareReplace("Cat cat concat cats cat.", "cat", "dog");
        w().replacePanel()->rCase->setChecked(true);
        QTest::mouseClick(w().replacePanel()->rButt, Qt::LeftButton);
        QCOMPARE(w().mem()->bytes(), std::string("Cat dog condog dogs dog."));
        w().mem()->setBytes("Cat cat concat cats cat.");
        w().replacePanel()->rCase->setChecked(false);
        w().replacePanel()->rWhole->setChecked(true);
        QTest::mouseClick(w().replacePanel()->rButt, Qt::LeftButton);
        QCOMPARE(w().mem()->bytes(), std::string("dog dog concat cats dog."));
    }

    // A replacement that changes nothing leaves the area alone: text, caret and selection.
    void replacementThatChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::newRow("no occurrence") << QByteArray("xyz") << QByteArray("a");
        QTest::newRow("empty text to replace") << QByteArray() << QByteArray("a");
        QTest::newRow("every occurrence already as typed")
            << QByteArray("WORLD") << QByteArray("world");
    }
    void replacementThatChangesNothing()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        const std::string text = "Hello world,\r\nhello world";
        prepareReplace(text, from, to);
        w().mem()->select(3, 9);
        QSignalSpy changes(w().mem(), &Memo::textChanged);
        QTest::mouseClick(w().replacePanel()->rButt, Qt::LeftButton);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(w().mem()->bytes(), text);
        QCOMPARE(selection(), (Selection{3, 9}));
    }

    // Replace All is one step: Ctrl+Z brings the text and the selection back, Ctrl+Y the
    // replacement again.
    void replacementUndoesAsOneStep()
    {
        const std::string text = "Hello world,\r\nhello World";
        prepareReplace(text, "world", "there");
        w().mem()->select(3, 9);
        QTest::mouseClick(w().replacePanel()->rButt, Qt::LeftButton);
        QCOMPARE(w().mem()->bytes(), std::string_view("Hello there,\r\nhello there"));
        QTest::keyClick(w().mem(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w().mem()->bytes(), text);
        QCOMPARE(selection(), (Selection{3, 9}));
        QTest::keyClick(w().mem(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w().mem()->bytes(), std::string_view("Hello there,\r\nhello there"));
    }

    void enterInTheReplaceBoxesDoesNothing_data()
    {
        QTest::addColumn<bool>("inTo");
        QTest::newRow("in rFrom") << false;
        QTest::newRow("in rTo") << true;
    }
    void enterInTheReplaceBoxesDoesNothing()
    {
        QFETCH(bool, inTo);
        prepareReplace("aaa", "a", "b");
        QSignalSpy clicks(w().replacePanel()->rButt, &QPushButton::clicked);
        QLineEdit* box = inTo ? w().replacePanel()->rTo : w().replacePanel()->rFrom;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(w().mem()->bytes(), std::string("aaa"));
        QCOMPARE(w().replacePanel()->rFrom->text(), QStringLiteral("a"));
        QCOMPARE(w().replacePanel()->rTo->text(), QStringLiteral("b"));
        QVERIFY(w().replacePanel()->isVisible());
        QVERIFY(box->hasFocus());
    }

    // --- showing and closing ---------------------------------------------------------------

    void closeThenTheCommandTwice_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("find") << false;
        QTest::newRow("replace") << true;
    }
    void closeThenTheCommandTwice()
    {
        QFETCH(bool, replace);
        const QKeyCombination keys = Qt::CTRL | (replace ? Qt::Key_R : Qt::Key_F);
        QWidget* panel = replace ? static_cast<QWidget*>(w().replacePanel()) : w().findPanel();
        QLineEdit* box = replace ? w().replacePanel()->rFrom : w().findPanel()->editF;
        bool& toggle = replace ? s().RepToggle : s().FindToggle;

        press(keys);
        QVERIFY(panel->isVisible());
        QVERIFY(box->hasFocus());
        QVERIFY(!toggle);
        QTest::keyClicks(box, "kept");
        QTest::mouseClick(replace ? w().replacePanel()->cRep : w().findPanel()->cFind,
                          Qt::LeftButton);
        QVERIFY(!panel->isVisible());
        QVERIFY(!toggle);  // Close leaves the toggle as it was

        press(keys);
        QVERIFY(!panel->isVisible());
        QVERIFY(toggle);
        press(keys);
        QVERIFY(panel->isVisible());
        QVERIFY(panel->isEnabled());
        QVERIFY(box->hasFocus());
        QCOMPARE(box->text(), QStringLiteral("kept"));
        QCOMPARE(s().FindPos, 0);
    }
};

QTEST_MAIN(TestFindPanels)
#include "test_find_panels.moc"
