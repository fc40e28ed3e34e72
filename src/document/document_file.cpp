#include "document/document_file.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include <sys/stat.h>

#include "core/command_error.h"
#include "document/atomic_file.h"
#include "document/file_messages.h"
#include "document/file_read.h"

#ifdef __SSE2__
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

// How many bytes normalising adds: one for each lone CR and each lone LF.
std::size_t AddedBytes(std::string_view bytes)
{
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    std::size_t added = 0;
    while ((p = FindBreak(p, end)) < end) {
        const std::size_t length = BreakLength(p, end);
        added += 2 - length;
        p += length;
    }
    return added;
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

[[noreturn]] void ThrowTooLarge()
{
    throw CommandError(std::string(kTextExceedsCapacity));
}

}  // namespace

std::string NormaliseLineBreaks(std::string_view bytes)
{
    const std::size_t added = AddedBytes(bytes);
    std::string out(bytes.size() + added, '\0');
    NormaliseInto(bytes, out.data());
    return out;
}

std::string LoadDocument(const std::string& path, std::size_t capacity)
{
    try {
        std::string raw;
        // Normalising never shortens a text, so a file above the capacity cannot fit at all.
        switch (ReadWholeFile(path, capacity, raw)) {
            case TReadResult::Ok:
                break;
            case TReadResult::TooLarge:
                ThrowTooLarge();
            case TReadResult::Missing:
            case TReadResult::Failed:
                throw CommandError(std::string(kCannotOpenFile) + path);
        }
        const std::size_t added = AddedBytes(raw);
        if (added == 0)
            return raw;  // already CR LF throughout: no second copy of a large file
        if (raw.size() + added > capacity)
            ThrowTooLarge();
        std::string text(raw.size() + added, '\0');
        NormaliseInto(raw, text.data());
        return text;
    } catch (const std::bad_alloc&) {
        ThrowTooLarge();
    } catch (const std::length_error&) {
        ThrowTooLarge();
    }
}

void SaveDocument(const std::string& path, std::string_view bytes)
{
    WriteFileAtomically(path, bytes, kDocumentFileMode);
}

FileStamp StampOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {true, static_cast<std::uintmax_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}
