#include "document/safe_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

#include "core/command_error.h"
#include "core/translate.h"
#include "document/file_calls.h"
#include "document/file_messages.h"
#include "document/file_read.h"
#include "document/private_folder.h"
#include "document/region_writer.h"
#include "document/temp_file.h"

namespace {

constexpr std::size_t kCopyChunk = 1 << 20;
constexpr std::size_t kMaxCopyStem = 100;
constexpr std::string_view kCopySuffix = ".old";
constexpr std::string_view kRecordSuffix = ".target";
// A record is a path and two short marks; anything larger is not one of ours.
constexpr std::size_t kRecordLimit = 64 * 1024;
// The record's marks, each ended by a NUL, as the path before them (a path holds no NUL).
constexpr std::string_view kCopiedMark = "copied";
constexpr std::string_view kNewMark = "new ";
// How long a second writer waits for the first to finish before it gives up.
constexpr auto kLockWait = std::chrono::seconds(1);
constexpr auto kLockPoll = std::chrono::milliseconds(20);

[[noreturn]] void CannotCreate(const std::string& path, const std::string& detail = {})
{
    throw CommandError(Tr(kCannotCreateFile) + path + detail);
}

std::string AbsolutePath(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string result = real;
        std::free(real);
        return result;
    }
    return path;
}

// An open-file-description lock on the whole file, so that a second rewrite in place, from this
// process or another, cannot interleave its blocks with ours. A file system without locks is
// written as before.
bool LockForRewrite(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
            return true;
        if (errno != EAGAIN && errno != EACCES && errno != EINTR)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kLockPoll);
    }
}

// Copies everything from `from` (read from its start) to `to` (written from its start), synced.
bool CopyContent(int from, int to)
{
    if (::lseek(from, 0, SEEK_SET) != 0 || ::lseek(to, 0, SEEK_SET) != 0)
        return false;
    const auto buffer = std::make_unique<char[]>(kCopyChunk);
    off_t total = 0;
    for (;;) {
        const ssize_t got = ReadSome(from, buffer.get(), kCopyChunk);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        if (!WriteAll(to, std::string_view(buffer.get(), static_cast<std::size_t>(got))))
            return false;
        total += got;
    }
    return TruncateFile(to, total) && SyncFile(to);
}

// The safe copy of a file rewritten in place, and its record.
class SafeCopy final {
public:
    SafeCopy() = default;
    SafeCopy(const SafeCopy&) = delete;
    SafeCopy& operator=(const SafeCopy&) = delete;
    ~SafeCopy()
    {
        if (m_kept || !m_folder.valid())
            return;
        if (!m_copy.empty())
            RemoveFile(m_folder.get(), m_copy);
        if (!m_record.empty())
            RemoveFile(m_folder.get(), m_record);
    }

    // Throws CommandError when the folder is not the user's own.
    bool Make(int target, const std::string& targetPath)
    {
        m_folderPath = SafeCopyFolder();
        m_folder = OpenPrivateFolder(m_folderPath, true);
        const std::string stem = NameOf(targetPath).substr(0, kMaxCopyStem) + "." + UniqueSuffix();
        m_record = stem + std::string(kRecordSuffix);
        m_recordFile = OpenNew(m_record, O_WRONLY);
        if (!m_recordFile.valid()) {
            m_record.clear();
            return false;
        }
        std::string named = targetPath;
        named += '\0';
        if (!WriteAll(m_recordFile.get(), named) || !SyncFile(m_recordFile.get()))
            return false;
        SyncFolder(m_folder.get());

        m_copy = stem + std::string(kCopySuffix);
        FileDescriptor copy = OpenNew(m_copy, O_RDWR);
        if (!copy.valid()) {
            m_copy.clear();
            return false;
        }
        return CopyContent(target, copy.get()) && copy.close() && Mark(kCopiedMark);
    }

    // All of the new content is written, before the file is cut to its size and synced.
    bool NoteNewContent(std::uint64_t size, std::uint64_t digest)
    {
        return Mark(std::string(kNewMark) + std::to_string(size) + " " + std::to_string(digest));
    }

    bool RestoreInto(int target) const
    {
        FileDescriptor copy(::openat(m_folder.get(), m_copy.c_str(), O_RDONLY | O_CLOEXEC));
        return copy.valid() && CopyContent(copy.get(), target);
    }

    // The copy stays for the user, who is told where it is; its record goes, so that it is not
    // reported again.
    std::string Keep()
    {
        m_kept = true;
        RemoveFile(m_folder.get(), m_record);
        return m_folderPath + "/" + m_copy;
    }

private:
    FileDescriptor OpenNew(const std::string& name, int access) const
    {
        return FileDescriptor(::openat(m_folder.get(), name.c_str(),
                                       access | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    }

    bool Mark(std::string_view mark)
    {
        std::string bytes(mark);
        bytes += '\0';
        return WriteAll(m_recordFile.get(), bytes) && SyncFile(m_recordFile.get());
    }

    std::string m_folderPath;
    FileDescriptor m_folder;
    FileDescriptor m_recordFile;
    std::string m_copy;  // names inside the folder
    std::string m_record;
    bool m_kept = false;
};

// What a record says. A record of an older version of the program holds the path alone, written
// once its copy was complete.
struct TRecord {
    std::string target;
    bool copied = false;
    std::optional<std::pair<std::uint64_t, std::uint64_t>> newContent;  // size, digest
};

std::optional<TRecord> ReadRecord(const std::string& path)
{
    std::string bytes;
    if (ReadWholeFile(path, kRecordLimit, bytes) != TReadResult::Ok)
        return std::nullopt;
    TRecord record;
    const auto end = bytes.find('\0');
    record.target = bytes.substr(0, end);
    if (end == std::string::npos) {
        record.copied = true;
        return record;
    }
    for (std::size_t at = end + 1; at < bytes.size();) {
        const auto next = bytes.find('\0', at);
        if (next == std::string::npos)
            break;  // cut short by the kill
        const std::string_view mark = std::string_view(bytes).substr(at, next - at);
        if (mark == kCopiedMark) {
            record.copied = true;
        } else if (mark.starts_with(kNewMark)) {
            unsigned long long newSize = 0, digest = 0;
            if (std::sscanf(std::string(mark.substr(kNewMark.size())).c_str(), "%llu %llu",
                            &newSize, &digest) == 2)
                record.newContent = {newSize, digest};
        }
        at = next + 1;
    }
    return record;
}

// Reads a whole file through `add`; false when it cannot be read.
template <typename Add>
bool ReadThrough(int fd, Add&& add)
{
    const auto buffer = std::make_unique<char[]>(kCopyChunk);
    for (;;) {
        const ssize_t got = ReadSome(fd, buffer.get(), kCopyChunk);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        add(std::string_view(buffer.get(), static_cast<std::size_t>(got)));
    }
}

FileDescriptor OpenForReading(const std::string& path)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (file.valid() && (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)))
        return FileDescriptor();
    return file;
}

bool HoldsNewContent(const std::string& target, std::uint64_t size, std::uint64_t digest)
{
    const FileDescriptor file = OpenForReading(target);
    struct stat st {};
    if (!file.valid() || ::fstat(file.get(), &st) != 0 || std::uint64_t(st.st_size) != size)
        return false;
    ContentDigest read;
    return ReadThrough(file.get(), [&](std::string_view bytes) { read.Add(bytes); }) &&
           read.Value() == digest;
}

bool HoldsSameContent(const std::string& target, int folder, const std::string& copyName)
{
    const FileDescriptor file = OpenForReading(target);
    FileDescriptor copy(::openat(folder, copyName.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!file.valid() || !copy.valid())
        return false;
    ContentDigest a, b;
    return ReadThrough(file.get(), [&](std::string_view bytes) { a.Add(bytes); }) &&
           ReadThrough(copy.get(), [&](std::string_view bytes) { b.Add(bytes); }) &&
           a.Value() == b.Value();
}

// "<name>.<pid>-<ns>-<n>": the pid stands between the last dot and the dash after it.
std::string PidOfSafeCopy(const std::string& stem)
{
    const auto last = stem.rfind('-');
    const auto dash =
        last == std::string::npos || last == 0 ? std::string::npos : stem.rfind('-', last - 1);
    const auto dot = dash == std::string::npos ? std::string::npos : stem.rfind('.', dash);
    return dot == std::string::npos ? std::string() : stem.substr(dot + 1, dash - dot - 1);
}

}  // namespace

std::string SafeCopyFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::string(data) + "/plimo/unfinished-saves";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/share/plimo/unfinished-saves";
    return {};
}

void RewriteInPlace(const std::string& path, const std::string& target, const struct stat& existing,
                    const TBytePieces& bytes, TExistingMode mode)
{
    FileDescriptor file(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    struct stat st {};
    if (!file.valid() || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_ino != existing.st_ino || st.st_dev != existing.st_dev)
        CannotCreate(path);
    if (!LockForRewrite(file.get()))
        CannotCreate(path, Tr(QT_TRANSLATE_NOOP("Plimo", ": another program is saving this file")));
    SafeCopy copy;
    bool made = false;
    try {
        made = copy.Make(file.get(), AbsolutePath(target));
    } catch (const CommandError& refused) {
        CannotCreate(path, std::string(": ") + refused.what());
    }
    if (!made)
        CannotCreate(path);
    if (mode == TExistingMode::Private)
        ::fchmod(file.get(), kPrivateFileMode);
    // The record learns what the new content is before its last piece goes to the file: from
    // then on the file can be checked against it.
    ContentDigest digest;
    std::size_t given = 0;
    const TBytePieces noted{
        bytes.size, [&]() -> std::string_view {
            const std::string_view piece = bytes.next();
            digest.Add(piece);
            given += piece.size();
            if (given == bytes.size && !copy.NoteNewContent(bytes.size, digest.Value()))
                return {};
            return piece;
        }};
    const bool written = ::lseek(file.get(), 0, SEEK_SET) == 0 &&
                         (bytes.size > 0 || copy.NoteNewContent(0, digest.Value())) &&
                         WritePieces(file.get(), noted) &&
                         TruncateFile(file.get(), static_cast<off_t>(bytes.size)) &&
                         SyncFile(file.get());
    if (written && file.close())
        return;
    if (file.valid() && copy.RestoreInto(file.get()))
        CannotCreate(path);
    CannotCreate(
        path, Tr(QT_TRANSLATE_NOOP("Plimo", ". Its previous content is kept in ")) + copy.Keep());
}

std::vector<TInterruptedSave> FindInterruptedSaves()
{
    std::vector<TInterruptedSave> found;
    const std::string folderPath = SafeCopyFolder();
    FileDescriptor folder;
    try {
        folder = OpenPrivateFolder(folderPath, false);
    } catch (const CommandError&) {
        return found;  // not the user's own: nothing in it is to be trusted
    }
    DIR* dir = folder.valid() ? ::fdopendir(::dup(folder.get())) : nullptr;
    if (!dir)
        return found;
    std::vector<std::string> stems;  // of the records whose save's process is gone
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (!name.ends_with(kRecordSuffix))
            continue;
        name.remove_suffix(kRecordSuffix.size());
        if (ProcessIsGone(PidOfSafeCopy(std::string(name))))
            stems.emplace_back(name);
    }
    ::closedir(dir);

    for (const std::string& stem : stems) {
        const std::string recordName = stem + std::string(kRecordSuffix);
        const std::string copyName = stem + std::string(kCopySuffix);
        const std::optional<TRecord> record = ReadRecord(folderPath + "/" + recordName);
        struct stat st {};
        const bool copyThere =
            ::fstatat(folder.get(), copyName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        // Not needed: the file was never touched (the copy is not complete), the copy went once
        // the save was done, or the file holds all of the new content, or all of the old.
        const bool needed =
            record && record->copied && copyThere &&
            !(record->newContent && HoldsNewContent(record->target, record->newContent->first,
                                                    record->newContent->second)) &&
            !HoldsSameContent(record->target, folder.get(), copyName);
        if (needed) {
            found.push_back(
                {record->target, folderPath + "/" + copyName, folderPath + "/" + recordName});
            continue;
        }
        if (copyThere)
            RemoveFile(folder.get(), copyName);
        RemoveFile(folder.get(), recordName);
    }
    return found;
}

void ForgetInterruptedSave(const TInterruptedSave& save)
{
    RemoveFile(AT_FDCWD, save.record);
}

void ContentDigest::Add(std::string_view bytes)
{
    m_length += bytes.size();
    while (!bytes.empty() && (m_tailSize > 0 || bytes.size() < sizeof m_tail)) {
        m_tail[m_tailSize++] = static_cast<unsigned char>(bytes.front());
        bytes.remove_prefix(1);
        if (m_tailSize == sizeof m_tail) {
            std::uint64_t word;
            std::memcpy(&word, m_tail, sizeof word);
            Mix(word);
            m_tailSize = 0;
        }
    }
    for (; bytes.size() >= 8; bytes.remove_prefix(8)) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data(), sizeof word);
        Mix(word);
    }
    for (const char c : bytes)
        m_tail[m_tailSize++] = static_cast<unsigned char>(c);
}

std::uint64_t ContentDigest::Value() const
{
    ContentDigest last = *this;
    std::uint64_t word = 0;
    std::memcpy(&word, m_tail, m_tailSize);
    last.Mix(word);
    last.Mix(m_length);
    std::uint64_t h = last.m_state;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
}

void ContentDigest::Mix(std::uint64_t word)
{
    m_state = (m_state ^ word) * 0x9E3779B97F4A7C15ull;
    m_state ^= m_state >> 29;
}
