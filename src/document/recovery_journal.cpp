#include "document/recovery_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include <zlib.h>

#include "core/command_error.h"
#include "document/atomic_file.h"
#include "document/file_messages.h"
#include "document/private_folder.h"

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

void PutNumber(std::string& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutText(std::string& out, std::string_view text)
{
    PutNumber(out, text.size(), 4);
    out.append(text);
}

// One record appended to `out`: kind, length, payload, CRC; the payload may come in three
// pieces.
void AppendRecord(std::string& out, char kind, std::string_view a, std::string_view b = {},
                  std::string_view c = {})
{
    const std::size_t start = out.size();
    out += kind;
    PutNumber(out, a.size() + b.size() + c.size(), 8);
    out.append(a).append(b).append(c);
    PutNumber(out, Crc32(std::string_view(out).substr(start)), 4);
}

std::string Record(char kind, std::string_view payload, std::string_view more = {})
{
    std::string out;
    out.reserve(1 + 8 + payload.size() + more.size() + 4);
    AppendRecord(out, kind, payload, more);
    return out;
}

std::string StampBytes(const FileStamp& stamp)
{
    std::string out;
    PutNumber(out, stamp.size, 8);
    PutNumber(out, static_cast<std::uint64_t>(stamp.modifiedNs), 8);
    PutNumber(out, stamp.device, 8);
    PutNumber(out, stamp.inode, 8);
    PutNumber(out, static_cast<std::uint64_t>(stamp.changedNs), 8);
    return out;
}

std::string Cannot(const std::string& path, const std::string& why)
{
    return Tr(kCannotCreateFile) + path + ": " + why;
}

}  // namespace

std::string RecoveryFolder()
{
    // A relative XDG folder is ignored, as the desktop's folder rules say.
    const std::string state = Environment("XDG_STATE_HOME");
    if (!state.empty() && state.front() == '/')
        return state + "/plimo/recovery";
    const std::string home = Environment("HOME");
    return home.empty() ? std::string() : home + "/.local/state/plimo/recovery";
}

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc)
{
    return static_cast<std::uint32_t>(
        ::crc32_z(crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

namespace journal_record {

std::string Base(const TRecoveryDocument& document)
{
    std::string payload = StampBytes(document.stamp);
    PutText(payload, document.name);
    return Record('B', payload);
}

std::string FullText(const TextPieces& text)
{
    return Record('F', text.first, text.second);
}

std::string Edit(std::size_t pos, std::size_t erased, std::string_view inserted)
{
    std::string head;
    PutNumber(head, pos, 8);
    PutNumber(head, erased, 8);
    return Record('E', head, inserted);
}

std::string Commit(std::int64_t lastChange, std::size_t caret, std::size_t size,
                   const TRecoveryDocument& document)
{
    std::string payload;
    PutNumber(payload, static_cast<std::uint64_t>(lastChange), 8);
    PutNumber(payload, caret, 8);
    PutNumber(payload, size, 8);
    payload += document.hasFile ? '\1' : '\0';
    payload += StampBytes(document.stamp);
    PutText(payload, document.name);
    PutText(payload, document.ext);
    return Record('C', payload);
}

}  // namespace journal_record

RecoveryJournal::RecoveryJournal(std::string folder, TOffReport onOff, Clock::duration delay)
    : m_folderPath(std::move(folder)),
      m_name(std::to_string(::getpid()) + "-" +
             std::to_string(std::chrono::system_clock::now().time_since_epoch().count()) +
             std::string(kJournalSuffix)),
      m_onOff(std::move(onOff)),
      m_delay(delay)
{
    m_thread = std::thread([this] { run(); });
}

RecoveryJournal::~RecoveryJournal()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    std::string why;
    removeFile(why);
}

std::string RecoveryJournal::path() const
{
    return m_folderPath + "/" + m_name;
}

bool RecoveryJournal::isOn() const
{
    const std::lock_guard lock(m_mutex);
    return !m_off;
}

void RecoveryJournal::queueRemovalLocked()
{
    m_pending.clear();
    m_fresh = false;
    m_commitDue = false;
    m_started = false;
    m_remove = true;
    m_wake.notify_one();
}

void RecoveryJournal::noteChangeLocked(std::size_t caret, std::size_t size)
{
    m_lastChange = static_cast<std::int64_t>(std::time(nullptr));
    m_caret = caret;
    m_size = size;
    if (!m_commitDue) {
        m_commitDue = true;
        m_firstPending = Clock::now();
        m_wake.notify_one();
    }
}

void RecoveryJournal::queueFullTextLocked(const ByteText& text)
{
    // Made in place, with room for its commit: a copy of the text is made once, never twice.
    m_pending.clear();  // the new start makes what was queued useless
    m_pending.shrink_to_fit();
    m_pending.reserve(kJournalMagic.size() + text.size() + 4096 + 2 * m_document.name.size());
    m_pending.append(kJournalMagic);
    const TextPieces pieces = text.pieces();
    AppendRecord(m_pending, 'F', pieces.first, pieces.second);
    m_fresh = true;
    m_started = true;
}

void RecoveryJournal::failLocked()
{
    m_off = true;
    m_failed = true;
    m_pending.clear();
    m_pending.shrink_to_fit();
    m_commitDue = false;
    m_fresh = false;
    m_remove = true;  // a journal left behind would offer an old text at the next start
    m_started = false;
    m_wake.notify_one();
    m_idle.notify_all();
}

void RecoveryJournal::edited(const ByteText& text, std::size_t pos, std::size_t erased,
                             std::string_view inserted) noexcept
{
    bool failed = false;
    {
        const std::lock_guard lock(m_mutex);
        if (m_off)
            return;
        try {
            if (text.empty()) {
                queueRemovalLocked();
                m_base = Base::Empty;
                return;
            }
            if (!m_started && m_base == Base::Unknown) {
                queueFullTextLocked(text);
            } else {
                if (!m_started) {
                    m_pending.assign(kJournalMagic);
                    m_pending += m_base == Base::File ? journal_record::Base(m_document)
                                                      : journal_record::FullText({});
                    m_fresh = true;
                    m_started = true;
                }
                m_pending += journal_record::Edit(pos, erased, inserted);
            }
            noteChangeLocked(pos + inserted.size(), text.size());
        } catch (const std::bad_alloc&) {
            failLocked();
            failed = true;
        }
    }
    if (failed && m_onOff)
        m_onOff(Tr(kOutOfMemory));
}

void RecoveryJournal::replacedWhole(const ByteText& text) noexcept
{
    startFromWhole(nullptr, text, 0);
}

void RecoveryJournal::startFromWhole(const TRecoveryDocument* document, const ByteText& text,
                                     std::size_t caret) noexcept
{
    bool failed = false;
    {
        const std::lock_guard lock(m_mutex);
        try {
            if (document) {
                m_document = *document;
                m_base = Base::Unknown;
            }
            if (m_off)
                return;
            if (text.empty()) {
                queueRemovalLocked();
                m_base = Base::Empty;
                return;
            }
            queueFullTextLocked(text);
            noteChangeLocked(caret, text.size());
        } catch (const std::bad_alloc&) {
            failLocked();
            failed = true;
        }
    }
    if (failed && m_onOff)
        m_onOff(Tr(kOutOfMemory));
}

void RecoveryJournal::startClean(const TRecoveryDocument& document, const ByteText& text,
                                 bool asRead)
{
    const std::lock_guard lock(m_mutex);
    m_document = document;
    m_base = asRead ? Base::File : text.empty() ? Base::Empty : Base::Unknown;
    if (!m_off)
        queueRemovalLocked();
}

void RecoveryJournal::startUnsaved(const TRecoveryDocument& document, const ByteText& text,
                                   std::size_t caret)
{
    startFromWhole(&document, text, caret);
}

void RecoveryJournal::renamed(const std::string& name, const std::string& ext)
{
    const std::lock_guard lock(m_mutex);
    if (m_document.name == name && m_document.ext == ext)
        return;
    m_document.name = name;
    m_document.ext = ext;
    if (!m_off && m_started && !m_commitDue) {
        m_commitDue = true;
        m_firstPending = Clock::now();
        m_wake.notify_one();
    }
}

void RecoveryJournal::turnOff()
{
    const std::lock_guard lock(m_mutex);
    if (m_off)
        return;
    queueRemovalLocked();
    m_off = true;
    m_base = Base::Unknown;
}

void RecoveryJournal::turnOn(const TRecoveryDocument& document, const ByteText& text,
                             bool unsaved)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_failed || !m_off)
            return;
        m_off = false;
    }
    if (unsaved)
        startUnsaved(document, text, 0);
    else
        startClean(document, text, false);
}

bool RecoveryJournal::waitWritten(Clock::duration timeout)
{
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] {
        return m_failed || (!m_busy && !m_remove && !m_commitDue && m_pending.empty());
    });
}

void RecoveryJournal::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_remove || m_commitDue; });
        if (m_stop)
            return;
        // Changes that come meanwhile go into the same write.
        if (m_commitDue && !m_remove &&
            m_wake.wait_until(lock, m_firstPending + m_delay, [this] { return m_stop; }))
            return;
        const bool remove = std::exchange(m_remove, false);
        const bool fresh = std::exchange(m_fresh, false);
        if (std::exchange(m_commitDue, false))
            m_pending += journal_record::Commit(m_lastChange, m_caret, m_size, m_document);
        std::string bytes = std::move(m_pending);
        m_pending.clear();
        m_busy = true;
        lock.unlock();
        std::string why;
        bool ok = !remove || removeFile(why);
        if (ok && !bytes.empty())
            ok = writeBatch(fresh, bytes, why);
        bytes.clear();
        bytes.shrink_to_fit();
        if (!ok) {
            std::string ignored;
            removeFile(ignored);  // what was half written goes too
            if (m_onOff)
                m_onOff(why);
        }
        lock.lock();
        m_busy = false;
        if (!ok)
            failLocked();
        m_idle.notify_all();
    }
}

bool RecoveryJournal::openFolder(std::string& why)
{
    if (m_folder.valid())
        return true;
    try {
        m_folder = OpenPrivateFolder(m_folderPath, true);
    } catch (const CommandError& e) {
        why = Cannot(path(), e.what());
        return false;
    }
    if (!m_folder.valid()) {
        why = Cannot(path(), Tr(QT_TRANSLATE_NOOP("Plimo", "the folder is missing")));
        return false;
    }
    return true;
}

bool RecoveryJournal::removeFile(std::string& why)
{
    if (!m_file.valid())
        return true;
    // Removed while still locked, so that no other editor takes it for one whose editor ended.
    if (!RemoveFile(m_folder.get(), m_name) && errno != ENOENT) {
        why = Cannot(path(), std::strerror(errno));
        return false;
    }
    m_file.close();
    return true;
}

bool RecoveryJournal::writeBatch(bool fresh, const std::string& bytes, std::string& why)
{
    if (!openFolder(why))
        return false;
    if (!fresh) {
        if (WriteAll(m_file.get(), bytes) && SyncFile(m_file.get()))
            return true;
        why = Cannot(path(), std::strerror(errno));
        return false;
    }
    // A new start: a file of its own, locked before it has its name, then renamed over the old.
    const std::string temporary = "." + m_name + ".new";
    ::unlinkat(m_folder.get(), temporary.c_str(), 0);
    FileDescriptor file(::openat(m_folder.get(), temporary.c_str(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                                 kPrivateFileMode));
    if (!file.valid() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        why = Cannot(path(), std::strerror(errno));
        return false;
    }
    if (!WriteAll(file.get(), bytes) || !SyncFile(file.get()) ||
        ::renameat(m_folder.get(), temporary.c_str(), m_folder.get(), m_name.c_str()) != 0) {
        why = Cannot(path(), std::strerror(errno));
        ::unlinkat(m_folder.get(), temporary.c_str(), 0);
        return false;
    }
    SyncFolder(m_folder.get());
    m_file = std::move(file);
    return true;
}
