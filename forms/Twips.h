#pragma once

namespace linkvane {

// The resolution the layouts were drawn for, and of a desktop at 100 % scaling.
constexpr int kStandardDpi = 96;

// Window definitions keep positions in twips, as the layouts were drawn: 1440 to the inch, so 15
// make one pixel at 96 dots per inch and 10 at 144. Rounded to nearest, halves away from zero.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = (long long)twips * dpi;
    return int(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

constexpr int TwipsToPixels(int twips) { return TwipsToPixels(twips, kStandardDpi); }

}  // namespace linkvane
