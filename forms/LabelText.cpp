#include "forms/LabelText.h"

#include <algorithm>
#include <cmath>

namespace linkvane {

namespace {

// A canvas wider than this is not drawn: no label of the windows comes near it, and a text of
// any length must not cost more than a few megabytes to measure.
constexpr int kLargestCanvasSide = 8192;

double UsableScale(double scale) { return std::isfinite(scale) && scale > 0 && scale <= 16 ? scale : 1.0; }

int DevicePixels(long long logical, double scale) {
    return int(std::clamp(std::ceil(double(logical) * scale), 1.0, double(kLargestCanvasSide)));
}

}  // namespace

PixelRect InkBounds(std::span<const std::uint32_t> pixels, int width, int height) {
    if (width <= 0 || height <= 0 || pixels.size() / std::size_t(width) < std::size_t(height))
        return {};
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            if (row[x] == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (right < 0)
        return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

InkCanvas CanvasForInk(int advance, int ascent, int descent, double scale) {
    scale = UsableScale(scale);
    advance = std::max(advance, 0);
    ascent = std::clamp(ascent, 0, kLargestCanvasSide);
    descent = std::clamp(descent, 0, kLargestCanvasSide);
    const int line = ascent + descent;
    // Marks and tails stay well within a line's height of the line itself.
    const int margin = std::max(line, 4);
    return {.width = DevicePixels(advance + 2LL * margin, scale),
            .height = DevicePixels(line + 2LL * margin, scale),
            .penX = margin,
            .baseline = margin + ascent};
}

PixelRect InkFromCanvas(const PixelRect& deviceInk, const InkCanvas& canvas, double scale) {
    if (deviceInk.empty())
        return {};
    scale = UsableScale(scale);
    const int left = int(std::floor(deviceInk.left / scale));
    const int top = int(std::floor(deviceInk.top / scale));
    const int right = int(std::ceil(deviceInk.right() / scale));
    const int bottom = int(std::ceil(deviceInk.bottom() / scale));
    return {left - canvas.penX, top - canvas.baseline, right - left, bottom - top};
}

LabelPlacement PlaceLabel(const ControlDefinition& label, const TextMeasure& text, int dpi) {
    const PixelRect stored = PixelRectOf(label, dpi);
    const int advance = std::max(text.advance, 0);
    int penX = stored.left;
    if (label.autoSize) {
        if (label.growsLeft)
            penX = stored.right() - advance;
    } else if (label.alignment == TextAlign::Right) {
        penX = stored.right() - advance;
    } else if (label.alignment == TextAlign::Center) {
        penX = stored.left + (stored.width - advance) / 2;
    }
    const int baseline = stored.top + std::max(text.ascent, 0);

    const PixelRect line{penX, stored.top, advance, std::max(text.ascent, 0) + std::max(text.descent, 0)};
    const PixelRect ink{penX + text.ink.left, baseline + text.ink.top, text.ink.width, text.ink.height};
    PixelRect rect = line.united(ink);
    if (!label.autoSize)
        rect = rect.united(stored);
    // An empty caption still has its line (zero wide), where its text would start.
    if (rect.empty())
        rect = line;
    return {rect, penX - rect.left, baseline - rect.top};
}

}  // namespace linkvane
