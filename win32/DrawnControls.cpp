// Laying out, painting and hit-testing the labels and images a window draws itself.

#include "win32/DrawnControls.h"

#include "forms/LabelText.h"
#include "forms/Twips.h"
#include "win32/Text.h"

namespace linkvane {

namespace {

RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right(), r.bottom()}; }

// A picture's pixels are the layout's: at 150 % it is drawn half as large again, as the
// rectangle it lies in is.
PixelSize AtResolution(PixelSize picture, int dpi) {
    const double scale = double(dpi) / kStandardDpi;
    return {ScaledPixels(picture.width, scale), ScaledPixels(picture.height, scale)};
}

void DrawControl(HDC dc, const WindowControl& control, int dpi) {
    const ControlDefinition& d = *control.definition;
    if (!d.visible)
        return;
    if (d.kind == ControlKind::Label) {
        DrawLabelText(dc, WindowFont(control.bold, dpi), control.text, control.textOrigin.x, control.textOrigin.y,
                      control.readingOrder);
    } else if (d.kind == ControlKind::Image && control.picture) {
        // Unscaled from the top-left corner, never beyond the control.
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, control.area.left, control.area.top, control.area.right, control.area.bottom);
        const int mode = SetStretchBltMode(dc, HALFTONE);
        control.picture.Draw(dc, control.area.left, control.area.top, AtResolution(control.picture.size(), dpi));
        SetStretchBltMode(dc, mode);
        RestoreDC(dc, saved);
    }
}

}  // namespace

bool IsDrawn(const ControlDefinition& d) {
    return d.kind == ControlKind::Label || d.kind == ControlKind::Image;
}

// A label lies where the layout's rules put it for its text as measured in its font
// (forms/LabelText.h); it takes the mouse and draws wherever its line or its ink is, so no letter
// is cut and no paint leaves a trace behind.
void LayOutLabel(WindowControl& control, int dpi) {
    const TextMeasure text = MeasureText(WindowFont(control.bold, dpi), control.text, control.readingOrder);
    const LabelPlacement placed = PlaceLabel(*control.definition, text, dpi);
    control.area = ToRect(placed.rect);
    control.textOrigin = {placed.rect.left + placed.penX, placed.rect.top + placed.baseline - text.ascent};
}

// An image without a picture is a hot area of its stored size; with one it takes the picture's
// size, never beyond the stored rectangle, so that no picture covers another control.
void PlaceImage(WindowControl& control, int dpi) {
    const ControlDefinition& d = *control.definition;
    RECT box = ToRect(PixelRectOf(d, dpi));
    if (control.picture) {
        const PixelSize size = ImageSizeFor(d, AtResolution(control.picture.size(), dpi), dpi);
        box.right = box.left + size.width;
        box.bottom = box.top + size.height;
    }
    control.area = box;
}

// Everything is drawn into a bitmap first and copied at once, so a label that changes (the clock)
// never flickers through the background.
namespace {

void DrawFocusCue(HDC dc, const WindowControl& control, int dpi) {
    const FocusCue cue = FocusCueOf(control, dpi);
    HPEN pen = CreatePen(PS_SOLID, cue.lineWidth, RGB(cue.red, cue.green, cue.blue));
    const HGDIOBJ previousPen = SelectObject(dc, pen);
    const HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const PixelRect& r = cue.outline;
    RoundRect(dc, r.left, r.top, r.right(), r.bottom(), 2 * cue.cornerRadius, 2 * cue.cornerRadius);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(pen);
}

}  // namespace

void PaintWindow(HWND window, const Backdrop& background, const std::vector<WindowControl>& controls, int dpi,
                 const WindowControl* focused) {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(window, &ps);
    const RECT& dirty = ps.rcPaint;
    const int width = dirty.right - dirty.left, height = dirty.bottom - dirty.top;
    HDC memory = width > 0 && height > 0 ? CreateCompatibleDC(screen) : nullptr;
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        SetViewportOrgEx(memory, -dirty.left, -dirty.top, nullptr);
        // Beyond the picture the window keeps its plain colour.
        FillRect(memory, &dirty, GetSysColorBrush(COLOR_BTNFACE));
        background.Draw(memory);
        for (auto control = controls.rbegin(); control != controls.rend(); ++control) {
            RECT overlap;
            if (IntersectRect(&overlap, &control->area, &dirty))
                DrawControl(memory, *control, dpi);
        }
        if (focused)
            DrawFocusCue(memory, *focused, dpi);
        SetViewportOrgEx(memory, 0, 0, nullptr);
        BitBlt(screen, dirty.left, dirty.top, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    EndPaint(window, &ps);
}

FocusCue FocusCueOf(const WindowControl& control, int dpi) {
    const RECT& area = control.area;
    return FocusCueFor({area.left, area.top, area.right - area.left, area.bottom - area.top},
                       control.definition->kind == ControlKind::Label, double(dpi) / kStandardDpi);
}

// The topmost is the one stored first.
const WindowControl* DrawnControlAt(const std::vector<WindowControl>& controls, POINT point) {
    for (const WindowControl& control : controls) {
        if (IsDrawn(*control.definition) && control.definition->visible && PtInRect(&control.area, point))
            return &control;
    }
    return nullptr;
}

}  // namespace linkvane
