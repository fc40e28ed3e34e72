#pragma once

#include "ui/main/tool_panel.h"

class Memo;

// The replace panel: every caseless occurrence of the left box's text becomes the right box's,
// in one go. Enter does nothing here: the user presses Replace.
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

    void aboutToShow() override;
    void rButtClick();
    void cRepClick();

private:
    Memo& m_mem;
};
