#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QAbstractScrollArea>
#include <QFont>
#include <QPoint>
#include <QTimer>

#include "core/byte_text.h"
#include "core/edit_history.h"
#include "core/wrap_layout.h"

class QMenu;
class QMimeData;

// The editing area's own view over one byte buffer: the bytes are the text, and only the rows
// on screen are laid out. Positions are byte positions (CR LF counts two and the caret never
// stands between its CR and LF). Characters are Windows-1252; lone CR, lone LF and NUL are drawn
// as visible symbols. Words wrap at the viewport's width; the view scrolls by row.
class TextView : public QAbstractScrollArea {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextView)

public:
    // `capacity`: the longest text it takes, in bytes.
    explicit TextView(QWidget* parent = nullptr,
                      std::size_t capacity = ByteText::kDefaultCapacity);
    ~TextView() override;

    // The whole text, without a copy; valid until the next edit. Reading it closes the gap of
    // the buffer, which changes nothing that can be seen.
    std::string_view bytes() const;
    // A fresh document: the bytes are taken over (pass an rvalue to spare the copy) and the undo
    // history starts anew. False (and nothing changed) when the text would pass the capacity.
    bool setBytes(std::string bytes);
    // The whole text replaced as one step that Ctrl+Z takes back (encryption, replace-all); the
    // replaced text is kept by moving it, not copied. `alsoMoved` runs after that step is undone
    // (true) or redone (false), for what else the command changed. False, and nothing changed,
    // over the capacity.
    bool replaceAllBytes(std::string bytes, std::function<void(bool undone)> alsoMoved = {});
    // Types `text` in place of the selection, as a paste does: characters without a
    // Windows-1252 byte become '?'.
    void insertPlainText(const QString& text);
    bool isEmpty() const { return m_text.empty(); }
    std::size_t byteLength() const { return m_text.size(); }

    std::size_t selStart() const;
    std::size_t selLength() const;
    // Clamped to the text; a position inside a CR LF moves to the end of its line.
    void select(std::size_t start, std::size_t length);
    std::string selectedBytes() const;
    std::size_t caret() const { return m_caret; }
    // The bytes and their line index, to read (the caret's line and column, a line's start).
    const ByteText& byteText() const { return m_text; }

    // One font for the whole area, its size set in pixels from points at the screen's logical
    // resolution and read back the same way.
    void setPointSize(int points);
    int pointSize() const;
    void setFamily(const QString& family);
    QString family() const;

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    // Told of every change of the text from here on, but not of setBytes(): whoever sets a
    // fresh document knows it. nullptr: none.
    void setEditObserver(EditObserver* observer) { m_history.setObserver(observer); }
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }

    // The line's rows are all laid out (for checking that a long line is laid out only as far
    // as it is shown).
    bool lineLaidOut(std::size_t line) const;
    // Rows of a line at the current width; lays the whole line out.
    std::size_t rowCount(std::size_t line);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();
    void deleteSelection();
    void selectAll();

signals:
    // A mouse click in the text (pressed and released with the left button).
    void clicked();
    void textChanged();
    void selectionChanged();
    // A file dragged from a file manager was dropped here; its text is not inserted.
    void fileDropped(const QString& path);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class TextViewAccessible;

    // A visual row: row `row` of line `line`.
    struct RowPos {
        std::size_t line = 0;
        std::size_t row = 0;
    };

    wrap::LineWrap& wrapOf(std::size_t line);
    TextPieces lineBytes(std::size_t line) const;
    wrap::Row rowAt(RowPos at);
    // The line fits on one row (lays out its first row only).
    bool isOneRow(std::size_t line);
    bool isLastRow(RowPos at, const wrap::Row& row) const;
    bool nextRow(RowPos& at);
    bool previousRow(RowPos& at);
    RowPos rowOfPos(std::size_t pos);
    // Rows a line counts for the scroll bar: known, or estimated from its length.
    std::size_t scrollRows(std::size_t line);

    void updateMetrics();
    // Rows from the top row to `at`, or -1 when `at` is above it or more than `limit` below.
    long rowsFromTop(RowPos at, long limit);
    RowPos rowFromValue(int value);
    wrap::Fixed wrapWidth() const;
    void relayout();
    void dropWrapsAfterEdit(std::size_t firstLine, std::size_t lastLineBefore,
                            std::size_t lineCountBefore);
    void trimWraps();
    void updateScrollBar();
    int visibleRows() const;
    void ensureCaretVisible();

    std::size_t positionAt(QPoint viewportPoint);
    // Where the caret stands at `pos`, in the viewport (the top row when it is not shown).
    QPointF pointOf(std::size_t pos);
    std::size_t normalized(std::size_t pos) const;
    std::size_t nextChar(std::size_t pos) const;
    std::size_t previousChar(std::size_t pos) const;
    std::size_t nextWord(std::size_t pos) const;
    std::size_t previousWord(std::size_t pos) const;
    void moveCaret(std::size_t pos, bool keepAnchor);
    void moveVertically(long rows, bool keepAnchor);

    // Puts `with` in place of [pos, pos + len); typing gathers into one undo step.
    bool edit(std::size_t pos, std::size_t len, std::string_view with, bool typing);
    void insertText(const QString& text, bool typing);
    void afterHistoryMove(std::optional<TextSelection> selection);
    void afterWholeChange();
    QMimeData* selectionMimeData() const;
    void insertFromMimeData(const QMimeData* source);
    void publishSelection() const;
    void restartBlink();
    void autoScroll();
    QMenu* makeContextMenu();

    ByteText m_text;
    EditHistory m_history;
    wrap::Metrics m_metrics;
    qreal m_lineHeight = 1;
    qreal m_ascent = 0;
    QFont m_drawFont;  // the widget's font as drawn: no kerning, no ligatures, so advances add up
    // Wraps of the lines laid out lately, by line number; the rest are laid out when shown.
    std::map<std::size_t, std::unique_ptr<wrap::LineWrap>> m_wraps;
    RowPos m_top;
    std::size_t m_caret = 0;
    std::size_t m_anchor = 0;
    wrap::Fixed m_goalX = -1;  // the column Up and Down keep, or -1
    bool m_readOnly = false;
    bool m_caretShown = true;
    bool m_pressed = false;
    bool m_mayDrag = false;  // pressed inside the selection: a move drags the text
    bool m_settingScrollBar = false;
    QPoint m_mouse;
    QString m_preedit;  // an input method's text being composed, shown at the caret
    QTimer m_blink;
    QTimer m_autoScroll;
};
