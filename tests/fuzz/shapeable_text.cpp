// The shapeable-text rules on any UTF-16: only marks are dropped and only tatweels added, every
// Arabic mark sits on an Arabic letter, and no word keeps more than the most marks.
#include "forms/MarkTable.h"
#include "forms/ShapeableText.h"
#include "tests/fuzz/fuzz.h"

#include <algorithm>

namespace {
template <std::size_t N>
bool In(const linkvane::marks::MarkRange (&table)[N], char16_t c) {
    return std::any_of(std::begin(table), std::end(table), [c](auto r) { return c >= r.first && c <= r.last; });
}
// The text without its marks and tatweels.
std::u16string Letters(std::u16string text) {
    std::erase_if(text, [](char16_t c) { return c == u'\u0640' || In(linkvane::marks::kCombining, c); });
    return text;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = Utf16(data, size);
    const std::u16string shown = linkvane::ShapeableText(text);
    PROMISE(Letters(text) == Letters(shown));
    char16_t base = 0;
    std::size_t marksInWord = 0;
    for (const char16_t c : shown) {
        const bool blank = c == u' ' || c == u'\t' || c == 0x3000 || (c >= 0x2000 && c <= 0x200A);
        if (blank || c == u'\r' || c == u'\n')
            marksInWord = 0;
        if (!In(linkvane::marks::kCombining, c)) {
            base = c;
            continue;
        }
        PROMISE(++marksInWord <= linkvane::kMostMarks);
        // On an Arabic letter: not a blank, a Latin letter or the start of a line.
        PROMISE(!In(linkvane::marks::kArabic, c) || (base >= 0x0620 && base <= 0x08C9));
    }
    return 0;
}
