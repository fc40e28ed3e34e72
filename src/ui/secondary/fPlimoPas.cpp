#include "ui/secondary/fPlimoPas.h"

#include <cstdio>

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/command_error.h"
#include "ui/common/display_text.h"
#include "ui/platform/command_guard.h"

TfPlimo::TfPlimo(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fPlimo"));
    memo = new QPlainTextEdit(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo);
    FormCreate();
}

void TfPlimo::FormCreate()
{
    m_state = TSecondaryState{};
    SetApplicationTitle(m_state.AppTitle);
    setWindowTitle(display_text::FromBytes(m_state.AppTitle));
    // Like the main window's start-up, a settings file that cannot be read or written never
    // keeps the program from starting.
    try {
        LoadSecondarySettings(m_state);
        SaveSecondarySettings(m_state);
    } catch (const CommandError& e) {
        std::fprintf(stderr, "plimo: %s\n", e.what());
    }
}
