#pragma once

#include <cstddef>
#include <optional>

#include <QElapsedTimer>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QVariant>

#include "core/caret_motion.h"

class QContextMenuEvent;
class QDragMoveEvent;
class QDropEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMenu;
class QMimeData;
class QMouseEvent;
class TextView;

// What the user's hands do to a TextView: keys, the input method, the mouse (clicks, double and
// triple clicks, drags that select, extend by words or by lines, or move the selection) and
// drops, with a drop caret of its own so that the selection stays while text is dragged over.
// It works through the view's edits and its setSelection(), as a desktop text box does.
class TextInput final {
public:
    explicit TextInput(TextView& view);

    // The event's key belongs to the text (typed, or an editing key) rather than to a shortcut.
    bool takesShortcut(QKeyEvent* event) const;
    void keyPress(QKeyEvent* event);
    void inputMethod(QInputMethodEvent* event);
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const;

    void mousePress(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseRelease(QMouseEvent* event);
    void mouseDoubleClick(QMouseEvent* event);
    void contextMenu(QContextMenuEvent* event);

    bool dragEnter(const QMimeData* data) const;
    void dragMove(QDragMoveEvent* event);
    void dragLeave();
    void drop(QDropEvent* event);

    // What the painter shows besides the selection.
    const QString& preedit() const { return m_preedit; }
    std::size_t dropCaret() const { return m_dropCaret; }

private:
    void startDrag();
    void extendByWords(std::size_t pos, qreal mouseX, unsigned flags);
    void extendByLines(std::size_t pos, unsigned flags);
    void autoScroll();
    void moveCaret(std::size_t pos, bool keepAnchor, unsigned flags = 0);
    void deleteByKey(bool backward, bool word);
    QMenu* makeContextMenu();

    TextView& m_view;
    bool m_pressed = false;  // the left button went down here and selects as it moves
    bool m_mayDrag = false;  // pressed inside the selection: a move drags the text
    bool m_clicking = false;  // a click goes on until the left button is let go
    QPoint m_pressPoint;
    QPoint m_mouse;
    // What a double click selected, and a triple click: moves and Shift+clicks extend by it.
    std::optional<caret::Span> m_word;
    std::optional<caret::Span> m_line;
    QElapsedTimer m_sinceDoubleClick;
    QPoint m_doubleClickPoint;
    std::size_t m_dropCaret;
    QString m_preedit;  // an input method's text being composed, shown at the caret
    QTimer m_autoScroll;
};
