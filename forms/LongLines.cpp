#include "forms/LongLines.h"

namespace linkvane {

namespace {

bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A low surrogate is the second half of a pair only after a high one: a lone one after a whole
// pair leaves the pair before it whole.
std::size_t NotInsidePair(std::u16string_view text, std::size_t cut) {
    return cut > 0 && cut < text.size() && IsHighSurrogate(text[cut - 1]) && IsLowSurrogate(text[cut]) ? cut - 1
                                                                                                        : cut;
}

// Where a piece of at most `longest` units starting at `start` ends (exclusive), within `end`.
std::size_t PieceEnd(std::u16string_view text, std::size_t start, std::size_t end, std::size_t longest) {
    std::size_t cut = start + longest;
    for (std::size_t i = cut; i > start + longest / 2; --i) {
        if (text[i - 1] == u' ')
            return i;
    }
    return cut < end ? NotInsidePair(text, cut) : cut;
}

}  // namespace

std::u16string_view LongestShownPiece(std::u16string_view text, std::size_t longest) {
    return text.size() <= longest ? text : text.substr(0, NotInsidePair(text, longest));
}

std::u16string BreakLongLines(std::u16string_view text, std::u16string_view lineBreak,
                              std::size_t longest) {
    if (longest < 2)
        return std::u16string(text);
    std::u16string shown;
    shown.reserve(text.size() + text.size() / longest * lineBreak.size());
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = lineStart;
        while (lineEnd < text.size() && !IsLineEnd(text[lineEnd]))
            ++lineEnd;
        std::size_t start = lineStart;
        while (lineEnd - start > longest) {
            const std::size_t cut = PieceEnd(text, start, lineEnd, longest);
            shown.append(text.substr(start, cut - start)).append(lineBreak);
            start = cut;
        }
        shown.append(text.substr(start, lineEnd - start));
        // The line end itself (CR, LF or CR LF) goes over unchanged.
        std::size_t next = lineEnd;
        if (next < text.size())
            next += text.substr(next, 2) == u"\r\n" ? 2 : 1;
        shown.append(text.substr(lineEnd, next - lineEnd));
        lineStart = next;
    }
    return shown;
}

}  // namespace linkvane
