#include "document/temp_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace {

// Keeps the temporary's name within NAME_MAX even for a target with a very long name.
constexpr std::size_t kMaxTempStem = 100;
constexpr int kTempNameAttempts = 100;

// The process id in "<prefix><pid>-...", or "" when the name is not of that shape.
std::string PidAfter(std::string_view name, std::string_view prefix)
{
    if (!name.starts_with(prefix))
        return {};
    name.remove_prefix(prefix.size());
    const auto dash = name.find('-');
    return dash == std::string_view::npos ? std::string() : std::string(name.substr(0, dash));
}

}  // namespace

std::string TempStem(const std::string& name)
{
    // Appended piece by piece: g++ 12 at -O3 warns (-Wrestrict) about "." + std::string.
    std::string stem(".");
    stem.append(name, 0, kMaxTempStem);
    stem += ".tmp";
    return stem;
}

std::string UniqueSuffix()
{
    static unsigned counter = 0;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::to_string(::getpid()) + "-" + std::to_string(now.tv_nsec) + "-" +
           std::to_string(++counter);
}

bool ProcessIsGone(const std::string& digits)
{
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const pid_t pid = static_cast<pid_t>(std::stol(digits));
    return pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

void RemoveStaleTemporaries(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::string stem = TempStem(name);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string entryName = entry->d_name;
        if (ProcessIsGone(PidAfter(entryName, stem)))
            ::unlinkat(::dirfd(dir), entryName.c_str(), 0);
    }
    ::closedir(dir);
}

TempFile::~TempFile()
{
    if (!m_name.empty())
        ::unlink(m_name.c_str());
}

bool TempFile::Create(const std::string& folder, const std::string& name)
{
    m_folder = folder;
    m_base = name;
    m_fd = FileDescriptor(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (m_fd.valid())
        return true;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return false;
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const std::string candidate = NameCandidate();
        m_fd = FileDescriptor(
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (m_fd.valid()) {
            m_name = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool TempFile::RenameOver(const std::string& target)
{
    if (m_name.empty() && !LinkUnnamed())
        return false;
    if (!m_fd.close() || ::rename(m_name.c_str(), target.c_str()) != 0)
        return false;
    m_name.clear();
    return true;
}

std::string TempFile::NameCandidate() const
{
    return m_folder + "/" + TempStem(m_base) + UniqueSuffix();
}

bool TempFile::LinkUnnamed()
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd.get());
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const std::string candidate = NameCandidate();
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            ::linkat(m_fd.get(), "", AT_FDCWD, candidate.c_str(), AT_EMPTY_PATH) == 0) {
            m_name = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}
