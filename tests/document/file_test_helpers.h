#pragma once

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>

#include "core/command_error.h"
#include "document/file_calls.h"

#include <string>
#include <string_view>

// Raw file access for the document tests, independent of the code under test.
// The message of the CommandError that `action` throws, or "<no error>".
template <typename Action>
QString ErrorOf(Action&& action)
{
    try {
        action();
    } catch (const CommandError& error) {
        return QString::fromUtf8(error.what());
    }
    return QStringLiteral("<no error>");
}

inline QByteArray ReadRaw(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

inline bool WriteRaw(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Every entry of a folder, hidden ones included: a leftover temporary file shows up here.
inline QStringList FolderEntries(const QString& folder)
{
    QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    return entries;
}

inline mode_t ModeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

inline std::string Std(const QByteArray& bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

inline QByteArray Bytes(std::string_view text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

inline bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

// Sets the umask for one test and puts the old one back.
class UmaskScope final {
public:
    explicit UmaskScope(mode_t mask) : m_previous(::umask(mask)) {}
    ~UmaskScope() { ::umask(m_previous); }
    UmaskScope(const UmaskScope&) = delete;
    UmaskScope& operator=(const UmaskScope&) = delete;

private:
    mode_t m_previous;
};

// Runs `check` in a child process, as the user "nobody" when this process is root (permission
// bits do not stop root), and returns its answer: empty when the check passed, else what went
// wrong. The child shares nothing with the test but the file system.
template <typename Check>
QString InChildProcess(Check&& check)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        QString answer;
        if (RunningAsRoot()) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                ::setuid(nobody->pw_uid) != 0)
                answer = QStringLiteral("cannot become nobody");
        }
        if (answer.isEmpty())
            answer = check();
        const QByteArray bytes = answer.toUtf8();
        [[maybe_unused]] const ssize_t sent = ::write(channel[1], bytes.constData(), bytes.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray answer;
    char buffer[512];
    ssize_t got;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return QStringLiteral("the child process did not finish");
    return QString::fromUtf8(answer);
}

// The uid of "nobody", who owns what a test gives away.
inline uid_t NobodyUid()
{
    const passwd* nobody = ::getpwnam("nobody");
    return nobody ? nobody->pw_uid : 65534;
}

// Runs `work` in a child process that is killed before its `step`th call that changes a file
// (counted from 1). True when it was killed; false when it ran to its end first.
template <typename Work>
bool KilledAtStep(int step, Work&& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        static int stepsLeft;
        stepsLeft = step;
        SetFileCallObserver([] {
            if (--stepsLeft == 0)
                ::raise(SIGKILL);
        });
        work();
        ::_exit(0);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFSIGNALED(status);
}
