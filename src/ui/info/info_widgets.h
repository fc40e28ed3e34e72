#pragma once

#include <string_view>

#include <QLabel>

class QFont;
class QString;

// The designed typeface, "MS Sans Serif", at a height in pixels; the system's font matching
// picks a stand-in where it is not installed.
QFont DesignFont(int pixelSize, bool underline = false);

// Windows-1252 bytes as display text: CR LF, a lone CR and a lone LF each end a line.
QString TextFromBytes(std::string_view bytes);

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
