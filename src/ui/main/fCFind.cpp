// The find and replace panels.
#include "ui/main/fCPas.h"

void TfC::fButtClick() {}
void TfC::rButtClick() {}
void TfC::FindFrom(std::int32_t) {}
