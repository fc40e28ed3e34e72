#include "ui/main/cipher_panel.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "cipher/levels.h"
#include "cipher/openpgp_level.h"
#include "core/command_error.h"
#include "document/file_messages.h"
#include "document/settings_file.h"
#include "ui/common/display_text.h"
#include "ui/common/look.h"
#include "ui/common/secret_box.h"
#include "ui/editor/memo.h"
#include "ui/platform/busy_cursor.h"

namespace {

// The state of the text that a cipher command changes.
struct TextKind {
    std::string ext;
    bool plain = true;
};

// What tells the two panels apart: their controls' names, their words and their action.
struct TCipherWords {
    const char* panel;
    const char* list;
    const char* label;
    const char* box;
    const char* button;
    const char* close;
    const char* caption;
    const char* listName;
    const char* boxName;
    TLevelResult (*action)(TAppState&, EncryptionLevel, std::string_view, std::string_view);
};

const TCipherWords kEncrypt{"pEnc",
                            "levelE",
                            "Label2",
                            "pwdE",
                            "eButt",
                            "cEnc",
                            QT_TRANSLATE_NOOP("CipherPanel", "Encrypt"),
                            QT_TRANSLATE_NOOP("CipherPanel", "Encryption level"),
                            QT_TRANSLATE_NOOP("CipherPanel", "Encryption password"),
                            EncryptWithLevel};
const TCipherWords kDecrypt{"pDec",
                            "levelD",
                            "Label3",
                            "pwdD",
                            "dButt",
                            "cDec",
                            QT_TRANSLATE_NOOP("CipherPanel", "Decrypt"),
                            QT_TRANSLATE_NOOP("CipherPanel", "Decryption level"),
                            QT_TRANSLATE_NOOP("CipherPanel", "Decryption password"),
                            DecryptWithLevel};

const TCipherWords& WordsOf(CipherPanel::Direction direction)
{
    return direction == CipherPanel::Direction::Encrypt ? kEncrypt : kDecrypt;
}

// The encrypt panel's row at the OpenPGP level: two narrower boxes side by side, the buttons
// after them.
constexpr int kOpenPgpBoxWidth = 92;
constexpr int kOpenPgpGap = 8;

// A passphrase, overwritten when it goes out of scope, however the command ends.
struct TWipedSecret {
    std::string bytes;
    ~TWipedSecret() { WipeSecret(bytes); }
};

}  // namespace

CipherPanel::CipherPanel(Direction direction, Memo& mem, TAppState& state, PanelBar& bar,
                         PanelHost& host, Desktop& desktop, QWidget* parent)
    : ToolPanel(WordsOf(direction).panel, desktop, parent),
      m_direction(direction),
      m_mem(mem),
      m_state(state),
      m_bar(bar),
      m_host(host)
{
    const TCipherWords& words = WordsOf(direction);
    levelList = addList(words.list, 16, 16, 177);
    for (const std::string_view caption : kLevelCaptions)
        levelList->addItem(display_text::FromUtf8(Tr(caption)));
    levelList->addItem(display_text::FromUtf8(Tr(kOpenPgpLevelCaption)));
    pwdLabel = addLabel(words.label, QT_TR_NOOP("Pwd:"), 208, 20);
    pwdBox = addEdit(words.box, 248, 16, 169, 28);
    KeepSecret(pwdBox);
    if (direction == Direction::Encrypt) {
        // Made here, so that Tab goes from the first box to the second.
        againLabel = addLabel("LabelE2", QT_TR_NOOP("Again:"), 0, 20);
        againBox = addEdit("pwdE2", 0, 16, kOpenPgpBoxWidth, 28);
        againBox->setEchoMode(QLineEdit::Password);
        againBox->setAccessibleName(tr("Encryption passphrase again"));
        KeepSecret(againBox);
        SetBoxColour(againBox, kWhite);
        againLabel->hide();
        againBox->hide();
    }
    actionButton = addButton(words.button, words.caption, 426, 16);
    closeButton = addButton(words.close, QT_TR_NOOP("Close"), 512, 16);
    fitRow({levelList, pwdLabel, pwdBox, actionButton, closeButton});
    m_boxPlace = pwdBox->geometry();
    m_actionPlace = actionButton->pos();
    m_closePlace = closeButton->pos();
    levelList->setAccessibleName(tr(words.listName));
    pwdBox->setAccessibleName(tr(words.boxName));
    SetBoxColour(pwdBox, kSilver);

    setDefaultButton(actionButton);
    onClick(actionButton, &CipherPanel::actionClick);
    onClick(closeButton, &CipherPanel::closeClick);
    // activated fires only on the user's choice, never when the program selects an entry.
    connect(levelList, &QComboBox::activated, this, [this] { run([this] { levelChange(); }); });
}

void CipherPanel::actionClick()
{
    m_bar.TogglePanel(this);
    BusyCursor busy;
    if (levelList->currentIndex() == kOpenPgpIndex) {
        openPgpAction();
        return;
    }
    const EncryptionLevel level =
        static_cast<EncryptionLevel>(std::clamp(levelList->currentIndex(), 0, 2));
    // Another running copy, or the shell tool, may have changed it since this one read it.
    if (level == EncryptionLevel::A)
        RefreshLevelAPwd(m_state);
    // What Ctrl+Z puts back besides the text: the text's state and so its extension.
    const TextKind before{m_state.FileExt, m_state.PlainText};
    // A Level B code that is no whole number ends the command here, the code left in its box.
    TLevelResult result =
        WordsOf(m_direction)
            .action(m_state, level, m_mem.bytes(), display_text::ToBytes(pwdBox->text()));
    EmptySecret(pwdBox);
    if (result.outcome == LevelOutcome::Done)
        putResult(std::move(result.text), before.ext, before.plain);
}

void CipherPanel::openPgpAction()
{
    // Out of the boxes at once: they are empty whatever happens next.
    TWipedSecret passphrase{TakeSecretUtf8(pwdBox)};
    TWipedSecret again{againBox ? TakeSecretUtf8(againBox) : std::string()};
    const TextKind before{m_state.FileExt, m_state.PlainText};
    TLevelResult result = m_direction == Direction::Encrypt
                              ? EncryptWithOpenPgp(m_state, m_mem.bytes(), passphrase.bytes,
                                                   again.bytes, openPgpOptions)
                              : DecryptWithOpenPgp(m_state, m_mem.bytes(), passphrase.bytes);
    if (result.outcome == LevelOutcome::Done)
        putResult(std::move(result.text), before.ext, before.plain);
}

void CipherPanel::putResult(std::string&& text, const std::string& beforeExt, bool beforePlain)
{
    const TextKind before{beforeExt, beforePlain};
    const TextKind after{m_state.FileExt, m_state.PlainText};
    // The result replaces the text exactly, so that decrypting gives the very text back; the
    // text it replaces is kept for Ctrl+Z.
    bool replaced = false;
    try {
        replaced = m_mem.replaceAllBytes(std::move(text), [this, before, after](bool undone) {
            const TextKind& kind = undone ? before : after;
            m_state.FileExt = kind.ext;
            m_state.PlainText = kind.plain;
            m_host.showFileNameWithExt();
        });
    } catch (const std::bad_alloc&) {
    }
    if (!replaced) {
        m_state.FileExt = before.ext;
        m_state.PlainText = before.plain;
        throw CommandError(Tr(kTextExceedsCapacity));
    }
    m_host.showFileNameWithExt();
}

void CipherPanel::levelChange()
{
    const int index = levelList->currentIndex();
    showOpenPgpBoxes(index == kOpenPgpIndex);
    const bool levelA = index == 0;
    pwdBox->setEnabled(!levelA);
    SetBoxColour(pwdBox, levelA ? kSilver : kWhite);
}

void CipherPanel::showOpenPgpBoxes(bool openPgp)
{
    // What was typed hidden is never shown: the box is emptied when it leaves the level.
    if (!openPgp && pwdBox->echoMode() == QLineEdit::Password)
        EmptySecret(pwdBox);
    pwdBox->setEchoMode(openPgp ? QLineEdit::Password : QLineEdit::Normal);
    if (!againBox || againBox->isVisibleTo(this) == openPgp)
        return;
    EmptySecret(againBox);
    againLabel->setVisible(openPgp);
    againBox->setVisible(openPgp);
    if (!openPgp) {
        pwdBox->setGeometry(m_boxPlace);
        actionButton->move(m_actionPlace);
        closeButton->move(m_closePlace);
        return;
    }
    // The second box after its label as the first is after "Pwd:"; the buttons as far apart as
    // designed.
    const auto rightOf = [](const QWidget* w) { return w->geometry().right() + 1; };
    const int labelGap = m_boxPlace.left() - rightOf(pwdLabel);
    const int buttonGap = m_closePlace.x() - rightOf(actionButton);
    pwdBox->resize(kOpenPgpBoxWidth, m_boxPlace.height());
    againLabel->move(rightOf(pwdBox) + kOpenPgpGap, pwdLabel->y());
    againBox->move(rightOf(againLabel) + labelGap, m_boxPlace.top());
    actionButton->move(rightOf(againBox) + kOpenPgpGap, m_actionPlace.y());
    closeButton->move(rightOf(actionButton) + buttonGap, m_closePlace.y());
}

void CipherPanel::closeClick()
{
    closePanel();
}

void CipherPanel::reset()
{
    levelList->setCurrentIndex(0);
}

void CipherPanel::chooseOpenPgp()
{
    levelList->setCurrentIndex(kOpenPgpIndex);
    levelChange();
}
