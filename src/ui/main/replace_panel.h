#pragma once

#include "ui/main/tool_panel.h"

class Memo;
class QCheckBox;

// The replace panel: every occurrence of the left box's text becomes the right box's, in one go;
// without regard to case unless "Match case" is ticked, within words too unless "Whole words"
// is. Enter does nothing here: the user presses Replace.
class ReplacePanel final : public ToolPanel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReplacePanel)

public:
    ReplacePanel(Memo& mem, Desktop& desktop, QWidget* parent = nullptr);

    QLineEdit* rFrom = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* rTo = nullptr;
    QPushButton* rButt = nullptr;
    QPushButton* cRep = nullptr;
    QCheckBox* rCase = nullptr;
    QCheckBox* rWhole = nullptr;

    void aboutToShow() override;
    void rButtClick();
    void cRepClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Memo& m_mem;
};
