#pragma once
// The controls of a built window, and the ones drawn on the window's own surface: labels and
// images are laid out at the window's resolution, painted in the layout's stacking order and
// hit-tested here; text boxes and the button are child windows (win32/ChildControls.h).

#include "forms/FocusCue.h"
#include "forms/FormDefinition.h"
#include "win32/Backdrop.h"
#include "win32/Picture.h"

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace linkvane {

// One control of a window built from its definition, in the definition's order (topmost first).
struct WindowControl {
    const ControlDefinition* definition = nullptr;
    HWND window = nullptr;     // text boxes and the button
    POINT textOrigin{};        // a label: where its line of text starts
    RECT area{};               // a drawn control: where it takes the mouse and draws
    std::u16string text;       // a label's caption, or the text last handed to a text box
    bool bold = false;
    ReadingOrder readingOrder = ReadingOrder::LeftToRight;
    Picture picture;
    UINT_PTR timer = 0;
    UINT_PTR toolId = 0;
    std::chrono::steady_clock::time_point nameAnnounced{};  // a label's last name change told to screen readers
};

// Labels and images are drawn by the window; the other kinds are child windows or invisible.
bool IsDrawn(const ControlDefinition& definition);

// Where a label's line lies for its text, font and reading order at a resolution.
void LayOutLabel(WindowControl& label, int dpi);

// Where an image draws and takes the mouse for its picture (or its lack of one) at a resolution.
void PlaceImage(WindowControl& image, int dpi);

// Paints the part of the client area the system asks for: the background picture, then the drawn
// controls from the bottom of the stack to its top, and the focus cue (forms/FocusCue.h) of the
// drawn control that has the keyboard focus, if one has.
void PaintWindow(HWND window, const Backdrop& background, const std::vector<WindowControl>& controls, int dpi,
                 const WindowControl* focused = nullptr);

// Where the focus cue of a drawn control lies at a resolution.
FocusCue FocusCueOf(const WindowControl& control, int dpi);

// The topmost drawn control that is shown under a point of the client area, or none.
const WindowControl* DrawnControlAt(const std::vector<WindowControl>& controls, POINT point);

}  // namespace linkvane
