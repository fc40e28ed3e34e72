#include "ui/main/find_panel.h"

#include <QLineEdit>
#include <QPushButton>

#include "document/find_replace.h"
#include "ui/common/display_text.h"
#include "ui/editor/memo.h"

FindPanel::FindPanel(Memo& mem, TAppState& state, Desktop& desktop, QWidget* parent)
    : ToolPanel("pFind", desktop, parent), m_mem(mem), m_state(state)
{
    editF = addEdit("editF", 16, 16, 169, 28);
    fButt = addButton("fButt", "Find", 194, 16);
    cFind = addButton("cFind", "Close", 280, 16);
    fitRow({editF, fButt, cFind});
    editF->setAccessibleName(QStringLiteral("Text to find"));
    setDefaultButton(fButt);
    onClick(fButt, &FindPanel::fButtClick);
    onClick(cFind, &FindPanel::cFindClick);
}

void FindPanel::fButtClick()
{
    FindFrom(m_state.FindPos);
    m_state.FindPos = m_state.FindNext;
}

void FindPanel::FindFrom(std::int32_t start)
{
    const std::string needle = display_text::ToBytes(editF->text());
    // The area keeps its bytes between edits, so a run of clicks reads the text only once.
    const FindOutcome outcome = ::FindFrom(m_mem.bytes(), start, needle);
    m_state.FindNext = outcome.FindNext;
    if (!outcome.Found())
        return;
    m_mem.select(outcome.Hit, static_cast<qsizetype>(needle.size()));
    m_mem.setFocus();
}

void FindPanel::aboutToShow()
{
    editF->setFocus();
}

void FindPanel::cFindClick()
{
    closePanel();
}
