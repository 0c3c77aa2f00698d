#include "net/signature.h"

#include "net/ascii.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace linkvane {

namespace {

constexpr std::size_t kKeyIdBytes = 8;
constexpr std::size_t kPublicKeyBytes = crypto_sign_PUBLICKEYBYTES;
constexpr std::size_t kSignatureBytes = crypto_sign_BYTES;
constexpr std::size_t kHashBytes = crypto_generichash_BYTES_MAX;  // BLAKE2b-512

// minisign's own bound on the trusted comment; the whole file is a few lines more. A larger text
// is no signature file and is refused before any decoding.
constexpr std::size_t kTrustedCommentMaxBytes = 8192;
constexpr std::size_t kSignatureFileMaxBytes = kTrustedCommentMaxBytes + 2048;

constexpr std::string_view kUntrustedPrefix = "untrusted comment: ";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";
constexpr std::string_view kTimestampField = "timestamp:";
constexpr std::string_view kFileField = "file:";

using KeyId = std::array<unsigned char, kKeyIdBytes>;

struct PublicKey {
    KeyId id;
    std::array<unsigned char, kPublicKeyBytes> key;
};

enum class Signed { File, HashOfFile };

struct SignatureLine {
    Signed what;
    KeyId keyId;
    std::array<unsigned char, kSignatureBytes> signature;
};

bool SodiumReady() {
    // libsodium must be initialised once before use; a function-local static makes that happen
    // exactly once whatever thread gets here first.
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// Decodes standard, padded base64 that must fill exactly N bytes: nothing before or after
// it, no whitespace, no stray bits.
template <std::size_t N>
std::optional<std::array<unsigned char, N>> DecodeExactly(std::string_view base64) {
    std::array<unsigned char, N> bytes{};
    std::size_t decoded = 0;
    const char* end = nullptr;
    if (sodium_base642bin(bytes.data(), bytes.size(), base64.data(), base64.size(), nullptr,
                          &decoded, &end, sodium_base64_VARIANT_ORIGINAL) != 0 ||
        decoded != N || end != base64.data() + base64.size())
        return std::nullopt;
    return bytes;
}

std::optional<PublicKey> ParsePublicKey(std::string_view base64) {
    const auto bytes = DecodeExactly<2 + kKeyIdBytes + kPublicKeyBytes>(base64);
    if (!bytes || (*bytes)[0] != 'E' || (*bytes)[1] != 'd')
        return std::nullopt;
    PublicKey key;
    std::copy_n(bytes->begin() + 2, kKeyIdBytes, key.id.begin());
    std::copy_n(bytes->begin() + 2 + kKeyIdBytes, kPublicKeyBytes, key.key.begin());
    return key;
}

std::optional<SignatureLine> ParseSignatureLine(std::string_view base64) {
    const auto bytes = DecodeExactly<2 + kKeyIdBytes + kSignatureBytes>(base64);
    if (!bytes || (*bytes)[0] != 'E')
        return std::nullopt;
    SignatureLine line;
    if ((*bytes)[1] == 'd')
        line.what = Signed::File;
    else if ((*bytes)[1] == 'D')
        line.what = Signed::HashOfFile;
    else
        return std::nullopt;
    std::copy_n(bytes->begin() + 2, kKeyIdBytes, line.keyId.begin());
    std::copy_n(bytes->begin() + 2 + kKeyIdBytes, kSignatureBytes, line.signature.begin());
    return line;
}

// The next line of `text` without its "\n" or "\r\n"; nullopt when no line break ends it, except
// for the last line, which may end at the end of the text.
std::optional<std::string_view> NextLine(std::string_view& text, bool last) {
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos && !last)
        return std::nullopt;
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The four lines of a signature file, nothing after them but line breaks.
struct SignatureFile {
    std::string_view signatureLine;
    std::string_view trustedComment;
    std::string_view globalSignatureLine;
};

std::optional<SignatureFile> SplitSignatureFile(std::string_view text) {
    if (text.size() > kSignatureFileMaxBytes)
        return std::nullopt;
    const auto untrusted = NextLine(text, false);
    const auto signature = NextLine(text, false);
    const auto trusted = NextLine(text, false);
    const auto global = NextLine(text, true);
    if (!untrusted || !signature || !trusted || !global ||
        !untrusted->starts_with(kUntrustedPrefix) || !trusted->starts_with(kTrustedPrefix) ||
        text.find_first_not_of("\r\n") != std::string_view::npos)
        return std::nullopt;
    const std::string_view comment = trusted->substr(kTrustedPrefix.size());
    if (comment.size() > kTrustedCommentMaxBytes)
        return std::nullopt;
    return SignatureFile{*signature, comment, *global};
}

bool Verifies(const std::array<unsigned char, kSignatureBytes>& signature, const unsigned char* message,
              std::size_t size, const PublicKey& key) {
    return crypto_sign_verify_detached(signature.data(), message, size, key.key.data()) == 0;
}

// What follows the last of the separators in `path`.
std::string_view LastSegment(std::string_view path, std::string_view separators) {
    const std::size_t last = path.find_last_of(separators);
    return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::optional<std::uint64_t> UnixSeconds(std::string_view digits) {
    std::uint64_t seconds = 0;
    const char* end = digits.data() + digits.size();
    // from_chars alone would take a leading '-' or stop at a non-digit and call it a number.
    if (digits.empty() || digits.front() < '0' || digits.front() > '9')
        return std::nullopt;
    const auto [stopped, error] = std::from_chars(digits.data(), end, seconds);
    if (error != std::errc() || stopped != end)
        return std::nullopt;
    return seconds;
}

}  // namespace

std::optional<std::string> VerifiedTrustedComment(std::string_view fileBytes, std::string_view minisigText,
                                                  std::string_view publicKeyBase64) {
    if (!SodiumReady())
        return std::nullopt;
    const auto key = ParsePublicKey(publicKeyBase64);
    const auto file = SplitSignatureFile(minisigText);
    if (!key || !file)
        return std::nullopt;
    const auto line = ParseSignatureLine(file->signatureLine);
    const auto global = DecodeExactly<kSignatureBytes>(file->globalSignatureLine);
    if (!line || !global || line->keyId != key->id)
        return std::nullopt;

    const auto* fileData = reinterpret_cast<const unsigned char*>(fileBytes.data());
    if (line->what == Signed::File) {
        if (!Verifies(line->signature, fileData, fileBytes.size(), *key))
            return std::nullopt;
    } else {
        std::array<unsigned char, kHashBytes> hash{};
        if (crypto_generichash(hash.data(), hash.size(), fileData, fileBytes.size(), nullptr, 0) != 0 ||
            !Verifies(line->signature, hash.data(), hash.size(), *key))
            return std::nullopt;
    }

    // The trusted comment is signed together with the file's signature.
    std::vector<unsigned char> signedComment(line->signature.begin(), line->signature.end());
    signedComment.insert(signedComment.end(), file->trustedComment.begin(), file->trustedComment.end());
    if (!Verifies(*global, signedComment.data(), signedComment.size(), *key))
        return std::nullopt;
    return std::string(file->trustedComment);
}

SignedClaims ReadTrustedComment(std::string_view comment, std::string_view requestedPath) {
    SignedClaims claims;
    bool timestampSeen = false;
    const std::string_view requestedName = LastSegment(requestedPath, "/");
    while (true) {
        const std::size_t tab = comment.find('\t');
        const std::string_view field = comment.substr(0, tab);
        if (field.starts_with(kFileField) &&
            !EqualsCaseless(LastSegment(field.substr(kFileField.size()), "/\\"), requestedName))
            claims.forRequestedFile = false;
        if (field.starts_with(kTimestampField) && !std::exchange(timestampSeen, true))
            claims.signedAt = UnixSeconds(field.substr(kTimestampField.size()));
        if (tab == std::string_view::npos)
            return claims;
        comment.remove_prefix(tab + 1);
    }
}

}  // namespace linkvane
