// The file commands: New, Open, Save, Save As, Close File, and leaving the program.
#include <filesystem>
#include <new>
#include <utility>

#include "cipher/openpgp_level.h"
#include "core/command_error.h"
#include "core/show_note.h"
#include "document/document_file.h"
#include "document/file_messages.h"
#include "ui/editor/memo.h"
#include "ui/main/cipher_panel.h"
#include "ui/main/fCPas.h"
#include "ui/main/file_dialog_texts.h"
#include "ui/platform/busy_cursor.h"
#include "ui/platform/command_guard.h"
#include "ui/platform/desktop.h"

namespace {

constexpr const char* kQuestionCaption = "Plimo";

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
    m_mem->setBytes({});
    m_state.FileName = std::string(kUntitled);
    m_state.HasFile = false;
    markClean();
}

void TfC::New1Click()
{
    if (!m_mem->isEmpty() &&
        !m_desktop.askYesNo(kQuestionCaption, std::string(kNewDocumentQuestion)))
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
    request.filter = std::string(kOpenFilter);
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
    std::string text = LoadDocument(path, kMemoCapacity, IsBinaryOpenPgpMessage);
    const bool message = StartsWithOpenPgpArmour(text) || IsBinaryOpenPgpMessage(text);
    const std::size_t size = text.size();
    // The area takes the bytes over without a copy. When it cannot (no memory left for its line
    // index), it keeps the document it had, whole.
    bool taken = false;
    try {
        taken = m_mem->setBytes(std::move(text));
    } catch (const std::bad_alloc&) {
    }
    if (!taken)
        throw CommandError(std::string(kTextExceedsCapacity));
    m_state.FileName = path;
    setStatusText(0, m_state.FileName);
    setStatusText(1, "size - " + std::to_string(size));
    m_state.HasFile = true;
    m_fileStamp = stamp;
    markClean();
    if (message)
        m_decrypt->chooseOpenPgp();
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
    markClean();
}

bool TfC::confirmOverwriteChanged()
{
    // Another program's change would be lost without a word. A file that is gone, or is now a
    // folder, holds nothing to lose: the save recreates it or reports its error.
    const FileStamp now = StampOf(m_state.FileName);
    if (!now.regularFile || now == m_fileStamp)
        return true;
    return m_desktop.askYesNo(
        kQuestionCaption,
        std::string(kChangedOnDiskBefore) + m_state.FileName + std::string(kChangedOnDiskAfter));
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
    request.title = std::string(kSaveTitle);
    request.filter = std::string(kSaveFilter);
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
    markClean();
}

void TfC::Close1Click()
{
    if (!m_mem->isEmpty() && !m_desktop.askYesNo(kQuestionCaption, std::string(kCloseFileQuestion)))
        return;
    emptyDocument();
    setStatusText(0, m_state.FileName);
    setStatusText(1, "-");
}

void TfC::markClean()
{
    m_unsaved = false;
}

bool TfC::confirmLeave()
{
    // Leaving would lose a changed text without a word; ask first.
    if (!m_unsaved || m_mem->isEmpty())
        return true;
    return m_desktop.askYesNo(kQuestionCaption, std::string(kExitUnsavedQuestion));
}
