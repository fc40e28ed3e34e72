// The menu's commands that show the tool panels, the clipboard commands, the maker's links,
// help, about, quick e-mail, zoom, print and print preview, line numbers.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPrinter>

#include "core/show_note.h"
#include "document/mailto.h"
#include "ui/common/display_text.h"
#include "ui/common/maker.h"
#include "ui/editor/memo.h"
#include "ui/main/cipher_panel.h"
#include "ui/main/fCPas.h"
#include "ui/main/find_panel.h"
#include "ui/main/go_to_line_panel.h"
#include "ui/main/level_a_panel.h"
#include "ui/main/print_job.h"
#include "ui/main/print_preview.h"
#include "ui/main/replace_panel.h"
#include "ui/main/type_panel.h"
#include "ui/platform/command_guard.h"
#include "ui/platform/desktop.h"

void TfC::fMenClick()
{
    m_bar.TogglePanel(m_find);
}

void TfC::rMenClick()
{
    m_bar.TogglePanel(m_replace);
}

// F3 is the Find button, wherever the focus is and whether the panel shows or not.
void TfC::FindNext1Click()
{
    m_find->fButtClick();
}

void TfC::FindPrevious1Click()
{
    m_find->findPrevious();
}

void TfC::GoToLine1Click()
{
    m_bar.TogglePanel(m_goTo);
}

void TfC::eMenClick()
{
    m_bar.TogglePanel(m_encrypt);
}

void TfC::dMenClick()
{
    m_bar.TogglePanel(m_decrypt);
}

void TfC::levelAPwdClick()
{
    m_bar.TogglePanel(m_levelA);
}

void TfC::tMenClick()
{
    m_type->command();
}

void TfC::SelectFont1Click()
{
    m_type->command();
}

void TfC::zoomBy(int steps)
{
    m_type->zoom(steps);
}

void TfC::ZoomIn1Click()
{
    zoomBy(1);
}

void TfC::ZoomOut1Click()
{
    zoomBy(-1);
}

void TfC::ZoomReset1Click()
{
    m_type->setTypeSize(m_startTypeSize);
}

// The clipboard commands act on the editing area wherever the focus is, the find box included.
void TfC::Cut1Click()
{
    m_mem->cut();
}

void TfC::Copy1Click()
{
    m_mem->copy();
}

void TfC::Paste1Click()
{
    m_mem->paste();
}

void TfC::SelectAll1Click()
{
    m_mem->selectAll();
}

void TfC::WebSite1Click()
{
    m_desktop.openUrl(std::string(kMakerWebSite));
}

void TfC::SupportEmail1Click()
{
    m_desktop.openUrl(std::string(kMakerSupportMail));
}

void TfC::SalesEmail1Click()
{
    m_desktop.openUrl(std::string(kMakerSalesMail));
}

void TfC::Help2Click()
{
    if (m_help)
        m_help->exec();
}

void TfC::About1Click()
{
    if (m_about)
        m_about->exec();
    m_type->ft->setMaxVisibleItems(50);
}

void TfC::Email1Click()
{
    // Both warnings only warn: the request is made in every case.
    if (!m_state.PlainText)
        ShowNote(kMailNotStandardNote);
    const std::string_view text = m_mem->bytes();
    if (IsTooShortToMail(text))
        ShowNote(kMailTooShortNote);
    m_desktop.openUrl(BuildMailtoRequest(text));
}

QString TfC::printName() const
{
    const std::string& path = m_state.FileName;
    const std::size_t slash = path.rfind('/');
    return display_text::FromUtf8(slash == std::string::npos ? path : path.substr(slash + 1));
}

void TfC::Print1Click()
{
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, printName());
    if (!m_desktop.printDialog(printer))
        return;
    PrintText(printer, m_mem->byteText(), m_mem->font(), m_mem->pointSize(), printName(), this);
}

void TfC::PrintPreview1Click()
{
    PrintPreview preview(m_mem->byteText(), m_mem->font(), m_mem->pointSize(), printName(),
                         [this] { RunCommand(m_desktop, [this] { Print1Click(); }); }, this);
    preview.exec();
}

void TfC::LineNumbers1Click()
{
    const bool on = m_menu.LineNumbers1->isChecked();
    m_mem->setLineNumbers(on);
    changeUserOptions([on](TUserOptions& options) { options.lineNumbers = on; });
}
