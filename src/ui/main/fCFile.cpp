// The file commands: New, Open, Save, Save As, Close File, and leaving the program.
#include <filesystem>
#include <new>

#include "core/command_error.h"
#include "core/show_note.h"
#include "document/document_file.h"
#include "document/file_messages.h"
#include "ui/editor/memo.h"
#include "ui/main/fCPas.h"
#include "ui/platform/desktop.h"

namespace {

constexpr const char* kQuestionCaption = "Plimo";

std::string CurrentFolder()
{
    std::error_code ec;
    return std::filesystem::current_path(ec).string();
}

}  // namespace

void TfC::emptyDocument()
{
    mem->setBytes({});
    m_state.FileName = std::string(kUntitled);
    m_state.HasFile = false;
    markClean();
}

void TfC::New1Click()
{
    if (!mem->isEmpty() &&
        !m_desktop.askYesNo(kQuestionCaption, std::string(kNewDocumentQuestion)))
        return;
    emptyDocument();
    setStatusText(0, m_state.FileName);
}

void TfC::Open1Click()
{
    FileDialogRequest request;
    request.filter = std::string(kOpenFilter);
    request.filterIndex = FilterIndexFor(m_state.FileExt);
    request.folder = CurrentFolder();
    request.existingOnly = true;
    const std::optional<std::string> path = m_desktop.openFileDialog(request);
    if (!path) {
        ShowNote(kOpenCancelledNote);
        return;
    }
    const std::string text = LoadDocument(*path);
    try {
        mem->setBytes(text);
    } catch (const std::bad_alloc&) {
        // The widget could not take it: leave an empty area rather than a part of the file.
        mem->setBytes({});
        throw CommandError(std::string(kTextExceedsCapacity));
    }
    m_state.FileName = *path;
    setStatusText(0, m_state.FileName);
    setStatusText(1, "size - " + std::to_string(text.size()));
    m_state.HasFile = true;
    markClean();
}

void TfC::Save1Click()
{
    if (m_state.FileName.empty() || mem->isEmpty()) {
        ShowNote(kSaveEmptyNote);
        return;
    }
    if (!m_state.HasFile) {
        SaveAs1Click();
        return;
    }
    SaveDocument(m_state.FileName, mem->bytes());
    setStatusText(0, m_state.FileName);
    markClean();
}

void TfC::SaveAs1Click()
{
    FileDialogRequest request;
    request.title = std::string(kSaveTitle);
    request.filter = std::string(kSaveFilter);
    request.filterIndex = FilterIndexFor(m_state.FileExt);
    request.defaultExtension = std::string(kSaveDefaultExt);
    request.folder = CurrentFolder();
    const std::optional<std::string> path = m_desktop.saveFileDialog(request);
    if (!path) {
        ShowNote(kSaveStoppedNote);
        return;
    }
    m_state.FileName = *path;
    SaveDocument(*path, mem->bytes());
    setStatusText(0, m_state.FileName);
    m_state.HasFile = true;
    markClean();
}

void TfC::Close1Click()
{
    if (!mem->isEmpty() && !m_desktop.askYesNo(kQuestionCaption, std::string(kCloseFileQuestion)))
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
    if (!m_unsaved || mem->isEmpty())
        return true;
    return m_desktop.askYesNo(kQuestionCaption, std::string(kExitUnsavedQuestion));
}
