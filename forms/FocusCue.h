#pragma once
// The mark of a drawn control that has the keyboard focus: a rounded outline in the amber of the
// artwork's heading marks. It lies just inside an image, following the rounded buttons drawn on
// the backgrounds, and just outside a label, whose letters reach the edges of its area and are
// never crossed. Each desktop draws it the same way.

#include "forms/FormDefinition.h"

#include <cstdint>

namespace linkvane {

struct FocusCue {
    PixelRect outline;  // where the middle of the line runs
    int lineWidth = 0, cornerRadius = 0;
    std::uint8_t red = 0xF0, green = 0xA8, blue = 0x30;
    // All the pixels the line may touch, to be painted again when the cue comes or goes.
    PixelRect extent() const {
        return {outline.left - lineWidth, outline.top - lineWidth, outline.width + 2 * lineWidth,
                outline.height + 2 * lineWidth};
    }
};

// The cue of a control whose area is `area`, at a scale of device pixels per layout pixel.
inline FocusCue FocusCueFor(const PixelRect& area, bool label, double scale = 1.0) {
    const int line = ScaledPixels(2, scale);
    // From the area's edge to the middle of the line: inward for an image, outward past a gap of a
    // pixel for a label.
    const int inset = label ? -(ScaledPixels(1, scale) + line / 2) : line / 2;
    return {.outline = {area.left + inset, area.top + inset, area.width - 2 * inset, area.height - 2 * inset},
            .lineWidth = line, .cornerRadius = ScaledPixels(label ? 3 : 6, scale)};
}

}  // namespace linkvane
