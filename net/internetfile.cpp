#include "net/internetfile.h"

#include "net/codepage.h"
#include "net/limits.h"
#include "net/transport.h"
#include "net/weblink.h"

namespace linkvane {

std::u16string GetInternetFile(std::u16string_view url) {
    // libcurl would guess "http://" for a text without a scheme and look the word up as a host
    // name; a URL opener refuses such a text, so it gives empty text here.
    if (!IsWebLink(url))
        return {};
    const FetchLimits& limits = CurrentFetchLimits();
    return FromAnsi(HttpGet(ToAnsi(url), limits.textBytes, limits, RedirectRule::KeepHttps).body);
}

}  // namespace linkvane
