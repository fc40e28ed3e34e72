#pragma once

#include "ui/main/tool_panel.h"

class Memo;

// The encrypt panel and the decrypt panel: one class, made once for each direction, differing
// only in their words and their action. A level list, the password or code box (off at Level A,
// which takes no typed key), the action button (Enter's) and Close. The action hides the panel
// first, then replaces the whole text by the level's result; the box is emptied either way.
class CipherPanel final : public ToolPanel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CipherPanel)

public:
    enum class Direction { Encrypt, Decrypt };

    CipherPanel(Direction direction, Memo& mem, TAppState& state, PanelBar& bar, PanelHost& host,
                Desktop& desktop, QWidget* parent = nullptr);

    // levelE / levelD, Label2 / Label3, pwdE / pwdD, eButt / dButt, cEnc / cDec by object name.
    QComboBox* levelList = nullptr;
    QLabel* pwdLabel = nullptr;
    QLineEdit* pwdBox = nullptr;
    QPushButton* actionButton = nullptr;
    QPushButton* closeButton = nullptr;

    // eButtClick / dButtClick.
    void actionClick();
    // levelEChange / levelDChange: the user's choice of level switches the box.
    void levelChange();
    void closeClick();
    // The start: Level A chosen (the box is left as it is until the user picks a level).
    void reset();

private:
    Direction m_direction;
    Memo& m_mem;
    TAppState& m_state;
    PanelBar& m_bar;
    PanelHost& m_host;
};
