// The clipboard commands, the maker's links, help, about and quick e-mail.
#include <QComboBox>
#include <QDialog>

#include "core/show_note.h"
#include "document/mailto.h"
#include "ui/editor/memo.h"
#include "ui/info/maker.h"
#include "ui/main/fCPas.h"
#include "ui/platform/desktop.h"

// The clipboard commands act on the editing area wherever the focus is, the find box included.
void TfC::Cut1Click()
{
    mem->cut();
}

void TfC::Copy1Click()
{
    mem->copy();
}

void TfC::Paste1Click()
{
    mem->paste();
}

void TfC::SelectAll1Click()
{
    mem->selectAll();
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
    ft->setMaxVisibleItems(50);
}

void TfC::Email1Click()
{
    // Both warnings only warn: the request is made in every case.
    if (!m_state.PlainText)
        ShowNote(kMailNotStandardNote);
    const std::string& text = mem->bytes();
    if (IsTooShortToMail(text))
        ShowNote(kMailTooShortNote);
    m_desktop.openUrl(BuildMailtoRequest(text));
}
