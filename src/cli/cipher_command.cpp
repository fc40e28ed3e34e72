#include "cli/cipher_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "cipher/level_b_tables.h"
#include "cipher/openpgp_level.h"
#include "cli/key_sources.h"
#include "cli/openpgp_files.h"
#include "cli/text_pieces.h"
#include "core/command_error.h"
#include "core/show_note.h"
#include "core/translate.h"
#include "core/win1252.h"
#include "document/document_file.h"
#include "document/file_calls.h"
#include "document/file_messages.h"
#include "document/region_writer.h"

namespace {

// The editor's limit is its editing area's; the command holds a text in memory only.
constexpr std::size_t kNoCapacityLimit = std::numeric_limits<std::size_t>::max();
// A file or input smaller than this whose line breaks are not all CR LF is read whole and
// normalised, as the editor opens it; a larger one is normalised a piece at a time.
constexpr std::size_t kNormaliseInPiecesFrom = 1024 * 1024;

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

// The file `path` leads to, or nothing when there is none.
std::optional<TFileId> IdOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return TFileId{st.st_dev, st.st_ino};
}

bool SameFile(const std::optional<TFileId>& a, const TFileId& b)
{
    return a && a->device == b.device && a->inode == b.inode;
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

std::string LevelName(const TCipherOptions& options)
{
    return Tr(QT_TRANSLATE_NOOP("Plimo", "Level ")) +
           (options.openPgp ? 'P' : static_cast<char>('A' + static_cast<int>(options.level)));
}

// An answer at the prompt, overwritten when let go.
struct TTyped {
    std::optional<std::string> text;
    ~TTyped()
    {
        if (text)
            WipeSecret(*text);
    }
};

// The code, password or passphrase for Levels B, C and P, asked on the terminal: twice to
// encrypt, so that a typing error cannot lock a text away. Throws CommandError when the answers
// differ or none came.
std::string AskForKey(const TCipherIo& io, const TCipherOptions& options)
{
    const std::string kind = options.openPgp ? Tr(QT_TRANSLATE_NOOP("Plimo", " passphrase"))
                             : options.level == EncryptionLevel::B
                                 ? Tr(QT_TRANSLATE_NOOP("Plimo", " code"))
                                 : Tr(QT_TRANSLATE_NOOP("Plimo", " password"));
    const std::string what = LevelName(options) + kind;
    const TTyped typed{io.ask(what + ": ")};
    if (!typed.text)
        throw CommandError(Tr(cli_messages::kNothingTyped));
    if (options.direction == CipherDirection::Encrypt) {
        const TTyped again{io.ask(what + Tr(QT_TRANSLATE_NOOP("Plimo", " again: ")))};
        if (again.text != typed.text)
            throw CommandError(Tr(cli_messages::kEntriesDiffer));
    }
    return options.openPgp ? *typed.text : PasswordBoxBytes(*typed.text);
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

// The level's checks, messages and effects for a text transformed in pieces (the caller checks
// each part for a character that would not come back); false when the level refused. The
// checks look at the text's length only, which normalising never brings below the cipher's
// minimum for a text of the sizes transformed so.
bool PrepareLevel(TAppState& state, const TCipherJob& job, std::string_view raw, std::string& key)
{
    const LevelOutcome outcome =
        job.direction == CipherDirection::Encrypt
            ? PrepareEncryptionInPieces(state, job.level, raw, job.typed, key)
            : PrepareWithLevel(state, job.direction, job.level, raw, job.typed, key);
    return outcome == LevelOutcome::Done;
}

// A large file is transformed piece by piece, straight from where the file system keeps it to
// the output, its line breaks made CR LF on the way when they are not already: the command then
// holds no copy of the text, and a file of gigabytes costs what reading and writing it cost. When
// encrypting into a new file, the check that every character comes back is made on each part of
// a piece just before that part is encrypted, while it is in the processor's cache, instead of on
// the whole text first (a usual text is even read once for both, see EncryptPieceChecked): the
// new file is only named once every piece was written, so a refusal leaves nothing.
std::optional<std::string> CipherMappedFile(TAppState& state, const TCipherJob& job,
                                            const std::string& path, const MappedDocument& file)
{
    const std::string_view raw = file.bytes();
    const bool encrypt = job.direction == CipherDirection::Encrypt;
    std::string key;
    if (!PrepareLevel(state, job, raw, key))
        return std::nullopt;
    const std::string output = OutputPathFor(path, state.FileExt);
    const TFileId input = file.id();
    // The output may be the input itself, under a second name: the command's own writes to it
    // then change it, but nobody else's may have before the first.
    const bool ontoItself = SameFile(IdOf(output), input);
    const auto changedWhileRead = [&] { return ontoItself ? !file.whole() : !file.unchanged(); };
    const auto refuse = [&](std::size_t lost, const PieceTransform& transform) {
        // A part cut off the file reads as zeros, which never come back: that is no character
        // of the user's to refuse.
        if (changedWhileRead())
            throw CommandError(Tr(kCannotOpenFile) + path + Tr(cli_messages::kChangedWhileRead));
        ShowNote(transform.lostMessage(lost));
        return std::nullopt;
    };
    if (ontoItself && !file.unchanged())
        throw CommandError(Tr(kCannotOpenFile) + path + Tr(cli_messages::kChangedWhileRead));
    // An existing output may be rewritten in place, or must be told of: the refusal of the text
    // comes first, as in the editor, and nothing touches the output before it.
    bool checkEachPart = encrypt;
    if (Exists(output)) {
        if (encrypt) {
            PieceTransform whole(raw, !file.crlf(), key, encrypt, false);
            if (const auto lost = whole.findLost())
                return refuse(*lost, whole);
            checkEachPart = false;
        }
        if (!job.force)
            throw CommandError(output + std::string(cli_messages::kOutputExists));
    }

    PieceTransform transform(raw, !file.crlf(), key, encrypt, checkEachPart);
    bool changed = false;
    const TBytePieces pieces{transform.size(), [&]() -> std::string_view {
                                 const std::string_view piece = transform.next();
                                 // Nothing is kept of a file that changed while it was read.
                                 if (transform.done() == transform.size() && changedWhileRead()) {
                                     changed = true;
                                     return {};
                                 }
                                 return piece;
                             }};
    try {
        SaveDocument(output, pieces, &input);
    } catch (const CommandError&) {
        if (changed)
            throw CommandError(Tr(kCannotOpenFile) + path + Tr(cli_messages::kChangedWhileRead));
        if (transform.lost())
            return refuse(*transform.lost(), transform);
        // The writer failed before the check had seen the whole text: a text the check refuses
        // is told as that refusal, as if it had been checked first.
        if (checkEachPart && transform.done() < transform.size())
            if (const auto later = transform.findLost())
                return refuse(*later, transform);
        throw;
    }
    return output;
}

}  // namespace

std::optional<std::string> CipherFile(TAppState state, const TCipherJob& job,
                                      const std::string& path)
{
    if (job.openPgp)
        return OpenPgpFile(job, path);
    if (const std::optional<MappedDocument> file =
            MappedDocument::OpenAsItIs(path, kNoCapacityLimit)) {
        // A file normalised on its way may not be written over itself: the longer text would
        // overtake what is still to be read.
        const std::string_view ext = job.direction == CipherDirection::Encrypt
                                         ? kLevelExtensions[static_cast<std::size_t>(job.level)]
                                         : kPlainExtension;
        if (file->crlf() || (file->bytes().size() >= kNormaliseInPiecesFrom &&
                             !SameFile(IdOf(OutputPathFor(path, ext)), file->id())))
            return CipherMappedFile(state, job, path, *file);
    }
    const std::optional<TFileId> input = IdOf(path);
    std::string text = LoadDocument(path, kNoCapacityLimit);
    if (!RunLevel(state, job, text))
        return std::nullopt;
    const std::string output = OutputPathFor(path, state.FileExt);
    if (!job.force && Exists(output))
        throw CommandError(output + std::string(cli_messages::kOutputExists));
    SaveDocument(output, text, input ? &*input : nullptr);
    return output;
}

bool CipherStream(TAppState state, const TCipherJob& job, int in, int out)
{
    if (job.openPgp)
        return OpenPgpStream(job, in, out);
    const InputText input(in);
    const std::string_view raw = input.bytes();
    const bool crlf = AllBreaksCrLf(raw);
    if (!crlf && raw.size() < kNormaliseInPiecesFrom) {
        std::string text = NormaliseLineBreaks(raw);
        if (!RunLevel(state, job, text))
            return false;
        if (!WriteAll(out, text))
            throw CommandError(Tr(cli_messages::kCannotWriteOutput));
        return true;
    }
    // What goes out cannot be taken back: the whole text is checked before the first piece.
    const bool encrypt = job.direction == CipherDirection::Encrypt;
    std::string key;
    if (!PrepareLevel(state, job, raw, key))
        return false;
    if (encrypt) {
        PieceTransform whole(raw, !crlf, key, encrypt, false);
        if (const auto lost = whole.findLost()) {
            ShowNote(whole.lostMessage(*lost));
            return false;
        }
    }
    // Standard output sent to a file goes to the disk as it is written, as the file path's
    // output does, instead of piling up in the page cache until the system throttles the writer.
    const off_t start = ::lseek(out, 0, SEEK_CUR);
    RegionWriter writer(out, start > 0 ? start : 0);
    PieceTransform transform(raw, !crlf, key, encrypt, false);
    for (std::string_view piece; !(piece = transform.next()).empty();)
        if (!writer.Write(piece))
            throw CommandError(Tr(cli_messages::kCannotWriteOutput));
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
        say(Tr(cli_messages::kSeeHelp));
        return kCipherExitUsage;
    }

    TAppState state;
    SetStateDefaults(state, LevelBKeyTableData());
    if (options.action == TCipherOptions::Action::Help)
        return WriteAll(io.output, Tr(kCipherHelp)) ? kCipherExitDone : kCipherExitRefused;
    if (options.action == TCipherOptions::Action::Version) {
        const std::string version = std::string(cli_messages::kProgram) + " (" + state.ProductName +
                                    ") " + state.Version + "\n";
        return WriteAll(io.output, version) ? kCipherExitDone : kCipherExitRefused;
    }

    TCipherJob job{options.direction, options.level,   {},
                   options.force,     options.openPgp, io.s2kIterations};
    // The key is overwritten once the run is over, however it ends.
    struct TWiped {
        std::string& key;
        ~TWiped() { WipeSecret(key); }
    } const wiped{job.typed};
    const bool levelA = !options.openPgp && options.level == EncryptionLevel::A;
    try {
        if (levelA) {
            try {
                ReadSettingsForLevelA(state, options.settingsFile
                                                 ? *options.settingsFile
                                                 : DefaultSettingsPath(state.SettingsFile));
            } catch (const CommandError& error) {
                say(program + error.what());
                say(program + Tr(cli_messages::kSettingsHint));
                return kCipherExitRefused;
            }
        }
        if (options.passwordFile) {
            // At Level A too: the editor then says that the password is ignored.
            std::string warning;
            job.typed =
                ReadPasswordFile(*options.passwordFile, &warning,
                                 options.openPgp ? TKeyBytes::AsTheyAre : TKeyBytes::PasswordBox);
            if (!warning.empty())
                say(program + warning);
        } else if (!levelA) {
            if (!io.ask) {
                say(program + LevelName(options) + Tr(cli_messages::kNoKeySource));
                say(Tr(cli_messages::kSeeHelp));
                return kCipherExitUsage;
            }
            job.typed = AskForKey(io, options);
        }
        if (options.openPgp && job.typed.empty())
            throw CommandError(Tr(openpgp_messages::kEmptyPassphrase));
        // Said once, not for each file.
        if (options.openPgp && options.direction == CipherDirection::Encrypt)
            if (const std::string advice = ShortPassphraseAdvice(PassphraseLength(job.typed));
                !advice.empty())
                say(program + Tr(cli_messages::kWarning) + win1252::ToUtf8(advice));
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
        } catch (const CommandError& error) {
            say(about + error.what());
        } catch (const std::bad_alloc&) {
            say(about + Tr(kOutOfMemory));
        } catch (const std::length_error&) {
            say(about + Tr(kOutOfMemory));
        }
        return false;
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
