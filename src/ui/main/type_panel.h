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
    // Zoom: `steps` sizes of the list up (down when negative) from TypeSize, no further than its
    // ends; a TypeSize between two sizes steps to the next one that way.
    void zoom(int steps);
    // Sets the size, the size list following, and keeps it in the settings file as a choice in
    // the list does. Nothing happens when it is the size already.
    void setTypeSize(int points);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Memo& m_mem;
    TAppState& m_state;
    PanelBar& m_bar;
    PanelHost& m_host;
};
