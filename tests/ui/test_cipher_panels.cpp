// The encrypt, decrypt and Level A password panels of the main window: what their buttons and
// lists do to the editing area, the status bar, the password boxes and the state.
#include <memory>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTest>

#include "cipher/level_b_tables.h"
#include "cipher/levels.h"
#include "cipher/openpgp_level.h"
#include "cipher/shift_cipher.h"
#include "core/app_state.h"
#include "core/show_note.h"
#include "document/document_file.h"
#include "note_recorder.h"
#include "scripted_desktop.h"
#include "temp_workdir.h"
#include "test_files.h"
#include "ui/common/display_text.h"
#include "ui/editor/memo.h"
#include "ui/editor/text_codec.h"
#include "ui/main/cipher_panel.h"
#include "ui/main/fCPas.h"
#include "ui/main/level_a_panel.h"
#include "window_test.h"

using Kind = ScriptedDesktop::Kind;
using Notes = std::vector<std::string>;

namespace {

const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kLime(0, 255, 0);
const std::string kTitle = "Plimo Text Editor 1.7";
const std::string kFactoryPwd(kFactoryLevelAPwd);
const std::string kIgnored(level_messages::kPasswordIgnored);
const std::string kOutOfRange(level_messages::kCodeOutOfRange);
const std::string kRefusedPwd(level_messages::kLevelAPwdRefused);
const std::string kUpdatedPwd(level_messages::kLevelAPwdUpdated);
const std::string kTooShortToEncrypt(cipher_messages::kTextTooShortToEncrypt);
const std::string kTooShortToDecrypt(cipher_messages::kTextTooShortToDecrypt);

// Printable text over two lines, long enough for every level.
const std::string kPlain = "Dear reader,\r\nthe quick brown fox ~ jumps!";

// The OpenPGP level: its index in both lists, a passphrase with a character outside ASCII, and
// the least S2K count (tuning it and deriving each key at it would take a tenth of a second).
constexpr int kOpenPgp = CipherPanel::kOpenPgpIndex;
const QString kPassphrase = QStringLiteral("Kestrel over the D\u00fcnen");
constexpr std::size_t kFastS2k = 1024;

std::string Utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

// An OpenPGP message of `plain`, armoured (CR LF lines) or binary, made with kPassphrase.
std::string MessageOf(const std::string& plain, bool armour = true)
{
    std::string message;
    if (OpenPgpEncrypt(plain, Utf8(kPassphrase), message, {armour, kFastS2k}) !=
        OpenPgpOutcome::Done)
        return "<not encrypted>";
    return message;
}

// The box was emptied so that Ctrl+Z in it brings nothing back.
bool EmptyForGood(const QLineEdit* box)
{
    return !box || (box->text().isEmpty() && !box->isUndoAvailable() && !box->isRedoAvailable());
}

QColor BoxColour(const QLineEdit* box)
{
    return box->palette().color(QPalette::Base);
}

// The level as EncryptText takes it: "1".."3" for the lists' indexes 0..2.
std::string LevelText(int level)
{
    return std::to_string(level + 1);
}

// Records each message together with the Level A box's colour at the moment it is shown.
class ColourProbe {
public:
    explicit ColourProbe(const QLineEdit* box)
        : m_previous(SetNoteHandler([this, box](std::string_view text) {
              notes.emplace_back(text);
              colours.push_back(BoxColour(box));
          }))
    {
    }
    ~ColourProbe() { SetNoteHandler(std::move(m_previous)); }
    ColourProbe(const ColourProbe&) = delete;
    ColourProbe& operator=(const ColourProbe&) = delete;

    Notes notes;
    QList<QColor> colours;

private:
    NoteHandler m_previous;
};

}  // namespace

class TestCipherPanels : public WindowTest {
    Q_OBJECT

    const Notes& notes() { return m_notes->notes; }

    TfC& start()
    {
        m_w = std::make_unique<TfC>(*m_desktop, *m_state);
        m_w->show();
        m_w->activateWindow();
        if (!QTest::qWaitForWindowActive(m_w.get()))
            qWarning("main window did not become active");
        return *m_w;
    }

    // A level chosen by the user (the list's activated signal), not set by the program.
    static void pick(QComboBox* list, int index)
    {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    static void type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        for (const QChar ch : text) {
            // keyClicks takes ASCII only; other characters arrive as the keyboard sends them.
            if (ch.unicode() < 0x80)
                QTest::keyClick(box, ch.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch),
                                    Qt::NoModifier);
        }
        QCOMPARE(box->text(), text);
    }

    // Ctrl+E (or Ctrl+D), the level picked, the password typed, then the button clicked.
    void runPanel(bool encrypt, int level, const QString& typed)
    {
        QWidget* panel = encrypt ? w().encryptPanel() : w().decryptPanel();
        press(Qt::CTRL | (encrypt ? Qt::Key_E : Qt::Key_D));
        QVERIFY(panel->isVisible());
        pick(encrypt ? w().encryptPanel()->levelList : w().decryptPanel()->levelList, level);
        if (!typed.isEmpty())
            type(encrypt ? w().encryptPanel()->pwdBox : w().decryptPanel()->pwdBox, typed);
        QTest::mouseClick(
            encrypt ? w().encryptPanel()->actionButton : w().decryptPanel()->actionButton,
            Qt::LeftButton);
    }

    // The key a level's encryption must have used.
    std::string keyFor(int level, const QString& typed)
    {
        const std::string bytes = display_text::ToBytes(typed);
        switch (level) {
            case 0:
                return s().LevelAPwd;
            case 1:
                return BuildLevelBKey(LevelBKeyTableData(), bytes);
            default:
                return bytes;
        }
    }

    // Ctrl+E or Ctrl+D, "Strong - OpenPGP" picked, the passphrase typed (again into the second
    // box to encrypt), then the button, or Enter in the last box.
    void runOpenPgp(bool encrypt, const QString& passphrase, const QString& again,
                    bool byEnter = false)
    {
        CipherPanel* panel = encrypt ? w().encryptPanel() : w().decryptPanel();
        panel->openPgpOptions.s2kIterations = kFastS2k;
        press(Qt::CTRL | (encrypt ? Qt::Key_E : Qt::Key_D));
        QVERIFY(panel->isVisible());
        pick(panel->levelList, kOpenPgp);
        if (!passphrase.isEmpty())
            type(panel->pwdBox, passphrase);
        if (encrypt && !again.isEmpty())
            type(panel->againBox, again);
        QLineEdit* last = encrypt ? panel->againBox : panel->pwdBox;
        if (byEnter) {
            last->setFocus();
            QTest::keyClick(last, Qt::Key_Return);
        } else {
            QTest::mouseClick(panel->actionButton, Qt::LeftButton);
        }
        QVERIFY(!panel->isVisible());
        QVERIFY(EmptyForGood(panel->pwdBox));
        QVERIFY(EmptyForGood(panel->againBox));
    }

    QString openDocument(const QString& name, const std::string& text)
    {
        const QString path = m_dir->filePath(name);
        WriteFile(path, QByteArray::fromStdString(text));
        m_desktop->openPaths.push_back(QFile::encodeName(path).toStdString());
        w().menu().Open1->trigger();
        return path;
    }

private slots:
    void init() { setUpWindowTest(); }
    void cleanup() { tearDownWindowTest(); }

    // --- encrypt and decrypt commands -----------------------------------------------------

    void encryptReplacesTheTextExactly_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("ext");
        QTest::newRow("Level A, button") << 0 << "" << false << "txa";
        QTest::newRow("Level B 123, button") << 1 << "123" << false << "txb";
        QTest::newRow("Level B 999, Enter") << 1 << "999" << true << "txb";
        QTest::newRow("Level C, button") << 2 << "secret1" << false << "txc";
        QTest::newRow("Level C, Enter") << 2 << "pass phrase" << true << "txc";
    }
    void encryptReplacesTheTextExactly()
    {
        QFETCH(int, level);
        QFETCH(QString, typed);
        QFETCH(bool, byEnter);
        QFETCH(QString, ext);
        start();
        const QString path = openDocument("letter.txt", kPlain);
        QCOMPARE(w().mem()->bytes(), kPlain);

        press(Qt::CTRL | Qt::Key_E);
        QVERIFY(w().encryptPanel()->isVisible());
        pick(w().encryptPanel()->levelList, level);
        if (!typed.isEmpty())
            type(w().encryptPanel()->pwdBox, typed);
        if (byEnter) {
            w().encryptPanel()->pwdBox->setFocus();
            QTest::keyClick(w().encryptPanel()->pwdBox, Qt::Key_Return);
        } else {
            QTest::mouseClick(w().encryptPanel()->actionButton, Qt::LeftButton);
        }

        QVERIFY(!w().encryptPanel()->isVisible());
        QVERIFY(s().EncToggle);
        QCOMPARE(notes(), Notes{});
        // The cipher text and nothing more: no line end is added after it.
        const std::string expected = EncryptText(kPlain, keyFor(level, typed), LevelText(level));
        QCOMPARE(expected.size(), kPlain.size());
        QCOMPARE(w().mem()->bytes(), expected);
        QVERIFY(w().mem()->bytes() != kPlain);
        QCOMPARE(w().statusText(0), path + "." + ext);
        QCOMPARE(s().FileExt, ext.toStdString());
        QVERIFY(!s().PlainText);
        QCOMPARE(w().encryptPanel()->pwdBox->text(), QString());

        press(Qt::CTRL | Qt::Key_E);
        QVERIFY(w().encryptPanel()->isVisible());
        QCOMPARE(w().encryptPanel()->levelList->currentIndex(), level);
    }

    void roundTripThroughThePanels_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("encTyped");
        QTest::addColumn<QString>("decTyped");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("ext");
        const QByteArray lines("First line\r\nSecond line, with ~ and {braces}\r\n\r\nend");
        QTest::newRow("A factory password") << 0 << ""
                                            << "" << lines << "txa";
        QTest::newRow("B 000") << 1 << "000"
                               << "000" << lines << "txb";
        QTest::newRow("B 509") << 1 << "509"
                               << "509" << lines << "txb";
        QTest::newRow("B 999") << 1 << "999"
                               << "999" << lines << "txb";
        // A four-digit code below 1000 decrypts with its first three digits.
        QTest::newRow("B 099 then 0994") << 1 << "099"
                                         << "0994" << lines << "txb";
        QTest::newRow("C plain password") << 2 << "secret1"
                                          << "secret1" << lines << "txc";
        // "é" (233) turns "v".."~" into the bytes 0..8, NUL included, which must survive the
        // editing area.
        QTest::newRow("C password with \u00e9")
            << 2 << QStringLiteral("pass \u00e9 word") << QStringLiteral("pass \u00e9 word")
            << QByteArray("vwxyz{|}~ all of them\r\nand more") << "txc";
        QTest::newRow("C password of \u00e9 only")
            << 2 << QStringLiteral("\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9")
            << QStringLiteral("\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9")
            << QByteArray("~~~~ vvvv\r\n~~~~ vvvv") << "txc";
        QTest::newRow("C text ends in a line end")
            << 2 << "secret1"
            << "secret1" << QByteArray("ends with a break\r\n") << "txc";
    }
    void roundTripThroughThePanels()
    {
        QFETCH(int, level);
        QFETCH(QString, encTyped);
        QFETCH(QString, decTyped);
        QFETCH(QByteArray, text);
        QFETCH(QString, ext);
        const std::string plain = text.toStdString();
        start();
        w().mem()->setBytes(plain);

        runPanel(true, level, encTyped);
        QCOMPARE(notes(), Notes{});
        QCOMPARE(w().mem()->bytes(), EncryptText(plain, keyFor(level, encTyped), LevelText(level)));
        QCOMPARE(s().FileExt, ext.toStdString());
        QVERIFY(!s().PlainText);
        QCOMPARE(w().statusText(0), "untitled." + ext);
        if (level == 2)
            QCOMPARE(s().LevelCPwd, display_text::ToBytes(encTyped));

        runPanel(false, level, decTyped);
        QCOMPARE(notes(), Notes{});
        QVERIFY(!w().decryptPanel()->isVisible());
        QCOMPARE(w().mem()->bytes(), plain);
        QCOMPARE(s().FileExt, std::string("txt"));
        QVERIFY(s().PlainText);
        QCOMPARE(w().statusText(0), QStringLiteral("untitled.txt"));
        QCOMPARE(w().decryptPanel()->pwdBox->text(), QString());
    }

    // A mistyped password costs nothing before Save: Ctrl+Z takes a decryption back, and an
    // encryption too, each with the extension, the plain-text flag and the status bar it found;
    // Ctrl+Y does them again.
    void undoTakesBackACipherCommand()
    {
        start();
        w().mem()->setBytes(kPlain);
        runPanel(true, 2, "secret1");
        const std::string cipher(w().mem()->bytes());
        runPanel(false, 2, "secreT1");  // mistyped: a garbled text, taken as plain
        QVERIFY(w().mem()->bytes() != kPlain);
        QCOMPARE(w().statusText(0), QStringLiteral("untitled.txt"));

        QTest::keyClick(w().mem(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w().mem()->bytes(), cipher);
        QCOMPARE(s().FileExt, std::string("txc"));
        QVERIFY(!s().PlainText);
        QCOMPARE(w().statusText(0), QStringLiteral("untitled.txc"));
        runPanel(false, 2, "secret1");
        QCOMPARE(w().mem()->bytes(), kPlain);

        QTest::keyClick(w().mem(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w().mem(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w().mem()->bytes(), kPlain);  // before the encryption
        QCOMPARE(s().FileExt, std::string("txt"));
        QVERIFY(s().PlainText);
        QTest::keyClick(w().mem(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w().mem()->bytes(), cipher);
        QCOMPARE(w().statusText(0), QStringLiteral("untitled.txc"));
        QCOMPARE(notes(), Notes{});
    }

    // Every way an encryption fails: the messages in order, the text and the status bar kept,
    // the password box emptied, the extension and PlainText as the level's rules leave them.
    void encryptionFailures_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");  // the last one may be a pattern (below)
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("plain");  // PlainText before is always false
        const QString shortText = QString::fromStdString(kTooShortToEncrypt);
        const QString tooShortA = "Text is too short [A]. Minimum is 8 characters.";
        const QString tooShortB = "Text is too short (B). Minimum is 8 characters.";
        const QString tooShortC = "Text is too short (C). It needs to 8 or more characters long.";
        const QString ignored = QString::fromStdString(kIgnored);
        const QString three = "Password needs to be of 3 numbers and numbers only.";
        const QString digits = "Password needs to be only numbers from 000 to 999.";
        // clang-format off
        QTest::newRow("A 5 characters") << 0 << QByteArray("short") << "" << QStringList{shortText, tooShortA} << "txa" << true;
        QTest::newRow("A 7 characters") << 0 << QByteArray("seven c") << "" << QStringList{shortText, tooShortA} << "txa" << true;
        QTest::newRow("A empty text") << 0 << QByteArray() << "" << QStringList{shortText, tooShortA} << "txa" << true;
        QTest::newRow("A 5 characters, password typed") << 0 << QByteArray("short") << "typed" << QStringList{ignored, shortText, tooShortA} << "txa" << true;
        QTest::newRow("B 5 characters") << 1 << QByteArray("short") << "123" << QStringList{shortText, tooShortB} << "txb" << true;
        QTest::newRow("B two digits") << 1 << QByteArray(kPlain.c_str()) << "12" << QStringList{three} << "txt" << false;
        QTest::newRow("B two letters") << 1 << QByteArray(kPlain.c_str()) << "1ab" << QStringList{digits, digits} << "txt" << true;
        QTest::newRow("C 5 characters") << 2 << QByteArray("short") << "secret1" << QStringList{shortText, tooShortC} << "txc" << true;
        QTest::newRow("C empty password") << 2 << QByteArray(kPlain.c_str()) << "" << QStringList{"Please your password needs to be longer.", tooShortC} << "txc" << true;
        QTest::newRow("C 13 characters") << 2 << QByteArray(kPlain.c_str()) << "thirteen char" << QStringList{"Your password needs to be shorter.", tooShortC} << "txc" << true;
        // clang-format on
    }
    void encryptionFailures()
    {
        QFETCH(int, level);
        QFETCH(QByteArray, text);
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QFETCH(QString, ext);
        QFETCH(bool, plain);
        start();
        w().mem()->setBytes(text.toStdString());
        s().PlainText = false;
        const QString status0 = w().statusText(0), status1 = w().statusText(1);

        // Level A keeps its start-up selection, so that its box still takes a password.
        press(Qt::CTRL | Qt::Key_E);
        if (level != 0)
            pick(w().encryptPanel()->levelList, level);
        if (!typed.isEmpty())
            type(w().encryptPanel()->pwdBox, typed);
        QTest::mouseClick(w().encryptPanel()->actionButton, Qt::LeftButton);

        Notes want;
        for (const QString& n : expected)
            want.push_back(n.toStdString());
        QCOMPARE(notes(), want);
        QVERIFY(!w().encryptPanel()->isVisible());
        QCOMPARE(w().mem()->bytes(), text.toStdString());
        QCOMPARE(w().statusText(0), status0);
        QCOMPARE(w().statusText(1), status1);
        QCOMPARE(w().encryptPanel()->pwdBox->text(), QString());
        QCOMPARE(s().FileExt, ext.toStdString());
        QCOMPARE(s().PlainText, plain);
        QCOMPARE(m_desktop->calls.size(), std::size_t(0));
    }

    void decryptionFailures_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("plain");  // PlainText before is always true
        const QString shortText = QString::fromStdString(kTooShortToDecrypt);
        const QString tooShortA = "Text is too short. Minimum size is 8 characters.";
        const QString tooShortBC = "Text is too short. Minimum is 8 characters.";
        // clang-format off
        QTest::newRow("A 5 characters") << 0 << QByteArray("short") << "" << QStringList{shortText, tooShortA} << "txt" << false;
        QTest::newRow("A 5 characters, password typed") << 0 << QByteArray("short") << "x" << QStringList{QString::fromStdString(kIgnored), shortText, tooShortA} << "txt" << false;
        QTest::newRow("B 5 characters") << 1 << QByteArray("short") << "123" << QStringList{shortText, tooShortBC} << "txt" << false;
        QTest::newRow("C 5 characters") << 2 << QByteArray("short") << "secret1" << QStringList{shortText, tooShortBC} << "txt" << false;
        QTest::newRow("C empty password") << 2 << QByteArray(kPlain.c_str()) << "" << QStringList{"Please your password should be longer.", tooShortBC} << "txt" << false;
        // A code outside 0..999 says so and decrypts nothing: the extension stays.
        QTest::newRow("B 1000") << 1 << QByteArray(kPlain.c_str()) << "1000" << QStringList{"1000" + QString::fromStdString(kOutOfRange)} << "txb" << false;
        QTest::newRow("B -1") << 1 << QByteArray(kPlain.c_str()) << "-1" << QStringList{"-1" + QString::fromStdString(kOutOfRange)} << "txb" << false;
        QTest::newRow("B $3E8") << 1 << QByteArray(kPlain.c_str()) << "$3E8" << QStringList{"1000" + QString::fromStdString(kOutOfRange)} << "txb" << false;
        QTest::newRow("B 2147483647") << 1 << QByteArray(kPlain.c_str()) << "2147483647" << QStringList{"2147483647" + QString::fromStdString(kOutOfRange)} << "txb" << false;
        // clang-format on
    }
    void decryptionFailures()
    {
        QFETCH(int, level);
        QFETCH(QByteArray, text);
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QFETCH(QString, ext);
        QFETCH(bool, plain);
        start();
        w().mem()->setBytes(text.toStdString());
        s().PlainText = true;
        s().FileExt = "txb";
        const QString status0 = w().statusText(0);

        press(Qt::CTRL | Qt::Key_D);
        if (level != 0)
            pick(w().decryptPanel()->levelList, level);
        if (!typed.isEmpty())
            type(w().decryptPanel()->pwdBox, typed);
        QTest::mouseClick(w().decryptPanel()->actionButton, Qt::LeftButton);

        Notes want;
        for (const QString& n : expected)
            want.push_back(n.toStdString());
        QCOMPARE(notes(), want);
        QVERIFY(!w().decryptPanel()->isVisible());
        QCOMPARE(w().mem()->bytes(), text.toStdString());
        QCOMPARE(w().statusText(0), status0);
        QCOMPARE(w().decryptPanel()->pwdBox->text(), QString());
        QCOMPARE(s().FileExt, ext.toStdString());
        QCOMPARE(s().PlainText, plain);
        QCOMPARE(m_desktop->calls.size(), std::size_t(0));
    }

    // A Level B code that is no whole number ends the command in the error box.
    void levelBCodeThatIsNoNumberStops_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("error");  // exact text, or empty: only the code must be named
        QTest::newRow("letters") << "abc"
                                 << "'abc' is not a valid integer value.";
        QTest::newRow("empty") << ""
                               << "'' is not a valid integer value.";
        QTest::newRow("sign alone") << "-"
                                    << "'-' is not a valid integer value.";
        QTest::newRow("digits then a letter") << "12a"
                                              << "'12a' is not a valid integer value.";
        QTest::newRow("trailing blank") << "123 "
                                        << "'123 ' is not a valid integer value.";
        // These convert to a value in 0..999 but lack three digits at the front.
        QTest::newRow("two digits") << "12"
                                    << "";
        QTest::newRow("leading sign") << "+12"
                                      << "";
    }
    void levelBCodeThatIsNoNumberStops()
    {
        QFETCH(QString, typed);
        QFETCH(QString, error);
        start();
        w().mem()->setBytes(kPlain);
        runPanel(true, 1, "123");
        const std::string cipher(w().mem()->bytes());
        QCOMPARE(s().FileExt, std::string("txb"));
        const QString status0 = w().statusText(0);

        runPanel(false, 1, typed);

        QCOMPARE(m_desktop->countOf(Kind::Error), 1);
        const auto box = m_desktop->callsOf(Kind::Error).front();
        QCOMPARE(box.caption, kTitle);
        if (!error.isEmpty())
            QCOMPARE(QString::fromStdString(box.text), error);
        else
            QVERIFY2(QString::fromStdString(box.text).contains("'" + typed + "'"),
                     box.text.c_str());
        QCOMPARE(notes(), Notes{});
        QCOMPARE(w().decryptPanel()->pwdBox->text(), typed);
        QVERIFY(!w().decryptPanel()->isVisible());
        QVERIFY(s().DecToggle);
        QCOMPARE(w().mem()->bytes(), cipher);
        QCOMPARE(w().statusText(0), status0);
        QCOMPARE(s().FileExt, std::string("txb"));
        QVERIFY(!s().PlainText);
        if (!error.isEmpty())
            QCOMPARE(s().LevelBKey, typed.toStdString());

        // The window goes on: the right code still decrypts.
        w().decryptPanel()->pwdBox->clear();
        runPanel(false, 1, "123");
        QCOMPARE(w().mem()->bytes(), kPlain);
    }

    // A text that would not come back is refused, after the level's own messages.
    void encryptionRefusesWhatWouldNotComeBack_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("before");  // messages before the refusal
        QTest::addColumn<QStringList>("naming");  // pieces the refusal must hold
        const QString ignored = QString::fromStdString(kIgnored);
        // clang-format off
        QTest::newRow("A, control character on line 2")
            << 0 << "" << QByteArray("line one\r\nab\x01" "cdefg") << QStringList{}
            << QStringList{"code 1", "line 2", "column 3"};
        QTest::newRow("A, password typed, control character")
            << 0 << "ignored1" << QByteArray("line one\r\nab\x01" "cdefg") << QStringList{ignored}
            << QStringList{"code 1", "line 2", "column 3"};
        QTest::newRow("A, euro sign 0x80")
            << 0 << "" << QByteArray("abc\x80" "defghij") << QStringList{}
            << QStringList{"code 128", "line 1", "column 4"};
        QTest::newRow("B 000, 0x80 on line 3")
            << 1 << "000" << QByteArray("one\r\ntwo\r\nthree \x80") << QStringList{}
            << QStringList{"code 128", "line 3", "column 7"};
        // "\xFF" (255) as a key character turns "j" into LF, which decryption passes through.
        QTest::newRow("C key character 255 meets j")
            << 2 << QStringLiteral("\u00ffbcdefgh") << QByteArray("jam session") << QStringList{}
            << QStringList{"code 106", "line 1", "column 1"};
        // clang-format on
    }
    void encryptionRefusesWhatWouldNotComeBack()
    {
        QFETCH(int, level);
        QFETCH(QString, typed);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, before);
        QFETCH(QStringList, naming);
        start();
        const std::string plain = text.toStdString();
        w().mem()->setBytes(plain);
        s().FileExt = "txt";
        s().PlainText = true;
        const QString status0 = w().statusText(0);

        press(Qt::CTRL | Qt::Key_E);
        if (level != 0)
            pick(w().encryptPanel()->levelList, level);
        if (!typed.isEmpty())
            type(w().encryptPanel()->pwdBox, typed);
        QTest::mouseClick(w().encryptPanel()->actionButton, Qt::LeftButton);

        QCOMPARE(notes().size(), static_cast<std::size_t>(before.size() + 1));
        for (qsizetype i = 0; i < before.size(); ++i)
            QCOMPARE(QString::fromStdString(notes()[static_cast<std::size_t>(i)]), before[i]);
        const QString refusal = display_text::FromBytes(notes().back());
        for (const QString& piece : naming)
            QVERIFY2(refusal.contains(piece), qPrintable(refusal));
        QCOMPARE(w().mem()->bytes(), plain);
        QCOMPARE(s().FileExt, std::string("txt"));
        QVERIFY(s().PlainText);
        QCOMPARE(w().statusText(0), status0);
        QCOMPARE(w().encryptPanel()->pwdBox->text(), QString());
        QVERIFY(!w().encryptPanel()->isVisible());
    }

    // --- the OpenPGP level ----------------------------------------------------------------

    // Encrypted through the panel, the text is a message that the layer opens with the
    // passphrase's UTF-8 bytes, as gpg would; decrypted through the panel, it is the very bytes
    // again. Ctrl+Z takes each step back with its extension.
    void openPgpRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("passphrase");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("note");  // after encrypting
        QByteArray every;
        for (int b = 0; b < 256; ++b)
            every += static_cast<char>(b);
        const QString advice = QString::fromStdString(ShortPassphraseAdvice(8)) +
                               QString::fromLatin1(openpgp_level_messages::kEncryptedAllTheSame);
        QTest::newRow("two lines, button")
            << QByteArray(kPlain.c_str()) << kPassphrase << false << "";
        QTest::newRow("every byte, lone breaks, Enter")
            << every + "\n\r\r\n" + every << kPassphrase << true << "";
        QTest::newRow("empty text") << QByteArray() << kPassphrase << false << "";
        QTest::newRow("8 characters: taken, with advice")
            << QByteArray(kPlain.c_str()) << "eight ch" << false << advice;
    }
    void openPgpRoundTrip()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, passphrase);
        QFETCH(bool, byEnter);
        QFETCH(QString, note);
        const std::string plain = text.toStdString();
        start();
        w().mem()->setBytes(plain);

        runOpenPgp(true, passphrase, passphrase, byEnter);
        QCOMPARE(notes(), note.isEmpty() ? Notes{} : Notes{note.toStdString()});
        const std::string message(w().mem()->bytes());
        QVERIFY2(message.starts_with("-----BEGIN PGP MESSAGE-----\r\n"), message.c_str());
        QVERIFY(!QByteArray::fromStdString(message).replace("\r\n", "").contains('\n'));
        std::string opened;
        QCOMPARE(OpenPgpDecrypt(message, Utf8(passphrase), opened), OpenPgpOutcome::Done);
        QCOMPARE(opened, plain);
        QCOMPARE(s().FileExt, std::string("asc"));
        QVERIFY(s().PlainText);
        QCOMPARE(w().statusText(0), QStringLiteral("untitled.asc"));
        // Quick Email sends it as it is, without the older levels' warning.
        w().menu().Email1->trigger();
        QCOMPARE(notes().size(), note.isEmpty() ? 0u : 1u);
        QVERIFY(m_desktop->callsOf(Kind::OpenUrl)
                    .front()
                    .text.find("body=-----BEGIN%20PGP%20MESSAGE-----%0D%0A") != std::string::npos);

        runOpenPgp(false, passphrase, {});
        QCOMPARE(w().mem()->bytes(), plain);
        QCOMPARE(s().FileExt, std::string("txt"));
        QVERIFY(s().PlainText);
        QCOMPARE(w().statusText(0), QStringLiteral("untitled.txt"));

        QTest::keyClick(w().mem(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w().mem()->bytes(), message);
        QCOMPARE(s().FileExt, std::string("asc"));
        QTest::keyClick(w().mem(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w().mem()->bytes(), plain);
        QCOMPARE(s().FileExt, std::string("txt"));
        QCOMPARE(w().statusText(0), QStringLiteral("untitled.txt"));
    }

    // Each refusal says why in its own words and leaves the text, its extension and the status
    // bar as they were; the boxes are emptied all the same.
    void openPgpRefusalsChangeNothing_data()
    {
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QByteArray>("text");  // "<message>": kPlain encrypted with kPassphrase
        QTest::addColumn<QString>("passphrase");
        QTest::addColumn<QString>("again");
        QTest::addColumn<QString>("note");
        using namespace openpgp_messages;
        const auto m = [](std::string_view text) { return QString::fromLatin1(text); };
        const QByteArray plain(kPlain.c_str());
        QTest::newRow("encrypt, empty") << true << plain << ""
                                        << "" << m(kEmptyPassphrase);
        QTest::newRow("encrypt, only the second box")
            << true << plain << "" << kPassphrase << m(kEmptyPassphrase);
        QTest::newRow("encrypt, boxes differ") << true << plain << kPassphrase << kPassphrase + "!"
                                               << m(openpgp_level_messages::kPassphrasesDiffer);
        QTest::newRow("decrypt, wrong passphrase")
            << false << QByteArray("<message>") << "Kestrel over the Dunen"
            << "" << m(kWrongPassphrase);
        QTest::newRow("decrypt, cut short")
            << false << QByteArray("<cut>") << kPassphrase << "" << m(kDamaged);
        QTest::newRow("decrypt, plain text")
            << false << plain << kPassphrase << "" << m(kNotOpenPgp);
        QTest::newRow("decrypt, empty") << false << QByteArray("<message>") << ""
                                        << "" << m(kEmptyPassphrase);
    }
    void openPgpRefusalsChangeNothing()
    {
        QFETCH(bool, encrypt);
        QFETCH(QByteArray, text);
        QFETCH(QString, passphrase);
        QFETCH(QString, again);
        QFETCH(QString, note);
        std::string before = text.toStdString();
        if (text.startsWith('<')) {
            before = MessageOf(kPlain);
            if (text == "<cut>")
                before.resize(before.size() / 2);  // the message's end, and its check, gone
        }
        start();
        w().mem()->setBytes(before);
        s().FileExt = encrypt ? "txt" : "asc";
        s().PlainText = encrypt;
        const QString status0 = w().statusText(0);

        runOpenPgp(encrypt, passphrase, again);
        QCOMPARE(notes(), Notes{note.toStdString()});
        QCOMPARE(w().mem()->bytes(), before);
        QCOMPARE(s().FileExt, std::string(encrypt ? "txt" : "asc"));
        QCOMPARE(s().PlainText, encrypt);
        QCOMPARE(w().statusText(0), status0);
        QVERIFY(m_desktop->calls.empty());
        // Nothing to take back: the text has only the state it was given.
        QVERIFY(!w().mem()->canUndo());
    }

    // The second box shows at the OpenPGP level only; both boxes hide what is typed there, and
    // another level puts the row back exactly as designed, its boxes emptied.
    void openPgpBoxesShowOnlyAtTheirLevel()
    {
        start();
        press(Qt::CTRL | Qt::Key_E);
        CipherPanel* enc = w().encryptPanel();
        const QRect box = enc->pwdBox->geometry();
        const QPoint action = enc->actionButton->pos(), close = enc->closeButton->pos();
        pick(enc->levelList, 2);
        type(enc->pwdBox, "secret1");
        QVERIFY(!enc->againBox->isVisible());

        pick(enc->levelList, kOpenPgp);
        for (QLineEdit* b : {enc->pwdBox, enc->againBox}) {
            QVERIFY(b->isVisible() && b->isEnabled());
            QCOMPARE(b->echoMode(), QLineEdit::Password);
            QCOMPARE(BoxColour(b), kWhite);
        }
        QCOMPARE(enc->pwdBox->text(), QStringLiteral("secret1"));  // typed in clear, now hidden
        QVERIFY(enc->againLabel->isVisible());
        // One row, left to right, inside the panel.
        const QList<QWidget*> row{enc->pwdLabel, enc->pwdBox,       enc->againLabel,
                                  enc->againBox, enc->actionButton, enc->closeButton};
        for (qsizetype i = 1; i < row.size(); ++i)
            QVERIFY(row[i - 1]->geometry().right() < row[i]->x());
        QVERIFY(enc->closeButton->geometry().right() < enc->width());
        enc->pwdBox->clear();
        type(enc->pwdBox, kPassphrase);
        type(enc->againBox, kPassphrase);

        pick(enc->levelList, 0);
        QVERIFY(!enc->againBox->isVisible() && !enc->againLabel->isVisible());
        QCOMPARE(enc->pwdBox->echoMode(), QLineEdit::Normal);
        QVERIFY(EmptyForGood(enc->pwdBox));
        QVERIFY(EmptyForGood(enc->againBox));
        QCOMPARE(enc->pwdBox->geometry(), box);
        QCOMPARE(enc->actionButton->pos(), action);
        QCOMPARE(enc->closeButton->pos(), close);

        // The decrypt panel has one box, hidden at the OpenPGP level only.
        press(Qt::CTRL | Qt::Key_D);
        CipherPanel* dec = w().decryptPanel();
        QVERIFY(!dec->againBox);
        pick(dec->levelList, kOpenPgp);
        QCOMPARE(dec->pwdBox->echoMode(), QLineEdit::Password);
        pick(dec->levelList, 1);
        QCOMPARE(dec->pwdBox->echoMode(), QLineEdit::Normal);
        QCOMPARE(enc->levelList->itemText(kOpenPgp), QStringLiteral("Strong - OpenPGP"));
        QCOMPARE(dec->levelList->count(), 4);
    }

    // A file that holds a message chooses the OpenPGP level in the decrypt panel; a binary one
    // keeps every byte, where other files have their line breaks made CR LF.
    void openingAMessage_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("binary");
        QTest::addColumn<bool>("message");
        // Long enough that the binary message holds lone CR and LF bytes.
        QByteArray plain;
        for (int i = 0; plain.size() < 8192; ++i)
            plain += "Line " + QByteArray::number(i) + " of the letter\r\n";
        const QByteArray armoured = QByteArray::fromStdString(MessageOf(plain.toStdString()));
        QTest::newRow("armoured, LF lines as gpg writes")
            << QByteArray(armoured).replace("\r\n", "\n") << false << true;
        QTest::newRow("binary") << QByteArray::fromStdString(MessageOf(plain.toStdString(), false))
                                << true << true;
        QTest::newRow("a text that starts with \u00c9")
            << QByteArray("\xC9t\xE9 \xE0 Paris\nsecond line\n") << false << false;
    }
    void openingAMessage()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, binary);
        QFETCH(bool, message);
        start();
        openDocument(binary ? "letter.gpg" : "letter.asc", file.toStdString());
        const std::string bytes = file.toStdString();
        QCOMPARE(w().mem()->bytes(), binary ? bytes : NormaliseLineBreaks(bytes));
        if (binary)
            QVERIFY(file.contains('\n') && NormaliseLineBreaks(bytes) != bytes);
        CipherPanel* dec = w().decryptPanel();
        QCOMPARE(dec->levelList->currentIndex(), message ? kOpenPgp : 0);
        if (!message)
            return;
        QCOMPARE(dec->pwdBox->echoMode(), QLineEdit::Password);
        QCOMPARE(BoxColour(dec->pwdBox), kWhite);
        // Decrypted as chosen: nothing to pick.
        press(Qt::CTRL | Qt::Key_D);
        type(dec->pwdBox, kPassphrase);
        QTest::mouseClick(dec->actionButton, Qt::LeftButton);
        QCOMPARE(notes(), Notes{});
        QVERIFY(w().mem()->bytes().starts_with("Line 0 of the letter\r\nLine 1"));
        QCOMPARE(s().FileExt, std::string("txt"));
    }

    // --- the password boxes ---------------------------------------------------------------

    void levelAIgnoresATypedPasswordRightAfterStartUp_data()
    {
        QTest::addColumn<bool>("encrypt");
        QTest::newRow("encrypt panel") << true;
        QTest::newRow("decrypt panel") << false;
    }
    void levelAIgnoresATypedPasswordRightAfterStartUp()
    {
        QFETCH(bool, encrypt);
        start();
        QLineEdit* box = encrypt ? w().encryptPanel()->pwdBox : w().decryptPanel()->pwdBox;
        w().mem()->setBytes(kPlain);
        press(Qt::CTRL | (encrypt ? Qt::Key_E : Qt::Key_D));
        // Start-up selected Level A from the program: the box is silver but takes a password.
        QCOMPARE((encrypt ? w().encryptPanel()->levelList : w().decryptPanel()->levelList)
                     ->currentIndex(),
                 0);
        QVERIFY(box->isEnabled());
        QCOMPARE(BoxColour(box), kSilver);
        type(box, "myOwnPwd");
        QTest::mouseClick(
            encrypt ? w().encryptPanel()->actionButton : w().decryptPanel()->actionButton,
            Qt::LeftButton);

        QCOMPARE(notes(), Notes{kIgnored});
        const std::string expected =
            encrypt ? EncryptText(kPlain, kFactoryPwd, "1") : DecryptText(kPlain, kFactoryPwd, "1");
        QCOMPARE(w().mem()->bytes(), expected);
        QCOMPARE(s().FileExt, std::string(encrypt ? "txa" : "txt"));
        QCOMPARE(box->text(), QString());
    }

    void pickingALevelSwitchesThePasswordBox_data()
    {
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QList<int>>("picks");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QColor>("colour");
        for (const bool encrypt : {true, false}) {
            const char* side = encrypt ? "encrypt" : "decrypt";
            QTest::addRow("%s: B", side) << encrypt << QList<int>{1} << true << kWhite;
            QTest::addRow("%s: C", side) << encrypt << QList<int>{2} << true << kWhite;
            QTest::addRow("%s: B then A", side) << encrypt << QList<int>{1, 0} << false << kSilver;
            QTest::addRow("%s: A again", side) << encrypt << QList<int>{0} << false << kSilver;
            QTest::addRow("%s: A then C", side) << encrypt << QList<int>{0, 2} << true << kWhite;
            QTest::addRow("%s: C, A, B", side) << encrypt << QList<int>{2, 0, 1} << true << kWhite;
            QTest::addRow("%s: OpenPGP", side) << encrypt << QList<int>{3} << true << kWhite;
            QTest::addRow("%s: OpenPGP then A", side)
                << encrypt << QList<int>{3, 0} << false << kSilver;
        }
    }
    void pickingALevelSwitchesThePasswordBox()
    {
        QFETCH(bool, encrypt);
        QFETCH(QList<int>, picks);
        QFETCH(bool, enabled);
        QFETCH(QColor, colour);
        start();
        press(Qt::CTRL | (encrypt ? Qt::Key_E : Qt::Key_D));
        QComboBox* list = encrypt ? w().encryptPanel()->levelList : w().decryptPanel()->levelList;
        QLineEdit* box = encrypt ? w().encryptPanel()->pwdBox : w().decryptPanel()->pwdBox;
        QLineEdit* other = encrypt ? w().decryptPanel()->pwdBox : w().encryptPanel()->pwdBox;
        for (const int index : picks)
            pick(list, index);
        QCOMPARE(box->isEnabled(), enabled);
        QCOMPARE(BoxColour(box), colour);
        // The other panel's box is not the one switched.
        QCOMPARE(BoxColour(other), kSilver);
        QVERIFY(other->isEnabledTo(other->parentWidget()));
    }

    void selectingFromTheProgramDoesNotSwitch()
    {
        start();
        press(Qt::CTRL | Qt::Key_E);
        pick(w().encryptPanel()->levelList, 0);
        QVERIFY(!w().encryptPanel()->pwdBox->isEnabled());
        // A selection the program makes is no choice of the user's.
        w().encryptPanel()->levelList->setCurrentIndex(2);
        QVERIFY(!w().encryptPanel()->pwdBox->isEnabled());
        QCOMPARE(BoxColour(w().encryptPanel()->pwdBox), kSilver);
    }

    void userPicksWithTheKeyboard()
    {
        start();
        press(Qt::CTRL | Qt::Key_E);
        w().encryptPanel()->levelList->setFocus();
        QTest::keyClick(w().encryptPanel()->levelList, Qt::Key_Down);
        QCOMPARE(w().encryptPanel()->levelList->currentIndex(), 1);
        QVERIFY(w().encryptPanel()->pwdBox->isEnabled());
        QCOMPARE(BoxColour(w().encryptPanel()->pwdBox), kWhite);
        QTest::keyClick(w().encryptPanel()->levelList, Qt::Key_Up);
        QCOMPARE(w().encryptPanel()->levelList->currentIndex(), 0);
        QVERIFY(!w().encryptPanel()->pwdBox->isEnabled());
        QCOMPARE(BoxColour(w().encryptPanel()->pwdBox), kSilver);
    }

    // --- the Level A password panel -------------------------------------------------------

    void levelAPanelShowsThePasswordAndUnchangedOnlyEmpties()
    {
        WriteFile(m_dir->filePath("plimo.dat"), "Plimo Text Editor 1.7\r\n15\r\nabcd1234\r\n");
        start();
        press(Qt::CTRL | Qt::Key_L);
        QVERIFY(w().levelAPanel()->isVisible());
        QCOMPARE(w().levelAPanel()->editLA->text(), QStringLiteral("abcd1234"));
        const QColor before = BoxColour(w().levelAPanel()->editLA);

        // Unchanged: the box is emptied; no message and no file written.
        QVERIFY(QFile::remove(m_dir->filePath("plimo.dat")));
        QTest::mouseClick(w().levelAPanel()->laButt, Qt::LeftButton);
        QCOMPARE(w().levelAPanel()->editLA->text(), QString());
        QCOMPARE(notes(), Notes{});
        QVERIFY(!QFile::exists(m_dir->filePath("plimo.dat")));
        QCOMPARE(BoxColour(w().levelAPanel()->editLA), before);
        QVERIFY(w().levelAPanel()->isVisible());
        QCOMPARE(s().LevelAPwd, std::string("abcd1234"));

        // Shown again, it shows the password again.
        press(Qt::CTRL | Qt::Key_L);
        press(Qt::CTRL | Qt::Key_L);
        QCOMPARE(w().levelAPanel()->editLA->text(), QStringLiteral("abcd1234"));
    }

    void levelAUpdateRefuses_data()
    {
        QTest::addColumn<QString>("candidate");
        QTest::newRow("7 characters") << "abcdefg";
        QTest::newRow("9 characters") << "abcdefghi";
        QTest::newRow("a space") << "abcd efg";
        QTest::newRow("an underscore") << "abcd_efg";
        QTest::newRow("an accented letter") << QStringLiteral("abcd\u00e9fgh");
        QTest::newRow("empty") << "";
    }
    void levelAUpdateRefuses()
    {
        QFETCH(QString, candidate);
        start();
        const QByteArray settings = ReadFile(m_dir->filePath("plimo.dat"));
        press(Qt::CTRL | Qt::Key_L);
        const QColor before = BoxColour(w().levelAPanel()->editLA);
        w().levelAPanel()->editLA->clear();
        if (!candidate.isEmpty())
            type(w().levelAPanel()->editLA, candidate);
        QTest::mouseClick(w().levelAPanel()->laButt, Qt::LeftButton);

        QCOMPARE(notes(), Notes{kRefusedPwd});
        QCOMPARE(w().levelAPanel()->editLA->text(), candidate);
        QCOMPARE(BoxColour(w().levelAPanel()->editLA), before);
        QCOMPARE(s().LevelAPwd, kFactoryPwd);
        QCOMPARE(ReadFile(m_dir->filePath("plimo.dat")), settings);
        QVERIFY(w().levelAPanel()->isVisible());
    }

    void levelAUpdateAccepts_data()
    {
        QTest::addColumn<QString>("candidate");
        QTest::newRow("letters only") << "abcdefgh";
        QTest::newRow("digits only") << "12345678";
        QTest::newRow("mixed") << "Zz09Aa19";
        QTest::newRow("the password in other case") << "TZRHGOWN";
    }
    void levelAUpdateAccepts()
    {
        QFETCH(QString, candidate);
        const std::string pwd = candidate.toStdString();
        start();
        press(Qt::CTRL | Qt::Key_L);
        const QColor before = BoxColour(w().levelAPanel()->editLA);
        QCOMPARE(before, w().palette().color(QPalette::Window));
        w().levelAPanel()->editLA->clear();
        type(w().levelAPanel()->editLA, candidate);
        {
            ColourProbe probe(w().levelAPanel()->editLA);
            QTest::keyClick(w().levelAPanel()->editLA,
                            Qt::Key_Return);  // the panel's default button
            QCOMPARE(probe.notes, Notes{kUpdatedPwd});
            // Lime while the confirmation is on screen.
            QCOMPARE(probe.colours.front(), kLime);
        }
        QCOMPARE(w().levelAPanel()->editLA->text(), QString());
        QCOMPARE(BoxColour(w().levelAPanel()->editLA), before);
        QVERIFY(w().levelAPanel()->isVisible());
        QCOMPARE(s().LevelAPwd, pwd);
        const QList<QByteArray> lines = ReadFile(m_dir->filePath("plimo.dat")).split('\n');
        QVERIFY(lines.size() >= 3);
        QCOMPARE(lines[2], QByteArray::fromStdString(pwd + "\r"));

        // Level A now encrypts with the new password, and the old one no longer decrypts.
        w().mem()->setBytes(kPlain);
        runPanel(true, 0, "");
        const std::string cipher(w().mem()->bytes());
        QCOMPARE(cipher, EncryptText(kPlain, pwd, "1"));
        QVERIFY(DecryptText(cipher, kFactoryPwd, "1") != kPlain);
        runPanel(false, 0, "");
        QCOMPARE(w().mem()->bytes(), kPlain);

        // And after a restart, through the settings file.
        m_w.reset();
        *m_state = TAppState();
        start();
        QCOMPARE(s().LevelAPwd, pwd);
        w().mem()->setBytes(cipher);
        runPanel(false, 0, "");
        QCOMPARE(w().mem()->bytes(), kPlain);
    }

    void levelAUpdateThatCannotBeStored()
    {
        start();
        press(Qt::CTRL | Qt::Key_L);
        const QColor before = BoxColour(w().levelAPanel()->editLA);
        // A folder where the settings file should be: it cannot be replaced.
        QVERIFY(QFile::remove(m_dir->filePath("plimo.dat")));
        QVERIFY(QDir(m_dir->path()).mkdir("plimo.dat"));
        w().levelAPanel()->editLA->setText("newPwd12");
        QTest::mouseClick(w().levelAPanel()->laButt, Qt::LeftButton);

        QCOMPARE(m_desktop->countOf(Kind::Error), 1);
        const auto box = m_desktop->callsOf(Kind::Error).front();
        QCOMPARE(box.caption, kTitle);
        QCOMPARE(box.text, std::string("Cannot create file plimo.dat"));
        QCOMPARE(notes(), Notes{});
        QCOMPARE(BoxColour(w().levelAPanel()->editLA), before);
        QCOMPARE(w().levelAPanel()->editLA->text(), QStringLiteral("newPwd12"));
        // The password the settings file holds stays the one in use.
        QCOMPARE(s().LevelAPwd, kFactoryPwd);
        w().mem()->setBytes(kPlain);
        runPanel(true, 0, "");
        QCOMPARE(w().mem()->bytes(), EncryptText(kPlain, kFactoryPwd, "1"));
    }
};

QTEST_MAIN(TestCipherPanels)
#include "test_cipher_panels.moc"
