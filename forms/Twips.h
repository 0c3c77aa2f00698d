#pragma once

namespace linkvane {

// Window definitions keep positions in twips, as the layouts were drawn; 15 twips make one pixel
// at 96 dots per inch. Rounded to nearest, halves away from zero.
constexpr int TwipsToPixels(int twips) {
    return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}

}  // namespace linkvane
