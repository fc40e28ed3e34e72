#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "modal_script.h"
#include "scripted_desktop.h"
#include "ui/info/fAboutPas.h"

class TestAbout final : public QObject {
    Q_OBJECT

private slots:
    void titleLineShowsAppTitle_data();
    void titleLineShowsAppTitle();
    void onlyTheLinkOpensTheWebSite();
    void shownModallyAsDesigned_data();
    void shownModallyAsDesigned();
};

void TestAbout::titleLineShowsAppTitle_data()
{
    QTest::addColumn<QByteArray>("appTitle");
    QTest::addColumn<QString>("shown");
    QTest::newRow("as start-up sets it")
        << QByteArray("Plimo Text Editor 1.7") << "Plimo Text Editor 1.7";
    QTest::newRow("from the settings file") << QByteArray("My notes") << "My notes";
    QTest::newRow("Windows-1252") << QByteArray("Caf\xe9 \x80") << QString::fromUtf8("Café €");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestAbout::titleLineShowsAppTitle()
{
    QFETCH(QByteArray, appTitle);
    QFETCH(QString, shown);
    ScriptedDesktop desktop;

    TfAbout about(desktop, std::string_view(appTitle.constData(), appTitle.size()));

    QCOMPARE(about.Label2->text(), shown);
    QCOMPARE(about.Label2->pos(), QPoint(25, 32));
    QCOMPARE(about.Label2->font().pixelSize(), 20);
}

void TestAbout::onlyTheLinkOpensTheWebSite()
{
    ScriptedDesktop desktop;
    TfAbout about(desktop, "Plimo Text Editor 1.7");
    about.show();
    QCOMPARE(about.Label3->text(), QStringLiteral("Korvex Software"));
    QVERIFY(!about.Label4->text().isEmpty());
    QVERIFY(about.Label5->font().underline());
    QCOMPARE(about.Label5->cursor().shape(), Qt::PointingHandCursor);

    for (QLabel* other : {about.Label2, about.Label3, about.Label4, about.Image1})
        QTest::mouseClick(other, Qt::LeftButton);
    QVERIFY(desktop.calls.empty());

    QTest::mouseClick(about.Label5, Qt::LeftButton);
    QCOMPARE(desktop.calls.size(), std::size_t{1});
    QCOMPARE(desktop.calls[0].kind, ScriptedDesktop::Kind::OpenUrl);
    QCOMPARE(desktop.calls[0].text, std::string("https://www.korvex.example/plimo"));
}

void TestAbout::shownModallyAsDesigned_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("close box") << 0;
}

void TestAbout::shownModallyAsDesigned()
{
    QFETCH(int, key);
    ScriptedDesktop desktop;
    QWidget mainWindow;  // the about window belongs to the main window, yet keeps its place
    mainWindow.setGeometry(20, 30, 700, 500);
    mainWindow.show();
    TfAbout about(desktop, "Plimo Text Editor 1.7", &mainWindow);

    ModalScript script({[&](QWidget* modal) {
        QCOMPARE(modal, &about);
        QCOMPARE(modal->windowTitle(), QStringLiteral("Plimo - About"));
        QCOMPARE(about.size(), QSize(423, 274));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QCOMPARE(modal->frameGeometry().topLeft(), QPoint(454, 184));
        QCOMPARE(about.palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(about.Image1->geometry(), QRect(296, 32, 109, 145));
        QCOMPARE(about.Image1->pixmap().size(), QSize(109, 124));
        QCOMPARE(about.Button1->geometry(), QRect(280, 208, 121, 49));
        QCOMPARE(about.Button1->text(), QStringLiteral("Close"));
        QCOMPARE(about.focusWidget(), about.Button1);
        for (QWidget* child : about.findChildren<QWidget*>())
            QCOMPARE(child->focusPolicy() != Qt::NoFocus, child == about.Button1);
        if (key == Qt::Key_Space)
            QTest::keyClick(about.focusWidget(), Qt::Key_Space);
        else if (key != 0)
            QTest::keyClick(modal, Qt::Key(key));
        else
            modal->close();
    }});
    about.exec();

    QCOMPARE(script.stepsRun(), 1);
    QCOMPARE(script.leftOpen(), 0);
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
