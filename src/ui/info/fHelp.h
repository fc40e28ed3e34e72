#pragma once

#include <string>
#include <string_view>

#include <QDialog>

class Desktop;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;
class TextView;

// The help file, looked for in the current folder when the window is created.
inline constexpr std::string_view kHelpFileName = "plimo-help.txt";

// The help window: the help text read once at start-up, a link to the maker's help pages and a
// Close button. The Help command shows it with exec().
class TfHelpPas final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfHelpPas)

public:
    explicit TfHelpPas(Desktop& desktop, QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QWidget* pHelp = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cH = nullptr;
    TextView* memoH = nullptr;

    void FormCreate();
    void Label1Click();
    void cHClick();
    void FormResize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Desktop& m_desktop;
    bool m_shownOnce = false;
};

// The help file's Windows-1252 bytes as the text area holds them: one line per line of the file,
// whether it ends in CR LF, CR or LF, joined by CR LF; a line end at the very end adds no empty
// line.
std::string HelpTextFromBytes(std::string_view bytes);
