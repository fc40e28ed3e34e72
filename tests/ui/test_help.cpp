#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "modal_script.h"
#include "scripted_desktop.h"
#include "temp_workdir.h"
#include "ui/editor/text_view.h"
#include "ui/info/fHelp.h"
#include "ui/platform/command_guard.h"

namespace {

const char* const kTitle = "Plimo Text Editorius 1.7";

bool WriteHelpFile(const TempWorkDir& dir, const QByteArray& bytes)
{
    QFile file(dir.filePath(QStringLiteral("plimo-help.txt")));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Resizes the shown window so that the bar gets the given width.
void SetBarWidth(TfHelpPas& help, int barWidth)
{
    const int besideBar = help.width() - help.pHelp->width();
    help.resize(barWidth + besideBar, help.height());
}

}  // namespace

class TestHelp final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetApplicationTitle(kTitle); }

    // The help file, read once when the window is made
    void loadsLinesWhateverTheirEnds_data();
    void loadsLinesWhateverTheirEnds();
    void missingFileReportsAndShowsNothing_data();
    void missingFileReportsAndShowsNothing();

    // The window
    void closeFollowsTheRightEdge_data();
    void closeFollowsTheRightEdge();
    void linkOpensTheWebSite();
    void longLineWraps();
    void aLongLineIsLaidOutOnlyAsShown();
    void shownModallyWhereItWasLeft();
};

void TestHelp::loadsLinesWhateverTheirEnds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("text");  // the bytes the window holds, lines joined by CR LF
    QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << QByteArray("one\r\ntwo");
    QTest::newRow("LF") << QByteArray("one\ntwo\n") << QByteArray("one\r\ntwo");
    QTest::newRow("CR") << QByteArray("one\rtwo\r") << QByteArray("one\r\ntwo");
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd") << QByteArray("a\r\nb\r\nc\r\nd");
    QTest::newRow("no line end at the end") << QByteArray("one\r\ntwo") << QByteArray("one\r\ntwo");
    QTest::newRow("blank lines kept") << QByteArray("a\r\n\r\n\r\nb\r\n")
                                      << QByteArray("a\r\n\r\n\r\nb");
    QTest::newRow("CR CR LF is two ends") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb");
    QTest::newRow("last blank line") << QByteArray("a\r\n\r\n") << QByteArray("a\r\n");
    QTest::newRow("Windows-1252 kept as bytes") << QByteArray("\x80 caf\xe9 \x93q\x94\0", 12)
                                                << QByteArray("\x80 caf\xe9 \x93q\x94\0", 12);
    QTest::newRow("tabs kept") << QByteArray("a\tb") << QByteArray("a\tb");
    QTest::newRow("empty file") << QByteArray() << QByteArray();
}

void TestHelp::loadsLinesWhateverTheirEnds()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, text);
    TempWorkDir dir;
    QVERIFY(WriteHelpFile(dir, file));
    ScriptedDesktop desktop;

    TfHelpPas help(desktop);

    QCOMPARE(help.memoH->bytes(), std::string_view(text.constData(), text.size()));
    QVERIFY(desktop.calls.empty());
    QCOMPARE(help.cH->pos(), QPoint(448, 16));
}

void TestHelp::missingFileReportsAndShowsNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("no such file") << "missing";
    QTest::newRow("a folder of that name") << "folder";
    QTest::newRow("a pipe nobody writes to") << "fifo";
    QTest::newRow("a link to an endless device") << "zero";
    QTest::newRow("far larger than a help text") << "large";
}

// Whatever stands in place of the help file, the window is made at once, with no text.
void TestHelp::missingFileReportsAndShowsNothing()
{
    QFETCH(QString, kind);
    TempWorkDir dir;
    const QByteArray name = QFile::encodeName(dir.filePath(QStringLiteral("plimo-help.txt")));
    if (kind == "folder")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("plimo-help.txt")));
    if (kind == "fifo")
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
    if (kind == "zero")
        QVERIFY(::symlink("/dev/zero", name.constData()) == 0);
    if (kind == "large")
        QVERIFY(WriteHelpFile(dir, QByteArray(2 << 20, 'h')));
    ScriptedDesktop desktop;

    TfHelpPas help(desktop);

    QCOMPARE(desktop.calls.size(), std::size_t{1});
    QCOMPARE(desktop.calls[0].kind, ScriptedDesktop::Kind::Error);
    QCOMPARE(desktop.calls[0].caption, std::string(kTitle));
    QCOMPARE(desktop.calls[0].text, std::string("Cannot open file plimo-help.txt"));
    QVERIFY(help.memoH->isEmpty());
}

void TestHelp::closeFollowsTheRightEdge_data()
{
    QTest::addColumn<int>("barWidth");
    QTest::addColumn<bool>("follows");
    QTest::newRow("wide") << 800 << true;
    QTest::newRow("312 follows") << 312 << true;
    QTest::newRow("311 stays") << 311 << false;
    QTest::newRow("narrow stays") << 200 << false;
}

void TestHelp::closeFollowsTheRightEdge()
{
    QFETCH(int, barWidth);
    QFETCH(bool, follows);
    TempWorkDir dir;
    QVERIFY(WriteHelpFile(dir, "help"));
    ScriptedDesktop desktop;
    TfHelpPas help(desktop);
    help.show();

    SetBarWidth(help, 500);
    QCOMPARE(help.pHelp->width(), 500);
    QCOMPARE(help.cH->pos(), QPoint(404, 16));

    SetBarWidth(help, barWidth);
    QCOMPARE(help.pHelp->width(), barWidth);
    QCOMPARE(help.cH->pos(), QPoint(follows ? barWidth - 96 : 404, 16));
}

void TestHelp::linkOpensTheWebSite()
{
    TempWorkDir dir;
    QVERIFY(WriteHelpFile(dir, "help"));
    ScriptedDesktop desktop;
    TfHelpPas help(desktop);
    help.show();
    QCOMPARE(help.Label1->text(), QStringLiteral("Visit Plimo Help pages online"));
    QVERIFY(help.Label1->font().underline());
    QCOMPARE(help.Label1->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(help.pHelp, Qt::LeftButton, {}, QPoint(5, 5));  // beside the link
    QVERIFY(desktop.calls.empty());
    QTest::mouseClick(help.Label1, Qt::LeftButton);

    QCOMPARE(desktop.calls.size(), std::size_t{1});
    QCOMPARE(desktop.calls[0].kind, ScriptedDesktop::Kind::OpenUrl);
    QCOMPARE(desktop.calls[0].text, std::string("https://www.korvex.example/plimo"));
}

void TestHelp::longLineWraps()
{
    TempWorkDir dir;
    QVERIFY(WriteHelpFile(dir, QByteArray(3000, 'w') + "\r\nnext"));
    ScriptedDesktop desktop;
    TfHelpPas help(desktop);
    help.show();

    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QVERIFY(help.memoH->rowCount(0) > 1);
    QCOMPARE(help.memoH->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(help.memoH->rowCount(1), std::size_t{1});
}

// A help file of one line as long as a help file may be opens at once: only what the window
// shows of it is laid out.
void TestHelp::aLongLineIsLaidOutOnlyAsShown()
{
    TempWorkDir dir;
    QVERIFY(WriteHelpFile(dir, QByteArray((1 << 20) - 1, 'w')));
    ScriptedDesktop desktop;
    QElapsedTimer clock;
    clock.start();
    TfHelpPas help(desktop);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QVERIFY(!help.memoH->grab().isNull());
    QVERIFY2(!help.memoH->lineLaidOut(0), "the whole line was laid out to show its start");
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(desktop.calls.empty());
}

void TestHelp::shownModallyWhereItWasLeft()
{
    TempWorkDir dir;
    QVERIFY(WriteHelpFile(dir, "How to use Plimo\r\n"));
    ScriptedDesktop desktop;
    QWidget mainWindow;  // the help window belongs to the main window, yet keeps its place
    mainWindow.setGeometry(20, 30, 700, 500);
    mainWindow.show();
    TfHelpPas help(desktop, &mainWindow);
    // Read once: a change to the file shows only after a restart.
    QVERIFY(WriteHelpFile(dir, "changed"));

    QRect first, second;
    ModalScript script({[&](QWidget* modal) {
                            QCOMPARE(modal, &help);
                            QCOMPARE(modal->windowTitle(), QStringLiteral("Plimo - Help"));
                            first = modal->frameGeometry();
                            QVERIFY(help.memoH->isReadOnly());
                            QCOMPARE(help.memoH->bytes(), std::string_view("How to use Plimo"));
                            modal->move(40, 50);  // the user moves it
                            QTest::mouseClick(help.cH, Qt::LeftButton);
                        },
                        [&](QWidget* modal) {
                            second = modal->frameGeometry();
                            QTest::mouseClick(help.cH, Qt::LeftButton);
                        }});
    help.exec();
    help.exec();

    QCOMPARE(script.stepsRun(), 2);
    QCOMPARE(script.leftOpen(), 0);
    QCOMPARE(first, QRect(608, 147, 592, 556));
    QCOMPARE(second.topLeft(), QPoint(40, 50));
    QCOMPARE(second.size(), first.size());
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
