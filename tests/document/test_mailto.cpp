#include <cctype>

#include <QRandomGenerator>
#include <QTest>

#include "core/win1252.h"
#include "document/mailto.h"
#include "file_test_helpers.h"

namespace {

const QByteArray kPrefix = "mailto:?subject=Subject%20here&body=";

QByteArray BodyOf(const QByteArray& request)
{
    return request.startsWith(kPrefix) ? request.mid(kPrefix.size()) : "<no prefix>" + request;
}

}  // namespace

class TestMailto final : public QObject {
    Q_OBJECT

private slots:
    // The request.
    void body_data();
    void body();
    void requestIsPlainUri();
    void tooShort_data();
    void tooShort();
};

void TestMailto::body_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("worked example") << QByteArray("Hi\r\nAll") << QByteArray("Hi%0D%0AAll%0D%0A");
    QTest::newRow("one line") << QByteArray("Hi") << QByteArray("Hi%0D%0A");
    QTest::newRow("empty text") << QByteArray() << QByteArray();
    QTest::newRow("trailing CR LF") << QByteArray("Hi\r\n") << QByteArray("Hi%0D%0A");
    QTest::newRow("empty line before the end")
        << QByteArray("Hi\r\n\r\n") << QByteArray("Hi%0D%0A%0D%0A");
    QTest::newRow("only a break") << QByteArray("\r\n") << QByteArray("%0D%0A");
    QTest::newRow("ampersand") << QByteArray("a&b") << QByteArray("a%26b%0D%0A");
    QTest::newRow("percent") << QByteArray("100%") << QByteArray("100%25%0D%0A");
    QTest::newRow("hash") << QByteArray("#tag") << QByteArray("%23tag%0D%0A");
    QTest::newRow("question mark") << QByteArray("why?") << QByteArray("why%3F%0D%0A");
    QTest::newRow("blank") << QByteArray("a b") << QByteArray("a%20b%0D%0A");
    QTest::newRow("plus and equals") << QByteArray("1+1=2") << QByteArray("1%2B1%3D2%0D%0A");
    QTest::newRow("header injection")
        << QByteArray("x&to=eve@example.com") << QByteArray("x%26to%3Deve%40example.com%0D%0A");
    QTest::newRow("unreserved stay") << QByteArray("Az09-._~") << QByteArray("Az09-._~%0D%0A");
    QTest::newRow("e acute") << QByteArray("\xE9") << QByteArray("%C3%A9%0D%0A");
    QTest::newRow("euro") << QByteArray("\x80") << QByteArray("%E2%82%AC%0D%0A");
    QTest::newRow("no-break space") << QByteArray("\xA0") << QByteArray("%C2%A0%0D%0A");
    QTest::newRow("undefined 0x81") << QByteArray("\x81") << QByteArray("%C2%81%0D%0A");
    QTest::newRow("NUL") << QByteArray("a\0b", 3) << QByteArray("a%00b%0D%0A");
    QTest::newRow("lone LF inside a line") << QByteArray("a\nb") << QByteArray("a%0Ab%0D%0A");
    QTest::newRow("text ending in a lone CR") << QByteArray("a\r") << QByteArray("a%0D%0D%0A");
    const QByteArray longLine(5000, 'x');
    QTest::newRow("long line stays one line") << longLine << longLine + "%0D%0A";
}

void TestMailto::body()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, body);
    QCOMPARE(BodyOf(Bytes(BuildMailtoRequest(Std(text)))), body);
}

void TestMailto::requestIsPlainUri()
{
    // Whatever the text, the body decodes back to its UTF-8 with every line ended by CR LF,
    // and the request holds nothing a mail program could read as another field.
    QRandomGenerator random(7);
    for (int round = 0; round < 500; ++round) {
        QByteArray text(random.bounded(40), '\0');
        for (char& c : text)
            c = static_cast<char>(random.bounded(256));
        const QByteArray request = Bytes(BuildMailtoRequest(Std(text)));
        const QByteArray body = BodyOf(request);
        const QByteArray context = text.toHex();
        for (const char c : body)
            QVERIFY2(QByteArray("%-._~").contains(c) || std::isalnum(static_cast<unsigned char>(c)),
                     context.constData());
        QByteArray expected = Bytes(win1252::ToUtf8(Std(text)));
        if (!text.isEmpty() && !text.endsWith("\r\n"))
            expected += "\r\n";
        QVERIFY2(QByteArray::fromPercentEncoding(body) == expected, context.constData());
    }
}

void TestMailto::tooShort_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("tooShort");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("worked example, 7 with CR LF") << QByteArray("Hi\r\nAll") << true;
    QTest::newRow("9 characters") << QByteArray("123456789") << true;
    QTest::newRow("10 characters") << QByteArray("1234567890") << false;
    QTest::newRow("10 with a CR LF counted as two") << QByteArray("1234\r\n5678") << false;
}

void TestMailto::tooShort()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, tooShort);
    QCOMPARE(IsTooShortToMail(Std(text)), tooShort);
}

QTEST_GUILESS_MAIN(TestMailto)
#include "test_mailto.moc"
