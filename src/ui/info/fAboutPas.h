#pragma once

#include <string_view>

#include <QDialog>

class Desktop;
class QLabel;
class QPushButton;

// The about window: the program's title line, the maker, a link to the maker's web site and the
// larger picture. The About command shows it with exec().
class TfAbout final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfAbout)

public:
    // appTitle: AppTitle (Windows-1252) as start-up leaves it; the title line is not refreshed.
    TfAbout(Desktop& desktop, std::string_view appTitle, QWidget* parent = nullptr);

    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* Button1 = nullptr;

    void FormCreate(std::string_view appTitle);
    void Label5Click();
    void Button1Click();

private:
    Desktop& m_desktop;
};
