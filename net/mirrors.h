#pragma once
// A server named by several mirrors, so that one blocked server does not strand the users. The
// mirrors race, the earlier ones with a head start; a list of one behaves exactly as a single server.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linkvane {

// The base addresses a server list names, in its order. A list holds entries separated by ';',
// each "host" or "host:port" (plain HTTP) or a full http:// or https:// address with an optional
// path prefix; a file's path (which starts with '/') is appended to a base. Empty entries are
// skipped; the build checks the rest.
std::vector<std::u16string> MirrorBases(std::u16string_view serverList);

// What makes a mirror's answer the one to take. Never a block page (below), whatever is asked.
enum class WantedAnswer {
    File,          // it was read to its end with an HTTP 2xx status
    OpenableLink,  // that, and its text is a web address the desktop's opener accepts
};

// Whether an answer is a web page, which a filter shows in a server's place: every file this
// program downloads is plain text. True for the Content-Type text/html, or a body that begins,
// after a byte-order mark and blanks, with markup: "<" and a letter, '!', '?' or '/'.
bool IsBlockPage(std::string_view contentType, std::string_view body);

// The trusted comment of a file's detached signature (`path` + ".minisig" from the same mirror) when
// it vouches for the file's bytes; nullopt when it does not. Called on the worker thread; must be
// cheap and thread-safe.
using SignatureCheck =
    std::function<std::optional<std::string>(std::string_view fileBytes, std::string_view signatureText)>;

// Fetches `path` from the bases and returns the text of the first answer that is what `wanted`
// asks for. The bases race by the rules of net/race.h with the head starts of net/limits.h: the one
// that last gave such an answer in this run goes first, then the others in their order. Unsigned,
// the first acceptable answer to arrive wins (of two that arrive together, the one that went first)
// and every other transfer stops at once.
//
// When no answer is acceptable: the first base's text, just as a one-server build gives it
// (whatever its status; empty when the fetch failed), or empty when `signedBy` is set.
//
// With `signedBy`, an answer is acceptable only when the same base also gives `path` + ".minisig"
// (whole, 2xx, within the text limit), `signedBy` accepts the two, and the trusted comment names
// no other file (net/signature.h) and no time older than this run already took for `path`; of the
// answers at hand when the tries already connected have had one more head start, the newest signed
// one wins. Without it, no signature is ever asked for.
//
// Every try keeps the download limits in force; each base after the first to go must connect
// within the mirror connect limit, and all tries together end within the limit for all mirrors.
// Blocks the calling thread.
std::u16string GetFromMirrors(const std::vector<std::u16string>& bases, std::u16string_view path,
                              WantedAnswer wanted, const SignatureCheck& signedBy = {});

}  // namespace linkvane
