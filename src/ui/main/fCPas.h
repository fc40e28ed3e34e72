#pragma once

#include <map>
#include <string>

#include <QMainWindow>

#include "core/app_state.h"
#include "document/document_file.h"

class Desktop;
class Memo;
class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;

// The main window: the editing area, the status bar, the menu and the six tool panels, of which
// at most one is shown. Its creation runs the start-up sequence. Controls and handlers keep the
// names the rest of the program and its tests know them by. Handlers are grouped by concern:
// panels and start-up here, the file commands in fCFile.cpp, the cipher panels in fCCipher.cpp,
// find and replace in fCFind.cpp, clipboard, links, help, about and e-mail in fCMenu.cpp.
class TfC final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfC)

public:
    TfC(Desktop& desktop, TAppState& state, QWidget* parent = nullptr);
    ~TfC() override;

    // The help and about windows are made after this one; the menu shows them.
    void setInfoWindows(QDialog* help, QDialog* about);
    // Where the file dialogs start while there is neither a document nor a folder used before;
    // empty: the current folder.
    void setDialogStartFolder(std::string folder);
    // Opens the file as Open does once its dialog has answered: the file named on the command
    // line and a file dropped on the editing area.
    void OpenFile(const std::string& path);

    // Controls.
    QWidget* back = nullptr;
    QWidget* pMemo = nullptr;
    Memo* mem = nullptr;
    QStatusBar* StatusBar5 = nullptr;

    QWidget* pFind = nullptr;
    QLineEdit* editF = nullptr;
    QPushButton* fButt = nullptr;
    QPushButton* cFind = nullptr;

    QWidget* pRep = nullptr;
    QLineEdit* rFrom = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* rTo = nullptr;
    QPushButton* rButt = nullptr;
    QPushButton* cRep = nullptr;

    QWidget* pEnc = nullptr;
    QComboBox* levelE = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* pwdE = nullptr;
    QPushButton* eButt = nullptr;
    QPushButton* cEnc = nullptr;

    QWidget* pDec = nullptr;
    QComboBox* levelD = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* pwdD = nullptr;
    QPushButton* dButt = nullptr;
    QPushButton* cDec = nullptr;

    QWidget* pType = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* cType = nullptr;
    QComboBox* ft = nullptr;
    QPushButton* Button1 = nullptr;

    QWidget* pLA = nullptr;
    QLineEdit* editLA = nullptr;
    QPushButton* laButt = nullptr;
    QPushButton* cLA = nullptr;
    QLabel* Label4 = nullptr;

    // Menu items.
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* Close1 = nullptr;
    QAction* Email1 = nullptr;
    QAction* eMen = nullptr;
    QAction* dMen = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QAction* SelectAll1 = nullptr;
    QAction* fMen = nullptr;
    QAction* rMen = nullptr;
    QAction* SelectFont1 = nullptr;
    QAction* tMen = nullptr;
    QAction* levelAPwd = nullptr;
    QAction* Help2 = nullptr;
    QAction* WebSite1 = nullptr;
    QAction* SupportEmail1 = nullptr;
    QAction* SalesEmail1 = nullptr;
    QAction* About1 = nullptr;

    // The text of a status panel (0: file name, 1: size text).
    QString statusText(int panel) const;

    // Panels.
    void HideAllPanels();
    // Shows the panel when its toggle is true, else hides all; flips the toggle. True when shown.
    bool TogglePanel(QWidget* panel, bool& toggle);

    // Menu handlers.
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Close1Click();
    void Email1Click();
    void eMenClick();
    void dMenClick();
    void Exit1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void SelectAll1Click();
    void fMenClick();
    void rMenClick();
    void tMenClick();
    void SelectFont1Click();
    void levelAPwdClick();
    void Help2Click();
    void WebSite1Click();
    void SupportEmail1Click();
    void SalesEmail1Click();
    void About1Click();

    // Panel handlers.
    void fButtClick();
    void cFindClick();
    void rButtClick();
    void cRepClick();
    void eButtClick();
    void cEncClick();
    void dButtClick();
    void cDecClick();
    void levelEChange();
    void levelDChange();
    void typeChange();
    void ftChange();
    void cTypeClick();
    void laButtClick();
    void cLAClick();

    // Editing area.
    void memClick();
    void memChange();

    // One search from the given number of skipped characters; sets FindNext.
    void FindFrom(std::int32_t start);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormResize();
    void SetDefaults();
    void createControls();
    void createPanels();
    void createMenu();
    void createStatusBar();
    void connectHandlers();
    // Runs a handler through the guard that shows a CommandError in the error box.
    void run(void (TfC::*handler)());
    void connectAction(QAction* action, void (TfC::*handler)());
    void connectButton(QPushButton* button, void (TfC::*handler)());
    void setStatusText(int panel, const std::string& text);
    void showFileNameWithExt();
    void saveSettingsNow();
    // The type panel's command (both Ctrl+T items and start-up).
    void typePanelCommand();
    void setEditLABackground(const QColor& colour);
    // The file commands' record of whether the text has changes not yet saved.
    void markClean();
    bool confirmLeave();
    // Empties the editing area and unbinds it from its file (New, Close File).
    void emptyDocument();
    std::string dialogFolder() const;
    void openChosenFile(const std::string& path);
    // Writes the text to the file and notes the file's stamp.
    void writeDocument(const std::string& path);
    // True when Save may write over FileName: unchanged since it was read or written, or the
    // user says so.
    bool confirmOverwriteChanged();

    Desktop& m_desktop;
    TAppState& m_state;
    QDialog* m_help = nullptr;
    QDialog* m_about = nullptr;
    QLabel* m_status[2] = {nullptr, nullptr};
    // The controls of the panels that have a default button, and that button.
    std::map<QObject*, QPushButton*> m_defaultButtons;
    bool m_starting = true;
    // The text has changed since it was last opened, saved, or emptied.
    bool m_unsaved = false;
    bool m_toldSettingsNotSaved = false;
    std::string m_startFolder;
    // The folder of the file last chosen or opened.
    std::string m_lastFolder;
    // FileName's file as it was when last opened or saved.
    FileStamp m_fileStamp;
};
