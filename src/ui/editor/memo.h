#pragma once

#include <string>
#include <string_view>

#include <QPlainTextEdit>

// The editing area. It speaks the editor's 8-bit text: the whole text and selections in
// Windows-1252 bytes and byte positions, a line break counting two (CR LF). Nothing else in the
// program knows about QString.
class Memo final : public QPlainTextEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Memo)

public:
    explicit Memo(QWidget* parent = nullptr);

    // The whole text. The bytes are kept until the next edit, so reading twice costs nothing.
    const std::string& bytes() const;
    void setBytes(std::string_view bytes);
    bool isEmpty() const;
    // Length of the whole text in bytes, without building it.
    qsizetype byteLength() const;

    // Selection in byte positions.
    qsizetype selStart() const;
    qsizetype selLength() const;
    void select(qsizetype start, qsizetype length);
    std::string selectedBytes() const;

    // One font for the whole area. The size is set in pixels from points at the screen's
    // logical resolution and read back the same way, to whole points.
    void setPointSize(int points);
    int pointSize() const;
    void setFamily(const QString& family);
    QString family() const;

signals:
    // A mouse click in the text (pressed and released with the left button).
    void clicked();
    // A file dragged from a file manager was dropped here; its text is not inserted.
    void fileDropped(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    qsizetype toBytePos(int qtPos) const;
    int toQtPos(qsizetype bytePos) const;
    // Applies one change of the document to the kept bytes, so that neither typing nor the next
    // read costs a pass over the whole text.
    void onContentsChange(int position, int charsRemoved, int charsAdded);
    void moveGap(std::size_t bytePos);
    void invalidateBytes();
    qsizetype documentByteLength() const;

    // The kept bytes of the whole text, with a gap [m_gapStart, m_gapStart + m_gapLen) where the
    // last edit happened; bytes() closes it. Valid only while m_bytesValid.
    mutable std::string m_bytes;
    mutable std::size_t m_gapStart = 0;
    mutable std::size_t m_gapLen = 0;
    mutable bool m_bytesValid = false;
    bool m_settingText = false;
    bool m_pressed = false;
};
