#include "win32/Text.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <span>

namespace linkvane {

namespace {

HFONT MakeWindowFont(bool bold, int dpi) {
    // 8.25 points at the window's resolution: 11 pixels at 96 dots per inch, 17 at 144.
    const int height = -MulDiv(825, dpi, 7200);
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       ARABIC_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

// A device context on a 32-bit top-down bitmap of zeros whose pixels we can read.
class ScratchBitmap {
public:
    ScratchBitmap(int width, int height) : m_width(width), m_height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        void* pixels = nullptr;
        m_bitmap = m_dc ? CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0) : nullptr;
        m_pixels = static_cast<const std::uint32_t*>(pixels);
        if (m_bitmap)
            m_previous = SelectObject(m_dc, m_bitmap);
    }
    ~ScratchBitmap() {
        if (m_previous)
            SelectObject(m_dc, m_previous);
        if (m_bitmap)
            DeleteObject(m_bitmap);
        if (m_dc)
            DeleteDC(m_dc);
    }
    ScratchBitmap(const ScratchBitmap&) = delete;
    ScratchBitmap& operator=(const ScratchBitmap&) = delete;

    bool ok() const { return m_pixels && m_previous; }
    HDC dc() const { return m_dc; }
    PixelRect ink() const {
        GdiFlush();
        return InkBounds(std::span(m_pixels, std::size_t(m_width) * std::size_t(m_height)), m_width, m_height);
    }

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    const std::uint32_t* m_pixels = nullptr;
};

// The font's line and the text's width as the font's own figures add it up, unshaped.
TextMeasure PlainMeasure(HFONT font, const std::u16string& text) {
    TextMeasure measure;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return measure;
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{0, 0};
    GetTextExtentPoint32W(dc, Wide(text), int(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    DeleteDC(dc);
    measure.advance = int(extent.cx);
    measure.ascent = int(metrics.tmAscent);
    measure.descent = int(metrics.tmDescent);
    return measure;
}

}  // namespace

HFONT WindowFont(bool bold, int dpi) {
    // One pair for each resolution the windows have been shown at: a handful at most.
    static std::map<std::pair<int, bool>, HFONT> fonts;
    HFONT& font = fonts[{dpi, bold}];
    if (!font)
        font = MakeWindowFont(bold, dpi);
    return font;
}

void DrawLabelText(HDC dc, HFONT font, const std::u16string& text, int x, int y, ReadingOrder order) {
    if (text.empty())
        return;
    UINT flags = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
    if (order == ReadingOrder::RightToLeft)
        flags |= DT_RTLREADING;
    HGDIOBJ previous = SelectObject(dc, font);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, RGB(255, 255, 255));
    // Left-aligned in a box far wider than the line: the origin is where the line starts.
    RECT box{x, y, x + 30000, y + 1};
    DrawTextW(dc, Wide(text), int(text.size()), &box, flags);
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
    SelectObject(dc, previous);
}

TextMeasure MeasureText(HFONT font, const std::u16string& text, ReadingOrder order) {
    TextMeasure measure = PlainMeasure(font, text);
    if (text.empty())
        return measure;
    // Room for the shaped line however it differs from the plain figures: half as wide again.
    const InkCanvas canvas = CanvasForInk(measure.advance + measure.advance / 2, measure.ascent, measure.descent, 1.0);
    ScratchBitmap scratch(canvas.width, canvas.height);
    if (!scratch.ok()) {
        measure.ink = {0, -measure.ascent, measure.advance, measure.ascent + measure.descent};
        return measure;  // nothing measured: the plain figures
    }
    DrawLabelText(scratch.dc(), font, text, canvas.penX, canvas.baseline - measure.ascent, order);
    measure.ink = InkFromCanvas(scratch.ink(), canvas, 1.0);
    measure.advance = measure.ink.empty() ? 0 : std::max(measure.ink.right(), 0);
    return measure;
}

}  // namespace linkvane
