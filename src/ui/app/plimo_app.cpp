#include "ui/app/plimo_app.h"

#include "core/app_state.h"
#include "ui/main/fCPas.h"

PlimoWindows::PlimoWindows(Desktop& desktop)
    : m_main(std::make_unique<TfC>(desktop, AppState))
{
}

PlimoWindows::~PlimoWindows() = default;
