#pragma once
// A server named by several mirrors, tried in order, so that one blocked server does not strand
// the users. A list of one behaves exactly as a single server.

#include <string>
#include <string_view>
#include <vector>

namespace linkvane {

// The base addresses a server list names, in its order. A list holds entries separated by ';',
// each "host" or "host:port" (plain HTTP) or a full http:// or https:// address with an optional
// path prefix; a file's path (which starts with '/') is appended to a base. Empty entries are
// skipped; the build checks the rest.
std::vector<std::u16string> MirrorBases(std::u16string_view serverList);

// What makes a mirror's answer the one to take.
enum class WantedAnswer {
    File,          // it was read to its end with an HTTP 2xx status
    OpenableLink,  // that, and its text is a web address the desktop's opener accepts
};

// Fetches `path` from each base in turn and returns the text of the first answer that is what
// `wanted` asks for. When none is, the first base's text, just as a one-server build gives it
// (whatever its status; empty when the fetch failed). Every try keeps the download limits in force;
// each base after the first must connect within the mirror connect limit, and all tries together
// end within the limit for all mirrors (a try gets what is left of it; none starts when nothing
// is). Blocks the calling thread.
std::u16string GetFromMirrors(const std::vector<std::u16string>& bases, std::u16string_view path,
                              WantedAnswer wanted);

}  // namespace linkvane
