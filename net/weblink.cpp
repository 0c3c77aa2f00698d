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

bool IsControl(char16_t c) { return c <= 0x1F || c == 0x7F; }

}  // namespace

bool IsWebLink(std::u16string_view text) {
    return StartsWithNoCase(text, u"http://") || StartsWithNoCase(text, u"https://");
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
