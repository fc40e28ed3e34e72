#include "ui/main/tool_panel.h"

#include <algorithm>

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/common/look.h"
#include "ui/platform/command_guard.h"

namespace {

// The least room kept between neighbouring controls.
constexpr int kControlGap = 4;
constexpr int kControlPixels = 16;
constexpr int kListHeight = 26;

}  // namespace

ToolPanel::ToolPanel(const char* objectName, Desktop& desktop, QWidget* parent)
    : QWidget(parent), m_desktop(desktop)
{
    setObjectName(QString::fromLatin1(objectName));
    setFixedHeight(kHeight);
    PaintPanel(this);
    setEnabled(false);
    hide();
}

void ToolPanel::run(const std::function<void()>& handler)
{
    RunCommand(m_desktop, handler);
}

void ToolPanel::connectClick(QPushButton* button, std::function<void()> handler)
{
    connect(button, &QPushButton::clicked, this,
            [this, handler = std::move(handler)] { run(handler); });
}

void ToolPanel::keyPressEvent(QKeyEvent* event)
{
    // Boxes and closed lists pass Enter on to their panel.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || !m_defaultButton) {
        QWidget::keyPressEvent(event);
        return;
    }
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    (focused && focused->parentWidget() == this ? focused : m_defaultButton)->click();
    event->accept();
}

QLineEdit* ToolPanel::addEdit(const char* name, int x, int y, int w, int h)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(x, y, w, h);
    e->setFont(DesignFont(kControlPixels));
    return e;
}

QPushButton* ToolPanel::addButton(const char* name, const char* caption, int x, int y, int w, int h)
{
    auto* b =
        new QPushButton(QCoreApplication::translate(metaObject()->className(), caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, w, h);
    b->setAutoDefault(false);
    return b;
}

QComboBox* ToolPanel::addList(const char* name, int x, int y, int w)
{
    auto* c = new QComboBox(this);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(x, y, w, kListHeight);
    c->setFont(DesignFont(kControlPixels));
    c->setEditable(false);
    return c;
}

QLabel* ToolPanel::addLabel(const char* name, const char* caption, int x, int y)
{
    auto* l = new QLabel(QCoreApplication::translate(metaObject()->className(), caption), this);
    l->setObjectName(QString::fromLatin1(name));
    l->move(x, y);
    l->adjustSize();
    return l;
}

void ToolPanel::fitRow(std::initializer_list<QWidget*> row)
{
    int shift = 0;
    int previousRight = 0;
    for (QWidget* control : row) {
        QRect g = control->geometry().translated(shift, 0);
        if (previousRight > 0 && g.left() < previousRight + kControlGap) {
            shift += previousRight + kControlGap - g.left();
            g.moveLeft(previousRight + kControlGap);
        }
        if (!qobject_cast<QLineEdit*>(control))
            g.setWidth(std::max(g.width(), control->sizeHint().width()));
        control->setGeometry(g);
        previousRight = g.right() + 1;
    }
}

void ToolPanel::closePanel()
{
    if (m_bar)
        m_bar->close(this);
    else
        hide();
}

void PanelBar::add(ToolPanel* panel, bool TAppState::*toggle)
{
    panel->m_bar = this;
    m_panels.push_back({panel, toggle});
}

void PanelBar::HideAllPanels()
{
    for (const Entry& e : m_panels) {
        e.panel->setEnabled(false);
        e.panel->hide();
    }
}

bool PanelBar::TogglePanel(ToolPanel* panel)
{
    HideAllPanels();
    const auto entry = std::find_if(m_panels.begin(), m_panels.end(),
                                    [panel](const Entry& e) { return e.panel == panel; });
    if (entry == m_panels.end())
        return false;
    bool& toggle = m_state.*(entry->toggle);
    if (toggle) {
        panel->setEnabled(true);
        panel->aboutToShow();
        panel->show();
        toggle = false;
        return true;
    }
    toggle = true;
    return false;
}

void PanelBar::close(ToolPanel* panel)
{
    panel->hide();
}

void PanelBar::reset()
{
    for (const Entry& e : m_panels)
        m_state.*(e.toggle) = true;
    HideAllPanels();
}
