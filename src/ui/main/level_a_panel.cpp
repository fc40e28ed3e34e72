#include "ui/main/level_a_panel.h"

#include <algorithm>
#include <string>
#include <utility>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "cipher/levels.h"
#include "core/command_error.h"
#include "core/show_note.h"
#include "document/settings_file.h"
#include "ui/common/display_text.h"
#include "ui/common/look.h"
#include "ui/common/secret_box.h"

namespace {

const char* const kNotice = QT_TRANSLATE_NOOP(
    "LevelAPwdPanel",
    "Password change can give you more security. Documents that used previous pwd for Level A "
    "encryption will not be able to decrypt with changed password.");
constexpr int kNoticeLeft = 368;
constexpr int kNoticeTop = 13;
constexpr int kNoticeDesignedHeight = 47;
// The notice takes what the panel leaves right of the buttons.
constexpr int kBesideNotice = 390;
// Narrower than this, the notice would need a panel taller than the text area: it is cut off.
constexpr int kNoticeMinGrowWidth = 150;
constexpr int kControlGap = 4;

}  // namespace

LevelAPwdPanel::LevelAPwdPanel(TAppState& state, Desktop& desktop, QWidget* parent)
    : ToolPanel("pLA", desktop, parent), m_state(state)
{
    editLA = addEdit("editLA", 16, 16, 169, 28);
    KeepSecret(editLA);
    laButt = addButton("laButt", QT_TR_NOOP("Update"), 194, 16);
    cLA = addButton("cLA", QT_TR_NOOP("Close"), 280, 16);
    Label4 = new QLabel(tr(kNotice), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    Label4->move(kNoticeLeft, kNoticeTop);
    fitRow({editLA, laButt, cLA});
    editLA->setAccessibleName(tr("New Level A password"));

    setDefaultButton(laButt);
    onClick(laButt, &LevelAPwdPanel::laButtClick);
    onClick(cLA, &LevelAPwdPanel::cLAClick);
}

void LevelAPwdPanel::aboutToShow()
{
    RefreshLevelAPwd(m_state);
    editLA->setText(display_text::FromBytes(m_state.LevelAPwd));
    fitNotice();
}

void LevelAPwdPanel::laButtClick()
{
    const std::string candidate = display_text::ToBytes(editLA->text());
    RefreshLevelAPwd(m_state);
    switch (ClassifyLevelAPwdUpdate(m_state, candidate)) {
        case LevelAPwdUpdate::Unchanged:
            EmptySecret(editLA);
            return;
        case LevelAPwdUpdate::Refused:
            ShowNote(level_messages::kLevelAPwdRefused);
            return;
        case LevelAPwdUpdate::Accepted:
            break;
    }
    SetBoxColour(editLA, kLime);
    std::string previous = std::exchange(m_state.LevelAPwd, candidate);
    try {
        SaveSettings(m_state);
    } catch (const CommandError&) {
        // A password the settings file does not hold would be gone at the next start, and with
        // it every text encrypted under it: keep the stored one in use.
        m_state.LevelAPwd = std::move(previous);
        restoreBoxColour();
        throw;
    }
    ShowNote(level_messages::kLevelAPwdUpdated);
    EmptySecret(editLA);
    restoreBoxColour();
}

void LevelAPwdPanel::cLAClick()
{
    closePanel();
    restoreBoxColour();
}

void LevelAPwdPanel::restoreBoxColour()
{
    SetBoxColour(editLA, window()->palette().color(QPalette::Window));
}

void LevelAPwdPanel::resizeEvent(QResizeEvent* event)
{
    ToolPanel::resizeEvent(event);
    fitNotice();
}

void LevelAPwdPanel::fitNotice()
{
    // The notice wraps in what the panel leaves it; when its lines need more than the designed
    // height, the label and its panel grow rather than cut the last line off.
    const int noticeWidth = std::max(0, width() - kBesideNotice);
    const int needed = noticeWidth >= kNoticeMinGrowWidth ? Label4->heightForWidth(noticeWidth) : 0;
    const int noticeHeight = std::max(kNoticeDesignedHeight, needed);
    Label4->resize(noticeWidth, noticeHeight);
    const int panelHeight = std::max(kHeight, kNoticeTop + noticeHeight + kControlGap);
    if (height() != panelHeight)
        setFixedHeight(panelHeight);
}
