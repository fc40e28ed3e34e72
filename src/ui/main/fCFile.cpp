// The file commands: New, Open, Save, Save As, Close File, the recent files, and leaving the
// program.
#include <cstdio>
#include <filesystem>
#include <new>
#include <utility>

#include <QAction>
#include <QMenu>
#include <QStatusBar>

#include "cipher/openpgp_level.h"
#include "core/command_error.h"
#include "core/show_note.h"
#include "document/document_file.h"
#include "document/file_messages.h"
#include "document/open_notes.h"
#include "document/user_options.h"
#include "ui/common/display_text.h"
#include "ui/editor/memo.h"
#include "ui/main/cipher_panel.h"
#include "ui/main/fCPas.h"
#include "ui/main/file_dialog_texts.h"
#include "ui/platform/busy_cursor.h"
#include "ui/platform/command_guard.h"
#include "ui/platform/desktop.h"

namespace {

constexpr const char* kQuestionCaption = "Plimo";
// How long Open's note on the file's bytes stays over the status bar's first two panels.
constexpr int kOpenNoteMs = 15000;

std::string CurrentFolder()
{
    std::error_code ec;
    return std::filesystem::current_path(ec).string();
}

std::string FolderOf(const std::string& path)
{
    return std::filesystem::path(path).parent_path().string();
}

}  // namespace

void TfC::emptyDocument()
{
    showOpenNotes({});  // the notes were on the file that was there
    m_mem->setBytes({});
    m_state.FileName = std::string(kUntitled);
    m_state.HasFile = false;
    markClean();
}

void TfC::New1Click()
{
    if (!m_mem->isEmpty() && !m_desktop.askYesNo(kQuestionCaption, Tr(kNewDocumentQuestion)))
        return;
    emptyDocument();
    setStatusText(0, m_state.FileName);
}

void TfC::setDialogStartFolder(std::string folder)
{
    m_startFolder = std::move(folder);
}

std::string TfC::dialogFolder() const
{
    // Where the user's files are: beside the document, else where the last dialog went, else
    // where the program was started from (the launcher names the user's documents folder).
    if (m_state.HasFile)
        return FolderOf(m_state.FileName);
    if (!m_lastFolder.empty())
        return m_lastFolder;
    if (!m_startFolder.empty())
        return m_startFolder;
    return CurrentFolder();
}

void TfC::Open1Click()
{
    FileDialogRequest request;
    request.filter = Tr(kOpenFilter);
    request.filterIndex = FilterIndexFor(m_state.FileExt);
    request.folder = dialogFolder();
    request.existingOnly = true;
    const std::optional<std::string> path = m_desktop.openFileDialog(request);
    if (!path) {
        ShowNote(kOpenCancelledNote);
        return;
    }
    openChosenFile(*path);
}

void TfC::OpenFile(const std::string& path)
{
    RunCommand(m_desktop, [this, &path] { openChosenFile(path); });
}

void TfC::openChosenFile(const std::string& path)
{
    m_lastFolder = FolderOf(path);
    BusyCursor busy;
    // Taken before the read: a change while reading counts as a change.
    const FileStamp stamp = StampOf(path);
    // A binary OpenPGP message keeps every byte; an armoured one is text like any other.
    TLoneBreaks lone;
    std::string text = LoadDocument(path, kMemoCapacity, &lone, IsBinaryOpenPgpMessage);
    const bool binaryMessage = IsBinaryOpenPgpMessage(text);
    const bool message = binaryMessage || StartsWithOpenPgpArmour(text);
    const std::size_t size = text.size();
    // The area takes the bytes over without a copy. When it cannot (no memory left for its line
    // index), it keeps the document it had, whole.
    bool taken = false;
    try {
        taken = m_mem->setBytes(std::move(text));
    } catch (const std::bad_alloc&) {
    }
    if (!taken)
        throw CommandError(Tr(kTextExceedsCapacity));
    m_state.FileName = path;
    setStatusText(0, m_state.FileName);
    setStatusText(1, display_text::ToBytes(tr("size - ")) + std::to_string(size));
    m_state.HasFile = true;
    m_fileStamp = stamp;
    markClean(true);
    if (message)
        m_decrypt->chooseOpenPgp();
    // A word on bytes that are not what the editor assumes; they stay as they are. A binary
    // OpenPGP message is bytes by design.
    showOpenNotes(binaryMessage ? std::vector<std::string>() : OpenNotes(m_mem->bytes(), lone));
    noteRecentFile(path);
}

void TfC::showOpenNotes(const std::vector<std::string>& notes)
{
    m_openNotes.clear();
    for (const std::string& note : notes)
        m_openNotes << QString::fromStdString(note);
    if (m_openNotes.isEmpty())
        statusBar()->clearMessage();
    else
        showNextOpenNote();
}

void TfC::showNextOpenNote()
{
    statusBar()->showMessage(m_openNotes.takeFirst(), kOpenNoteMs);
}

void TfC::Save1Click()
{
    if (m_state.FileName.empty() || m_mem->isEmpty()) {
        ShowNote(kSaveEmptyNote);
        return;
    }
    if (!m_state.HasFile) {
        SaveAs1Click();
        return;
    }
    if (!confirmOverwriteChanged())
        return;
    writeDocument(m_state.FileName);
    setStatusText(0, m_state.FileName);
    markClean(AllBreaksCrLf(m_mem->bytes()));
    noteRecentFile(m_state.FileName);
}

bool TfC::confirmOverwriteChanged()
{
    // Another program's change would be lost without a word. A file that is gone, or is now a
    // folder, holds nothing to lose: the save recreates it or reports its error.
    const FileStamp now = StampOf(m_state.FileName);
    if (!now.regularFile || now == m_fileStamp)
        return true;
    return m_desktop.askYesNo(
        kQuestionCaption, Tr(kChangedOnDiskBefore) + m_state.FileName + Tr(kChangedOnDiskAfter));
}

void TfC::writeDocument(const std::string& path)
{
    BusyCursor busy;
    SaveDocument(path, m_mem->bytes());
    m_fileStamp = StampOf(path);
}

void TfC::SaveAs1Click()
{
    FileDialogRequest request;
    request.title = Tr(kSaveTitle);
    request.filter = Tr(kSaveFilter);
    request.filterIndex = FilterIndexFor(m_state.FileExt);
    request.defaultExtension = std::string(kSaveDefaultExt);
    request.folder = dialogFolder();
    const std::optional<std::string> path = m_desktop.saveFileDialog(request);
    if (!path) {
        ShowNote(kSaveStoppedNote);
        return;
    }
    m_state.FileName = *path;
    m_lastFolder = FolderOf(*path);
    // The user chose this file to be replaced: should the write fail, the next Save finds the
    // file as it was chosen and asks nothing.
    m_fileStamp = StampOf(*path);
    writeDocument(*path);
    setStatusText(0, m_state.FileName);
    m_state.HasFile = true;
    markClean(AllBreaksCrLf(m_mem->bytes()));
    noteRecentFile(*path);
}

void TfC::Close1Click()
{
    if (!m_mem->isEmpty() && !m_desktop.askYesNo(kQuestionCaption, Tr(kCloseFileQuestion)))
        return;
    emptyDocument();
    setStatusText(0, m_state.FileName);
    setStatusText(1, "-");
}

bool TfC::confirmLeave()
{
    // Leaving would lose a changed text without a word; ask first.
    if (!m_unsaved || m_mem->isEmpty())
        return true;
    return m_desktop.askYesNo(kQuestionCaption, Tr(kExitUnsavedQuestion));
}

bool TfC::readUserOptions()
{
    // Once the file could not be written, this run's list is the one to show and change.
    if (!m_userOptionsKept)
        return false;
    try {
        m_userOptions = LoadUserOptions();
        return true;
    } catch (const CommandError& e) {
        std::fprintf(stderr, "plimo: %s\n", e.what());
        m_userOptionsKept = false;  // what the file holds is not to be written over
        return false;
    }
}

void TfC::changeUserOptions(const std::function<void(TUserOptions&)>& change)
{
    const bool read = readUserOptions();
    change(m_userOptions);
    if (!read)
        return;
    try {
        SaveUserOptions(m_userOptions);
    } catch (const CommandError& e) {
        m_userOptionsKept = false;
        // The file was opened or saved all the same; the list lives on for this run. Said once,
        // where a note on the file does not stand already.
        std::fprintf(stderr, "plimo: %s\n", e.what());
        if (!std::exchange(m_toldOptionsNotSaved, true) && statusBar()->currentMessage().isEmpty())
            statusBar()->showMessage(
                tr("Recent files are not kept: ") + display_text::FromUtf8(e.what()), kOpenNoteMs);
    }
}

void TfC::noteRecentFile(const std::string& path)
{
    // A file named on the command line may be named from the current folder.
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    const std::string entry = ec ? path : full.lexically_normal().string();
    changeUserOptions([&entry](TUserOptions& options) { AddRecentFile(options, entry); });
}

void TfC::ClearRecent1Click()
{
    changeUserOptions([](TUserOptions& options) { options.recentFiles.clear(); });
}

void TfC::fillRecentMenu()
{
    readUserOptions();
    for (QAction* old : m_recentMenu->actions())
        if (old != m_menu.ClearRecent1) {
            m_recentMenu->removeAction(old);
            old->deleteLater();
        }
    int number = 0;
    for (const std::string& path : m_userOptions.recentFiles) {
        ++number;
        // "&1" to "&9", then "1&0": the digits pick an entry from the keyboard.
        QString caption = QString::number(number);
        caption.insert(caption.size() - 1, u'&');
        QString name = display_text::FromUtf8(std::filesystem::path(path).filename().string());
        caption += u' ' + name.replace(u'&', QStringLiteral("&&"));
        auto* entry = new QAction(caption, m_recentMenu);
        entry->setToolTip(display_text::FromUtf8(path));
        std::error_code ec;
        entry->setEnabled(std::filesystem::is_regular_file(path, ec));  // gone: shown, not offered
        connect(entry, &QAction::triggered, this,
                [this, path] { RunCommand(m_desktop, [this, &path] { openRecent(path); }); });
        m_recentMenu->insertAction(m_menu.ClearRecent1, entry);
    }
    if (number > 0)
        m_recentMenu->insertSeparator(m_menu.ClearRecent1);
    m_menu.ClearRecent1->setEnabled(number > 0);
}

void TfC::openRecent(const std::string& path)
{
    // Open, once the file is chosen; a click in a list must not lose a changed text unasked.
    if (m_unsaved && !m_mem->isEmpty() &&
        !m_desktop.askYesNo(kQuestionCaption,
                            Tr(kOpenRecentUnsavedBefore) + path + Tr(kOpenRecentUnsavedAfter))) {
        ShowNote(kOpenCancelledNote);
        return;
    }
    openChosenFile(path);
}
