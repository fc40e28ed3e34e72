// OpenPGP decryption of any bytes, whole and as a stream in pieces of 1 to 6,112 bytes: both
// forms come to the same outcome and the same plain text, and a refusal leaves no result.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cipher/openpgp.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::InputReader input(data, size);
    const std::size_t piece = 1 + input.Byte() % 64 * 97;
    const std::string_view message = input.Rest();
    std::string plain, streamed;
    const OpenPgpOutcome whole = OpenPgpDecrypt(message, "fuzz", plain);
    FUZZ_CHECK(whole == OpenPgpOutcome::Done || plain.empty(), fuzz::Hex(message));
    std::size_t at = 0;
    const OpenPgpOutcome inPieces = OpenPgpDecryptStream(
        [&](char* buffer, std::size_t room) -> std::optional<std::size_t> {
            const std::size_t count = message.copy(buffer, std::min(room, piece), at);
            at += count;
            return count;
        },
        "fuzz", [&streamed](std::string_view bytes) { return streamed += bytes, true; });
    FUZZ_CHECK(inPieces == whole, fuzz::Hex(message));
    FUZZ_CHECK(whole != OpenPgpOutcome::Done || streamed == plain, fuzz::Hex(message));
    return 0;
}
