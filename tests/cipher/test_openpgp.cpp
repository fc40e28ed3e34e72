#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <random>
#include <stdexcept>
#include <string>

#include "cipher/openpgp.h"
#include "test_files.h"

// OpenPGP messages against Debian's gpg, in both directions, and every refusal.

Q_DECLARE_METATYPE(OpenPgpOutcome)

namespace {

const QByteArray kPass = "Kestrel 7 over the dunes";
constexpr std::size_t kFastS2k = 1024;  // the least count: tests that time nothing

// Encrypted by gpg to a throwaway key pair that no longer exists.
const QByteArray kForPublicKey = "-----BEGIN PGP MESSAGE-----\n\n"
    "hF4DZx+cQZQ9y4gSAQdASbEf3OuvtxkEmD7WmgihMkLns90NKHnGE+/JWxAO6A8w\n"
    "PSTOgGa4rYR+ntyPBcJtIyIaYSgk7P1+mqUk/Bsgih8RnO0zGdMMpHYx5FK/gQ5D\n"
    "0mEBw0LWgqtpgdCynLHV1j33D5s7Drmeej2x6hbdNfkW3tsMUy/TAWK4evD5alw2\n"
    "jAf+IHE4XO0JSVwRxO5CBxSYd7VrPGv1x8ZC+zISc3zjBx8AMSFI5Ohhrd/ssj0Q\n"
    "f2Jx\n=A9Mi\n-----END PGP MESSAGE-----\n";

std::string S(const QByteArray& bytes)
{
    return bytes.toStdString();
}

QByteArray B(std::string_view bytes)
{
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QByteArray AllByteValues()
{
    QByteArray bytes;
    for (int round = 0; round < 3; ++round)
        for (int value = 0; value < 256; ++value)
            bytes += static_cast<char>(value);
    return bytes;
}

QByteArray RandomBytes(std::size_t size)
{
    std::mt19937 random(7);
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

QByteArray Prose(std::size_t size)
{
    QByteArray text;
    while (static_cast<std::size_t>(text.size()) < size)
        text += "The quick brown fox jumps over the lazy dog \xE9t\xE9 \x80\r\n";
    return text.left(static_cast<qsizetype>(size));
}

std::string Encrypted(const QByteArray& text, bool armour, const QByteArray& pass = kPass)
{
    std::string message;
    const OpenPgpOutcome outcome =
        OpenPgpEncrypt(S(text), S(pass), message, {armour, kFastS2k});
    return outcome == OpenPgpOutcome::Done ? message : "<refused>";
}

std::string Changed(std::string message, std::size_t at)
{
    message[at] = message[at] == 'A' ? 'B' : 'A';
    return message;
}

// A reader that hands out 7 bytes at a time and fails (or throws) after `failAt` bytes.
TOpenPgpReader Reader(const std::string& bytes, std::size_t failAt = SIZE_MAX, bool throws = false)
{
    return [&bytes, failAt, throws, at = std::size_t{0}](char* buffer,
                                                          std::size_t size) mutable
               -> std::optional<std::size_t> {
        if (at >= failAt) {
            if (throws)
                throw std::runtime_error("reader");
            return std::nullopt;
        }
        const std::size_t count = std::min({size, std::size_t{7}, bytes.size() - at});
        bytes.copy(buffer, count, at);
        at += count;
        return count;
    };
}

}  // namespace

class TestOpenPgp : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;

    // gpg in its own home, the passphrase from a file, nothing cached in its agent.
    QByteArray Gpg(QStringList args, const QByteArray& input, const QByteArray& pass = kPass)
    {
        const QString passFile = m_home.filePath("pass");
        WriteFile(passFile, pass);
        args = QStringList{"--homedir", m_home.path(), "--batch", "--quiet", "--pinentry-mode",
                           "loopback", "--no-symkey-cache", "--passphrase-file", passFile} +
               args;
        QProcess gpg;
        gpg.start("gpg", args);
        gpg.write(input);
        gpg.closeWriteChannel();
        gpg.waitForFinished();
        return gpg.exitCode() == 0 ? gpg.readAllStandardOutput() : "<gpg failed>";
    }

private slots:
    void cleanupTestCase()
    {
        QProcess::execute("gpgconf", {"--homedir", m_home.path(), "--kill", "gpg-agent"});
    }

    void gpgDecryptsOurs_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("armour");
        QTest::addColumn<QByteArray>("pass");
        QTest::addColumn<qulonglong>("iterations");
        QTest::newRow("every byte value") << AllByteValues() << true << kPass << qulonglong{1024};
        QTest::newRow("CR LF, empty lines, a lone LF")
            << QByteArray("\r\n\r\nline\r\n\r\n\nlast\r\n") << true << kPass << qulonglong{1024};
        QTest::newRow("empty text") << QByteArray() << true << kPass << qulonglong{1024};
        QTest::newRow("1 MiB") << RandomBytes(1 << 20) << true << kPass << qulonglong{1024};
        QTest::newRow("1 MiB, binary packets") << RandomBytes(1 << 20) << false << kPass
                                               << qulonglong{1024};
        QTest::newRow("UTF-8 passphrase, tuned S2K count")
            << Prose(5000) << true << QByteArray("p\xC3\xA4ssw\xC3\xB6rd \xE2\x9C\x93") << qulonglong{0};
    }
    void gpgDecryptsOurs()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, armour);
        QFETCH(QByteArray, pass);
        QFETCH(qulonglong, iterations);
        std::string message = "left over";
        QCOMPARE(OpenPgpEncrypt(S(text), S(pass), message, {armour, iterations}),
                 OpenPgpOutcome::Done);
        // Written once into its reservation, never moved to a larger buffer.
        QVERIFY(message.size() <= OpenPgpMessageSizeBound(text.size(), armour));
        QCOMPARE(StartsWithOpenPgpArmour(message), armour);
        if (armour)
            QCOMPARE(B(message).count("\n"), B(message).count("\r\n"));
        QCOMPARE(Gpg({"--decrypt"}, B(message), pass), text);

        const QString packets = Gpg({"--list-packets"}, B(message), pass);
        for (const char* form : {"cipher 9", "s2k 3, hash 8", "mdc_method: 2", "mode b"})
            QVERIFY2(packets.contains(form), form);
        QVERIFY(!packets.contains("compressed packet"));
        const auto count = QRegularExpression("count (\\d+)").match(packets).captured(1).toULong();
        QVERIFY(count >= (iterations ? iterations : kMinTunedS2kIterations));
    }

    void weDecryptGpg_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("armoured, AES-256") << QStringList{"--armor", "--cipher-algo", "AES256"}
                                           << AllByteValues() + "\r\n\r\nend";
        QTest::newRow("binary, gpg's default cipher") << QStringList{} << AllByteValues();
        QTest::newRow("binary, AES-256, 1 MiB compressed 300 times")
            << QStringList{"--cipher-algo", "AES256"} << Prose(1 << 20);
    }
    void weDecryptGpg()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, text);
        // gpg takes a count of 1,024 for "its default", which costs 0.3 s.
        const std::string message = S(Gpg(QStringList{"--symmetric", "--s2k-count", "2048"} +
                                              options, text));
        std::string plain;
        QCOMPARE(OpenPgpDecrypt(message, S(kPass), plain), OpenPgpOutcome::Done);
        QCOMPARE(B(plain), text);
        std::string streamed;
        const TOpenPgpWriter collect = [&streamed](std::string_view bytes) {
            streamed += bytes;
            return true;
        };
        QCOMPARE(OpenPgpDecryptStream(Reader(message), S(kPass), collect), OpenPgpOutcome::Done);
        QCOMPARE(B(streamed), text);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("pass");
        QTest::addColumn<OpenPgpOutcome>("outcome");
        const QByteArray text = Prose(3000);
        const std::string armoured = Encrypted(text, true), binary = Encrypted(text, false);
        const auto row = [](const char* name, std::string_view message, const QByteArray& pass,
                            OpenPgpOutcome outcome) {
            QTest::newRow(name) << B(message) << pass << outcome;
        };
        using enum OpenPgpOutcome;
        row("wrong passphrase", armoured, "Kestrel 7 over the dune", WrongPassphrase);
        row("one character of the armour's body changed", Changed(armoured, 1000), kPass,
            Damaged);
        row("one byte of the packets' body changed", Changed(binary, 1500), kPass, Damaged);
        row("armour cut short", armoured.substr(0, armoured.size() / 2), kPass, Damaged);
        row("armour without its last two lines", armoured.substr(0, armoured.size() - 34),
            kPass, Damaged);
        row("packets cut short", binary.substr(0, binary.size() - 30), kPass, Damaged);
        row("for a public key", S(kForPublicKey), kPass, ForPublicKey);
        row("stored, not encrypted", S(Gpg({"--store", "--armor"}, text)), kPass, NotEncrypted);
        row("plain text", "Dear Sir,\r\nplease find attached ...", kPass, NotOpenPgp);
        row("plain text whose first byte starts a packet", "\xC3\x83 la carte", kPass,
            NotOpenPgp);
        row("empty text", "", kPass, NotOpenPgp);
        row("empty passphrase", armoured, "", EmptyPassphrase);
        row("passphrase of 256 bytes", armoured, QByteArray(256, 'k'), UnusablePassphrase);
        row("passphrase holding NUL", armoured, QByteArray("Kes\0trel", 8), UnusablePassphrase);
    }
    void refusals()
    {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, pass);
        QFETCH(OpenPgpOutcome, outcome);
        std::string out = "left over";
        QCOMPARE(OpenPgpDecrypt(S(message), S(pass), out), outcome);
        QVERIFY(out.empty());
        QVERIFY(!OpenPgpMessage(outcome).empty());
        if (outcome == OpenPgpOutcome::EmptyPassphrase ||
            outcome == OpenPgpOutcome::UnusablePassphrase) {
            out = "left over";
            QCOMPARE(OpenPgpEncrypt("text", S(pass), out), outcome);
            QVERIFY(out.empty());
        }
    }

    // A reader or writer that fails stops the command with its own outcome; an exception
    // passes through.
    void streamsStopWhereTheyFail()
    {
        const std::string plain = S(Prose(100'000)), message = Encrypted(Prose(100'000), true);
        const TOpenPgpWriter accept = [](std::string_view) { return true; };
        const TOpenPgpWriter refuse = [](std::string_view) { return false; };
        using enum OpenPgpOutcome;
        const TOpenPgpOptions fast{true, kFastS2k};
        QCOMPARE(OpenPgpEncryptStream(Reader(plain, 50'000), S(kPass), accept, fast), ReadFailed);
        QCOMPARE(OpenPgpEncryptStream(Reader(plain), S(kPass), refuse, fast), WriteFailed);
        QCOMPARE(OpenPgpDecryptStream(Reader(message, 50'000), S(kPass), accept), ReadFailed);
        QCOMPARE(OpenPgpDecryptStream(Reader(message), S(kPass), refuse), WriteFailed);
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error, OpenPgpDecryptStream(Reader(message, 50'000, true), S(kPass), accept));

        std::string streamed, back;
        const TOpenPgpWriter collect = [&streamed](std::string_view bytes) {
            streamed += bytes;
            return true;
        };
        QCOMPARE(OpenPgpEncryptStream(Reader(plain), S(kPass), collect, fast), Done);
        QCOMPARE(OpenPgpDecrypt(streamed, S(kPass), back), Done);
        QCOMPARE(back, plain);
    }
};

QTEST_GUILESS_MAIN(TestOpenPgp)
#include "test_openpgp.moc"
