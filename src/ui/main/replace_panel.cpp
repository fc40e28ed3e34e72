#include "ui/main/replace_panel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "document/find_replace.h"
#include "ui/common/display_text.h"
#include "ui/editor/memo.h"
#include "ui/platform/busy_cursor.h"

ReplacePanel::ReplacePanel(Memo& mem, Desktop& desktop, QWidget* parent)
    : ToolPanel("pRep", desktop, parent), m_mem(mem)
{
    rFrom = addEdit("rFrom", 16, 16, 169, 28);
    Label1 = addLabel("Label1", ">>>", 192, 20);
    rTo = addEdit("rTo", 224, 16, 169, 28);
    rButt = addButton("rButt", "Replace", 408, 16);
    cRep = addButton("cRep", "Close", 496, 16);
    fitRow({rFrom, Label1, rTo, rButt, cRep});
    rFrom->setAccessibleName(QStringLiteral("Text to replace"));
    rTo->setAccessibleName(QStringLiteral("Replacement"));
    onClick(rButt, &ReplacePanel::rButtClick);
    onClick(cRep, &ReplacePanel::cRepClick);
}

void ReplacePanel::rButtClick()
{
    BusyCursor busy;
    const std::optional<std::string> result = ReplaceAllCaseless(
        m_mem.bytes(), display_text::ToBytes(rFrom->text()), display_text::ToBytes(rTo->text()));
    if (result)
        m_mem.setBytes(*result);
}

void ReplacePanel::cRepClick()
{
    hide();
}
