#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <numeric>
#include <stdexcept>
#include <string>

#include "cipher/openpgp.h"
#include "gpg_home.h"
#include "test_files.h"

// OpenPGP messages against Debian's gpg, in both directions, and every refusal.

Q_DECLARE_METATYPE(OpenPgpOutcome)

namespace {

const QByteArray kPass = "Kestrel 7 over the D\xC3\xBCnen";  // UTF-8, as gpg reads it
constexpr std::size_t kFastS2k = 1024;  // the least count, where no test times the S2K

const auto S = [](const QByteArray& bytes) { return bytes.toStdString(); };
const auto B = [](std::string_view bytes) { return QByteArray::fromStdString(std::string(bytes)); };
const auto Prose = [](qsizetype size) {
    return QByteArray("The quick brown fox jumps over the lazy dog \xE9t\xE9 \x80\r\n")
        .repeated(size / 50 + 1)
        .left(size);
};
const auto Encrypted = [](const QByteArray& text, bool armour) {
    std::string message;
    return OpenPgpEncrypt(S(text), S(kPass), message, {armour, kFastS2k}) == OpenPgpOutcome::Done
               ? message
               : "<refused>";
};

// Hands out 7 bytes at a time; fails (or throws) once `failAt` bytes are out.
TOpenPgpReader Reader(const std::string& bytes, std::size_t failAt = SIZE_MAX, bool throws = false)
{
    return [&bytes, failAt, throws, at = std::size_t{0}](
               char* buffer, std::size_t size) mutable -> std::optional<std::size_t> {
        if (at >= failAt && throws)
            throw std::runtime_error("reader");
        if (at >= failAt)
            return std::nullopt;
        const std::size_t count = bytes.copy(buffer, std::min(size, std::size_t{7}), at);
        at += count;
        return count;
    };
}

}  // namespace

class TestOpenPgp : public QObject {
    Q_OBJECT

    GpgHome m_gpg{kPass};

    QByteArray Gpg(const QStringList& args, const QByteArray& input)
    {
        return m_gpg.run(args, input);
    }

private slots:
    void gpgDecryptsOurs_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("armour");
        QTest::addColumn<qulonglong>("iterations");
        QByteArray all(3 * 256, '\0');
        std::iota(all.begin(), all.end(), '\0');
        QTest::newRow("every byte value") << all << true << qulonglong{kFastS2k};
        QTest::newRow("CR LF, empty lines, a lone LF")
            << QByteArray("\r\n\r\nline\r\n\r\n\nlast\r\n") << true << qulonglong{kFastS2k};
        QTest::newRow("empty text") << QByteArray() << true << qulonglong{kFastS2k};
        QTest::newRow("1 MiB, binary packets") << Prose(1 << 20) << false << qulonglong{kFastS2k};
        QTest::newRow("1 MiB, tuned S2K count") << Prose(1 << 20) << true << qulonglong{0};
    }
    void gpgDecryptsOurs()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, armour);
        QFETCH(qulonglong, iterations);
        std::string message = "left over";
        QCOMPARE(OpenPgpEncrypt(S(text), S(kPass), message, {armour, iterations}),
                 OpenPgpOutcome::Done);
        // Written once into its reservation, never moved to a larger buffer.
        QVERIFY(message.size() <= OpenPgpMessageSizeBound(text.size(), armour));
        QCOMPARE(StartsWithOpenPgpArmour(message), armour);
        if (armour)
            QCOMPARE(B(message).count("\n"), B(message).count("\r\n"));
        QCOMPARE(Gpg({"--decrypt"}, B(message)), text);

        const QString packets = Gpg({"--list-packets"}, B(message));
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
        const QByteArray text = Prose(3000) + QByteArray("\0\xFF\x81\r\n\r\n", 7);
        QTest::newRow("armoured, AES-256")
            << QStringList{"--armor", "--cipher-algo", "AES256"} << text;
        QTest::newRow("binary, gpg's default cipher") << QStringList{} << text;
        QTest::newRow("binary, AES-256, 1 MiB compressed 300 times")
            << QStringList{"--cipher-algo", "AES256"} << Prose(1 << 20);
    }
    void weDecryptGpg()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, text);
        // gpg reads a count of 1,024 as "its default", which costs 0.3 s.
        const std::string message =
            S(Gpg(QStringList{"--symmetric", "--s2k-count", "2048"} + options, text));
        std::string plain;
        QCOMPARE(OpenPgpDecrypt(message, S(kPass), plain), OpenPgpOutcome::Done);
        QCOMPARE(B(plain), text);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("pass");
        QTest::addColumn<OpenPgpOutcome>("outcome");
        const std::string armoured = Encrypted(Prose(3000), true);
        const std::string binary = Encrypted(Prose(3000), false);
        const auto row = [](const char* name, std::string message, const QByteArray& pass,
                            OpenPgpOutcome outcome, bool changeOneByte = false) {
            if (changeOneByte) {
                char& middle = message[message.size() / 2];
                middle = middle == 'A' ? 'B' : 'A';
            }
            QTest::newRow(name) << B(message) << pass << outcome;
        };
        using enum OpenPgpOutcome;
        row("wrong passphrase", armoured, kPass.chopped(1), WrongPassphrase);
        row("one character of the armour's body changed", armoured, kPass, Damaged, true);
        row("one byte of the packets' body changed", binary, kPass, Damaged, true);
        row("armour cut short", armoured.substr(0, armoured.size() / 2), kPass, Damaged);
        row("packets cut short", binary.substr(0, binary.size() - 30), kPass, Damaged);
        // Made once by gpg for a throwaway key pair that no longer exists.
        row("for a public key", S(ReadFile(QFINDTESTDATA("for_public_key.asc"))), kPass,
            ForPublicKey);
        row("stored, not encrypted", S(Gpg({"--store", "--armor"}, "text")), kPass, NotEncrypted);
        row("plain text", "Dear Sir,\r\nplease find attached ...", kPass, NotOpenPgp);
        row("plain text whose first byte starts a packet", "\xC3\x83 la carte", kPass, NotOpenPgp);
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
            outcome == OpenPgpOutcome::UnusablePassphrase)
            QCOMPARE(OpenPgpEncrypt("text", S(pass), out), outcome);
    }

    // A reader or writer that fails stops the command with its own outcome; an exception
    // passes through. From file to file, the stream forms encrypt and decrypt back.
    void streams()
    {
        const std::string plain = S(Prose(100'000)), encrypted = Encrypted(Prose(100'000), true);
        const TOpenPgpWriter accept = [](std::string_view) { return true; };
        const TOpenPgpWriter refuse = [](std::string_view) { return false; };
        using enum OpenPgpOutcome;
        QCOMPARE(OpenPgpEncryptStream(Reader(plain), S(kPass), refuse, {true, kFastS2k}),
                 WriteFailed);
        QCOMPARE(OpenPgpDecryptStream(Reader(encrypted, 50'000), S(kPass), accept), ReadFailed);
        QCOMPARE(OpenPgpDecryptStream(Reader(encrypted), S(kPass), refuse), WriteFailed);
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error,
            OpenPgpDecryptStream(Reader(encrypted, 50'000, true), S(kPass), accept));

        QTemporaryFile text, message, back;
        QVERIFY(text.open() && message.open() && back.open());
        QVERIFY(text.write(B(plain)) == 100'000 && text.flush() && text.seek(0));
        QCOMPARE(OpenPgpEncryptStream(OpenPgpFdReader(text.handle()), S(kPass),
                                      OpenPgpFdWriter(message.handle()), {true, kFastS2k}),
                 Done);
        QVERIFY(message.seek(0));
        QCOMPARE(OpenPgpDecryptStream(OpenPgpFdReader(message.handle()), S(kPass),
                                      OpenPgpFdWriter(back.handle())),
                 Done);
        QCOMPARE(ReadFile(back.fileName()), B(plain));
    }
};

QTEST_GUILESS_MAIN(TestOpenPgp)
#include "test_openpgp.moc"
