#include "ui/platform/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

BusyCursor::BusyCursor()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

ModalCursor::ModalCursor() : m_pushed(QGuiApplication::overrideCursor() != nullptr)
{
    if (m_pushed)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
}

ModalCursor::~ModalCursor()
{
    if (m_pushed)
        QGuiApplication::restoreOverrideCursor();
}
