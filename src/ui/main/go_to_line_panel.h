#pragma once

#include "ui/main/tool_panel.h"

class Memo;

// The go-to-line panel: a line number and Go (or Enter), which puts the caret at the start of
// that line, counted in CR LF lines from 1, not in rows of the word wrap; a number past the end
// goes to the last line. The caret's line shows in the middle of the area when it was out of
// view.
class GoToLinePanel final : public ToolPanel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GoToLinePanel)

public:
    GoToLinePanel(Memo& mem, Desktop& desktop, QWidget* parent = nullptr);

    QLabel* LabelGo = nullptr;
    QLineEdit* editGo = nullptr;
    QPushButton* gButt = nullptr;
    QPushButton* cGo = nullptr;
    QLabel* LabelLines = nullptr;  // how many lines the text has

    // The caret's line in the box, ready to be typed over, each time the bar shows the panel.
    void aboutToShow() override;
    void gButtClick();
    void cGoClick();

private:
    void showLineCount();

    Memo& m_mem;
};
