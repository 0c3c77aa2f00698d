// The long-line rules on any UTF-16 and any limit: the breaks are all that is added, no line is
// longer than the limit, and no piece ends between the two halves of a surrogate pair.
#include "forms/LongLines.h"
#include "tests/fuzz/fuzz.h"

namespace {
bool SplitsPair(std::u16string_view text, std::size_t cut) {
    return cut > 0 && cut < text.size() && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF && text[cut] >= 0xDC00 &&
           text[cut] <= 0xDFFF;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // Mostly short limits, where inputs reach them often; sometimes the boxes' own.
    const std::size_t longest = data[0] >= 192 ? linkvane::kLongestShownLine : 2 + data[0] % 64;
    const std::u16string text = Utf16(data + 1, size - 1);
    const std::u16string_view piece = linkvane::LongestShownPiece(text, longest);
    PROMISE(piece.size() <= longest && text.starts_with(piece) && !SplitsPair(text, piece.size()));

    // A break the text cannot hold marks the added line ends.
    const char16_t mark = 0xFFFF;
    if (text.find(mark) != std::u16string::npos)
        return 0;
    const std::u16string shown = linkvane::BreakLongLines(text, std::u16string(1, mark), longest);
    std::u16string without;
    std::size_t lineLength = 0;
    for (const char16_t c : shown) {
        const bool lineEnd = c == mark || c == u'\r' || c == u'\n';
        if (c == mark)
            PROMISE(!SplitsPair(text, without.size()));
        else
            without += c;
        lineLength = lineEnd ? 0 : lineLength + 1;
        PROMISE(lineLength <= longest);
    }
    PROMISE(without == text);
    return 0;
}
