#include "cli/text_pieces.h"

#include <sys/mman.h>

#include <algorithm>
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
// Standard input's first reservation; only what is read takes memory.
constexpr std::size_t kFirstReservation = 64 * 1024 * 1024;
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

InputBuffer::InputBuffer(int fd)
{
    for (;;) {
        if (m_size == m_capacity)
            Grow();
        const ssize_t got =
            ReadSome(fd, m_data + m_size, std::min(kReadChunk, m_capacity - m_size));
        if (got < 0)
            throw CommandError(std::string(cli_messages::kCannotReadInput));
        if (got == 0)
            return;
        m_size += static_cast<std::size_t>(got);
    }
}

InputBuffer::~InputBuffer()
{
    if (m_data)
        ::munmap(m_data, m_capacity);
}

void InputBuffer::Grow()
{
    // Address space only: a page takes memory once something is read into it, and mremap moves
    // the pages that hold text rather than copying them.
    const std::size_t capacity = m_capacity == 0 ? kFirstReservation : m_capacity * 2;
    void* grown = m_data ? ::mremap(m_data, m_capacity, capacity, MREMAP_MAYMOVE)
                         : ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                                  MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (grown == MAP_FAILED)
        throw std::bad_alloc();
    m_data = static_cast<char*>(grown);
    m_capacity = capacity;
}
