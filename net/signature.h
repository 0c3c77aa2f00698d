#pragma once
// Signed files: a build that names a publisher's public key takes a downloaded file only with a
// valid signature of that publisher, in the format of the `minisign` tool, beside it. A signature
// says only who signed the bytes; its trusted comment, signed with it, says when and as which file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace linkvane {

// The trusted comment of `minisigText` (the text of a .minisig file) when it is a signature of
// `fileBytes` by the key `publicKeyBase64` (the base64 line of a minisign.pub), both the file's
// signature (Ed25519 over the file, or over its BLAKE2b-512 hash, as minisign signs by default)
// and the signature of the trusted comment; nullopt otherwise. The signature text is remote and
// may be anything: whatever is not exactly a signature file (a missing line, bad base64, another
// key's id, too long) gives nullopt. Lines may end in "\n" or "\r\n". Safe from any thread.
std::optional<std::string> VerifiedTrustedComment(std::string_view fileBytes, std::string_view minisigText,
                                                  std::string_view publicKeyBase64);

// What a verified trusted comment says of an answer to a request for `requestedPath`. minisign
// writes "timestamp:<unix seconds>\tfile:<name>" by default (newer versions add "\thashed"); a
// publisher may write anything instead, and then it says nothing of either.
struct SignedClaims {
    // No "file:" field, or each names the file asked for: its base name (after the last '/' or
    // '\') is the last segment of the path, in any ASCII letter case (Windows servers ignore it).
    bool forRequestedFile = true;
    // The first "timestamp:" field, when it is decimal digits that fit: unix seconds. Compared only
    // with other signed times, never with the computer's clock, which is often wrong.
    std::optional<std::uint64_t> signedAt;
};
SignedClaims ReadTrustedComment(std::string_view comment, std::string_view requestedPath);

}  // namespace linkvane
