#include "cli/text_pieces.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <new>

#include "cipher/levels.h"
#include "cipher/shift_cipher.h"
#include "cli/cipher_command.h"
#include "core/command_error.h"
#include "document/document_file.h"
#include "document/file_calls.h"

namespace {

// What a text is transformed in, a piece at a time.
constexpr std::size_t kPieceSize = 4 * 1024 * 1024;
// What is checked and then encrypted at once, small enough to stay in the processor's cache
// between the two, large enough that setting up the key for each costs nothing.
constexpr std::size_t kPartSize = 256 * 1024;
// What standard input is taken in at a time.
constexpr std::size_t kReadChunk = 1024 * 1024;

}  // namespace

PieceTransform::PieceTransform(std::string_view raw, bool normalise, std::string_view key,
                               bool encrypt, bool check)
    : m_raw(raw),
      m_normalise(normalise),
      m_key(key),
      m_encrypt(encrypt),
      m_check(check),
      m_size(normalise ? NormalisedSize(raw) : raw.size())
{
}

std::string_view PieceTransform::nextPart(std::size_t room)
{
    const std::size_t left = m_raw.size() - m_rawAt;
    if (!m_normalise) {
        const std::string_view part = m_raw.substr(m_rawAt, std::min(room, kPartSize));
        m_rawAt += part.size();
        return part;
    }
    // A raw byte gives at most two.
    const std::string_view raw = m_raw.substr(m_rawAt, std::min({left, room / 2, kPartSize / 2}));
    m_rawAt += raw.size();
    m_scratch.resize(kPartSize);
    return {m_scratch.data(), NormalisePiece(raw, m_afterCr, m_scratch.data())};
}

std::string_view PieceTransform::next()
{
    if (m_lost)
        return {};
    m_buffer.resize(std::min(kPieceSize, m_size));
    std::size_t filled = 0;
    while (m_done < m_size && m_buffer.size() - filled >= 2) {
        const std::string_view part = nextPart(m_buffer.size() - filled);
        char* const out = m_buffer.data() + filled;
        if (m_check && m_encrypt) {
            if (const auto bad = EncryptPieceChecked(part, m_key, m_done, out)) {
                m_lost = m_done + *bad;
                return {};  // nothing of it is to be kept
            }
        } else if (m_encrypt) {
            EncryptPiece(part, m_key, m_done, out);
        } else {
            DecryptPiece(part, m_key, m_done, out);
        }
        filled += part.size();
        m_done += part.size();
    }
    return {m_buffer.data(), filled};
}

std::optional<std::size_t> PieceTransform::findLost()
{
    while (!m_lost && m_done < m_size) {
        const std::string_view part = nextPart(kPartSize);
        if (const auto bad = FirstUnrestorable(part, m_key, m_done))
            m_lost = m_done + *bad;
        m_done += part.size();
    }
    return m_lost;
}

std::string PieceTransform::lostMessage(std::size_t index) const
{
    if (!m_normalise)
        return UnrestorableMessage(m_raw, index);
    const TTextPlace place = PlaceInNormalised(m_raw, index);
    return UnrestorableMessage(static_cast<unsigned char>(m_raw[place.offset]), place.line,
                               place.column);
}

namespace {

// The most a read may still take: what the process's address space leaves for the mapping.
std::size_t AddressSpaceLeft()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::numeric_limits<std::size_t>::max();
    return static_cast<std::size_t>(limit.rlim_cur);
}

// Moves what `from` gives into `to`, a chunk at a time: false at the end. Pipes are spliced and
// files copied inside the kernel; anything else (a terminal, a device) is read and written.
bool MoveChunk(int from, int to, char* buffer)
{
    for (;;) {
        ssize_t moved = ::splice(from, nullptr, to, nullptr, kReadChunk, SPLICE_F_MOVE);
        if (moved < 0 && errno == EINVAL)
            moved = ::sendfile(to, from, nullptr, kReadChunk);
        if (moved < 0 && errno == EINVAL) {
            moved = ReadSome(from, buffer, kReadChunk);
            if (moved > 0 && !WriteAll(to, {buffer, static_cast<std::size_t>(moved)}))
                throw std::bad_alloc();  // the file in memory takes no more
        }
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0 && (errno == ENOMEM || errno == ENOSPC || errno == EFBIG))
            throw std::bad_alloc();
        if (moved < 0)
            throw CommandError(Tr(cli_messages::kCannotReadInput));
        return moved > 0;
    }
}

}  // namespace

InputText::InputText(int fd)
{
    const FileDescriptor memory(::memfd_create("plimo-cipher input", MFD_CLOEXEC));
    if (!memory.valid())
        throw std::bad_alloc();
    // A larger pipe takes fewer turns between the writer and us; refused, the pipe stays as it is.
    ::fcntl(fd, F_SETPIPE_SZ, static_cast<int>(kReadChunk));
    const std::size_t most = AddressSpaceLeft();
    const auto buffer = std::make_unique<char[]>(kReadChunk);
    while (MoveChunk(fd, memory.get(), buffer.get())) {
        struct stat st {};
        if (::fstat(memory.get(), &st) == 0 && static_cast<std::size_t>(st.st_size) > most)
            throw std::bad_alloc();
    }
    struct stat st {};
    if (::fstat(memory.get(), &st) != 0)
        throw CommandError(Tr(cli_messages::kCannotReadInput));
    m_size = static_cast<std::size_t>(st.st_size);
    if (m_size == 0)
        return;
    void* data = ::mmap(nullptr, m_size, PROT_READ, MAP_SHARED | MAP_POPULATE, memory.get(), 0);
    if (data == MAP_FAILED)
        throw std::bad_alloc();
    m_data = static_cast<const char*>(data);
}

InputText::~InputText()
{
    if (m_data)
        ::munmap(const_cast<char*>(m_data), m_size);
}
