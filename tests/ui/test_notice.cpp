#include <string>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "core/show_note.h"
#include "modal_script.h"
#include "note_recorder.h"
#include "scripted_desktop.h"
#include "ui/info/notice.h"

namespace {

enum class CloseBy { Enter, Space, CloseButton, CloseBox };

void Close(QWidget* modal, CloseBy how)
{
    auto* note = qobject_cast<TfNote*>(modal);
    switch (how) {
        case CloseBy::Enter:
            QTest::keyClick(modal, Qt::Key_Return);
            break;
        case CloseBy::Space:
            QTest::keyClick(modal->focusWidget(), Qt::Key_Space);
            break;
        case CloseBy::CloseButton:
            QTest::mouseClick(note->Button1, Qt::LeftButton);
            break;
        case CloseBy::CloseBox:
            modal->close();
            break;
    }
}

// Where a window of this outer size sits when centred on a screen, by whole pixels.
QPoint Centred(QSize screen, QSize outer)
{
    return {(screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2};
}

}  // namespace

Q_DECLARE_METATYPE(CloseBy)

class TestNotice final : public QObject {
    Q_OBJECT

private slots:
    // Shown for real through ShowNote
    void showsMessageModally_data();
    void showsMessageModally();
    void twoMessagesEachWaitForTheirClose();
    void centredAtEveryShow_data();
    void centredAtEveryShow();

    // The message text
    void textIsWindows1252_data();
    void textIsWindows1252();
    void tallMessageGrowsTheWindow();

    // The window's parts
    void layoutAsDesigned();
    void handlerRemovedWithTheWindow();
};

void TestNotice::showsMessageModally_data()
{
    QTest::addColumn<CloseBy>("how");
    QTest::newRow("Enter") << CloseBy::Enter;
    QTest::newRow("Space") << CloseBy::Space;
    QTest::newRow("Close button") << CloseBy::CloseButton;
    QTest::newRow("close box") << CloseBy::CloseBox;
}

void TestNotice::showsMessageModally()
{
    QFETCH(CloseBy, how);
    ScriptedDesktop desktop;
    TfNote note(desktop);

    ModalScript script({[&](QWidget* modal) {
        QCOMPARE(modal, &note);
        QCOMPARE(modal->windowTitle(), QStringLiteral("Plimo - Note"));
        QCOMPARE(note.Label1->text(), QStringLiteral("File opening was cancelled!"));
        QCOMPARE(note.size(), QSize(368, 159));
        QCOMPARE(note.focusWidget(), note.Button1);
        Close(modal, how);
    }});
    ShowNote("File opening was cancelled!");

    QCOMPARE(script.stepsRun(), 1);
    QCOMPARE(script.leftOpen(), 0);
    QVERIFY(!note.isVisible());
}

void TestNotice::twoMessagesEachWaitForTheirClose()
{
    ScriptedDesktop desktop;
    TfNote note(desktop);
    QStringList shown;
    bool firstReturned = false;
    auto answer = [&](QWidget*) {
        shown << note.Label1->text();
        QTest::keyClick(&note, Qt::Key_Return);
    };
    ModalScript script({[&](QWidget* modal) {
                            QVERIFY(!firstReturned);
                            answer(modal);
                        },
                        answer});

    // The two warnings of a quick e-mail, from one caller.
    ShowNote("first warning");
    firstReturned = true;
    ShowNote("second warning");

    QCOMPARE(shown, QStringList({"first warning", "second warning"}));
    QCOMPARE(script.leftOpen(), 0);
}

void TestNotice::centredAtEveryShow_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("withParent");
    QTest::newRow("1280 x 1024") << QSize(1280, 1024) << false;
    QTest::newRow("odd sizes drop the half pixel") << QSize(1365, 767) << false;
    QTest::newRow("on the screen, not on the main window") << QSize(1280, 1024) << true;
}

void TestNotice::centredAtEveryShow()
{
    QFETCH(QSize, screen);
    QFETCH(bool, withParent);
    ScriptedDesktop desktop;
    desktop.screenSize = screen;
    QWidget mainWindow;
    mainWindow.setGeometry(20, 30, 700, 500);
    if (withParent)
        mainWindow.show();
    TfNote note(desktop, withParent ? &mainWindow : nullptr);

    QList<QPoint> places;
    auto checkAndMove = [&](QWidget* modal) {
        const QRect outer = modal->frameGeometry();
        places << outer.topLeft();
        QCOMPARE(outer.topLeft(), Centred(screen, outer.size()));
        modal->move(3, 4);  // the user drags it away
        QTest::keyClick(modal, Qt::Key_Return);
    };
    ModalScript script({checkAndMove, checkAndMove});
    ShowNote("one");
    ShowNote("two");

    QCOMPARE(script.stepsRun(), 2);
    QCOMPARE(places.size(), 2);
    QCOMPARE(places[1], places[0]);
}

void TestNotice::textIsWindows1252_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF breaks the line") << QByteArray("first\r\nsecond") << "first\nsecond";
    QTest::newRow("8-bit letters")
        << QByteArray("\x80 caf\xe9 \x8a") << QString::fromUtf8("€ café Š");
    QTest::newRow("markup stays as typed") << QByteArray("<b>a & b</b>") << "<b>a & b</b>";
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestNotice::textIsWindows1252()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    ScriptedDesktop desktop;
    TfNote note(desktop);
    QString seen;
    ModalScript script({[&](QWidget* modal) {
        seen = note.Label1->text();
        QTest::keyClick(modal, Qt::Key_Return);
    }});
    ShowNote(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));

    QCOMPARE(script.stepsRun(), 1);
    QCOMPARE(seen, text);
    QCOMPARE(note.Label1->textFormat(), Qt::PlainText);
}

void TestNotice::tallMessageGrowsTheWindow()
{
    ScriptedDesktop desktop;
    TfNote note(desktop);
    std::string tall;
    for (int line = 1; line <= 12; ++line)
        tall += "Line " + std::to_string(line) + "\r\n";
    const std::string wrapped = "A short message that wraps over two lines of the label.";

    struct Seen {
        QRect label, button;
        QSize size;
        bool centred = false;
    };
    Seen tallSeen, shortSeen;
    auto record = [&note](Seen* seen) {
        return [&note, seen](QWidget* modal) {
            seen->label = note.Label1->geometry();
            seen->button = note.Button1->geometry();
            seen->size = note.size();
            const QRect outer = modal->frameGeometry();
            seen->centred = outer.topLeft() == Centred(QSize(1280, 1024), outer.size());
            QTest::keyClick(modal, Qt::Key_Return);
        };
    };
    ModalScript script({record(&tallSeen), record(&shortSeen)});
    ShowNote(tall);
    ShowNote(wrapped);
    QCOMPARE(script.stepsRun(), 2);

    // The tall text keeps its width and sits wholly above the button, which keeps its margin
    // to the window's bottom edge.
    QCOMPARE(tallSeen.label.width(), 249);
    QVERIFY(tallSeen.label.height() > 80);
    QVERIFY(tallSeen.label.bottom() < tallSeen.button.top());
    QCOMPARE(tallSeen.size.width(), 368);
    QCOMPARE(tallSeen.size.height() - (tallSeen.button.y() + tallSeen.button.height()),
             159 - (104 + 41));
    QCOMPARE(tallSeen.button.size(), QSize(129, 41));
    QVERIFY(tallSeen.centred);

    // A message that fits leaves the designed window as it was.
    QVERIFY(shortSeen.label.height() > QFontMetrics(note.Label1->font()).height());
    QVERIFY(shortSeen.label.height() <= 80);
    QCOMPARE(shortSeen.size, QSize(368, 159));
    QCOMPARE(shortSeen.button, QRect(224, 104, 129, 41));
    QVERIFY(shortSeen.centred);
}

void TestNotice::layoutAsDesigned()
{
    ScriptedDesktop desktop;
    TfNote note(desktop);
    QCOMPARE(note.Button1->text(), QStringLiteral("Close"));
    QCOMPARE(note.Button1->geometry(), QRect(224, 104, 129, 41));
    QCOMPARE(note.Label1->x(), 96);
    QCOMPARE(note.Label1->y(), 24);
    QVERIFY(note.Label1->wordWrap());
    QCOMPARE(note.Label1->font().pixelSize(), 15);
    QCOMPARE(note.Image1->geometry(), QRect(24, 24, 64, 62));
    QCOMPARE(note.Image1->pixmap().size(), QSize(54, 62));
    QCOMPARE(note.Image1->alignment(), Qt::AlignLeft | Qt::AlignTop);
    QCOMPARE(note.minimumSize(), note.maximumSize());  // fixed border

    for (QWidget* child : note.findChildren<QWidget*>())
        QCOMPARE(child->focusPolicy() != Qt::NoFocus, child == note.Button1);
}

void TestNotice::handlerRemovedWithTheWindow()
{
    NoteRecorder recorder;
    {
        ScriptedDesktop desktop;
        TfNote note(desktop);
    }
    ShowNote("after the window");
    QCOMPARE(recorder.notes, std::vector<std::string>{"after the window"});
}

QTEST_MAIN(TestNotice)
#include "test_notice.moc"
