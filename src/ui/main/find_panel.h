#pragma once

#include <cstdint>

#include "ui/main/tool_panel.h"

class Memo;

// The find panel: a text to find and Find, which selects the next caseless hit in the editing
// area, going on after the last one and starting over at the beginning once none is left.
class FindPanel final : public ToolPanel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FindPanel)

public:
    FindPanel(Memo& mem, TAppState& state, Desktop& desktop, QWidget* parent = nullptr);

    QLineEdit* editF = nullptr;
    QPushButton* fButt = nullptr;
    QPushButton* cFind = nullptr;

    void aboutToShow() override;
    void fButtClick();
    void cFindClick();
    // One search from the given number of skipped characters; sets FindNext.
    void FindFrom(std::int32_t start);

private:
    Memo& m_mem;
    TAppState& m_state;
};
