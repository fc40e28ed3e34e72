#include "cipher/openpgp.h"

#include <rnp/rnp.h>
#include <rnp/rnp_err.h>
#include <string.h>  // explicit_bzero
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <new>

namespace {

template <auto Destroy>
struct RnpDeleter {
    template <typename T>
    void operator()(T* handle) const
    {
        Destroy(handle);
    }
};
using Ffi = std::unique_ptr<rnp_ffi_st, RnpDeleter<rnp_ffi_destroy>>;
using Input = std::unique_ptr<rnp_input_st, RnpDeleter<rnp_input_destroy>>;
using Output = std::unique_ptr<rnp_output_st, RnpDeleter<rnp_output_destroy>>;
using EncryptOp = std::unique_ptr<rnp_op_encrypt_st, RnpDeleter<rnp_op_encrypt_destroy>>;
using VerifyOp = std::unique_ptr<rnp_op_verify_st, RnpDeleter<rnp_op_verify_destroy>>;
using RnpText = std::unique_ptr<char, RnpDeleter<rnp_buffer_destroy>>;

// What RNP's callbacks reach: the passphrase, where the bytes come from and go, and what
// failed on our side of them (RNP tells only that reading or writing stopped).
struct Io {
    std::string_view passphrase;
    const TOpenPgpReader* reader = nullptr;
    std::string* out = nullptr;  // else writer
    const TOpenPgpWriter* writer = nullptr;
    std::string ahead{};  // the stream forms' first bytes, read to see what they are
    std::size_t aheadGiven = 0;
    bool readFailed = false;
    bool writeFailed = false;
    std::exception_ptr exception{};
};

bool GivePassphrase(rnp_ffi_t, void* app, rnp_key_handle_t, const char*, char buffer[],
                    std::size_t size)
{
    const std::string_view passphrase = static_cast<Io*>(app)->passphrase;
    if (passphrase.size() >= size)
        return false;
    std::memcpy(buffer, passphrase.data(), passphrase.size());
    buffer[passphrase.size()] = '\0';
    return true;
}

bool ReadInput(void* app, void* buffer, std::size_t size, std::size_t* read)
{
    Io& io = *static_cast<Io*>(app);
    if (io.aheadGiven < io.ahead.size()) {
        *read = io.ahead.copy(static_cast<char*>(buffer), size, io.aheadGiven);
        io.aheadGiven += *read;
        return true;
    }
    try {
        const std::optional<std::size_t> got = (*io.reader)(static_cast<char*>(buffer), size);
        if (!got || *got > size) {
            io.readFailed = true;
            return false;
        }
        *read = *got;
        return true;
    } catch (...) {
        io.exception = std::current_exception();
        return false;
    }
}

bool ReadNothing(void*, void*, std::size_t, std::size_t* read)
{
    *read = 0;
    return true;
}

// Reserves `out` for `size` bytes in huge pages where the kernel gives them on request: a fresh
// buffer of a gigabyte costs a page fault every 4 KiB, seconds on a virtual machine, where 2 MiB
// pages take a 512th of them.
void ReserveLarge(std::string& out, std::size_t size)
{
    out.reserve(size);
    constexpr std::uintptr_t kHugePage = 2 << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(out.data());
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (start + out.capacity()) & ~(kHugePage - 1);
    if (end > first)
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

// Appends to a string that was reserved at its final size. Should it have to grow (a
// compressed message), the old buffer is wiped before it is let go: it may hold plain text.
void AppendWiping(std::string& out, std::string_view bytes)
{
    if (out.size() + bytes.size() > out.capacity()) {
        std::string larger;
        ReserveLarge(larger, std::max(out.size() + bytes.size(), out.capacity() * 2));
        larger.append(out);
        WipeSecret(out);
        out.swap(larger);
    }
    out.append(bytes);
}

bool WriteOutput(void* app, const void* bytes, std::size_t size)
{
    Io& io = *static_cast<Io*>(app);
    const std::string_view piece(static_cast<const char*>(bytes), size);
    try {
        if (io.out) {
            AppendWiping(*io.out, piece);
        } else if (!(*io.writer)(piece)) {
            io.writeFailed = true;
            return false;
        }
        return true;
    } catch (...) {
        io.exception = std::current_exception();
        return false;
    }
}

std::optional<OpenPgpOutcome> PassphraseRefusal(std::string_view passphrase)
{
    if (passphrase.empty())
        return OpenPgpOutcome::EmptyPassphrase;
    if (passphrase.size() > kOpenPgpMaxPassphrase ||
        passphrase.find('\0') != std::string_view::npos)
        return OpenPgpOutcome::UnusablePassphrase;
    return std::nullopt;
}

// The ffi object of one command: empty key rings that no file fills, and our passphrase.
Ffi NewFfi(Io& io)
{
    rnp_ffi_t ffi = nullptr;
    if (rnp_ffi_create(&ffi, "GPG", "GPG") != RNP_SUCCESS)
        throw std::bad_alloc();
    Ffi owned(ffi);
    rnp_ffi_set_pass_provider(ffi, GivePassphrase, &io);
    return owned;
}

Input NewInput(Io& io, std::optional<std::string_view> bytes)
{
    rnp_input_t input = nullptr;
    rnp_result_t result = RNP_SUCCESS;
    if (!bytes)
        result = rnp_input_from_callback(&input, ReadInput, nullptr, &io);
    else if (bytes->empty())  // RNP takes no empty memory
        result = rnp_input_from_callback(&input, ReadNothing, nullptr, &io);
    else
        result = rnp_input_from_memory(&input, reinterpret_cast<const uint8_t*>(bytes->data()),
                                       bytes->size(), false);
    if (result != RNP_SUCCESS)
        throw std::bad_alloc();
    return Input(input);
}

Output NewOutput(Io& io)
{
    rnp_output_t output = nullptr;
    if (rnp_output_to_callback(&output, WriteOutput, nullptr, &io) != RNP_SUCCESS)
        throw std::bad_alloc();
    return Output(output);
}

// What went wrong on our side of the callbacks, if anything: it outranks RNP's own account.
std::optional<OpenPgpOutcome> OurFailure(const Io& io, rnp_result_t result)
{
    if (io.exception)
        std::rethrow_exception(io.exception);
    if (io.readFailed)
        return OpenPgpOutcome::ReadFailed;
    if (io.writeFailed)
        return OpenPgpOutcome::WriteFailed;
    if (result == RNP_ERROR_OUT_OF_MEMORY)
        throw std::bad_alloc();
    return std::nullopt;
}

// Wipes what a failed command left in `out` and gives its memory back.
void Discard(std::string& out)
{
    WipeSecret(out);
    std::string().swap(out);
}

// Runs a command into `out`, leaving nothing there unless it is done; passes on its outcome or
// its exception.
template <typename Command>
OpenPgpOutcome IntoString(std::string& out, Command&& command)
{
    out.clear();
    OpenPgpOutcome outcome = OpenPgpOutcome::Failed;
    try {
        outcome = command();
    } catch (...) {
        Discard(out);
        throw;
    }
    if (outcome != OpenPgpOutcome::Done)
        Discard(out);
    return outcome;
}

OpenPgpOutcome Encrypt(std::optional<std::string_view> plain, Io& io,
                       const TOpenPgpOptions& options)
{
    const Ffi ffi = NewFfi(io);
    const Input input = NewInput(io, plain);
    Output output = NewOutput(io);
    rnp_op_encrypt_t created = nullptr;
    if (rnp_op_encrypt_create(&created, ffi.get(), input.get(), output.get()) != RNP_SUCCESS)
        return OpenPgpOutcome::Failed;
    EncryptOp op(created);
    const std::size_t iterations =
        options.s2kIterations != 0 ? options.s2kIterations : TunedS2kIterations();
    // The passphrase comes through GivePassphrase; with it alone, its S2K key is the session
    // key, and no encrypted session key is needed.
    const bool setUp = rnp_op_encrypt_set_armor(created, options.armour) == RNP_SUCCESS &&
                       rnp_op_encrypt_set_cipher(created, RNP_ALGNAME_AES_256) == RNP_SUCCESS &&
                       rnp_op_encrypt_set_aead(created, "None") == RNP_SUCCESS &&
                       rnp_op_encrypt_set_compression(created, "Uncompressed", 0) == RNP_SUCCESS &&
                       rnp_op_encrypt_set_file_name(created, "") == RNP_SUCCESS &&
                       rnp_op_encrypt_set_file_mtime(created, 0) == RNP_SUCCESS &&
                       rnp_op_encrypt_add_password(created, nullptr, RNP_ALGNAME_SHA256, iterations,
                                                   nullptr) == RNP_SUCCESS;
    const rnp_result_t result =
        setUp ? rnp_op_encrypt_execute(created) : rnp_result_t{RNP_ERROR_GENERIC};
    op.reset();
    output.reset();  // writes what RNP still holds
    if (const std::optional<OpenPgpOutcome> failure = OurFailure(io, result))
        return *failure;
    return result == RNP_SUCCESS ? OpenPgpOutcome::Done : OpenPgpOutcome::Failed;
}

bool IsSignatureFailure(rnp_result_t result)
{
    switch (result) {
        case RNP_ERROR_SIGNATURE_INVALID:
        case RNP_ERROR_SIGNATURE_EXPIRED:
        case RNP_ERROR_SIGNATURE_UNKNOWN:
        case RNP_ERROR_VERIFICATION_FAILED:
        case RNP_ERROR_NO_SIGNATURES_FOUND:
        case RNP_ERROR_KEY_NOT_FOUND:
            return true;
        default:
            return false;
    }
}

// What a decryption met on its way, as RNP tells it.
struct Met {
    std::size_t recipients = 0;   // public keys
    std::size_t passphrases = 0;  // symmetric-key packets
    std::string protection = "none";
    bool valid = false;
};

Met WhatRnpMet(rnp_op_verify_t op)
{
    Met met;
    char* mode = nullptr;
    rnp_op_verify_get_recipient_count(op, &met.recipients);
    rnp_op_verify_get_symenc_count(op, &met.passphrases);
    rnp_op_verify_get_protection_info(op, &mode, nullptr, &met.valid);
    const RnpText ownedMode(mode);
    if (mode)
        met.protection = mode;
    return met;
}

// What the first bytes of an input say it is, as RNP will take it.
enum class Looks {
    Armoured,  // the armour header within kArmourWindow bytes, where RNP looks for it
    Packets,   // a packet that starts a message: session keys, encrypted, compressed or literal
               // data, a signature or a marker
    Neither,
};
constexpr std::size_t kArmourWindow = 1024;

Looks LooksLike(std::string_view start)
{
    if (start.substr(0, kArmourWindow).find(kOpenPgpArmourHeader) != std::string_view::npos)
        return Looks::Armoured;
    if (start.empty() || (start.front() & 0x80) == 0)
        return Looks::Neither;
    const auto first = static_cast<unsigned char>(start.front());
    const unsigned tag = (first & 0x40) != 0 ? first & 0x3Fu : (first >> 2) & 0x0Fu;
    constexpr unsigned kMessageTags = 1u << 1 | 1u << 2 | 1u << 3 | 1u << 4 | 1u << 8 | 1u << 9 |
                                      1u << 10 | 1u << 11 | 1u << 18 | 1u << 20;
    return tag < 32 && (kMessageTags >> tag & 1u) != 0 ? Looks::Packets : Looks::Neither;
}

// Reads the first kArmourWindow bytes of a stream ahead, for LooksLike; RNP gets them first.
bool ReadAhead(Io& io)
{
    io.ahead.resize(kArmourWindow);
    std::size_t have = 0;
    while (have < io.ahead.size()) {
        const std::optional<std::size_t> got =
            (*io.reader)(io.ahead.data() + have, io.ahead.size() - have);
        if (!got || *got > io.ahead.size() - have)
            return false;
        if (*got == 0)
            break;
        have += *got;
    }
    io.ahead.resize(have);
    return true;
}

// What a decryption that RNP ran came to, from its result and what it met on the way.
OpenPgpOutcome Classify(rnp_result_t result, const Met& met, Looks looks)
{
    const bool encrypted = met.recipients + met.passphrases > 0 || met.protection != "none";
    if (result == RNP_SUCCESS) {
        if (!encrypted)
            return OpenPgpOutcome::NotEncrypted;
        if (met.protection == "cfb")
            return OpenPgpOutcome::Unsupported;
        return met.valid ? OpenPgpOutcome::Done : OpenPgpOutcome::Damaged;
    }
    // Where the passphrase's key decrypts a session key (a message for several passphrases or
    // public keys too), a wrong one gives a key for no algorithm RNP knows.
    if (result == RNP_ERROR_BAD_PASSWORD ||
        (result == RNP_ERROR_NOT_SUPPORTED && met.passphrases > 0))
        return OpenPgpOutcome::WrongPassphrase;
    if (met.recipients > 0 && met.passphrases == 0)
        return OpenPgpOutcome::ForPublicKey;
    if (result == RNP_ERROR_NOT_SUPPORTED)
        return OpenPgpOutcome::Unsupported;
    if (!encrypted && IsSignatureFailure(result))
        return OpenPgpOutcome::NotEncrypted;
    // Packets that broke before any encryption was met: bytes that only looked like a packet's
    // start, such as a plain text beginning with "Ã".
    if (!encrypted && looks == Looks::Packets)
        return OpenPgpOutcome::NotOpenPgp;
    return OpenPgpOutcome::Damaged;
}

OpenPgpOutcome Decrypt(std::optional<std::string_view> message, Io& io)
{
    if (!message && !ReadAhead(io))
        return OpenPgpOutcome::ReadFailed;
    const Looks looks = LooksLike(message ? *message : io.ahead);
    if (looks == Looks::Neither)
        return OpenPgpOutcome::NotOpenPgp;
    const Ffi ffi = NewFfi(io);
    const Input input = NewInput(io, message);
    // The plain text is shorter than the message, unless it was compressed; armour takes 4
    // characters for 3 bytes.
    if (message)
        ReserveLarge(*io.out,
                     looks == Looks::Armoured ? message->size() / 4 * 3 + 3 : message->size());
    Output output = NewOutput(io);
    rnp_op_verify_t created = nullptr;
    if (rnp_op_verify_create(&created, ffi.get(), input.get(), output.get()) != RNP_SUCCESS)
        return OpenPgpOutcome::Failed;
    VerifyOp op(created);
    rnp_result_t result = rnp_op_verify_set_flags(created, RNP_VERIFY_IGNORE_SIGS_ON_DECRYPT);
    if (result == RNP_SUCCESS)
        result = rnp_op_verify_execute(created);
    const Met met = WhatRnpMet(created);
    op.reset();
    output.reset();  // writes what RNP still holds
    if (const std::optional<OpenPgpOutcome> failure = OurFailure(io, result))
        return *failure;
    return Classify(result, met, looks);
}

}  // namespace

std::string_view OpenPgpMessage(OpenPgpOutcome outcome)
{
    using namespace openpgp_messages;
    switch (outcome) {
        case OpenPgpOutcome::Done:
            return {};
        case OpenPgpOutcome::EmptyPassphrase:
            return kEmptyPassphrase;
        case OpenPgpOutcome::UnusablePassphrase:
            return kUnusablePassphrase;
        case OpenPgpOutcome::WrongPassphrase:
            return kWrongPassphrase;
        case OpenPgpOutcome::Damaged:
            return kDamaged;
        case OpenPgpOutcome::ForPublicKey:
            return kForPublicKey;
        case OpenPgpOutcome::NotEncrypted:
            return kNotEncrypted;
        case OpenPgpOutcome::Unsupported:
            return kUnsupported;
        case OpenPgpOutcome::NotOpenPgp:
            return kNotOpenPgp;
        case OpenPgpOutcome::ReadFailed:
            return kReadFailed;
        case OpenPgpOutcome::WriteFailed:
            return kWriteFailed;
        case OpenPgpOutcome::Failed:
            return kFailed;
    }
    return kFailed;
}

std::size_t TunedS2kIterations()
{
    // RNP's own estimate (rnp_calculate_iterations) hashes for a moment and swings between
    // 65,536 and the maximum on a busy machine. Steadier: whole encryptions of an empty text,
    // the S2K alone being the difference a large count makes, each at its best of three.
    static const std::size_t tuned = [] {
        constexpr std::size_t kProbe = 16'777'216;
        const auto seconds = [](std::size_t count) {
            double best = std::numeric_limits<double>::infinity();
            for (int run = 0; run < 3; ++run) {
                std::string message;
                const auto start = std::chrono::steady_clock::now();
                if (OpenPgpEncrypt({}, "probe", message, {false, count}) != OpenPgpOutcome::Done)
                    return std::numeric_limits<double>::quiet_NaN();
                best = std::min(
                    best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                              .count());
            }
            return best;
        };
        const double s2k = seconds(kProbe) - seconds(1024);
        if (!(s2k > 0))
            return kMaxS2kIterations;
        const double wanted =
            static_cast<double>(kProbe) * static_cast<double>(kS2kTargetMs) / 1e3 / s2k;
        return static_cast<std::size_t>(std::clamp(wanted,
                                                   static_cast<double>(kMinTunedS2kIterations),
                                                   static_cast<double>(kMaxS2kIterations)));
    }();
    return tuned;
}

std::size_t OpenPgpMessageSizeBound(std::size_t plainSize, bool armour)
{
    // The packets' headers, the CFB prefix and the MDC take 66 bytes; a stream of unknown
    // length is cut into parts of 8 KiB, each with a header byte in two layers of packets.
    const std::size_t binary = plainSize + plainSize / 1024 + 256;
    if (!armour)
        return binary;
    constexpr std::size_t kLine = 76;  // characters on a line of armour, then CR LF
    const std::size_t characters = (binary + 2) / 3 * 4;
    // The header line and an empty one, the checksum line and the footer line.
    return characters + (characters / kLine + 1) * 2 + 128;
}

bool StartsWithOpenPgpArmour(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && text.substr(start).starts_with(kOpenPgpArmourHeader);
}

bool StartsWithOpenPgpPacket(std::string_view bytes)
{
    // One byte holds no armour header: only the packet's tag is looked at.
    return LooksLike(bytes.substr(0, 1)) == Looks::Packets;
}

OpenPgpOutcome OpenPgpEncrypt(std::string_view plain, std::string_view passphrase, std::string& out,
                              const TOpenPgpOptions& options)
{
    return IntoString(out, [&] {
        if (const std::optional<OpenPgpOutcome> refusal = PassphraseRefusal(passphrase))
            return *refusal;
        ReserveLarge(out, OpenPgpMessageSizeBound(plain.size(), options.armour));
        Io io{.passphrase = passphrase, .out = &out};
        return Encrypt(plain, io, options);
    });
}

OpenPgpOutcome OpenPgpDecrypt(std::string_view message, std::string_view passphrase,
                              std::string& out)
{
    return IntoString(out, [&] {
        if (const std::optional<OpenPgpOutcome> refusal = PassphraseRefusal(passphrase))
            return *refusal;
        Io io{.passphrase = passphrase, .out = &out};
        return Decrypt(message, io);
    });
}

OpenPgpOutcome OpenPgpEncryptStream(const TOpenPgpReader& read, std::string_view passphrase,
                                    const TOpenPgpWriter& write, const TOpenPgpOptions& options)
{
    if (const std::optional<OpenPgpOutcome> refusal = PassphraseRefusal(passphrase))
        return *refusal;
    Io io{.passphrase = passphrase, .reader = &read, .writer = &write};
    return Encrypt(std::nullopt, io, options);
}

OpenPgpOutcome OpenPgpDecryptStream(const TOpenPgpReader& read, std::string_view passphrase,
                                    const TOpenPgpWriter& write)
{
    if (const std::optional<OpenPgpOutcome> refusal = PassphraseRefusal(passphrase))
        return *refusal;
    Io io{.passphrase = passphrase, .reader = &read, .writer = &write};
    return Decrypt(std::nullopt, io);
}

TOpenPgpReader OpenPgpFdReader(int fd)
{
    return [fd](char* buffer, std::size_t size) -> std::optional<std::size_t> {
        ssize_t got = 0;
        do {
            got = ::read(fd, buffer, size);
        } while (got < 0 && errno == EINTR);
        return got < 0 ? std::nullopt : std::optional(static_cast<std::size_t>(got));
    };
}

TOpenPgpWriter OpenPgpFdWriter(int fd)
{
    return [fd](std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t put = ::write(fd, bytes.data(), bytes.size());
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return false;
            bytes.remove_prefix(static_cast<std::size_t>(put));
        }
        return true;
    };
}

void WipeSecret(std::string& secret)
{
    secret.resize(secret.capacity());
    explicit_bzero(secret.data(), secret.size());
    secret.clear();
}
