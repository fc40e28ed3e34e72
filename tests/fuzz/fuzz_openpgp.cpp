// OpenPGP decryption of any bytes, whole and as a stream in pieces of any size: both forms come
// to the same outcome and the same plain text, and nothing is left in the result of a refusal.
// With the first byte odd, the rest is encrypted instead, decrypted back exactly, and decrypted
// again with one byte changed: a message that still opens gives exactly the text.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "cipher/openpgp.h"
#include "fuzz_support.h"

namespace {

constexpr std::string_view kPassphrase = "fuzz";

// The memory form, then the stream form with pieces of `piece` bytes; the checked outcome.
OpenPgpOutcome DecryptBothWays(std::string_view message, std::size_t piece, std::string& plain)
{
    const OpenPgpOutcome whole = OpenPgpDecrypt(message, kPassphrase, plain);
    FUZZ_CHECK(whole == OpenPgpOutcome::Done || plain.empty(), fuzz::Hex(message));
    std::size_t at = 0;
    std::string streamed;
    const OpenPgpOutcome inPieces = OpenPgpDecryptStream(
        [&](char* buffer, std::size_t size) -> std::optional<std::size_t> {
            const std::size_t count = std::min({size, piece, message.size() - at});
            message.copy(buffer, count, at);
            at += count;
            return count;
        },
        kPassphrase,
        [&streamed](std::string_view bytes) {
            streamed += bytes;
            return true;
        });
    FUZZ_CHECK(inPieces == whole, fuzz::Hex(message));
    FUZZ_CHECK(whole != OpenPgpOutcome::Done || streamed == plain, fuzz::Hex(message));
    return whole;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::InputReader input(data, size);
    const std::uint8_t mode = input.Byte();
    const std::size_t piece = 1 + input.Byte() % 64 * 97;
    const std::size_t changeAt = input.Byte() * 256u + input.Byte();
    const std::string_view rest = input.Rest();
    std::string plain;
    if (mode % 2 == 0) {
        DecryptBothWays(rest, piece, plain);
        return 0;
    }
    std::string message;
    const bool armour = mode & 2;
    FUZZ_CHECK(OpenPgpEncrypt(rest, kPassphrase, message, {armour, 1024}) == OpenPgpOutcome::Done,
               fuzz::Hex(rest));
    FUZZ_CHECK(message.size() <= OpenPgpMessageSizeBound(rest.size(), armour), fuzz::Hex(rest));
    FUZZ_CHECK(DecryptBothWays(message, piece, plain) == OpenPgpOutcome::Done && plain == rest,
               fuzz::Hex(rest));
    message[changeAt % message.size()] ^= static_cast<char>(1 + mode / 4);
    if (DecryptBothWays(message, piece, plain) == OpenPgpOutcome::Done)
        FUZZ_CHECK(plain == rest, fuzz::Hex(message));
    return 0;
}
