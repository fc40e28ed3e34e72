#pragma once

#include "ui/main/tool_panel.h"

class Memo;

// The type panel: the type size (kept in the settings file) and the typeface (for this run) of
// the editing area. The "Font" button has no action.
class TypePanel final : public ToolPanel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TypePanel)

public:
    TypePanel(Memo& mem, TAppState& state, PanelBar& bar, PanelHost& host, Desktop& desktop,
              QWidget* parent = nullptr);

    QComboBox* ComboBox1 = nullptr;
    QPushButton* cType = nullptr;
    QComboBox* ft = nullptr;
    QPushButton* Button1 = nullptr;

    // Both Ctrl+T items, and the start: the area gets the stored size, then the toggle step.
    void command();
    // The lists filled afresh: the screen's typefaces, the stored size.
    void aboutToShow() override;
    void typeChange();
    void ftChange();
    void cTypeClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Memo& m_mem;
    TAppState& m_state;
    PanelBar& m_bar;
    PanelHost& m_host;
};
