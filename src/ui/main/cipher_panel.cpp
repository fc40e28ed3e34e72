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
#include "core/command_error.h"
#include "document/file_messages.h"
#include "ui/common/display_text.h"
#include "ui/common/look.h"
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
                            "Encrypt",
                            "Encryption level",
                            "Encryption password",
                            EncryptWithLevel};
const TCipherWords kDecrypt{"pDec",
                            "levelD",
                            "Label3",
                            "pwdD",
                            "dButt",
                            "cDec",
                            "Decrypt",
                            "Decryption level",
                            "Decryption password",
                            DecryptWithLevel};

const TCipherWords& WordsOf(CipherPanel::Direction direction)
{
    return direction == CipherPanel::Direction::Encrypt ? kEncrypt : kDecrypt;
}

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
        levelList->addItem(display_text::FromUtf8(caption));
    pwdLabel = addLabel(words.label, "Pwd:", 208, 20);
    pwdBox = addEdit(words.box, 248, 16, 169, 28);
    actionButton = addButton(words.button, words.caption, 426, 16);
    closeButton = addButton(words.close, "Close", 512, 16);
    fitRow({levelList, pwdLabel, pwdBox, actionButton, closeButton});
    levelList->setAccessibleName(QString::fromLatin1(words.listName));
    pwdBox->setAccessibleName(QString::fromLatin1(words.boxName));
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
    const EncryptionLevel level =
        static_cast<EncryptionLevel>(std::clamp(levelList->currentIndex(), 0, 2));
    // What Ctrl+Z puts back besides the text: the text's state and so its extension.
    const TextKind before{m_state.FileExt, m_state.PlainText};
    // A Level B code that is no whole number ends the command here, the code left in its box.
    TLevelResult result =
        WordsOf(m_direction)
            .action(m_state, level, m_mem.bytes(), display_text::ToBytes(pwdBox->text()));
    if (result.outcome == LevelOutcome::Done) {
        const TextKind after{m_state.FileExt, m_state.PlainText};
        // The result replaces the text exactly, so that decrypting gives the very text back; the
        // text it replaces is kept for Ctrl+Z.
        bool replaced = false;
        try {
            replaced = m_mem.replaceAllBytes(std::move(result.text), [this, before, after](bool undone) {
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
            pwdBox->clear();
            throw CommandError(std::string(kTextExceedsCapacity));
        }
        m_host.showFileNameWithExt();
    }
    pwdBox->clear();
}

void CipherPanel::levelChange()
{
    const bool levelA = levelList->currentIndex() == 0;
    pwdBox->setEnabled(!levelA);
    SetBoxColour(pwdBox, levelA ? kSilver : kWhite);
}

void CipherPanel::closeClick()
{
    closePanel();
}

void CipherPanel::reset()
{
    levelList->setCurrentIndex(0);
}
