#include "ui/main/go_to_line_panel.h"

#include <algorithm>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include "ui/editor/memo.h"

GoToLinePanel::GoToLinePanel(Memo& mem, Desktop& desktop, QWidget* parent)
    : ToolPanel("pGo", desktop, parent), m_mem(mem)
{
    LabelGo = addLabel("LabelGo", QT_TR_NOOP("Line:"), 16, 20);
    editGo = addEdit("editGo", 56, 16, 129, 28);
    gButt = addButton("gButt", QT_TR_NOOP("Go"), 194, 16);
    cGo = addButton("cGo", QT_TR_NOOP("Close"), 280, 16);
    LabelLines = addLabel("LabelLines", "", 376, 20);
    fitRow({LabelGo, editGo, gButt, cGo});
    // Digits only: a line has no sign, and twelve digits pass any text's last line.
    editGo->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,12}")), editGo));
    editGo->setAccessibleName(tr("Line number"));
    setDefaultButton(gButt);
    onClick(gButt, &GoToLinePanel::gButtClick);
    onClick(cGo, &GoToLinePanel::cGoClick);
}

void GoToLinePanel::showLineCount()
{
    LabelLines->setText(tr("of %1").arg(m_mem.byteText().lineCount()));
    LabelLines->adjustSize();
}

void GoToLinePanel::aboutToShow()
{
    showLineCount();
    editGo->setText(QString::number(m_mem.byteText().lineOf(m_mem.caret()) + 1));
    editGo->selectAll();
    editGo->setFocus();
}

void GoToLinePanel::gButtClick()
{
    bool number = false;
    const qulonglong wanted = editGo->text().toULongLong(&number);
    if (!number)
        return;  // an empty box goes nowhere
    const ByteText& text = m_mem.byteText();
    // Line 0 is taken as the first.
    const std::size_t line =
        static_cast<std::size_t>(std::min<qulonglong>(wanted > 0 ? wanted - 1 : 0, text.lineCount() - 1));
    QScrollBar* bar = m_mem.verticalScrollBar();
    const int before = bar->value();
    m_mem.select(static_cast<qsizetype>(text.lineStart(line)), 0);
    // The area scrolled just far enough to show the line, at its bottom or top edge: half a
    // screen more shows it in the middle, with what comes before and after it.
    if (const int after = bar->value(); after != before)
        bar->setValue(after + (after > before ? 1 : -1) * bar->pageStep() / 2);
    m_mem.setFocus();
    showLineCount();
}

void GoToLinePanel::cGoClick()
{
    closePanel();
}
