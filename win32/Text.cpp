#include "win32/Text.h"

#include <algorithm>

namespace linkvane {

namespace {

HFONT MakeWindowFont(bool bold) {
    // 8.25 points at the screen's resolution: 11 pixels at 96 dots per inch.
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    const int height = -MulDiv(825, pixelsPerInch, 7200);
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       ARABIC_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

// A device context on a 32-bit top-down bitmap whose pixels we can read.
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
        m_pixels = static_cast<const DWORD*>(pixels);
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

    // The smallest rectangle holding every pixel that is not black; empty when all are.
    RECT inkedArea() const {
        int left = m_width, top = m_height, right = -1, bottom = -1;
        for (int y = 0; y < m_height; ++y) {
            const DWORD* row = m_pixels + std::size_t(y) * std::size_t(m_width);
            for (int x = 0; x < m_width; ++x) {
                if ((row[x] & 0x00FFFFFF) == 0)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        if (right < 0)
            return {0, 0, 0, 0};
        return {left, top, right + 1, bottom + 1};
    }

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    const DWORD* m_pixels = nullptr;
};

struct PlainMetrics {
    int advance = 0;  // the sum of the characters' own widths, shaped or not
    int lineHeight = 0;
};

PlainMetrics PlainMeasure(HFONT font, const std::u16string& text) {
    PlainMetrics metrics;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return metrics;
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{0, 0};
    GetTextExtentPoint32W(dc, Wide(text), int(text.size()), &extent);
    TEXTMETRICW fontMetrics{};
    GetTextMetricsW(dc, &fontMetrics);
    SelectObject(dc, previous);
    DeleteDC(dc);
    metrics.advance = int(extent.cx);
    metrics.lineHeight = int(std::max<LONG>(fontMetrics.tmHeight, extent.cy));
    return metrics;
}

}  // namespace

HFONT WindowFont(bool bold) {
    static const HFONT normal = MakeWindowFont(false);
    static const HFONT heavy = MakeWindowFont(true);
    return bold ? heavy : normal;
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

TextLayout MeasureText(HFONT font, const std::u16string& text, ReadingOrder order) {
    const PlainMetrics plain = PlainMeasure(font, text);
    TextLayout layout;
    layout.height = plain.lineHeight;
    if (text.empty())
        return layout;
    // Room all round: ink reaches a line's height beyond it at most, and shaping changes the
    // width by far less than the plain width again.
    const int margin = std::max(plain.lineHeight, 8);
    const int width = 2 * plain.advance + 3 * margin;
    const int height = plain.lineHeight + 2 * margin;
    ScratchBitmap scratch(width, height);
    if (!scratch.ok()) {
        layout.width = plain.advance;  // nothing measured: the plain figures
        layout.ink = {0, 0, plain.advance, plain.lineHeight};
        return layout;
    }
    DrawLabelText(scratch.dc(), font, text, margin, margin, order);
    GdiFlush();
    RECT ink = scratch.inkedArea();
    if (IsRectEmpty(&ink))
        return layout;  // blanks only
    OffsetRect(&ink, -margin, -margin);
    layout.ink = ink;
    layout.width = std::max<int>(ink.right, 0);
    return layout;
}

}  // namespace linkvane
