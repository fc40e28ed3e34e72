#pragma once

#include <QRect>

#include "cipher/openpgp.h"
#include "ui/main/tool_panel.h"

class Memo;

// The encrypt panel and the decrypt panel: one class, made once for each direction, differing
// only in their words and their action. A level list, the password or code box (off at Level A,
// which takes no typed key), the action button (Enter's) and Close. The action hides the panel
// first, then replaces the whole text by the level's result; the box is emptied either way.
//
// The list's fourth entry, after Levels A to C, is the OpenPGP level: while it is chosen the box
// hides what is typed, and the encrypt panel shows a second box for the passphrase again, the
// buttons moved along to make room; choosing another level puts the row back as designed, its
// boxes emptied, so that nothing typed hidden is ever shown.
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
    // The encrypt panel's second passphrase box and its label (pwdE2, LabelE2), shown at the
    // OpenPGP level only; none in the decrypt panel.
    QLabel* againLabel = nullptr;
    QLineEdit* againBox = nullptr;

    static constexpr int kOpenPgpIndex = 3;
    // The messages' form and S2K count; the count tuned to this machine unless set (tests set a
    // small one).
    TOpenPgpOptions openPgpOptions;

    // eButtClick / dButtClick.
    void actionClick();
    // levelEChange / levelDChange: the user's choice of level switches the box.
    void levelChange();
    void closeClick();
    // The start: Level A chosen (the box is left as it is until the user picks a level).
    void reset();
    // The program chooses the OpenPGP level (a message was opened): the boxes as the user's choice
    // sets them, so that a passphrase is never typed in clear.
    void chooseOpenPgp();

private:
    // The OpenPGP level's command, after the panel step.
    void openPgpAction();
    // Puts a command's result in place of the text, as one step that Ctrl+Z takes back with the
    // state the text had (`before`).
    void putResult(std::string&& text, const std::string& beforeExt, bool beforePlain);
    void showOpenPgpBoxes(bool openPgp);

    Direction m_direction;
    Memo& m_mem;
    TAppState& m_state;
    PanelBar& m_bar;
    PanelHost& m_host;
    // The row as designed, put back when the OpenPGP level is left.
    QRect m_boxPlace;
    QPoint m_actionPlace;
    QPoint m_closePlace;
};
