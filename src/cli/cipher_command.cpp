#include "cli/cipher_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <limits>
#include <utility>

#include "cipher/level_b_tables.h"
#include "cli/key_sources.h"
#include "core/command_error.h"
#include "core/show_note.h"
#include "core/win1252.h"
#include "document/document_file.h"
#include "document/file_calls.h"
#include "document/file_messages.h"

namespace {

// The editor's limit is its editing area's; the command holds a text in memory only.
constexpr std::size_t kNoCapacityLimit = std::numeric_limits<std::size_t>::max();
// What a file is transformed in, a piece at a time.
constexpr std::size_t kPieceSize = 4 * 1024 * 1024;
// What is checked and then encrypted at once, small enough to stay in the processor's cache
// between the two, large enough that setting up the key for each costs nothing.
constexpr std::size_t kPartSize = 256 * 1024;
// The first buffer for standard input when it is no file that tells its size.
constexpr std::size_t kFirstReadChunk = 64 * 1024;

bool RunLevel(TAppState& state, const TCipherJob& job, std::string& text)
{
    const LevelOutcome outcome = job.direction == CipherDirection::Encrypt
                                     ? EncryptWithLevelInPlace(state, job.level, text, job.typed)
                                     : DecryptWithLevelInPlace(state, job.level, text, job.typed);
    return outcome == LevelOutcome::Done;
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;  // a dangling link too: writing would follow it
}

std::string ReadAll(int fd)
{
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
    // One byte more than a file's size, so that its end is seen without growing the buffer.
    std::string bytes(sized ? static_cast<std::size_t>(st.st_size) + 1 : kFirstReadChunk, '\0');
    std::size_t size = 0;
    for (;;) {
        if (size == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd, bytes.data() + size, bytes.size() - size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw CommandError(std::string(cli_messages::kCannotReadInput));
        if (got == 0)
            break;
        size += static_cast<std::size_t>(got);
    }
    bytes.resize(size);
    return bytes;
}

// ShowNote's handler for the life of a run.
class NoteHandlerScope final {
public:
    explicit NoteHandlerScope(NoteHandler handler) : m_previous(SetNoteHandler(std::move(handler)))
    {
    }
    ~NoteHandlerScope() { SetNoteHandler(std::move(m_previous)); }
    NoteHandlerScope(const NoteHandlerScope&) = delete;
    NoteHandlerScope& operator=(const NoteHandlerScope&) = delete;

private:
    NoteHandler m_previous;
};

std::string LevelName(EncryptionLevel level)
{
    return std::string("Level ") + static_cast<char>('A' + static_cast<int>(level));
}

// The code or password for Levels B and C, asked on the terminal: twice to encrypt, so that a
// typing error cannot lock a text away. Throws CommandError when the answers differ or none
// came.
std::string AskForKey(const TCipherIo& io, const TCipherOptions& options)
{
    const std::string what =
        LevelName(options.level) + (options.level == EncryptionLevel::B ? " code" : " password");
    const auto typed = io.ask(what + ": ");
    if (!typed)
        throw CommandError(std::string(cli_messages::kNothingTyped));
    if (options.direction == CipherDirection::Encrypt && io.ask(what + " again: ") != typed)
        throw CommandError(std::string(cli_messages::kEntriesDiffer));
    return PasswordBoxBytes(*typed);
}

}  // namespace

std::string OutputPathFor(const std::string& path, std::string_view FileExt)
{
    const std::size_t nameStart = path.find_last_of('/') + 1;  // npos + 1 is 0
    const std::size_t dot = path.find_last_of('.');
    std::string output = dot != std::string::npos && dot > nameStart ? path.substr(0, dot) : path;
    output += '.';
    output += FileExt;
    return output;
}

namespace {

// A file that needs no line breaks normalised is transformed piece by piece, straight from
// where the file system keeps it to the output: the command then holds no copy of the text,
// and a file of gigabytes costs what reading and writing it cost. When encrypting into a new
// file, the check that every character comes back is made on each part of a piece just before
// that part is encrypted, while it is in the processor's cache, instead of on the whole text
// first (a usual text is even read once for both, see EncryptPieceChecked): the new file is only
// named once every piece was written, so a refusal leaves nothing.
std::optional<std::string> CipherMappedFile(TAppState& state, const TCipherJob& job,
                                            const std::string& path, const MappedDocument& file)
{
    const std::string_view text = file.bytes();
    const bool encrypt = job.direction == CipherDirection::Encrypt;
    std::string key;
    const LevelOutcome outcome =
        encrypt ? PrepareEncryptionInPieces(state, job.level, text, job.typed, key)
                : PrepareWithLevel(state, job.direction, job.level, text, job.typed, key);
    if (outcome != LevelOutcome::Done)
        return std::nullopt;
    // The text's first character that would not come back, from `from` on.
    const auto lostFrom = [&](std::size_t from) {
        const auto at = FirstUnrestorable(text.substr(from), key, from);
        return at ? std::optional<std::size_t>(from + *at) : std::nullopt;
    };
    const auto refuse = [&](std::size_t lost) {
        ShowNote(UnrestorableMessage(text, lost));
        return std::nullopt;
    };
    const std::string output = OutputPathFor(path, state.FileExt);
    // An existing output may be rewritten in place, or must be told of: the refusal of the text
    // comes first, as in the editor, and nothing touches the output before it.
    bool checkEachPart = encrypt;
    if (Exists(output)) {
        if (encrypt) {
            if (const auto lost = lostFrom(0))
                return refuse(*lost);
            checkEachPart = false;
        }
        if (!job.force)
            throw CommandError(output + std::string(cli_messages::kOutputExists));
    }

    std::string buffer(std::min(kPieceSize, text.size()), '\0');
    std::size_t done = 0;  // every character before it passed the check and was transformed
    std::optional<std::size_t> lost;
    bool changed = false;
    const TBytePieces pieces{text.size(), [&]() -> std::string_view {
                                 const std::string_view piece = text.substr(done, buffer.size());
                                 for (std::size_t at = 0; at < piece.size(); at += kPartSize) {
                                     const std::string_view part = piece.substr(at, kPartSize);
                                     const std::size_t offset = done + at;
                                     char* const out = buffer.data() + at;
                                     if (checkEachPart) {
                                         if (const auto bad =
                                                 EncryptPieceChecked(part, key, offset, out)) {
                                             lost = offset + *bad;
                                             return {};  // fails the write: nothing is kept
                                         }
                                     } else if (encrypt) {
                                         EncryptPiece(part, key, offset, out);
                                     } else {
                                         DecryptPiece(part, key, offset, out);
                                     }
                                 }
                                 done += piece.size();
                                 // Nothing is kept of a file that changed while it was read.
                                 if (done == text.size() && !file.unchanged()) {
                                     changed = true;
                                     return {};
                                 }
                                 return {buffer.data(), piece.size()};
                             }};
    try {
        SaveDocument(output, pieces);
    } catch (const CommandError&) {
        if (lost)
            return refuse(*lost);
        // The writer failed before the check had seen the whole text: a text the check refuses
        // is told as that refusal, as if it had been checked first.
        if (checkEachPart && done < text.size())
            if (const auto later = lostFrom(done))
                return refuse(*later);
        if (changed)
            throw CommandError(std::string(kCannotOpenFile) + path +
                               std::string(cli_messages::kChangedWhileRead));
        throw;
    }
    return output;
}

}  // namespace

std::optional<std::string> CipherFile(TAppState state, const TCipherJob& job,
                                      const std::string& path)
{
    if (const std::optional<MappedDocument> file = MappedDocument::Open(path, kNoCapacityLimit))
        return CipherMappedFile(state, job, path, *file);
    std::string text = LoadDocument(path, kNoCapacityLimit);
    if (!RunLevel(state, job, text))
        return std::nullopt;
    const std::string output = OutputPathFor(path, state.FileExt);
    if (!job.force && Exists(output))
        throw CommandError(output + std::string(cli_messages::kOutputExists));
    SaveDocument(output, text);
    return output;
}

bool CipherStream(TAppState state, const TCipherJob& job, int in, int out)
{
    std::string text = NormaliseLineBreaks(ReadAll(in));
    if (!RunLevel(state, job, text))
        return false;
    if (!WriteAll(out, text))
        throw CommandError(std::string(cli_messages::kCannotWriteOutput));
    return true;
}

TCipherIo StandardCipherIo()
{
    TCipherIo io;
    io.error = [](std::string_view line) {
        std::string text(line);
        text += '\n';
        WriteAll(STDERR_FILENO, text);
    };
    if (::isatty(STDIN_FILENO))
        io.ask = AskOnTerminal;
    return io;
}

int RunCipherCommand(const std::vector<std::string>& args, const TCipherIo& io)
{
    const std::string program = std::string(cli_messages::kProgram) + ": ";
    const auto say = [&io](std::string_view line) {
        if (io.error)
            io.error(line);
    };

    TCipherOptions options;
    try {
        options = ParseCipherArguments(args);
    } catch (const UsageError& error) {
        say(program + error.what());
        say(cli_messages::kSeeHelp);
        return kCipherExitUsage;
    }

    TAppState state;
    SetStateDefaults(state, LevelBKeyTableData());
    if (options.action == TCipherOptions::Action::Help)
        return WriteAll(io.output, kCipherHelp) ? kCipherExitDone : kCipherExitRefused;
    if (options.action == TCipherOptions::Action::Version) {
        const std::string version = std::string(cli_messages::kProgram) + " (" + state.ProductName +
                                    ") " + state.Version + "\n";
        return WriteAll(io.output, version) ? kCipherExitDone : kCipherExitRefused;
    }

    TCipherJob job{options.direction, options.level, {}, options.force};
    try {
        if (options.level == EncryptionLevel::A) {
            try {
                ReadSettingsForLevelA(state, options.settingsFile
                                                 ? *options.settingsFile
                                                 : DefaultSettingsPath(state.SettingsFile));
            } catch (const CommandError& error) {
                say(program + error.what());
                say(program + std::string(cli_messages::kSettingsHint));
                return kCipherExitRefused;
            }
        }
        if (options.passwordFile) {
            // At Level A too: the editor then says that the password is ignored.
            job.typed = ReadPasswordFile(*options.passwordFile);
        } else if (options.level != EncryptionLevel::A) {
            if (!io.ask) {
                say(program + LevelName(options.level) + std::string(cli_messages::kNoKeySource));
                say(cli_messages::kSeeHelp);
                return kCipherExitUsage;
            }
            job.typed = AskForKey(io, options);
        }
    } catch (const CommandError& error) {
        say(program + error.what());
        return kCipherExitRefused;
    }

    // Every message of the editor is about the file being done.
    std::string about = program;
    const NoteHandlerScope notes(
        [&](std::string_view text) { say(about + win1252::ToUtf8(text)); });
    const auto done = [&](auto&& work) {
        try {
            return work();
        } catch (const std::exception& error) {
            // CommandError, or memory running out for a very large text.
            say(about + error.what());
            return false;
        }
    };

    bool allDone = true;
    if (options.files.empty())
        allDone = done([&] { return CipherStream(state, job, io.input, io.output); });
    for (const std::string& file : options.files) {
        about = program + file + ": ";
        allDone = done([&] { return CipherFile(state, job, file).has_value(); }) && allDone;
    }
    return allDone ? kCipherExitDone : kCipherExitRefused;
}
