#pragma once
// Text on the Win32 desktop: the windows' font, and labels drawn by us, white on a transparent
// background, never clipped through a letter.

#include "forms/FormDefinition.h"
#include "forms/LabelText.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace linkvane {

// The Win32 calls take UTF-16 as wchar_t, which is 16 bits wide on Windows.
inline const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Tahoma 8.25 points at a resolution in dots per inch, Arabic character set, normal or bold:
// every window's font. Made once for each resolution and kept for the life of the program.
HFONT WindowFont(bool bold, int dpi);

// A line of text in the font: the font's ascent and descent, and the ink and advance found by
// drawing it into a scratch bitmap (the core's InkCanvas), not from the font's figures alone:
// joined Persian letters are narrower than the isolated ones a plain measurement adds up (Wine
// measures so), so the advance is where the ink ends; and dots, madda and tails reach outside the
// line by amounts no metric reliably tells.
TextMeasure MeasureText(HFONT font, const std::u16string& text, ReadingOrder order);

// Draws one line of text in white on whatever is below it, the top of its line at (x, y), in the
// given reading order (the colon of ": ساعت" stays at the left end of a left-to-right line).
void DrawLabelText(HDC dc, HFONT font, const std::u16string& text, int x, int y, ReadingOrder order);

}  // namespace linkvane
