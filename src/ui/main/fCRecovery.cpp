// The recovery journal's side of the main window: the journal made at start, the question about
// the text an editor left unsaved when it ended without being closed, Settings > Keep Recovery
// Copies, and the note when the journal stops for the run.
#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>

#include <QMetaObject>
#include <QPointer>
#include <QStatusBar>

#include "cipher/openpgp_level.h"
#include "core/command_error.h"
#include "document/document_file.h"
#include "document/file_messages.h"
#include "document/file_read.h"
#include "document/recovery_restore.h"
#include "ui/common/display_text.h"
#include "ui/editor/memo.h"
#include "ui/main/fCPas.h"
#include "ui/platform/busy_cursor.h"
#include "ui/platform/command_guard.h"
#include "ui/platform/desktop.h"

namespace {

constexpr int kRecoveryNoteMs = 30000;
// How long the start waits for a restored text to be in a journal of its own before the old
// journal goes.
constexpr auto kRestoredWriteWait = std::chrono::seconds(60);

// "10:42" today, else "2026-12-08 10:42", in local time.
std::string ChangeTime(std::int64_t seconds)
{
    const std::time_t when = static_cast<std::time_t>(seconds);
    const std::time_t now = std::time(nullptr);
    std::tm at{}, today{};
    localtime_r(&when, &at);
    localtime_r(&now, &today);
    char out[32];
    const bool sameDay = at.tm_year == today.tm_year && at.tm_yday == today.tm_yday;
    std::strftime(out, sizeof out, sameDay ? "%H:%M" : "%Y-%m-%d %H:%M", &at);
    return out;
}

std::string ShownName(const TRecoveryDocument& document)
{
    const std::string name = NameOf(document.name);
    return document.hasFile ? name : name + "." + document.ext;
}

}  // namespace

void TfC::startRecovery()
{
    const QPointer<TfC> window(this);
    m_journal = std::make_unique<RecoveryJournal>(RecoveryFolder(), [window](const std::string& why) {
        // From the journal's own thread: the window hears of it in its own.
        QMetaObject::invokeMethod(
            window.data(), [window, text = display_text::FromUtf8(why)] {
                if (window)
                    window->showRecoveryOff(text);
            },
            Qt::QueuedConnection);
    });
    m_mem->setEditObserver(m_journal.get());
    readUserOptions();
    m_menu.KeepRecovery1->setChecked(m_userOptions.keepRecoveryCopies);
    if (!m_userOptions.keepRecoveryCopies)
        m_journal->turnOff();
}

void TfC::markClean(bool asRead)
{
    m_unsaved = false;
    m_journal->startClean(recoveryDocument(), m_mem->byteText(), asRead);
}

TRecoveryDocument TfC::recoveryDocument() const
{
    return {m_state.FileName, m_state.FileExt, m_state.HasFile, m_fileStamp};
}

void TfC::showRecoveryOff(const QString& why)
{
    std::fprintf(stderr, "plimo: %s\n", why.toLocal8Bit().constData());
    statusBar()->showMessage(tr("Recovery copies are off for this run: ") + why, kRecoveryNoteMs);
}

void TfC::KeepRecovery1Click()
{
    const bool keep = m_menu.KeepRecovery1->isChecked();
    if (keep)
        m_journal->turnOn(recoveryDocument(), m_mem->byteText(), m_unsaved && !m_mem->isEmpty());
    else
        m_journal->turnOff();
    changeUserOptions([keep](TUserOptions& options) { options.keepRecoveryCopies = keep; });
}

void TfC::offerRecovery()
{
    for (TOrphanJournal& journal : FindOrphanJournals(RecoveryFolder())) {
        const std::string kept =
            tr("The unsaved text could not be restored, and is kept in %1: ")
                .arg(QString::fromStdString(journal.path))
                .toStdString();
        std::string bytes;
        int error = 0;
        if (ReadWholeFile(journal.path, 2 * kMemoCapacity + (1u << 20), bytes, &error) !=
            TReadResult::Ok) {
            m_desktop.showError(ApplicationTitle(),
                                kept + (error ? std::string(std::strerror(error))
                                              : tr("it cannot be read").toStdString()));
            continue;
        }
        TJournalSummary summary;
        try {
            summary = ReadJournal(bytes);
        } catch (const CommandError& e) {
            m_desktop.showError(ApplicationTitle(), kept + e.what());
            continue;
        }
        const std::string question =
            tr("Plimo was not closed properly. Restore the unsaved text of %1 (last change %2)?")
                .arg(QString::fromStdString(ShownName(summary.document)),
                     QString::fromStdString(ChangeTime(summary.lastChange)))
                .toStdString();
        const Desktop::RestoreAnswer answer = m_desktop.askRestore("Plimo", question);
        if (answer == Desktop::RestoreAnswer::Discard)
            RemoveJournal(journal);
        if (answer != Desktop::RestoreAnswer::Restore)
            continue;
        std::string text;
        try {
            BusyCursor busy;
            text = RebuildText(
                summary,
                [](const std::string& path) {
                    return LoadDocument(path, kMemoCapacity, nullptr, IsBinaryOpenPgpMessage);
                },
                kMemoCapacity);
        } catch (const CommandError& e) {
            m_desktop.showError(ApplicationTitle(), kept + e.what());
            continue;
        }
        bytes.clear();
        bytes.shrink_to_fit();
        bool taken = false;
        try {
            taken = m_mem->setBytes(std::move(text));
        } catch (const std::bad_alloc&) {
        }
        if (!taken) {
            m_desktop.showError(ApplicationTitle(), kept + Tr(kTextExceedsCapacity));
            continue;
        }
        showOpenNotes({});
        m_state.FileName = summary.document.name;
        m_state.FileExt = summary.document.ext;
        m_state.HasFile = summary.document.hasFile;
        m_fileStamp = summary.document.hasFile ? summary.document.stamp : FileStamp{};
        m_mem->select(static_cast<qsizetype>(summary.caret), 0);
        m_unsaved = true;
        setStatusText(0, m_state.FileName);
        setStatusText(1,
                      display_text::ToBytes(tr("size - ")) + std::to_string(m_mem->byteLength()));
        showCaretPlace();
        m_journal->startUnsaved(recoveryDocument(), m_mem->byteText(), m_mem->caret());
        // The old journal goes once the text is safe in this editor's own; if that cannot be,
        // it stays for the next start.
        if (m_journal->waitWritten(kRestoredWriteWait) && m_journal->isOn())
            RemoveJournal(journal);
        return;  // one text at a time: the others are offered at the next start
    }
}
