#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QTimer>

#include "document/find_replace.h"
#include "ui/main/tool_panel.h"

class Memo;
class QCheckBox;

// The two option boxes of the find and replace panels, "Match case" above "Whole words", right
// of the panel's last button; both unticked to begin with.
struct FindOptionBoxes {
    FindOptionBoxes(QWidget* panel, const QWidget* after, const char* caseName,
                    const char* wholeName);
    FindOptionBoxes(QCheckBox* matchCase, QCheckBox* wholeWords)
        : matchCase(matchCase), wholeWords(wholeWords)
    {
    }
    FindOptions options() const;
    // Right of `after`, inside a panel that wide.
    void place(const QWidget* after, int panelWidth) const;

    QCheckBox* matchCase;
    QCheckBox* wholeWords;
};

// The find panel: a text to find and Find, which selects the next hit in the editing area
// (without regard to case unless "Match case" is ticked, within words unless "Whole words" is),
// going on after the last one and starting over at the beginning once none is left. F3 is Find;
// Shift+F3 selects the hit before the selection, round from the end. The box keeps the last ten
// searches: Up and Down go through them. After each hit the status bar counts them ("hit 3 of
// 120"), a piece of the text at a time between other events, so a long text never stops the
// window. While the panel shows, the editing area marks every hit in the rows it shows.
class FindPanel final : public ToolPanel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FindPanel)

public:
    static constexpr std::size_t kHistoryKept = 10;

    FindPanel(Memo& mem, TAppState& state, Desktop& desktop, QWidget* parent = nullptr);

    QLineEdit* editF = nullptr;
    QPushButton* fButt = nullptr;
    QPushButton* cFind = nullptr;
    QCheckBox* fCase = nullptr;
    QCheckBox* fWhole = nullptr;

    void aboutToShow() override;
    void fButtClick();
    void cFindClick();
    // One search from the given number of skipped characters; sets FindNext.
    void FindFrom(std::int32_t start);
    void findPrevious();
    FindOptions options() const;
    // The searches made, newest first.
    const std::vector<QString>& history() const { return m_history; }

signals:
    // What the status bar says of the hits ("hit 3 of 120"); empty when there is nothing to say.
    void hitsChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void remember(const QString& needle);
    void browseHistory(int step);
    void showHit(const FindOutcome& outcome, const std::string& needle);
    void countSome();
    void forgetHits();
    // The editing area's marks follow the box and the options while the panel shows.
    void markHits();

    Memo& m_mem;
    TAppState& m_state;
    std::vector<QString> m_history;
    int m_historyAt = -1;  // the entry the box shows; -1: what the user typed (m_typed)
    QString m_typed;
    std::optional<HitCount> m_count;
    QTimer m_counting;
};
