#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/edit_history.h"
#include "document/document_file.h"
#include "document/file_calls.h"

// The recovery journal: while the editing area holds changes not yet saved, a file of the
// user's own records how to rebuild its text, so that the next start after a crash, a kill or a
// power cut can give it back.
//
// One journal per running editor, in ${XDG_STATE_HOME:-~/.local/state}/plimo/recovery/ (0700,
// refused when not the user's own, as OpenPrivateFolder refuses), named "<pid>-<start time>
// .journal", 0600. Its editor holds an exclusive lock (flock) on it for as long as it runs: a
// journal that can be locked belongs to an editor that is no longer running, and only such a
// journal is offered at start. The lock goes with the process however it ends.
//
// The file: the magic line, then records, each [kind: 1 byte][length: 8 bytes][payload]
// [CRC-32 of all before it in the record: 4 bytes], numbers little-endian:
//   'B' the base is the document file as it was read: its stamp, then its path;
//   'F' the base is the text itself (a document never saved, or after a whole-text change);
//   'E' an edit: position, bytes erased (8 bytes each), then the bytes inserted;
//   'C' a commit: the time of the last change (seconds since 1970), the caret, the text's
//       size (8 bytes each), a flag whether the document has a file, the file's stamp, the
//       document's name and extension.
// A stamp is size, modification time, device, inode, change time (8 bytes each); a name is its
// length (4 bytes) and its bytes.
// A journal starts with one base record. Each write appends the edits since the last one and
// a commit, then syncs; a write that starts from a new base makes a new file and renames it over
// the old one. So a journal cut short by a crash ends in a torn record after its last commit,
// and the text up to that commit is whole.

inline constexpr std::string_view kJournalMagic = "PLIMO RECOVERY 1\n";
inline constexpr std::string_view kJournalSuffix = ".journal";

// ${XDG_STATE_HOME}/plimo/recovery when that is an absolute path, else
// $HOME/.local/state/plimo/recovery; empty when there is neither.
std::string RecoveryFolder();

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

// The document a journal is about.
struct TRecoveryDocument {
    std::string name;  // the path, or the name of a document never saved
    std::string ext;
    bool hasFile = false;
    FileStamp stamp;  // the file as it was read or written, when hasFile
};

// The records, as written.
namespace journal_record {
std::string Base(const TRecoveryDocument& document);
std::string FullText(const TextPieces& text);
std::string Edit(std::size_t pos, std::size_t erased, std::string_view inserted);
std::string Commit(std::int64_t lastChange, std::size_t caret, std::size_t size,
                   const TRecoveryDocument& document);
}  // namespace journal_record

// Keeps the journal of one editing area: told of each change (EditObserver) and of each new,
// opened, saved or emptied document, it writes in a thread of its own, at most `delay` after the
// change that starts a write. Typing never waits for the disk: a change costs appending its
// bytes to a buffer under a lock the writer holds only to take that buffer.
//
// When the folder cannot be used or a write fails (a full disk), it removes its journal, keeps
// no journal for the rest of the run and tells `onOff` once, from the writer's thread, with the
// reason ("Cannot create file <path>: <why>").
class RecoveryJournal final : public EditObserver {
public:
    using TOffReport = std::function<void(const std::string& why)>;
    using Clock = std::chrono::steady_clock;

    RecoveryJournal(std::string folder, TOffReport onOff,
                    Clock::duration delay = std::chrono::seconds(1));
    // Removes the journal: the editor ends as the user chose.
    ~RecoveryJournal() override;
    RecoveryJournal(const RecoveryJournal&) = delete;
    RecoveryJournal& operator=(const RecoveryJournal&) = delete;

    // A document with nothing unsaved: new, opened, saved, closed. Removes the journal.
    // `asRead`: the text is what reading document.name gives (just opened, or saved with every
    // line break CR LF); the journal then starts from the file. Otherwise it starts from a copy
    // of the text at the first change, or from nothing when the text is empty.
    void startClean(const TRecoveryDocument& document, const ByteText& text, bool asRead);
    // A text that is all unsaved (restored from a journal, or the journal turned on over changes):
    // the next write starts from a copy of it.
    void startUnsaved(const TRecoveryDocument& document, const ByteText& text, std::size_t caret);
    // The document's name or extension changed (Save As, a decryption): said in the next commit.
    void renamed(const std::string& name, const std::string& ext);
    // Settings > Keep Recovery Copies turned off: the journal is removed and no more written.
    void turnOff();
    // Turned on again: the text, when it holds unsaved changes, is written whole at once.
    // Nothing after a failure: that keeps it off for the run.
    void turnOn(const TRecoveryDocument& document, const ByteText& text, bool unsaved);
    bool isOn() const;

    void edited(const ByteText& text, std::size_t pos, std::size_t erased,
                std::string_view inserted) noexcept override;
    void replacedWhole(const ByteText& text) noexcept override;

    // Waits until everything told so far is on the disk (or the journal is off); false after
    // `timeout`.
    bool waitWritten(Clock::duration timeout);
    std::string path() const;

private:
    void run();
    // A journal that starts from the whole text; with the document, when it is a new one.
    void startFromWhole(const TRecoveryDocument* document, const ByteText& text,
                        std::size_t caret) noexcept;
    // The writer's steps; false with the reason in `why`.
    bool removeFile(std::string& why);
    bool writeBatch(bool fresh, const std::string& bytes, std::string& why);
    bool openFolder(std::string& why);
    // Turns the journal off for the run; the caller tells m_onOff, outside the lock.
    void failLocked();
    // Under m_mutex.
    void queueFullTextLocked(const ByteText& text);
    void noteChangeLocked(std::size_t caret, std::size_t size);
    void queueRemovalLocked();

    const std::string m_folderPath;
    const std::string m_name;
    const TOffReport m_onOff;
    const Clock::duration m_delay;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    bool m_off = false;
    bool m_failed = false;
    bool m_stop = false;
    bool m_busy = false;
    // What the next write does: remove the file first; start a new file with m_pending.
    bool m_remove = false;
    bool m_fresh = false;
    bool m_commitDue = false;  // a commit to write, after m_pending
    std::string m_pending;
    Clock::time_point m_firstPending;
    // The editing side's state (also under m_mutex).
    TRecoveryDocument m_document;
    bool m_started = false;  // a base is written or queued since the last removal
    // What the text was before the first change since then.
    enum class Base { Empty, File, Unknown } m_base = Base::Empty;
    std::int64_t m_lastChange = 0;
    std::size_t m_caret = 0;
    std::size_t m_size = 0;

    // The writer's own.
    FileDescriptor m_folder;
    FileDescriptor m_file;
    std::thread m_thread;
};
