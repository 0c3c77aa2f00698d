#include "forms/ShapeableText.h"

#include "forms/MarkTable.h"

#include <algorithm>
#include <bitset>

namespace linkvane {

namespace {

constexpr char16_t kTatweel = u'\u0640';

// One bit for each code unit, from the Unicode data of forms/MarkTable.h: a megabyte of text is
// looked up as fast as it is copied.
template <std::size_t N>
std::bitset<0x10000> BitsOf(const marks::MarkRange (&table)[N]) {
    std::bitset<0x10000> bits;
    for (const marks::MarkRange& range : table) {
        for (char32_t c = range.first; c <= range.last; ++c)
            bits.set(c);
    }
    return bits;
}

bool IsCombiningMark(char16_t c) {
    static const std::bitset<0x10000> marks = BitsOf(marks::kCombining);
    return marks[c];
}

bool IsArabicMark(char16_t c) {
    static const std::bitset<0x10000> marks = BitsOf(marks::kArabic);
    return marks[c];
}

// A letter of the Arabic script that carries marks (the tatweel among them).
bool IsArabicLetter(char16_t c) {
    return (c >= 0x0620 && c <= 0x064A) || c == 0x066E || c == 0x066F || (c >= 0x0671 && c <= 0x06D3) ||
           c == 0x06D5 || c == 0x06EE || c == 0x06EF || (c >= 0x06FA && c <= 0x06FC) || c == 0x06FF ||
           (c >= 0x0750 && c <= 0x077F) || (c >= 0x08A0 && c <= 0x08C9);
}

bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

// Where a box that wraps its lines may break one.
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000 || (c >= 0x2000 && c <= 0x200A); }

// The length of the word that starts at `at` (up to the next blank) once it keeps at most
// kMostMarks marks.
std::size_t WordLength(std::u16string_view line, std::size_t at) {
    std::size_t others = 0, marks = 0;
    for (std::size_t i = at; i < line.size() && !IsBlank(line[i]); ++i)
        ++(IsCombiningMark(line[i]) ? marks : others);
    return others + std::min(marks, kMostMarks);
}

void AppendLine(std::u16string& out, std::u16string_view line) {
    std::size_t others = 0;
    for (const char16_t c : line)
        others += IsCombiningMark(c) ? 0 : 1;
    std::size_t marksLeft = others + kMostMarks;
    std::size_t marksInWord = 0;  // the most the word being copied may still take
    char16_t base = 0;            // the last character that is no mark, or none
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char16_t c = line[i];
        if (i == 0 || IsBlank(line[i - 1]))
            marksInWord = WordLength(line, i) > kLongestMarkedWord ? 0 : kMostMarks;
        if (!IsCombiningMark(c)) {
            out += c;
            base = c;
            continue;
        }
        if (marksInWord == 0 || marksLeft == 0)
            continue;
        if (IsArabicMark(c) && !IsArabicLetter(base)) {
            out += kTatweel;
            base = kTatweel;
        }
        out += c;
        --marksInWord;
        --marksLeft;
    }
}

}  // namespace

std::u16string ShapeableText(std::u16string_view text) {
    // Almost every text has no mark at all, and a megabyte of it must stay cheap to show.
    if (std::none_of(text.begin(), text.end(), IsCombiningMark))
        return std::u16string(text);
    std::u16string out;
    out.reserve(text.size());
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsLineBreak(text[end]))
            ++end;
        AppendLine(out, text.substr(start, end - start));
        if (end == text.size())
            break;
        out += text[end];
        start = end + 1;
    }
    return out;
}

}  // namespace linkvane
