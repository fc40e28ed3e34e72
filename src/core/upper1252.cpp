#include "core/upper1252.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace win1252 {
namespace {

#if defined(__SSE2__)
// All-ones in the lanes where lo <= v <= hi (unsigned).
inline __m128i InRange(__m128i v, std::uint8_t lo, std::uint8_t hi)
{
    const __m128i x = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(lo)));
    const __m128i span = _mm_set1_epi8(static_cast<char>(hi - lo));
    return _mm_cmpeq_epi8(_mm_min_epu8(x, span), x);
}

inline __m128i Lane(std::uint8_t byte)
{
    return _mm_set1_epi8(static_cast<char>(byte));
}

// The same mapping as kUpperTable, as lane arithmetic: each small letter lies a fixed distance
// above its capital (0x20, 0x10 for š œ ž, 0x60 for ÿ).
inline __m128i Upper16(__m128i v)
{
    const __m128i ascii = InRange(v, 'a', 'z');
    if (_mm_movemask_epi8(v) == 0)  // plain ASCII, the common case
        return _mm_sub_epi8(v, _mm_and_si128(ascii, Lane(0x20)));

    const __m128i latin = _mm_andnot_si128(_mm_cmpeq_epi8(v, Lane(0xF7)), InRange(v, 0xE0, 0xFE));
    const __m128i caron =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, Lane(0x9A)), _mm_cmpeq_epi8(v, Lane(0x9C))),
                     _mm_cmpeq_epi8(v, Lane(0x9E)));
    const __m128i yDiaeresis = _mm_cmpeq_epi8(v, Lane(0xFF));
    const __m128i delta =
        _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_or_si128(ascii, latin), Lane(0x20)),
                                  _mm_and_si128(caron, Lane(0x10))),
                     _mm_and_si128(yDiaeresis, Lane(0x60)));
    return _mm_sub_epi8(v, delta);
}
#endif

}  // namespace

void UpperCopy(const char* src, std::size_t n, char* dst)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Upper16(v));
    }
#endif
    for (; i < n; ++i)
        dst[i] = Upper(src[i]);
}

void UpperInPlace(std::string& text)
{
    UpperCopy(text.data(), text.size(), text.data());
}

std::string UpperCopy(std::string_view text)
{
    std::string out(text.size(), '\0');
    UpperCopy(text.data(), text.size(), out.data());
    return out;
}

}  // namespace win1252
