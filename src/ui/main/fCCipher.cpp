// The encrypt, decrypt and Level A password panels.
#include "ui/main/fCPas.h"

void TfC::eButtClick() {}
void TfC::dButtClick() {}
void TfC::levelEChange() {}
void TfC::levelDChange() {}
void TfC::laButtClick() {}
