#include "cipher/shift_cipher.h"

#include <array>
#include <functional>
#include <vector>

#include "cipher/whole_number.h"
#include "core/show_note.h"

namespace {

constexpr unsigned kPrintableTop = 126;
constexpr unsigned kPrintableBottom = 32;
constexpr unsigned kFold = 95;

// CR and LF keep the line structure; the tab passes too, since the fold would turn it into a
// printable character on the way back.
constexpr bool PassesThrough(unsigned c)
{
    return c == 9 || c == 10 || c == 13;
}

constexpr unsigned char EncryptChar(unsigned c, unsigned k)
{
    if (PassesThrough(c))
        return static_cast<unsigned char>(c);
    const unsigned s = c + k;
    return static_cast<unsigned char>(s <= kPrintableTop ? s : (s - kFold) & 0xFF);
}

constexpr unsigned char DecryptChar(unsigned c, unsigned k)
{
    if (PassesThrough(c))
        return static_cast<unsigned char>(c);
    const int d = static_cast<int>(c) - static_cast<int>(k);
    return static_cast<unsigned char>(d >= static_cast<int>(kPrintableBottom) ? d
                                                                              : (d + kFold) & 0xFF);
}

// The fast path. The key cycle is laid out once as a stream long enough that every tile reads its
// key bytes from one contiguous run, so the loop needs neither % nor a wrapping index. Per key byte
// the stream holds a threshold deciding the fold and the shift to add, everything in 8-bit
// arithmetic modulo 256, which is exactly the low-8-bit wrap of the cipher:
//   encryption: c + k > 126  <=>  c >= 127 - k (always, when k >= 127); out = c + k - 95 or c + k
//   decryption: c - k < 32   <=>  c <= k + 31 (always, when k >= 224);  out = c - k + 95 or c - k
// g++ at -O2 only vectorises loops of a fixed trip count, hence the fixed tile.

constexpr std::size_t kTile = 64;

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define PLIMO_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define PLIMO_VECTOR_CLONES
#endif

struct KeyStream {
    std::size_t cycle = 0;
    std::vector<unsigned char> threshold;
    std::vector<unsigned char> shift;
};

template <bool kEncrypt>
KeyStream MakeKeyStream(std::string_view key)
{
    KeyStream stream;
    stream.cycle = key.size() - 1;
    const std::size_t length = stream.cycle + kTile;
    stream.threshold.resize(length);
    stream.shift.resize(length);
    for (std::size_t j = 0; j < length; ++j) {
        const unsigned k = static_cast<unsigned char>(key[j % stream.cycle]);
        if constexpr (kEncrypt) {
            stream.threshold[j] = static_cast<unsigned char>(k <= 127 ? 127 - k : 0);
            stream.shift[j] = static_cast<unsigned char>(k);
        } else {
            stream.threshold[j] = static_cast<unsigned char>(k <= 224 ? k + 31 : 255);
            stream.shift[j] = static_cast<unsigned char>(256 - k);
        }
    }
    return stream;
}

template <bool kEncrypt>
inline unsigned char TransformOne(unsigned char c, unsigned char threshold, unsigned char shift)
{
    const bool fold = kEncrypt ? c >= threshold : c <= threshold;
    const unsigned char foldShift = kEncrypt ? 256 - kFold : kFold;
    const unsigned char moved = static_cast<unsigned char>(c + shift + (fold ? foldShift : 0));
    // (c | 4) == 13 holds for exactly 9 and 13.
    const bool passes = ((c | 4) == 13) | (c == 10);
    return passes ? c : moved;
}

// Neither printable nor passing through: whether the character comes back depends on the key
// character it meets, so only the table tells. Bitwise throughout, so that loops of it vectorise.
inline unsigned char Unusual(unsigned char c)
{
    const bool passes = ((c | 4) == 13) | (c == 10);
    const bool printable =
        static_cast<unsigned char>(c - kPrintableBottom) <= kPrintableTop - kPrintableBottom;
    return static_cast<unsigned char>(!(printable | passes));
}

template <bool kEncrypt>
inline void TransformTile(const unsigned char* __restrict in, unsigned char* __restrict out,
                          const unsigned char* __restrict threshold,
                          const unsigned char* __restrict shift)
{
    for (std::size_t i = 0; i < kTile; ++i)
        out[i] = TransformOne<kEncrypt>(in[i], threshold[i], shift[i]);
}

// The same, noting in `unusual` (a byte per position, kept over every tile, so that no tile
// needs a sum of its own) where an unusual character was met.
template <bool kEncrypt>
inline void TransformTileNoting(const unsigned char* __restrict in, unsigned char* __restrict out,
                                const unsigned char* __restrict threshold,
                                const unsigned char* __restrict shift,
                                unsigned char* __restrict unusual)
{
    for (std::size_t i = 0; i < kTile; ++i) {
        out[i] = TransformOne<kEncrypt>(in[i], threshold[i], shift[i]);
        unusual[i] |= Unusual(in[i]);
    }
}

template <bool kEncrypt>
inline void TransformTileInPlace(unsigned char* text, const unsigned char* __restrict threshold,
                                 const unsigned char* __restrict shift)
{
    for (std::size_t i = 0; i < kTile; ++i)
        text[i] = TransformOne<kEncrypt>(text[i], threshold[i], shift[i]);
}

bool Overlaps(std::string_view text, const std::string& out)
{
    const std::less<const char*> before;
    return !text.empty() && before(text.data(), out.data() + out.capacity()) &&
           before(out.data(), text.data() + text.size());
}

// Needs a key of two characters or more. Built twice on x86-64, for AVX2 and for the baseline,
// and picked at load time: AVX2 halves the instructions per byte, which keeps the cipher at
// memory speed when the processor is shared. In place when `in` is `dst`: a text of hundreds of
// megabytes then needs no second buffer. With kNote, true when an unusual character was met,
// found in the same pass over the text.
template <bool kEncrypt, bool kInPlace, bool kNote = false>
PLIMO_VECTOR_CLONES bool TransformBytes(const unsigned char* in, unsigned char* dst, std::size_t n,
                                        std::string_view key)
{
    static_assert(!(kInPlace && kNote));
    const KeyStream stream = MakeKeyStream<kEncrypt>(key);
    const unsigned char* threshold = stream.threshold.data();
    const unsigned char* shift = stream.shift.data();

    const std::size_t step = kTile % stream.cycle;
    std::size_t offset = 0;  // key position of the tile's first character, 0-based
    unsigned char unusual[kTile] = {};
    std::size_t i = 0;
    for (; i + kTile <= n; i += kTile) {
        if constexpr (kInPlace)
            TransformTileInPlace<kEncrypt>(dst + i, threshold + offset, shift + offset);
        else if constexpr (kNote)
            TransformTileNoting<kEncrypt>(in + i, dst + i, threshold + offset, shift + offset,
                                          unusual);
        else
            TransformTile<kEncrypt>(in + i, dst + i, threshold + offset, shift + offset);
        offset += step;
        if (offset >= stream.cycle)
            offset -= stream.cycle;
    }
    for (std::size_t j = 0; i + j < n; ++j) {
        dst[i + j] = TransformOne<kEncrypt>(in[i + j], threshold[offset + j], shift[offset + j]);
        if constexpr (kNote)
            unusual[j] |= Unusual(in[i + j]);
    }
    unsigned char any = 0;
    for (const unsigned char u : unusual)
        any |= u;
    return any != 0;
}

template <bool kEncrypt>
void Transform(std::string_view text, std::string_view key, std::string& out)
{
    auto* dst = reinterpret_cast<unsigned char*>(out.data());
    if (text.data() == out.data() && text.size() == out.size()) {
        TransformBytes<kEncrypt, true>(dst, dst, text.size(), key);
        return;
    }
    if (Overlaps(text, out)) {
        std::string fresh;
        Transform<kEncrypt>(text, key, fresh);
        out = std::move(fresh);
        return;
    }
    out.resize(text.size());
    TransformBytes<kEncrypt, false>(reinterpret_cast<const unsigned char*>(text.data()),
                                    reinterpret_cast<unsigned char*>(out.data()), text.size(), key);
}

bool IsKnownLevel(EncryptionLevel level)
{
    return level == EncryptionLevel::A || level == EncryptionLevel::B ||
           level == EncryptionLevel::C;
}

// Stands for a level text that names none of the levels.
constexpr auto kNoLevel = static_cast<EncryptionLevel>(-1);

// "1".."3" as StrToInt reads them (" 2" and "+3" too) name Levels A..C.
EncryptionLevel LevelOfText(std::string_view level)
{
    const auto value = TryStrToInt(level);
    return value && *value >= 1 && *value <= 3 ? static_cast<EncryptionLevel>(*value - 1)
                                               : kNoLevel;
}

// kRestorable[k][c]: character c comes back after encryption and decryption under key code k.
using RestorableTable = std::array<std::array<bool, 256>, 256>;

const RestorableTable& Restorable()
{
    static const RestorableTable table = [] {
        RestorableTable t{};
        for (unsigned k = 0; k < 256; ++k)
            for (unsigned c = 0; c < 256; ++c)
                t[k][c] = DecryptChar(EncryptChar(c, k), k) == c;
        return t;
    }();
    return table;
}

// Every printable character comes back under every character of the key's cycle: then only an
// unusual character can fail to come back.
bool PrintablesComeBack(std::string_view key)
{
    const RestorableTable& table = Restorable();
    for (std::size_t p = 0; p + 1 < key.size(); ++p)
        for (unsigned c = kPrintableBottom; c <= kPrintableTop; ++c)
            if (!table[static_cast<unsigned char>(key[p])][c])
                return false;
    return true;
}

}  // namespace

namespace {

// The key whose cycle starts where character `offset` of a text meets it: the cycle (every
// character but the last) turned, the last one kept, since it never takes part.
std::string KeyFrom(std::string_view key, std::size_t offset)
{
    const std::size_t cycle = key.size() - 1;
    const std::size_t turn = offset % cycle;
    std::string turned;
    turned.reserve(key.size());
    turned.append(key.substr(turn, cycle - turn)).append(key.substr(0, turn)).push_back(key.back());
    return turned;
}

}  // namespace

void EncryptPiece(std::string_view piece, std::string_view key, std::size_t offset, char* out)
{
    TransformBytes<true, false>(reinterpret_cast<const unsigned char*>(piece.data()),
                                reinterpret_cast<unsigned char*>(out), piece.size(),
                                KeyFrom(key, offset));
}

void DecryptPiece(std::string_view piece, std::string_view key, std::size_t offset, char* out)
{
    TransformBytes<false, false>(reinterpret_cast<const unsigned char*>(piece.data()),
                                 reinterpret_cast<unsigned char*>(out), piece.size(),
                                 KeyFrom(key, offset));
}

std::optional<std::size_t> EncryptPieceChecked(std::string_view piece, std::string_view key,
                                               std::size_t offset, char* out)
{
    const auto* in = reinterpret_cast<const unsigned char*>(piece.data());
    auto* dst = reinterpret_cast<unsigned char*>(out);
    const std::string turned = KeyFrom(key, offset);
    // A usual piece (printable characters, tabs and line breaks) under such a key is read once;
    // anything else is looked up in the table, as the check alone does.
    if (PrintablesComeBack(turned) &&
        !TransformBytes<true, false, true>(in, dst, piece.size(), turned))
        return std::nullopt;
    if (const auto lost = FirstUnrestorable(piece, turned))
        return lost;
    TransformBytes<true, false>(in, dst, piece.size(), turned);
    return std::nullopt;
}

TCipherRefusals EncryptRefusals(std::string_view text, std::string_view key, EncryptionLevel level)
{
    TCipherRefusals refusals;
    if (text.size() < kCipherMinTextLength)
        refusals.Add(CipherRefusal::TextTooShort);
    if (key.size() < kCipherMinKeyLength)
        refusals.Add(CipherRefusal::KeyTooShort);
    if (key.size() > kCipherMaxEncryptKeyLength)
        refusals.Add(CipherRefusal::KeyTooLong);
    if (!IsKnownLevel(level))
        refusals.Add(CipherRefusal::UnknownLevel);
    return refusals;
}

TCipherRefusals DecryptRefusals(std::string_view text, std::string_view key)
{
    TCipherRefusals refusals;
    if (text.size() < kCipherMinTextLength)
        refusals.Add(CipherRefusal::TextTooShort);
    if (key.size() < kCipherMinKeyLength)
        refusals.Add(CipherRefusal::KeyTooShort);
    return refusals;
}

TCipherRefusals EncryptInto(std::string_view text, std::string_view key, EncryptionLevel level,
                            std::string& out)
{
    const TCipherRefusals refusals = EncryptRefusals(text, key, level);
    if (refusals.Any())
        out.clear();
    else
        Transform<true>(text, key, out);
    return refusals;
}

// The level plays no part in decryption.
TCipherRefusals DecryptInto(std::string_view text, std::string_view key, EncryptionLevel,
                            std::string& out)
{
    const TCipherRefusals refusals = DecryptRefusals(text, key);
    if (refusals.Any())
        out.clear();
    else
        Transform<false>(text, key, out);
    return refusals;
}

std::string_view CipherRefusalMessage(CipherDirection direction, CipherRefusal refusal)
{
    namespace m = cipher_messages;
    const bool encrypt = direction == CipherDirection::Encrypt;
    switch (refusal) {
        case CipherRefusal::TextTooShort:
            return encrypt ? m::kTextTooShortToEncrypt : m::kTextTooShortToDecrypt;
        case CipherRefusal::KeyTooShort:
            return encrypt ? m::kEncryptKeyTooShort : m::kDecryptKeyTooShort;
        case CipherRefusal::KeyTooLong:
            return encrypt ? m::kEncryptKeyTooLong : std::string_view();
        case CipherRefusal::UnknownLevel:
            break;
    }
    return {};
}

void ShowCipherRefusals(CipherDirection direction, TCipherRefusals refusals)
{
    for (const CipherRefusal refusal : {CipherRefusal::TextTooShort, CipherRefusal::KeyTooShort,
                                        CipherRefusal::KeyTooLong, CipherRefusal::UnknownLevel}) {
        const std::string_view message = CipherRefusalMessage(direction, refusal);
        if (refusals.Has(refusal) && !message.empty())
            ShowNote(message);
    }
}

std::string EncryptText(std::string_view text, std::string_view key, std::string_view level)
{
    std::string out;
    ShowCipherRefusals(CipherDirection::Encrypt, EncryptInto(text, key, LevelOfText(level), out));
    return out;
}

std::string DecryptText(std::string_view text, std::string_view key, std::string_view level)
{
    std::string out;
    ShowCipherRefusals(CipherDirection::Decrypt, DecryptInto(text, key, LevelOfText(level), out));
    return out;
}

std::optional<std::size_t> FirstUnrestorable(std::string_view text, std::string_view key)
{
    if (key.size() < 2)
        return std::nullopt;
    const RestorableTable& table = Restorable();
    const std::size_t cycle = key.size() - 1;
    std::vector<const bool*> rows(cycle);
    for (std::size_t p = 0; p < cycle; ++p)
        rows[p] = table[static_cast<unsigned char>(key[p])].data();
    const bool printableSafe = PrintablesComeBack(key);

    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t p = 0;
    auto scan = [&](std::size_t from, std::size_t to) -> std::optional<std::size_t> {
        for (std::size_t i = from; i < to; ++i) {
            if (!rows[p][in[i]])
                return i;
            if (++p == cycle)
                p = 0;
        }
        return std::nullopt;
    };

    // Usual texts are printable with line ends and tabs: skip whole tiles of those at vector
    // speed and look up the table only in a tile holding anything else.
    std::size_t i = 0;
    if (printableSafe) {
        const std::size_t step = kTile % cycle;
        for (; i + kTile <= n; i += kTile) {
            unsigned char other = 0;
            for (std::size_t j = 0; j < kTile; ++j)
                other |= Unusual(in[i + j]);
            if (other) {
                if (const auto lost = scan(i, i + kTile))
                    return lost;
            } else {
                p += step;
                if (p >= cycle)
                    p -= cycle;
            }
        }
    }
    return scan(i, n);
}

std::optional<std::size_t> FirstUnrestorable(std::string_view piece, std::string_view key,
                                             std::size_t offset)
{
    if (key.size() < 2)
        return std::nullopt;
    return FirstUnrestorable(piece, KeyFrom(key, offset));
}

namespace detail {

namespace {
template <unsigned char (*kChar)(unsigned, unsigned)>
std::string TransformReference(std::string_view text, std::string_view key)
{
    if (key.size() < 2)
        return {};
    std::string out;
    out.reserve(text.size());
    std::size_t p = 1;  // 1-based, as the cipher is written down
    for (const char c : text) {
        out.push_back(static_cast<char>(
            kChar(static_cast<unsigned char>(c), static_cast<unsigned char>(key[p - 1]))));
        ++p;
        if (p == key.size())
            p = 1;
    }
    return out;
}
}  // namespace

std::string EncryptReference(std::string_view text, std::string_view key)
{
    return TransformReference<EncryptChar>(text, key);
}

std::string DecryptReference(std::string_view text, std::string_view key)
{
    return TransformReference<DecryptChar>(text, key);
}

}  // namespace detail
