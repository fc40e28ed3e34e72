#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QStringList>

#include "core/app_state.h"
#include "document/document_file.h"
#include "document/user_options.h"
#include "ui/main/tool_panel.h"

class CipherPanel;
class Desktop;
class FindPanel;
class GoToLinePanel;
class LevelAPwdPanel;
class Memo;
class QAction;
class QDialog;
class QLabel;
class QMenu;
class ReplacePanel;
class RecoveryJournal;
struct TOrphanJournal;
struct TRecoveryDocument;
class TypePanel;

// The menu items, by their designed names.
struct TMainMenu {
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
    // Beyond the designed menu: File > Recent Files (its submenu and the submenu's Clear List),
    // File > Print, Print Preview, Edit > Find Next, Find Previous, Go to Line, Settings > Zoom
    // In, Zoom Out, Reset Zoom, Line Numbers.
    QAction* RecentFiles1 = nullptr;
    QAction* ClearRecent1 = nullptr;
    QAction* FindNext1 = nullptr;
    QAction* FindPrevious1 = nullptr;
    QAction* GoToLine1 = nullptr;
    QAction* ZoomIn1 = nullptr;
    QAction* ZoomOut1 = nullptr;
    QAction* ZoomReset1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* PrintPreview1 = nullptr;
    QAction* LineNumbers1 = nullptr;
    // Settings > Keep Recovery Copies (checkable).
    QAction* KeepRecovery1 = nullptr;
};

// The main window: the menu, the editing area, the panel bar with its tool panels (each a class
// of its own: find_panel, replace_panel, cipher_panel, type_panel, level_a_panel, and
// go_to_line_panel beside the six), and the status bar. Its creation runs the start-up sequence.
// The window keeps the menu's commands: the file commands and the recent files in fCFile.cpp,
// the others (showing the panels, the clipboard, links, help, about, e-mail, zoom) in fCMenu.cpp.
class TfC final : public QMainWindow, private PanelHost {
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

    // The window's parts.
    const TMainMenu& menu() const { return m_menu; }
    Memo* mem() const { return m_mem; }
    PanelBar& panelBar() { return m_bar; }
    FindPanel* findPanel() const { return m_find; }
    ReplacePanel* replacePanel() const { return m_replace; }
    CipherPanel* encryptPanel() const { return m_encrypt; }
    CipherPanel* decryptPanel() const { return m_decrypt; }
    TypePanel* typePanel() const { return m_type; }
    LevelAPwdPanel* levelAPanel() const { return m_levelA; }
    GoToLinePanel* goToLinePanel() const { return m_goTo; }
    // The text of a status panel (0: file name, 1: size text, 2: the caret's line and column,
    // 3: the hits of the last search, empty when it shows nothing).
    QString statusText(int panel) const;
    // What the status bar says for a while over panels 0 and 1 (after Open), or empty.
    QString statusNote() const;
    // Panel 2 made anew from the caret.
    void showCaretPlace();
    // At start, once the window shows: offers the unsaved text of each editor that ended
    // without being closed, one after another until one is restored (fCRecovery.cpp).
    void offerRecovery();
    RecoveryJournal& recoveryJournal() { return *m_journal; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void SetDefaults();
    void createControls();
    void createMenu();
    void createStatusBar();
    void connectHandlers();

    // The menu's commands.
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
    void ClearRecent1Click();
    void FindNext1Click();
    void FindPrevious1Click();
    void GoToLine1Click();
    void ZoomIn1Click();
    void ZoomOut1Click();
    void ZoomReset1Click();
    void Print1Click();
    void PrintPreview1Click();
    void LineNumbers1Click();
    void KeepRecovery1Click();

    // The editing area's events.
    void memClick();
    void memChange();

    // What the panels ask of the window.
    void saveSettingsNow() override;
    void showFileNameWithExt() override;

    void setStatusText(int panel, const std::string& text);
    // The file commands' record of whether the text has changes not yet saved. `asRead`: the
    // text is what opening the file gives (for the recovery journal).
    void markClean(bool asRead = false);
    // The recovery journal: made at start, told of each document; its failure shown once.
    void startRecovery();
    TRecoveryDocument recoveryDocument() const;
    void showRecoveryOff(const QString& why);
    // True when the journal's text is now in the editing area.
    bool restoreJournal(TOrphanJournal& journal);
    bool confirmLeave();
    // Empties the editing area and unbinds it from its file (New, Close File).
    void emptyDocument();
    // Where a file dialog starts now.
    std::string dialogFolder() const;
    // Open's work once a file is chosen.
    void openChosenFile(const std::string& path);
    // Open's notes on the file's bytes, over status panels 0 and 1 for a while, one after the
    // other; none clears what is there.
    void showOpenNotes(const std::vector<std::string>& notes);
    void showNextOpenNote();
    // The recent files: a document opened or saved goes first in the list; the submenu is made
    // from the list each time it opens; opening from it is Open once the file is chosen.
    void noteRecentFile(const std::string& path);
    // Reads the options (another running copy may have changed them), changes them and writes
    // them back. An options file that cannot be read or written is left as it is from then on,
    // and the options kept for this run.
    void changeUserOptions(const std::function<void(TUserOptions&)>& change);
    bool readUserOptions();
    void fillRecentMenu();
    void openRecent(const std::string& path);
    void zoomBy(int steps);
    // The document's name for a page's header: the file's name, without its folder.
    QString printName() const;
    // Writes the text to the file and notes the file's stamp.
    void writeDocument(const std::string& path);
    // True when Save may write over FileName: unchanged since it was read or written, or the
    // user says so.
    bool confirmOverwriteChanged();

    Desktop& m_desktop;
    TAppState& m_state;
    TMainMenu m_menu;
    PanelBar m_bar;
    Memo* m_mem = nullptr;
    FindPanel* m_find = nullptr;
    ReplacePanel* m_replace = nullptr;
    CipherPanel* m_encrypt = nullptr;
    CipherPanel* m_decrypt = nullptr;
    TypePanel* m_type = nullptr;
    LevelAPwdPanel* m_levelA = nullptr;
    GoToLinePanel* m_goTo = nullptr;
    QDialog* m_help = nullptr;
    QDialog* m_about = nullptr;
    QLabel* m_status[2] = {nullptr, nullptr};
    QLabel* m_caretPlace = nullptr;
    QLabel* m_hits = nullptr;
    QMenu* m_recentMenu = nullptr;
    QStringList m_openNotes;  // those still to come
    // The per-user options (the recent files, line numbers) as last read or written; kept for
    // the run when the file cannot be.
    TUserOptions m_userOptions;
    bool m_userOptionsKept = true;  // in the options file
    bool m_toldOptionsNotSaved = false;
    // The type size this run started with, for Reset Zoom.
    std::int32_t m_startTypeSize = 0;
    // Ctrl+wheel turns left over from the last step (a touchpad sends small ones).
    int m_wheelRest = 0;
    // The text has changed since it was last opened, saved, or emptied.
    bool m_unsaved = false;
    bool m_toldSettingsNotSaved = false;
    std::string m_startFolder;
    // The folder of the file last chosen or opened.
    std::string m_lastFolder;
    // FileName's file as it was when last opened or saved.
    FileStamp m_fileStamp;
    std::unique_ptr<RecoveryJournal> m_journal;
};
