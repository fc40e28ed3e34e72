// The clipboard commands, the maker's links, help, about and quick e-mail.
#include "ui/main/fCPas.h"

void TfC::Cut1Click() {}
void TfC::Copy1Click() {}
void TfC::Paste1Click() {}
void TfC::SelectAll1Click() {}
void TfC::WebSite1Click() {}
void TfC::SupportEmail1Click() {}
void TfC::SalesEmail1Click() {}
void TfC::Help2Click() {}
void TfC::About1Click() {}
void TfC::Email1Click() {}
