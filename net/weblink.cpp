#include "net/weblink.h"

namespace linkvane {

namespace {

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

bool StartsWithNoCase(std::u16string_view text, std::u16string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        if (LowerAscii(text[i]) != lowerPrefix[i])
            return false;
    }
    return true;
}

}  // namespace

bool IsWebLink(std::u16string_view text) {
    return StartsWithNoCase(text, u"http://") || StartsWithNoCase(text, u"https://");
}

}  // namespace linkvane
