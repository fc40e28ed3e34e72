#include "document/recovery_restore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "core/byte_text.h"
#include "core/command_error.h"
#include "core/translate.h"
#include "document/private_folder.h"

namespace {

constexpr std::size_t kRecordHead = 1 + 8;
constexpr std::size_t kRecordTail = 4;

constexpr const char* kWouldExceed =
    QT_TRANSLATE_NOOP("Plimo", "the text would exceed memo capacity");
constexpr const char* kChangedSince =
    QT_TRANSLATE_NOOP("Plimo", " was changed after the unsaved text was recorded");

[[noreturn]] void Damaged(const std::string& what)
{
    throw CommandError(Tr(QT_TRANSLATE_NOOP("Plimo", "the recovery file is damaged (")) + what +
                       ")");
}

// Reads the numbers and names of one record's payload, refusing to read past it.
class Fields final {
public:
    explicit Fields(std::string_view payload) : m_rest(payload) {}

    std::uint64_t number(std::size_t bytes = 8)
    {
        if (m_rest.size() < bytes)
            Damaged(Tr(QT_TRANSLATE_NOOP("Plimo", "a record is too short")));
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            value |= std::uint64_t{static_cast<unsigned char>(m_rest[i])} << (8 * i);
        m_rest.remove_prefix(bytes);
        return value;
    }
    std::string text()
    {
        const std::uint64_t size = number(4);
        if (m_rest.size() < size)
            Damaged(Tr(QT_TRANSLATE_NOOP("Plimo", "a name runs past its record")));
        std::string out(m_rest.substr(0, size));
        m_rest.remove_prefix(size);
        return out;
    }
    FileStamp stamp()
    {
        FileStamp stamp;
        stamp.regularFile = true;
        stamp.size = number();
        stamp.modifiedNs = static_cast<std::int64_t>(number());
        stamp.device = number();
        stamp.inode = number();
        stamp.changedNs = static_cast<std::int64_t>(number());
        return stamp;
    }
    std::string_view rest() const { return m_rest; }
    void end() const
    {
        if (!m_rest.empty())
            Damaged(Tr(QT_TRANSLATE_NOOP("Plimo", "a record is too long")));
    }

private:
    std::string_view m_rest;
};

// Calls `use(kind, payload)` for each whole record; stops at a torn one at the end (what a
// write cut short leaves). Returns where the records read end.
template <typename Use>
std::size_t ForEachRecord(std::string_view bytes, Use&& use)
{
    std::size_t at = 0;
    while (bytes.size() - at >= kRecordHead + kRecordTail) {
        const std::uint64_t length = Fields(bytes.substr(at + 1, 8)).number();
        if (length > bytes.size() - at - kRecordHead - kRecordTail)
            break;  // runs past the end: torn
        const std::size_t end = at + kRecordHead + length + kRecordTail;
        const std::string_view record = bytes.substr(at, kRecordHead + length);
        const auto crc = static_cast<std::uint32_t>(Fields(bytes.substr(end - 4, 4)).number(4));
        if (crc != Crc32(record)) {
            if (end == bytes.size())
                break;  // the last record, not all of it on the disk: torn
            Damaged(Tr(QT_TRANSLATE_NOOP("Plimo", "a record does not match its check sum")));
        }
        use(record[0], record.substr(kRecordHead));
        at = end;
    }
    return at;
}

}  // namespace

std::vector<TOrphanJournal> FindOrphanJournals(const std::string& folder)
{
    std::vector<TOrphanJournal> found;
    FileDescriptor opened;
    try {
        opened = OpenPrivateFolder(folder, false);
    } catch (const CommandError&) {
        return found;
    }
    if (!opened.valid())
        return found;
    DIR* dir = ::fdopendir(::dup(opened.get()));
    if (!dir)
        return found;
    std::vector<std::pair<std::int64_t, TOrphanJournal>> dated;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const bool journal = name.size() > kJournalSuffix.size() &&
                             name.compare(name.size() - kJournalSuffix.size(),
                                          kJournalSuffix.size(), kJournalSuffix) == 0;
        const bool leftover = name.size() > 4 && name.front() == '.' &&
                              name.compare(name.size() - 4, 4, ".new") == 0;
        if (!journal && !leftover)
            continue;
        FileDescriptor file(
            ::openat(opened.get(), name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (!file.valid() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
            continue;  // its editor is running
        // Locked, but perhaps a file its editor had just replaced: only the one with the name.
        struct stat held {}, named {};
        if (::fstat(file.get(), &held) != 0 || !S_ISREG(held.st_mode) ||
            ::fstatat(opened.get(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            held.st_ino != named.st_ino || held.st_dev != named.st_dev)
            continue;
        if (leftover) {
            ::unlinkat(opened.get(), name.c_str(), 0);
            continue;
        }
        dated.push_back({static_cast<std::int64_t>(held.st_mtim.tv_sec),
                         TOrphanJournal{folder + "/" + name, std::move(file)}});
    }
    ::closedir(dir);
    std::stable_sort(dated.begin(), dated.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [time, journal] : dated)
        found.push_back(std::move(journal));
    return found;
}

void RemoveJournal(TOrphanJournal& journal)
{
    RemoveFile(AT_FDCWD, journal.path);
    journal.lock.close();
}

TJournalSummary ReadJournal(std::string_view bytes)
{
    if (bytes.substr(0, kJournalMagic.size()) != kJournalMagic)
        throw CommandError(Tr(
            QT_TRANSLATE_NOOP("Plimo", "it is not a recovery file of this version of Plimo")));
    const std::string_view records = bytes.substr(kJournalMagic.size());
    TJournalSummary summary;
    bool based = false;
    bool committed = false;
    std::size_t committedEnd = 0;
    std::size_t at = 0;
    ForEachRecord(records, [&](char kind, std::string_view payload) {
        at += kRecordHead + payload.size() + kRecordTail;
        if ((kind == 'B' || kind == 'F') != !based)
            Damaged(Tr(QT_TRANSLATE_NOOP("Plimo", "its start is missing or repeated")));
        Fields fields(payload);
        switch (kind) {
            case 'B':
                summary.fromFile = true;
                summary.baseStamp = fields.stamp();
                summary.basePath = fields.text();
                fields.end();
                break;
            case 'F':
                break;
            case 'E':
                fields.number();
                fields.number();
                break;
            case 'C': {
                summary.lastChange = static_cast<std::int64_t>(fields.number());
                summary.caret = fields.number();
                summary.size = fields.number();
                const std::uint64_t hasFile = fields.number(1);
                const FileStamp stamp = fields.stamp();
                std::string name = fields.text();
                std::string ext = fields.text();
                fields.end();
                if (hasFile > 1)
                    Damaged(Tr(QT_TRANSLATE_NOOP("Plimo", "a flag is neither yes nor no")));
                committed = true;
                committedEnd = at;
                summary.document.hasFile = hasFile == 1;
                summary.document.stamp = stamp;
                summary.document.name = std::move(name);
                summary.document.ext = std::move(ext);
                break;
            }
            default:
                Damaged(Tr(QT_TRANSLATE_NOOP("Plimo", "a record of an unknown kind")));
        }
        based = true;
    });
    if (!committed)
        Damaged(Tr(QT_TRANSLATE_NOOP("Plimo", "it holds no complete change")));
    summary.records = records.substr(0, committedEnd);
    return summary;
}

std::string RebuildText(const TJournalSummary& journal, const TLoadDocument& load,
                        std::size_t capacity)
{
    ByteText text(capacity);
    try {
        std::size_t committedSize = 0;
        ForEachRecord(journal.records, [&](char kind, std::string_view payload) {
            Fields fields(payload);
            switch (kind) {
                case 'B': {
                    if (!(StampOf(journal.basePath) == journal.baseStamp))
                        throw CommandError(journal.basePath +
                                           Tr(kChangedSince));
                    if (!text.setText(load(journal.basePath)))
                        throw CommandError(Tr(kWouldExceed));
                    break;
                }
                case 'F':
                    if (!text.setText(std::string(payload)))
                        throw CommandError(Tr(kWouldExceed));
                    break;
                case 'E': {
                    const std::uint64_t pos = fields.number();
                    const std::uint64_t erased = fields.number();
                    if (pos > text.size() || erased > text.size() - pos)
                        Damaged(Tr(QT_TRANSLATE_NOOP("Plimo", "an edit lies outside the text")));
                    if (!text.replace(pos, erased, fields.rest()))
                        throw CommandError(Tr(kWouldExceed));
                    break;
                }
                case 'C':
                    committedSize = static_cast<std::size_t>(Fields(payload.substr(16)).number());
                    if (committedSize != text.size())
                        Damaged(Tr(QT_TRANSLATE_NOOP("Plimo", "the text's size does not match")));
                    break;
                default:
                    break;
            }
        });
    } catch (const std::bad_alloc&) {
        throw CommandError(Tr(
            QT_TRANSLATE_NOOP("Plimo", "there is not enough memory to rebuild the text")));
    }
    return text.release();
}
