#include <QTest>

#include <random>
#include <string>

#include "cipher/shift_cipher.h"
#include "note_recorder.h"

using namespace std::string_literals;
using Notes = std::vector<std::string>;

namespace {

std::string S(std::string_view v)
{
    return std::string(v);
}

std::string RandomBytes(std::mt19937& random, std::size_t length, int low = 0, int high = 255)
{
    std::uniform_int_distribution<int> byte(low, high);
    std::string s(length, '\0');
    for (char& c : s)
        c = static_cast<char>(byte(random));
    return s;
}

// Index of the first character a round trip changes, found the slow way.
std::optional<std::size_t> FirstChangedByRoundTrip(const std::string& text, const std::string& key)
{
    const std::string back = DecryptText(EncryptText(text, key, "1"), key, "1");
    for (std::size_t i = 0; i < text.size(); ++i)
        if (back[i] != text[i])
            return i;
    return std::nullopt;
}

}  // namespace

class TestShiftCipher final : public QObject {
    Q_OBJECT

private slots:
    // The worked characters; a tab now passes through like CR.
    void workedCharacters_data()
    {
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("encrypted");
        QTest::newRow("H, 97: folds down") << 72 << 97 << 74;
        QTest::newRow("!, 48: no fold") << 33 << 48 << 81;
        QTest::newRow("space, 98") << 32 << 98 << 35;
        QTest::newRow("~, 126: above 126") << 126 << 126 << 157;
        QTest::newRow("CR") << 13 << 200 << 13;
        QTest::newRow("LF") << 10 << 55 << 10;
        QTest::newRow("tab, 100: passes") << 9 << 100 << 9;
        QTest::newRow("~, 230: low-8-bit wrap") << 126 << 230 << 5;
    }
    void workedCharacters()
    {
        QFETCH(int, c);
        QFETCH(int, k);
        QFETCH(int, encrypted);
        const std::string text = std::string(1, char(c)) + "ABCDEFG";
        const std::string key = std::string(1, char(k)) + "xyzwvu";
        const std::string out = EncryptText(text, key, "1");
        QCOMPARE(int(static_cast<unsigned char>(out.at(0))), encrypted);
        QCOMPARE(DecryptText(out, key, "1"), text);
    }

    void checks_data()
    {
        namespace m = cipher_messages;
        const std::string text = S(m::kTextTooShortToEncrypt), key = S(m::kEncryptKeyTooShort);
        const std::string dText = S(m::kTextTooShortToDecrypt), dKey = S(m::kDecryptKeyTooShort);
        const std::string keyLong = S(m::kEncryptKeyTooLong);
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<int>("textLength");
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<Notes>("notes");
        // clang-format off
        QTest::newRow("enc 8/6") << true << 8 << 6 << Notes{};
        QTest::newRow("enc 8/12") << true << 8 << 12 << Notes{};
        QTest::newRow("enc 7/6") << true << 7 << 6 << Notes{text};
        QTest::newRow("enc 8/5") << true << 8 << 5 << Notes{key};
        QTest::newRow("enc 8/13") << true << 8 << 13 << Notes{keyLong};
        QTest::newRow("enc 7/5") << true << 7 << 5 << Notes{text, key};
        QTest::newRow("enc 7/13") << true << 7 << 13 << Notes{text, keyLong};
        QTest::newRow("enc 0/0") << true << 0 << 0 << Notes{text, key};
        QTest::newRow("dec 8/6") << false << 8 << 6 << Notes{};
        QTest::newRow("dec 8/13") << false << 8 << 13 << Notes{};
        QTest::newRow("dec 8/300") << false << 8 << 300 << Notes{};
        QTest::newRow("dec 7/6") << false << 7 << 6 << Notes{dText};
        QTest::newRow("dec 8/5") << false << 8 << 5 << Notes{dKey};
        QTest::newRow("dec 0/0") << false << 0 << 0 << Notes{dText, dKey};
        // clang-format on
    }
    // The text form tells each refusal; the level form only returns them, and showing them
    // gives the same messages in the same order.
    void checks()
    {
        QFETCH(bool, encrypt);
        QFETCH(int, textLength);
        QFETCH(int, keyLength);
        QFETCH(Notes, notes);
        const std::string text(textLength, 'q');
        const std::string key(keyLength, 'K');
        const auto direction = encrypt ? CipherDirection::Encrypt : CipherDirection::Decrypt;
        NoteRecorder recorder;
        const std::string out = encrypt ? EncryptText(text, key, "2") : DecryptText(text, key, "2");
        QCOMPARE(recorder.notes, notes);
        QCOMPARE(out.size(), notes.empty() ? text.size() : 0u);

        recorder.notes.clear();
        std::string buffer = "left over";
        const TCipherRefusals refusals = encrypt
                                             ? EncryptInto(text, key, EncryptionLevel::B, buffer)
                                             : DecryptInto(text, key, EncryptionLevel::B, buffer);
        QVERIFY(recorder.notes.empty());
        QCOMPARE(refusals.Any(), !notes.empty());
        QCOMPARE(buffer, out);
        QCOMPARE(
            encrypt ? EncryptRefusals(text, key, EncryptionLevel::B) : DecryptRefusals(text, key),
            refusals);
        ShowCipherRefusals(direction, refusals);
        QCOMPARE(recorder.notes, notes);
    }

    // A level text counts when it converts to 1..3; the level form refuses a level outside
    // A..C (as a bad cast would make one) the same way, without a word.
    void levelTexts_data()
    {
        QTest::addColumn<QByteArray>("level");
        QTest::addColumn<bool>("encrypts");
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("blank 2") << QByteArray(" 2") << true;
        QTest::newRow("3") << QByteArray("3") << true;
        QTest::newRow("+3") << QByteArray("+3") << true;
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("4") << QByteArray("4") << false;
        QTest::newRow("-1") << QByteArray("-1") << false;
        QTest::newRow("empty") << QByteArray("") << false;
        QTest::newRow("letters") << QByteArray("two") << false;
    }
    void levelTexts()
    {
        QFETCH(QByteArray, level);
        QFETCH(bool, encrypts);
        const std::string text = "Level texts", key = "abcdefg";
        NoteRecorder recorder;
        const std::string expected = detail::EncryptReference(text, key);
        QCOMPARE(EncryptText(text, key, level.toStdString()), encrypts ? expected : "");
        QCOMPARE(DecryptText(expected, key, level.toStdString()), text);

        const auto named = encrypts ? EncryptionLevel::C : static_cast<EncryptionLevel>(3);
        std::string out;
        const TCipherRefusals refusals = EncryptInto(text, key, named, out);
        QCOMPARE(refusals.Has(CipherRefusal::UnknownLevel), !encrypts);
        QCOMPARE(out, encrypts ? expected : "");
        ShowCipherRefusals(CipherDirection::Encrypt, refusals);
        QVERIFY(!DecryptInto(expected, key, named, out).Any());
        QCOMPARE(out, text);
        QVERIFY(recorder.notes.empty());
    }

    // Key 1,2,3,4,5 (+ unused 6th): 'A' + position shows which key character each one met.
    void keyCycleAndLineEnds_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("encrypted");
        QTest::newRow("cycle of 5") << QByteArray("AAAAAAAAAAAA") << QByteArray("BCDEFBCDEFBC");
        QTest::newRow("CR LF advance the key")
            << QByteArray("AA\r\nAA\r\nAA") << QByteArray("BC\r\nFB\r\nEF");
        QTest::newRow("tab advances the key")
            << QByteArray("A\tAAAAAAA") << QByteArray("B\tDEFBCDE");
        QTest::newRow("lone LF and CR") << QByteArray("\nAAA\rAAA") << QByteArray("\nCDE\rBCD");
    }
    void keyCycleAndLineEnds()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, encrypted);
        for (const char last : {'\x06', 'Z', '\xFF'}) {  // the last key character takes no part
            const std::string key = "\x01\x02\x03\x04\x05"s + last;
            QCOMPARE(QByteArray::fromStdString(EncryptText(text.toStdString(), key, "1")),
                     encrypted);
            QCOMPARE(QByteArray::fromStdString(DecryptText(encrypted.toStdString(), key, "1")),
                     text);
        }
    }

    void printableTextsRoundTrip()
    {
        std::mt19937 random(11);
        for (int round = 0; round < 300; ++round) {
            std::string text = RandomBytes(random, 8 + random() % 300, 32, 126);
            for (std::size_t at = random() % 40; at + 1 < text.size(); at += 1 + random() % 40)
                text.replace(at, 2, random() % 3 ? "\r\n" : "\t\t");
            const std::string key = RandomBytes(random, 6 + round % 7, 32, 126);
            QCOMPARE(DecryptText(EncryptText(text, key, "3"), key, "3"), text);
        }
    }

    // The fast code against the plain arithmetic, over every byte value, around tile edges.
    void fastMatchesReference_data()
    {
        QTest::addColumn<int>("length");
        for (const int length : {8, 15, 16, 17, 63, 64, 65, 127, 128, 129, 191, 192, 193, 4099})
            QTest::newRow(QByteArray::number(length)) << length;
    }
    void fastMatchesReference()
    {
        QFETCH(int, length);
        std::mt19937 random(length);
        for (std::size_t keyLength : {6, 7, 8, 9, 10, 11, 12, 13, 64, 65, 66, 200}) {
            const std::string text = RandomBytes(random, length);
            const std::string key = RandomBytes(random, keyLength);
            if (keyLength <= 12)
                QCOMPARE(EncryptText(text, key, "1"), detail::EncryptReference(text, key));
            QCOMPARE(DecryptText(text, key, "1"), detail::DecryptReference(text, key));
        }
    }

    // A text transformed in pieces at random places equals the text transformed whole: each
    // piece takes up the key cycle where the one before it stopped.
    void piecesMatchTheWhole()
    {
        std::mt19937 random(7);
        for (std::size_t keyLength : {6, 7, 12, 64, 65}) {
            const std::string text = RandomBytes(random, 5000);
            const std::string key = RandomBytes(random, keyLength);
            std::string encrypted(text.size(), '\0');
            std::string decrypted(text.size(), '\0');
            for (std::size_t at = 0; at < text.size();) {
                const std::size_t length =
                    std::min<std::size_t>(1 + random() % 700, text.size() - at);
                const std::string_view piece = std::string_view(text).substr(at, length);
                EncryptPiece(piece, key, at, encrypted.data() + at);
                DecryptPiece(piece, key, at, decrypted.data() + at);
                at += length;
            }
            QCOMPARE(encrypted, detail::EncryptReference(text, key));
            QCOMPARE(decrypted, detail::DecryptReference(text, key));
        }
    }

    void intoReusesAndTakesItsOwnText()
    {
        const std::string key = "Key0123";
        std::string buffer = "A text that is encrypted in place.";
        const std::string expected = detail::EncryptReference(buffer, key);
        QVERIFY(!EncryptInto(buffer, key, EncryptionLevel::A, buffer).Any());
        QCOMPARE(buffer, expected);
        QVERIFY(DecryptInto("short", key, EncryptionLevel::A, buffer).Any());
        QVERIFY(buffer.empty());
    }

    // The table-based check against real round trips.
    void restorability_data()
    {
        QTest::addColumn<int>("textLow");
        QTest::addColumn<int>("keyLow");
        QTest::addColumn<int>("strays");  // characters of any value put into the text
        QTest::newRow("any bytes, any key") << 0 << 0 << 0;
        QTest::newRow("printable, any key") << 32 << 0 << 0;
        QTest::newRow("printable, high key") << 32 << 220 << 0;
        QTest::newRow("printable with strays") << 32 << 32 << 2;
        QTest::newRow("printable with strays, high key") << 32 << 200 << 1;
    }
    void restorability()
    {
        QFETCH(int, textLow);
        QFETCH(int, keyLow);
        QFETCH(int, strays);
        std::mt19937 random(textLow * 1000 + keyLow + strays);
        int found = 0;
        for (int round = 0; round < 400; ++round) {
            std::string text =
                RandomBytes(random, 8 + random() % 500, textLow, textLow ? 126 : 255);
            for (int s = 0; s < strays; ++s)
                text[random() % text.size()] = static_cast<char>(random() % 256);
            const std::string key = RandomBytes(random, 6 + round % 7, keyLow, 255);
            const auto expected = FirstChangedByRoundTrip(text, key);
            QCOMPARE(FirstUnrestorable(text, key), expected);
            found += expected.has_value();
        }
        QVERIFY(found > 0);
    }
};

QTEST_GUILESS_MAIN(TestShiftCipher)
#include "test_shift_cipher.moc"
