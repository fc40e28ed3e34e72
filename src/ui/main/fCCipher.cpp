// The encrypt, decrypt and Level A password panels.
#include <algorithm>
#include <utility>

#include <QComboBox>
#include <QLineEdit>

#include "cipher/levels.h"
#include "core/command_error.h"
#include "core/show_note.h"
#include "document/settings_file.h"
#include "ui/editor/memo.h"
#include "ui/editor/text_codec.h"
#include "ui/main/fCPas.h"
#include "ui/main/panel_look.h"
#include "ui/platform/busy_cursor.h"

namespace {

const QColor kLime(0, 255, 0);

EncryptionLevel LevelOf(const QComboBox* list)
{
    return static_cast<EncryptionLevel>(std::clamp(list->currentIndex(), 0, 2));
}

// Level A takes no typed password: its box is switched off when the user picks it.
void SwitchPasswordBox(const QComboBox* list, QLineEdit* box)
{
    const bool levelA = list->currentIndex() == 0;
    box->setEnabled(!levelA);
    SetBoxColour(box, levelA ? kPanelSilver : QColor(Qt::white));
}

}  // namespace

void TfC::eButtClick()
{
    TogglePanel(pEnc, m_state.EncToggle);
    BusyCursor busy;
    const TLevelResult result =
        EncryptWithLevel(m_state, LevelOf(levelE), mem->bytes(), text_codec::ToBytes(pwdE->text()));
    if (result.outcome == LevelOutcome::Done) {
        // The cipher text replaces the text exactly, so that decrypting gives the very text back.
        mem->setBytes(result.text);
        showFileNameWithExt();
    }
    pwdE->clear();
}

void TfC::dButtClick()
{
    TogglePanel(pDec, m_state.DecToggle);
    BusyCursor busy;
    // A Level B code that is no whole number ends the command here, the code left in its box.
    const TLevelResult result =
        DecryptWithLevel(m_state, LevelOf(levelD), mem->bytes(), text_codec::ToBytes(pwdD->text()));
    if (result.outcome == LevelOutcome::Done) {
        mem->setBytes(result.text);
        showFileNameWithExt();
    }
    pwdD->clear();
}

void TfC::levelEChange()
{
    SwitchPasswordBox(levelE, pwdE);
}

void TfC::levelDChange()
{
    SwitchPasswordBox(levelD, pwdD);
}

void TfC::laButtClick()
{
    const std::string candidate = text_codec::ToBytes(editLA->text());
    switch (ClassifyLevelAPwdUpdate(m_state, candidate)) {
        case LevelAPwdUpdate::Unchanged:
            editLA->clear();
            return;
        case LevelAPwdUpdate::Refused:
            ShowNote(level_messages::kLevelAPwdRefused);
            return;
        case LevelAPwdUpdate::Accepted:
            break;
    }
    setEditLABackground(kLime);
    std::string previous = std::exchange(m_state.LevelAPwd, candidate);
    try {
        SaveSettings(m_state);
    } catch (const CommandError&) {
        // A password the settings file does not hold would be gone at the next start, and with
        // it every text encrypted under it: keep the stored one in use.
        m_state.LevelAPwd = std::move(previous);
        setEditLABackground(palette().color(QPalette::Window));
        throw;
    }
    ShowNote(level_messages::kLevelAPwdUpdated);
    editLA->clear();
    setEditLABackground(palette().color(QPalette::Window));
}
