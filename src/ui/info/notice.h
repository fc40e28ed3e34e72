#pragma once

#include <string_view>

#include <QDialog>

#include "core/show_note.h"

class Desktop;
class QLabel;
class QPushButton;

// The message window: every ShowNote of the program appears here, modally, one message at a
// time. Creating it installs the ShowNote handler; destroying it puts the previous one back.
class TfNote final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfNote)

public:
    explicit TfNote(Desktop& desktop, QWidget* parent = nullptr);
    ~TfNote() override;

    // Shows one Windows-1252 message and returns when the user has closed the window.
    void ShowMessage(std::string_view text);

    QPushButton* Button1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;

    void Button1Click();
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitMessage();

    Desktop& m_desktop;
    NoteHandler m_previousHandler;
};
