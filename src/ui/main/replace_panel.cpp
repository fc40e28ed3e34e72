#include "ui/main/replace_panel.h"

#include <new>
#include <string>
#include <utility>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/command_error.h"
#include "document/file_messages.h"
#include "document/find_replace.h"
#include "ui/common/display_text.h"
#include "ui/editor/memo.h"
#include "ui/main/find_panel.h"
#include "ui/platform/busy_cursor.h"

ReplacePanel::ReplacePanel(Memo& mem, Desktop& desktop, QWidget* parent)
    : ToolPanel("pRep", desktop, parent), m_mem(mem)
{
    rFrom = addEdit("rFrom", 16, 16, 169, 28);
    Label1 = addLabel("Label1", ">>>", 192, 20);
    rTo = addEdit("rTo", 224, 16, 169, 28);
    rButt = addButton("rButt", QT_TR_NOOP("Replace"), 408, 16);
    cRep = addButton("cRep", QT_TR_NOOP("Close"), 496, 16);
    fitRow({rFrom, Label1, rTo, rButt, cRep});
    const FindOptionBoxes boxes(this, cRep, "rCase", "rWhole");
    rCase = boxes.matchCase;
    rWhole = boxes.wholeWords;
    rFrom->setAccessibleName(tr("Text to replace"));
    rTo->setAccessibleName(tr("Replacement"));
    onClick(rButt, &ReplacePanel::rButtClick);
    onClick(cRep, &ReplacePanel::cRepClick);
}

void ReplacePanel::rButtClick()
{
    BusyCursor busy;
    std::optional<std::string> result =
        ReplaceAll(m_mem.bytes(), display_text::ToBytes(rFrom->text()),
                   display_text::ToBytes(rTo->text()), FindOptionBoxes{rCase, rWhole}.options());
    if (!result)
        return;
    // One step for Ctrl+Z; a result past the capacity leaves the text as it was.
    bool replaced = false;
    try {
        replaced = m_mem.replaceAllBytes(std::move(*result));
    } catch (const std::bad_alloc&) {
    }
    if (!replaced)
        throw CommandError(Tr(kTextExceedsCapacity));
}

void ReplacePanel::aboutToShow()
{
    rFrom->setFocus();
}

void ReplacePanel::resizeEvent(QResizeEvent* event)
{
    ToolPanel::resizeEvent(event);
    FindOptionBoxes{rCase, rWhole}.place(cRep, width());
}

void ReplacePanel::cRepClick()
{
    closePanel();
}
