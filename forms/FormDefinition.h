#pragma once
// A window described as data, in the units and terms of its stored layout. Each desktop's runtime
// builds the window from it afresh at every showing.

#include "forms/Twips.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linkvane {

enum class ControlKind { Label, Image, TextBox, CommandButton, Timer };
enum class MousePointer { Default, Hand };
enum class TextAlign { Left, Right, Center };
enum class ReadingOrder { LeftToRight, RightToLeft };
enum class FrameStyle {
    SizableToolWindow,  // narrow caption, close box only, resizable, in the task bar
    FixedToolWindow,    // narrow caption with the title only, fixed size, not in the task bar
};

struct ControlDefinition {
    std::string name{};
    ControlKind kind = ControlKind::Label;
    int left = 0, top = 0, width = 0, height = 0;  // twips, from the client area's top-left
    std::u16string text{};                           // caption, or the text of a box or button
    std::u16string toolTip{};
    std::u16string accessibleName{};                 // what a screen reader announces, when not the tooltip
    std::string labelledBy{};                        // a text box: the label that names it for screen readers
    bool bold = false;
    MousePointer pointer = MousePointer::Default;
    bool visible = true;
    bool autoSize = false;   // a label fits its caption; an image takes its picture's size
    bool growsLeft = false;  // an auto-sized label keeps its right edge (a value left of its caption)
    TextAlign alignment = TextAlign::Left;
    ReadingOrder readingOrder = ReadingOrder::LeftToRight;
    bool multiLine = false;  // text box: several lines with a vertical scroll bar
    // Keyboard focus order; -1 for controls that take no focus. A label or image with a stop is
    // reached by Tab alone (a click never focuses it), after the stops of the stored layout.
    int tabIndex = -1;
    int interval = 0;        // timer, milliseconds, as stored
};

// The pictures a window is built with, by file name under resources/; each desktop carries them
// in its own way (Qt resources, Win32 resources).
struct FormDefinition {
    std::string name{};
    std::u16string caption{};
    int clientWidth = 0, clientHeight = 0;  // twips
    FrameStyle frame = FrameStyle::FixedToolWindow;
    std::string background{};  // picture drawn unscaled from the top-left corner; empty for none
    std::string icon{};        // empty for no icon
    std::vector<ControlDefinition> controls{};  // in stacking order: the first lies on top

    const ControlDefinition* find(std::string_view control) const;
};

struct PixelSize {
    int width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

// A rectangle in pixels; right and bottom are exclusive.
struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool empty() const { return width <= 0 || height <= 0; }
    // The smallest rectangle holding both; an empty one adds nothing.
    PixelRect united(const PixelRect& other) const;
    bool operator==(const PixelRect&) const = default;
};

// A control's stored rectangle in pixels at a resolution in dots per inch.
PixelRect PixelRectOf(const ControlDefinition& control, int dpi = kStandardDpi);

// A window's client area in pixels at a resolution.
PixelSize ClientSizeOf(const FormDefinition& form, int dpi = kStandardDpi);

// The size an image control takes for a picture of the given size: an auto-sized image takes the
// picture's own size, but never more than the rectangle its layout stores, so that no picture
// (a transparent one of any size included) covers another control or takes its clicks. Others
// keep their stored size. Sizes in pixels at the window's resolution.
PixelSize ImageSizeFor(const ControlDefinition& image, PixelSize picture, int dpi = kStandardDpi);

// The pictures under resources/ are drawn at 1x, 1.5x and 2x. A desktop that shows the window at a
// scale (device pixels per layout pixel: 1.25 at 120 dots per inch) takes the nearest picture at or
// above its scale and draws it down to the scale; above 2x it enlarges the 2x one. A scale that is
// no number, or not above zero, is taken as 1.
double ArtworkScaleFor(double deviceScale);

// The file of a picture at an artwork scale: "main-background.jpg" at 1.5 is
// "main-background-1.5x.jpg"; at 1 the file itself.
std::string ArtworkFileAt(const std::string& file, double artworkScale);

// A length of the 1x artwork in device pixels at a scale, rounded to nearest.
int ScaledPixels(int pixels, double deviceScale);

// Whether a control is a window of its own on the desktop (a text box or button), rather than
// drawn on the window's surface.
bool IsWindowed(const ControlDefinition& control);

// Whether a control takes the keyboard focus (and so has a place in the tab order): a text box or
// a button, or a drawn control the definition gives a stop.
bool TakesFocus(const ControlDefinition& control);

// The controls that take the focus, in tab order.
std::vector<const ControlDefinition*> TabOrder(const FormDefinition& form);

// Where Tab (or Shift+Tab, backwards) moves the focus from the control named `current`: the next
// control of the tab order that `canTakeFocus` allows (a hidden or disabled one is skipped),
// round from the last to the first. From a control outside the tab order (or none) it starts at
// the first (the last, backwards). Null when no control can take the focus.
const ControlDefinition* NextInTabOrder(const FormDefinition& form, std::string_view current, bool backwards,
                                        const std::function<bool(const ControlDefinition&)>& canTakeFocus);

// Whether any of a control's rectangle lies within a client area of the given size: a control
// below the edge of a window at its current size is out of sight, and Tab passes it by.
bool InSight(const PixelRect& control, PixelSize client);

// Where a window of the given outer size (its frame included, as the desktop draws it) lies when
// it is centred on a screen area: the middle of the whole window is the middle of the area.
PixelRect CentredOn(const PixelRect& area, PixelSize outer);

// How long a timer waits from `now` until it fires next. A timer whose interval is under a second
// drives a seconds clock (the main window's stores 1 ms, from a desktop whose timers could not be
// trusted to keep a steady second): it fires just after each second boundary instead, so that the
// text it shows is the same and the program is idle in between. A zero interval never fires
// (no value).
std::optional<std::chrono::milliseconds> TimerDelay(const ControlDefinition& timer,
                                     std::chrono::system_clock::time_point now);

}  // namespace linkvane
