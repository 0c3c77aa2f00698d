#pragma once
// Signed files: a build that names a publisher's public key takes a downloaded file only with a
// valid signature of that publisher, in the format of the `minisign` tool, beside it.

#include <string_view>

namespace linkvane {

// True only when `minisigText` (the text of a .minisig file) is a signature of `fileBytes` by the
// key `publicKeyBase64` (the base64 line of a minisign.pub), both the file's signature (Ed25519
// over the file, or over its BLAKE2b-512 hash, as minisign signs by default) and the signature of
// the trusted comment. The signature text is remote and may be anything: whatever is not exactly a
// signature file (a missing line, bad base64, another key's id, too long) gives false. Lines may
// end in "\n" or "\r\n". Safe to call from any thread.
bool IsMinisignSigned(std::string_view fileBytes, std::string_view minisigText,
                      std::string_view publicKeyBase64);

}  // namespace linkvane
