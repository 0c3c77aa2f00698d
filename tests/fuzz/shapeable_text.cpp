// The shapeable-text rules on any UTF-16: only marks are dropped and only tatweels added, every
// Arabic mark sits on an Arabic letter, and no word keeps more than the most marks.
#include "forms/MarkTable.h"
#include "forms/ShapeableText.h"
#include "tests/fuzz/fuzz.h"

#include <algorithm>
#include <iterator>

namespace {
template <std::size_t N>
bool In(const linkvane::marks::MarkRange (&table)[N], char16_t c) {
    return std::any_of(std::begin(table), std::end(table), [c](auto r) { return c >= r.first && c <= r.last; });
}
bool IsMark(char16_t c) { return In(linkvane::marks::kCombining, c); }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000 || (c >= 0x2000 && c <= 0x200A); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = Utf16(data, size);
    const std::u16string shown = linkvane::ShapeableText(text);
    std::u16string othersIn, othersOut;
    std::copy_if(text.begin(), text.end(), std::back_inserter(othersIn), [](char16_t c) { return !IsMark(c); });
    std::copy_if(shown.begin(), shown.end(), std::back_inserter(othersOut), [](char16_t c) { return !IsMark(c); });
    std::erase(othersIn, u'\u0640');
    std::erase(othersOut, u'\u0640');
    PROMISE(othersIn == othersOut);
    char16_t base = 0;
    std::size_t marksInWord = 0;
    for (const char16_t c : shown) {
        if (IsBlank(c) || c == u'\r' || c == u'\n')
            marksInWord = 0;
        if (!IsMark(c)) {
            base = c;
            continue;
        }
        PROMISE(++marksInWord <= linkvane::kMostMarks);
        // An Arabic letter, not a blank, a Latin letter or a line's start.
        PROMISE(!In(linkvane::marks::kArabic, c) || (base >= 0x0620 && base <= 0x08C9));
    }
    return 0;
}
