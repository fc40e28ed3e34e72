#include "ui/app/plimo_app.h"

#include <QApplication>
#include <QIcon>

#include "core/app_state.h"
#include "ui/info/fAboutPas.h"
#include "ui/info/fHelp.h"
#include "ui/info/notice.h"
#include "ui/main/fCPas.h"
#include "ui/secondary/fPlimoPas.h"

PlimoWindows::PlimoWindows(Desktop& desktop)
    : m_main(std::make_unique<TfC>(desktop, AppState)),
      m_secondary(std::make_unique<TfPlimo>()),
      m_about(std::make_unique<TfAbout>(desktop, AppState.AppTitle, m_main.get())),
      m_help(std::make_unique<TfHelpPas>(desktop, m_main.get())),
      m_note(std::make_unique<TfNote>(desktop, m_main.get()))
{
    m_main->setInfoWindows(m_help.get(), m_about.get());
    QApplication::setWindowIcon(ProgramIcon());
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/plimo.png").arg(size), QSize(size, size));
    return icon;
}

// The message window goes first, so that it uninstalls its handler before anything else.
PlimoWindows::~PlimoWindows()
{
    m_note.reset();
    m_help.reset();
    m_about.reset();
    m_secondary.reset();
    m_main.reset();
}
