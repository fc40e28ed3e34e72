#include "cli/openpgp_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cipher/openpgp_level.h"
#include "cli/text_pieces.h"
#include "core/command_error.h"
#include "core/show_note.h"
#include "document/atomic_file.h"
#include "document/file_calls.h"
#include "document/file_messages.h"

namespace {

// Standard error goes nowhere for its lifetime (RNP prints where in its code a message failed),
// and comes back after it. The command has one thread, so nothing of its own is lost meanwhile.
class QuietStandardError final {
public:
    QuietStandardError() : m_saved(::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0))
    {
        const FileDescriptor nowhere(::open("/dev/null", O_WRONLY | O_CLOEXEC));
        if (m_saved.valid() && nowhere.valid())
            ::dup2(nowhere.get(), STDERR_FILENO);
    }
    ~QuietStandardError()
    {
        if (m_saved.valid())
            ::dup2(m_saved.get(), STDERR_FILENO);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    FileDescriptor m_saved;
};

TOpenPgpOptions OptionsOf(const TCipherJob& job)
{
    return {.armour = true, .s2kIterations = job.s2kIterations};
}

bool Encrypting(const TCipherJob& job)
{
    return job.direction == CipherDirection::Encrypt;
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;  // a dangling link too: writing would follow it
}

}  // namespace

std::string OpenPgpOutputPath(const std::string& path, CipherDirection direction)
{
    if (direction == CipherDirection::Encrypt)
        return OutputPathFor(path, kOpenPgpExtension);
    std::string output = OutputPathFor(path, kPlainExtension);
    const std::string twice =
        "." + std::string(kPlainExtension) + "." + std::string(kPlainExtension);
    if (output.ends_with(twice) && output != path)
        output.resize(output.size() - kPlainExtension.size() - 1);
    return output;
}

std::optional<std::string> OpenPgpFile(const TCipherJob& job, const std::string& path)
{
    // A regular file only, as the editor opens: a pipe with nobody writing would wait for ever.
    const FileDescriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st {};
    if (!in.valid() || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode))
        throw CommandError(Tr(kCannotOpenFile) + path);
    const std::string output = OpenPgpOutputPath(path, job.direction);
    if (!job.force && Exists(output))
        throw CommandError(output + std::string(cli_messages::kOutputExists));

    const TFileId input{st.st_dev, st.st_ino};
    OpenPgpOutcome outcome = OpenPgpOutcome::Failed;
    const auto produce = [&](int fd) {
        const TOpenPgpReader read = OpenPgpFdReader(in.get());
        const TOpenPgpWriter write = [fd](std::string_view bytes) { return WriteAll(fd, bytes); };
        const QuietStandardError quiet;
        outcome = Encrypting(job) ? OpenPgpEncryptStream(read, job.typed, write, OptionsOf(job))
                                  : OpenPgpDecryptStream(read, job.typed, write);
        return outcome == OpenPgpOutcome::Done;
    };
    if (WriteFileAtomicallyFrom(output, produce, kDocumentFileMode, &input))
        return output;
    if (outcome == OpenPgpOutcome::ReadFailed)
        throw CommandError(Tr(kCannotOpenFile) + path);
    if (outcome == OpenPgpOutcome::WriteFailed)
        throw CommandError(Tr(kCannotCreateFile) + output);
    ShowNote(OpenPgpMessage(outcome));
    return std::nullopt;
}

bool OpenPgpStream(const TCipherJob& job, int in, int out)
{
    const InputText input(in);
    std::string result;
    OpenPgpOutcome outcome = OpenPgpOutcome::Failed;
    {
        const QuietStandardError quiet;
        outcome = Encrypting(job) ? OpenPgpEncrypt(input.bytes(), job.typed, result, OptionsOf(job))
                                  : OpenPgpDecrypt(input.bytes(), job.typed, result);
    }
    if (outcome != OpenPgpOutcome::Done) {
        ShowNote(OpenPgpMessage(outcome));
        return false;
    }
    const bool written = WriteAll(out, result);
    if (!Encrypting(job))
        WipeSecret(result);
    if (!written)
        throw CommandError(Tr(cli_messages::kCannotWriteOutput));
    return true;
}
