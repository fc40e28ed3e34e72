#include "ui/info/info_widgets.h"

#include <cstdint>

#include <QFont>
#include <QMouseEvent>
#include <QString>

#include "ui/common/look.h"

LinkLabel::LinkLabel(const QString& text, int pixelSize, QWidget* parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setFont(DesignFont(pixelSize, true));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    adjustSize();
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

// A click is a press and a release of the left button on the label, as with a button.
void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}
