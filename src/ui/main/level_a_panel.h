#pragma once

#include "ui/main/tool_panel.h"

// The Level A password panel: shows the password in use; Update stores a new one in the
// settings file (the box turns lime while the confirmation shows) and Enter does the same. A
// notice beside it warns that texts encrypted under the old password will not decrypt.
class LevelAPwdPanel final : public ToolPanel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LevelAPwdPanel)

public:
    LevelAPwdPanel(TAppState& state, Desktop& desktop, QWidget* parent = nullptr);

    QLineEdit* editLA = nullptr;
    QPushButton* laButt = nullptr;
    QPushButton* cLA = nullptr;
    QLabel* Label4 = nullptr;

    // The menu command shows the panel: the box shows the password in use.
    void aboutToShow() override;
    void laButtClick();
    void cLAClick();
    // The box in the window's own colour, as at the start.
    void restoreBoxColour();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitNotice();

    TAppState& m_state;
};
