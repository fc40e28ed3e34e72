// The file commands: New, Open, Save, Save As, Close File, and leaving the program.
#include "ui/main/fCPas.h"

#include "ui/editor/memo.h"

void TfC::New1Click() {}
void TfC::Open1Click() {}
void TfC::Save1Click() {}
void TfC::SaveAs1Click() {}
void TfC::Close1Click() {}

void TfC::markClean()
{
    mem->document()->setModified(false);
}

bool TfC::confirmLeave()
{
    return true;
}
