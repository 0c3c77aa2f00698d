#pragma once
// The mark of a drawn control that has the keyboard focus: a rounded outline in the amber of the
// artwork's heading marks, just inside the control, so that it follows the rounded buttons drawn
// on the backgrounds. Each desktop draws it the same way.

#include "forms/FormDefinition.h"

#include <cstdint>

namespace linkvane {

struct FocusCue {
    PixelRect outline;  // where the middle of the line runs
    int lineWidth = 0, cornerRadius = 0;
    std::uint8_t red = 0xF0, green = 0xA8, blue = 0x30;
};

// The cue of a control whose area is `area`, at a scale of device pixels per layout pixel.
inline FocusCue FocusCueFor(const PixelRect& area, double scale = 1.0) {
    const int line = ScaledPixels(2, scale), inset = line / 2;
    return {.outline = {area.left + inset, area.top + inset, area.width - line, area.height - line},
            .lineWidth = line, .cornerRadius = ScaledPixels(6, scale)};
}

}  // namespace linkvane
