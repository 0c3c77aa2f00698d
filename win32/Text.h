#pragma once
// Text on the Win32 desktop: the windows' font, and labels drawn by us, white on a transparent
// background, never clipped through a letter.

#include "forms/FormDefinition.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace linkvane {

// The Win32 calls take UTF-16 as wchar_t, which is 16 bits wide on Windows.
inline const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Tahoma 8.25 points, Arabic character set, normal or bold: every window's font. Made once and
// kept for the life of the program.
HFONT WindowFont(bool bold);

// What a line of text takes when drawn with its origin (the top-left corner of its line) at 0, 0.
struct TextLayout {
    int width = 0;   // from the origin to the right end of its ink
    int height = 0;  // the font's line height
    RECT ink{};      // every pixel it inks, dots, madda and tails included; empty for no ink
};

// Measured by drawing the text into a scratch bitmap, not from the font's figures: joined Persian
// letters are narrower than the isolated ones a plain measurement adds up (Wine measures so), and
// dots, madda and tails reach outside the line by amounts no metric reliably tells.
TextLayout MeasureText(HFONT font, const std::u16string& text, ReadingOrder order);

// Draws one line of text in white on whatever is below it, with its origin at x, y, in the given
// reading order (the colon of ": ساعت" stays at the left end of a left-to-right line).
void DrawLabelText(HDC dc, HFONT font, const std::u16string& text, int x, int y, ReadingOrder order);

}  // namespace linkvane
