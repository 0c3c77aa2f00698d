#include "net/weblink.h"

#include "net/ascii.h"

namespace linkvane {

namespace {

bool IsControl(char16_t c) { return c <= 0x1F || c == 0x7F; }

}  // namespace

bool IsWebLink(std::u16string_view text) {
    return StartsWithCaseless(text, u"http://") || StartsWithCaseless(text, u"https://");
}

bool IsOpenableWebLink(std::u16string_view text) {
    if (!IsWebLink(text))
        return false;
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == u'\r' || text[end - 1] == u'\n'))
        --end;
    for (std::size_t i = 0; i < end; ++i) {
        if (IsControl(text[i]))
            return false;
    }
    return true;
}

}  // namespace linkvane
