#include "document/document_file.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/command_error.h"
#include "document/atomic_file.h"
#include "document/file_calls.h"
#include "document/file_messages.h"
#include "document/file_read.h"

#if defined(__x86_64__) && defined(__GNUC__)
// The check that every break is CR LF takes 32 bytes a load where the processor has AVX2,
// checked when running.
#define PLIMO_CRLF_WITH_AVX2 1
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The next CR or LF at or after `p`, or `end`. Lines are long compared with 16 bytes, so the
// search runs on 16 bytes at a time; this is the whole cost of loading a large file.
const char* FindBreak(const char* p, const char* const end)
{
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf)));
        if (mask != 0)
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    while (p < end && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

// The length of the break that starts at `p`: 2 for CR LF, else 1.
std::size_t BreakLength(const char* p, const char* end)
{
    return p[0] == '\r' && p + 1 < end && p[1] == '\n' ? 2 : 1;
}

// The lone CRs and LFs, which normalising makes CR LF.
TLoneBreaks LoneBreaksOf(std::string_view bytes)
{
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    TLoneBreaks lone;
    while ((p = FindBreak(p, end)) < end) {
        const std::size_t length = BreakLength(p, end);
        if (length == 1)
            ++(*p == '\n' ? lone.lf : lone.cr);
        p += length;
    }
    return lone;
}

// How many bytes normalising adds: one for each lone CR and each lone LF.
std::size_t AddedBytes(std::string_view bytes)
{
    const TLoneBreaks lone = LoneBreaksOf(bytes);
    return lone.lf + lone.cr;
}

// Writes the normalised bytes to `out`, which has room for bytes.size() + AddedBytes(bytes).
void NormaliseInto(std::string_view bytes, char* out)
{
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    for (;;) {
        const char* const lineEnd = FindBreak(p, end);
        std::memcpy(out, p, static_cast<std::size_t>(lineEnd - p));
        out += lineEnd - p;
        if (lineEnd == end)
            return;
        *out++ = '\r';
        *out++ = '\n';
        p = lineEnd + BreakLength(lineEnd, end);
    }
}

// The check that every break is CR LF already, a 64-byte block at a time with no branch on the
// bytes: bit i of a block's masks is set where byte i is CR, or LF. The text is all CR LF exactly
// when every LF follows a CR and every CR is followed by an LF, that is when each block's LF mask
// is its CR mask moved one byte on, with the CR that ended the block before moved in.
struct BreakMasks {
    std::uint64_t cr;
    std::uint64_t lf;
};

constexpr std::size_t kBlock = 64;
// How many blocks pass between two looks at whether a lone break was seen.
constexpr std::size_t kBlocksPerLook = 64;

// Adds to `lone` the bits of the block's lone breaks, and carries its last CR to the next.
inline void CheckBlock(BreakMasks masks, std::uint64_t& carry, std::uint64_t& lone)
{
    lone |= masks.lf ^ (masks.cr << 1 | carry);
    carry = masks.cr >> 63;
}

// SSE2 is the baseline of x86-64; elsewhere, byte by byte.
inline BreakMasks Masks(const char* p)
{
    BreakMasks masks{0, 0};
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (unsigned k = 0; k < kBlock / 16; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const auto bits = [](__m128i found) {
            return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(found))};
        };
        masks.cr |= bits(_mm_cmpeq_epi8(v, cr)) << (16 * k);
        masks.lf |= bits(_mm_cmpeq_epi8(v, lf)) << (16 * k);
    }
#else
    for (unsigned i = 0; i < kBlock; ++i) {
        masks.cr |= std::uint64_t{p[i] == '\r'} << i;
        masks.lf |= std::uint64_t{p[i] == '\n'} << i;
    }
#endif
    return masks;
}

// Checks `blocks` whole blocks from `p`; false as soon as a lone break was seen.
bool BlocksCrLf(const char* p, std::size_t blocks, std::uint64_t& carry)
{
    std::uint64_t lone = 0;
    for (std::size_t b = 0; b < blocks; ++b) {
        CheckBlock(Masks(p + b * kBlock), carry, lone);
        if (b % kBlocksPerLook == kBlocksPerLook - 1 && lone != 0)
            return false;
    }
    return lone == 0;
}

#if defined(PLIMO_CRLF_WITH_AVX2)
__attribute__((target("avx2"))) inline std::uint64_t Bits32(__m256i found)
{
    return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(found))};
}

__attribute__((target("avx2"))) inline BreakMasks MasksAvx2(const char* p)
{
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    return {Bits32(_mm256_cmpeq_epi8(low, cr)) | Bits32(_mm256_cmpeq_epi8(high, cr)) << 32,
            Bits32(_mm256_cmpeq_epi8(low, lf)) | Bits32(_mm256_cmpeq_epi8(high, lf)) << 32};
}

__attribute__((target("avx2"))) bool BlocksCrLfAvx2(const char* p, std::size_t blocks,
                                                    std::uint64_t& carry)
{
    std::uint64_t lone = 0;
    for (std::size_t b = 0; b < blocks; ++b) {
        CheckBlock(MasksAvx2(p + b * kBlock), carry, lone);
        if (b % kBlocksPerLook == kBlocksPerLook - 1 && lone != 0)
            return false;
    }
    return lone == 0;
}

const bool kHasAvx2 = __builtin_cpu_supports("avx2");
#endif

// Room beyond the text for the editing area's first gap (its buffer grows by 1/64 of the text,
// at least 4 KiB), so that the first key typed does not copy the whole text into a new buffer,
// holding it twice meanwhile.
std::size_t GrowthRoom(std::size_t size)
{
    return size / 64 + 8192;
}

[[noreturn]] void ThrowTooLarge()
{
    throw CommandError(Tr(kTextExceedsCapacity));
}

}  // namespace

namespace {

bool AllBreaksCrLfWith(std::string_view bytes, [[maybe_unused]] bool avx2)
{
    const std::size_t blocks = bytes.size() / kBlock;
    std::uint64_t carry = 0;  // nothing before the first byte: an LF there is alone
#if defined(PLIMO_CRLF_WITH_AVX2)
    if (avx2 ? !BlocksCrLfAvx2(bytes.data(), blocks, carry)
             : !BlocksCrLf(bytes.data(), blocks, carry))
        return false;
#else
    if (!BlocksCrLf(bytes.data(), blocks, carry))
        return false;
#endif
    // The tail, shorter than a block, as a block of its own padded with bytes that are no break:
    // a CR that ends the text then meets no LF, also one carried in from the last whole block.
    char tail[kBlock] = {};
    if (const std::size_t rest = bytes.size() - blocks * kBlock; rest > 0)
        std::memcpy(tail, bytes.data() + blocks * kBlock, rest);
    return BlocksCrLf(tail, 1, carry);
}

}  // namespace

bool AllBreaksCrLf(std::string_view bytes)
{
#if defined(PLIMO_CRLF_WITH_AVX2)
    return AllBreaksCrLfWith(bytes, kHasAvx2);
#else
    return AllBreaksCrLfWith(bytes, false);
#endif
}

bool detail::AllBreaksCrLfBaseline(std::string_view bytes)
{
    return AllBreaksCrLfWith(bytes, false);
}

std::size_t NormalisePiece(std::string_view piece, bool& afterCr, char* out)
{
    const char* p = piece.data();
    const char* const end = p + piece.size();
    if (p == end)
        return 0;
    if (std::exchange(afterCr, false) && *p == '\n')
        ++p;  // the LF of a CR LF cut between two pieces: its CR gave the break
    char* o = out;
    for (;;) {
        const char* const lineEnd = FindBreak(p, end);
        std::memcpy(o, p, static_cast<std::size_t>(lineEnd - p));
        o += lineEnd - p;
        if (lineEnd == end)
            break;
        *o++ = '\r';
        *o++ = '\n';
        if (*lineEnd == '\r' && lineEnd + 1 == end)
            afterCr = true;
        p = lineEnd + BreakLength(lineEnd, end);
    }
    return static_cast<std::size_t>(o - out);
}

std::size_t NormalisedSize(std::string_view bytes)
{
    return bytes.size() + AddedBytes(bytes);
}

TTextPlace PlaceInNormalised(std::string_view bytes, std::size_t index)
{
    TTextPlace place;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    std::size_t lineStart = 0;  // in the normalised text
    for (;;) {
        const char* const lineEnd = FindBreak(p, end);
        const auto length = static_cast<std::size_t>(lineEnd - p);
        if (index < lineStart + length || lineEnd == end) {
            place.column = index - lineStart + 1;
            place.offset = static_cast<std::size_t>(p - bytes.data()) + place.column - 1;
            return place;
        }
        lineStart += length + 2;
        ++place.line;
        p = lineEnd + BreakLength(lineEnd, end);
    }
}

std::string NormaliseLineBreaks(std::string_view bytes)
{
    const std::size_t added = AddedBytes(bytes);
    std::string out(bytes.size() + added, '\0');
    NormaliseInto(bytes, out.data());
    return out;
}

std::string LoadDocument(const std::string& path, std::size_t capacity, TLoneBreaks* lone,
                         TKeepAsItIs keepAsItIs)
{
    try {
        std::string raw;
        // Normalising never shortens a text, so a file above the capacity cannot fit at all.
        switch (ReadWholeFile(path, capacity, raw, nullptr, GrowthRoom)) {
            case TReadResult::Ok:
                break;
            case TReadResult::TooLarge:
                ThrowTooLarge();
            case TReadResult::Missing:
            case TReadResult::Failed:
                throw CommandError(Tr(kCannotOpenFile) + path);
        }
        if (AllBreaksCrLf(raw) || (keepAsItIs && keepAsItIs(raw)))
            return raw;  // no second copy of a large file
        const TLoneBreaks found = LoneBreaksOf(raw);
        if (lone)
            *lone = found;
        const std::size_t added = found.lf + found.cr;
        if (raw.size() + added > capacity)
            ThrowTooLarge();
        std::string text;
        text.reserve(raw.size() + added + GrowthRoom(raw.size() + added));
        text.resize(raw.size() + added);
        NormaliseInto(raw, text.data());
        return text;
    } catch (const std::bad_alloc&) {
        ThrowTooLarge();
    } catch (const std::length_error&) {
        ThrowTooLarge();
    }
}

void SaveDocument(const std::string& path, std::string_view bytes, const TFileId* input)
{
    bool given = false;
    const TBytePieces whole{bytes.size(), [&given, bytes] {
                                return std::exchange(given, true) ? std::string_view() : bytes;
                            }};
    WriteFileAtomically(path, whole, kDocumentFileMode, TExistingMode::Keep, input);
}

void SaveDocument(const std::string& path, const TBytePieces& bytes, const TFileId* input)
{
    WriteFileAtomically(path, bytes, kDocumentFileMode, TExistingMode::Keep, input);
}

namespace {

// The one mapped document's pages, for the handler of SIGBUS: the signal the kernel sends when
// a mapped page is gone because another program cut the file short while we read it.
const char* g_mappedStart = nullptr;
std::size_t g_mappedSize = 0;
std::size_t g_pageSize = 4096;
volatile sig_atomic_t g_mappedPageLost = 0;
struct sigaction g_previousBusAction {};

void OnBusError(int signal, siginfo_t* info, void* context)
{
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    const auto start = reinterpret_cast<std::uintptr_t>(g_mappedStart);
    if (g_mappedStart && at >= start && at < start + g_mappedSize) {
        // A page of zeros where the lost one was; the reader is told afterwards.
        void* page = reinterpret_cast<void*>(at & ~(g_pageSize - 1));
        if (::mmap(page, g_pageSize, PROT_READ, MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) !=
            MAP_FAILED) {
            g_mappedPageLost = 1;
            return;
        }
    }
    // Not ours: as if there were no handler.
    if (g_previousBusAction.sa_flags & SA_SIGINFO && g_previousBusAction.sa_sigaction) {
        g_previousBusAction.sa_sigaction(signal, info, context);
        return;
    }
    ::signal(SIGBUS, SIG_DFL);
    ::raise(SIGBUS);
}

}  // namespace

MappedDocument::MappedDocument(const std::string& path, const char* data, std::size_t size,
                               TFileId id)
    : m_path(path), m_stamp(StampOf(path)), m_id(id), m_data(data), m_size(size)
{
}

std::optional<MappedDocument> MappedDocument::Open(const std::string& path, std::size_t capacity)
{
    std::optional<MappedDocument> document = OpenAsItIs(path, capacity);
    if (document && !document->crlf())
        return std::nullopt;
    return document;
}

std::optional<MappedDocument> MappedDocument::OpenAsItIs(const std::string& path,
                                                         std::size_t capacity)
{
    if (g_mappedStart)
        return std::nullopt;  // one at a time: the fault handler knows one range
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.valid())
        return std::nullopt;
    struct stat st {};
    void* data = MAP_FAILED;
    std::size_t size = 0;
    if (::fstat(file.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        static_cast<std::uintmax_t>(st.st_size) <= capacity) {
        size = static_cast<std::size_t>(st.st_size);
        // Populated at once: the pages are the file system's cache, read ahead in one go.
        data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.get(), 0);
    }
    if (data == MAP_FAILED)
        return std::nullopt;
    g_pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    g_mappedStart = static_cast<const char*>(data);
    g_mappedSize = size;
    g_mappedPageLost = 0;
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &g_previousBusAction);
    MappedDocument document(path, static_cast<const char*>(data), size, {st.st_dev, st.st_ino});
    document.m_crlf = AllBreaksCrLf(document.bytes());
    if (!document.unchanged())
        return std::nullopt;
    return document;
}

bool MappedDocument::unchanged() const
{
    return whole() && StampOf(m_path) == m_stamp;
}

bool MappedDocument::whole() const
{
    return g_mappedPageLost == 0;
}

MappedDocument::MappedDocument(MappedDocument&& other) noexcept
    : m_path(std::move(other.m_path)),
      m_stamp(other.m_stamp),
      m_id(other.m_id),
      m_crlf(other.m_crlf),
      m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0))
{
}

MappedDocument::~MappedDocument()
{
    if (!m_data)
        return;
    ::munmap(const_cast<char*>(m_data), m_size);
    ::sigaction(SIGBUS, &g_previousBusAction, nullptr);
    g_mappedStart = nullptr;
    g_mappedSize = 0;
}

FileStamp StampOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const auto ns = [](const timespec& t) {
        return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
    };
    return {true,           static_cast<std::uintmax_t>(st.st_size),
            ns(st.st_mtim), static_cast<std::uintmax_t>(st.st_dev),
            st.st_ino,      ns(st.st_ctim)};
}
