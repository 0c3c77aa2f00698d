#pragma once
// Where a label's text goes and how large the label must be so that none of its ink is cut.
// Persian letters reach above and below the font's line (the madda of "آذر", the dots of "ت"
// and "ف", the tails of "ر" and "ن"), so a label sized to the line alone would clip them. Each
// desktop measures the text in its own font and asks these rules for the label's rectangle;
// the text itself stays where the layout puts it.

#include "forms/FormDefinition.h"

#include <cstdint>
#include <span>

namespace linkvane {

// The smallest rectangle holding every pixel that is not zero, in a buffer of 32-bit pixels
// (`width` to a row, top row first) on which text was drawn over zeros. Empty when no pixel is
// set, and for a buffer smaller than its stated size.
PixelRect InkBounds(std::span<const std::uint32_t> pixels, int width, int height);

// A buffer to draw a line of text into so that all of its ink lands inside it, at a scale of
// device pixels to logical ones: the pen starts at (penX, baseline), in device pixels.
struct InkCanvas {
    int width = 0, height = 0;
    int penX = 0, baseline = 0;
};
InkCanvas CanvasForInk(int advance, int ascent, int descent, double scale);

// The ink found in such a buffer (device pixels) in logical pixels relative to the pen's start
// on the baseline, rounded outwards so that no partly covered pixel is lost.
PixelRect InkFromCanvas(const PixelRect& deviceInk, const InkCanvas& canvas, double scale);

// A line of text as a desktop measured it in the label's font, in logical pixels.
struct TextMeasure {
    int advance = 0;             // how far the pen moves over the whole line
    int ascent = 0, descent = 0; // the font's line above and below the baseline
    PixelRect ink{};             // relative to the pen's start on the baseline; y grows downwards
};

// Where a label lies in its window and where its text starts in it.
struct LabelPlacement {
    PixelRect rect{};        // in the window's client area
    int penX = 0;            // the text's start, from the rectangle's left edge
    int baseline = 0;        // the text's baseline, from the rectangle's top edge
    bool operator==(const LabelPlacement&) const = default;
};

// The label's rectangle and text position for a measured text. The text keeps the layout's
// anchor: an auto-sized label starts at its stored left edge, or ends at its stored right edge
// when it grows left; a fixed-size label aligns its text within its stored rectangle, so that
// right-aligned text that is wider than the label ends at the stored right edge and grows left.
// The baseline lies one ascent below the stored top. The rectangle then takes in the whole line
// and all of its ink; a fixed-size label never becomes smaller than its stored rectangle. The
// measure and the result are in pixels at the window's resolution.
LabelPlacement PlaceLabel(const ControlDefinition& label, const TextMeasure& text, int dpi = kStandardDpi);

}  // namespace linkvane
