#pragma once

#include <string_view>

#include <QLabel>

class QFont;
class QString;

// An underlined label with a hand pointer that reports a click: the web links of the help and
// about windows. It never takes the focus, so the window's Close button keeps Enter and Space.
class LinkLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkLabel)

public:
    LinkLabel(const QString& text, int pixelSize, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
