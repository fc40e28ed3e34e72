#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QAbstractScrollArea>
#include <QTimer>

#include "core/byte_text.h"
#include "core/edit_history.h"
#include "core/row_layout.h"
#include "core/text_snapshot.h"
#include "document/find_replace.h"
#include "ui/editor/text_painter.h"

class QMimeData;
class TextInput;

// The editing area's own view over one byte buffer: the bytes are the text, and only the rows
// on screen are laid out. Positions are byte positions (CR LF counts two and the caret never
// stands between its CR and LF). Characters are Windows-1252; lone CR, lone LF and NUL are drawn
// as visible symbols, the other control bytes as boxes. Words wrap at the viewport's width; the
// view scrolls by row.
//
// Its rooms: the rows (core/row_layout), the caret's moves (core/caret_motion), the drawing
// (TextPainter), the keys, mouse and drops (TextInput), the screen reader's view
// (text_accessible). Every move of the caret or the anchor goes through setSelection().
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
    bool lineLaidOut(std::size_t line) const { return m_rows.lineLaidOut(line); }
    // Rows of a line at the current width; lays the whole line out.
    std::size_t rowCount(std::size_t line);

    // A margin left of the text with the number of each line (CR LF lines) on its first row;
    // off at first, and nothing is measured or drawn for it while off.
    void setLineNumbers(bool on);
    bool lineNumbers() const { return m_lineNumbers; }

    // Marks every hit of `finder` in the rows shown (the find panel's, while it is open);
    // nothing: no marks.
    void markHits(std::optional<TextFinder> finder);
    // The hits marked in the rows shown now, as [start, end) byte ranges.
    std::vector<std::pair<std::size_t, std::size_t>> shownHits();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void selectAll();

signals:
    // A mouse click in the text (pressed and released with the left button).
    void clicked();
    void textChanged();
    // The caret moved or the selection changed (the status bar's line and column follow it).
    void selectionChanged();
    // A file dragged from a file manager was dropped here; its text is not inserted.
    void fileDropped(const QString& path);
    // Memory ran out for an edit made with the keys, the mouse or a drop: the text is as it was.
    void memoryRanOut();
    // An edit was refused because the text would grow past the capacity (with a beep).
    void capacityReached();

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
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
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class TextInput;
    friend class TextViewAccessible;

    // How an edit joins the undo history.
    enum class EditKind { Typing, Deleting, Other };
    enum SelectionFlag : unsigned {
        kKeepGoalX = 1,   // Up and Down keep their column
        kNoScroll = 2,    // the view stays where it is (a drag scrolls by itself)
        kFromEdit = 4,    // an edit placed the caret: the typing step stays open
    };

    // The one place the caret and the anchor change: clamps them, scrolls the caret into view,
    // repaints, and tells the screen reader, the primary selection and selectionChanged().
    void setSelection(std::size_t anchor, std::size_t caret, unsigned flags = 0);
    // Puts `with` in place of [pos, pos + len) as one step of the history, the caret after it.
    bool edit(std::size_t pos, std::size_t len, std::string_view with, EditKind kind);
    void insertText(const QString& text, EditKind kind);
    void insertFromMimeData(const QMimeData* source);
    QMimeData* selectionMimeData();
    void publishSelection();
    void moveHistory(bool undo);
    void afterWholeChange();

    std::size_t positionAt(QPoint viewportPoint);
    // Where the caret stands at `pos`, in the viewport (the top row when it is not shown).
    QPointF pointOf(std::size_t pos);
    QPointF textOrigin() const;
    int visibleRows() const;
    void updateMetrics();
    void updateScrollBar();
    void ensureCaretVisible();
    void repaintRows(std::size_t fromLine, bool alone);
    void restartBlink();
    // The line numbers' margin grows a digit as the line count does.
    void lineCountMayHaveChanged();
    // The bytes of the rows shown: the top row's start to the end of the last row shown.
    std::pair<std::size_t, std::size_t> shownBytes();

    ByteText m_text;
    EditHistory m_history;
    RowLayout m_rows;
    TextPainter m_painter;
    SnapshotKeeper m_snapshots;
    std::unique_ptr<TextInput> m_input;
    // The selection is [min, max) of the two; both are normalized positions of the text.
    std::size_t m_caret = 0;
    std::size_t m_anchor = 0;
    wrap::Fixed m_goalX = -1;  // the column Up and Down keep, or -1
    bool m_readOnly = false;
    bool m_caretShown = true;
    bool m_settingScrollBar = false;
    bool m_lineNumbers = false;
    qreal m_numbersWidth = 0;  // the line numbers' margin, 0 while they are off
    std::optional<TextFinder> m_marked;
    QTimer m_blink;
};
