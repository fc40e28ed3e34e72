#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include <QDialog>
#include <QTimer>

class ByteText;
class QLabel;
class QPrinter;
class QPushButton;
class TextPages;

// Print Preview: the pages as Print would print them on the default paper, one at a time,
// scaled to the window. The first page shows at once; the pages are counted a piece at a time
// while the window answers, and a page is laid out only when it is shown. Page Up and Page
// Down (and the two buttons) go through them, Home and End to the first and last; Print... runs
// the print command. The text must stay the same while it is open (the window is modal).
class PrintPreview final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PrintPreview)

public:
    PrintPreview(const ByteText& text, const QFont& typeface, int points, const QString& name,
                 std::function<void()> print, QWidget* parent = nullptr);
    ~PrintPreview() override;

    std::size_t page() const { return m_page; }
    // Goes to a page as far as counted.
    void showPage(std::size_t page);
    TextPages& pages() { return *m_pages; }
    // "Page 3 of 12" (of "..." while counting).
    QString pageText() const;

    QPushButton* previousButton = nullptr;
    QPushButton* nextButton = nullptr;
    QPushButton* printButton = nullptr;
    QPushButton* closeButton = nullptr;
    QLabel* pageLabel = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    class PageView;
    void countSome();
    void updateControls();

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<TextPages> m_pages;
    PageView* m_view = nullptr;
    std::size_t m_page = 0;
    bool m_wantLast = false;  // End pressed while counting
    QTimer m_counting;
};
