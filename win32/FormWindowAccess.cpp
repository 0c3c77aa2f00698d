// The form window's side of screen readers (win32/Accessible.h) and of the keyboard on the
// controls drawn on its surface: which control has the focus, and presses.

#include "forms/Form.h"
#include "forms/ScreenReader.h"
#include "win32/FormWindow.h"

#include <oleacc.h>

#include <algorithm>

namespace linkvane {

std::vector<FormWindow::ScreenReaderElement> FormWindow::ScreenReaderElements() const {
    std::vector<ScreenReaderElement> elements;
    if (!m_window)
        return elements;
    RECT client{};
    GetClientRect(m_window, &client);
    const HWND focus = GetFocus();
    for (const ControlDefinition* d : ScreenReaderOrder(m_form.definition())) {
        const Control* control = find(d->name);
        if (!control)
            continue;
        ScreenReaderElement& element = elements.emplace_back();
        element.definition = d;
        element.window = control->window;
        RECT box = placeOf(*control);
        element.inSight = InSight({box.left, box.top, box.right - box.left, box.bottom - box.top},
                                  {client.right, client.bottom});
        MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&box), 2);
        element.screen = box;
        element.clickable = m_form.HasClickHandler(d->name);
        element.name = AccessibleName(m_form.definition(), *d, Text(d->name));
        element.role = AccessibleRoleOf(d->kind, element.clickable);
        element.focusable = TakesFocus(*d) && d->tabIndex >= 0 && canTakeFocus(*d);
        element.focused = control->window ? focus == control->window : focus == m_window && m_keyFocus == d->name;
    }
    return elements;
}

std::string_view FormWindow::ControlAt(POINT point) const {
    // Child windows lie above everything drawn.
    for (const Control& control : m_controls) {
        RECT box = placeOf(control);
        if (control.window && IsWindowVisible(control.window) && PtInRect(&box, point))
            return control.definition->name;
    }
    const Control* drawn = DrawnControlAt(m_controls, point);
    return drawn ? std::string_view(drawn->definition->name) : std::string_view();
}

// A press from a screen reader waits its turn as a click does, behind input held during a
// download, rather than running a handler inside the screen reader's call.
void FormWindow::PostPress(const ControlDefinition& definition) {
    const Control* control = find(definition.name);
    if (!control || control->window || !m_window)
        return;
    const RECT& area = control->area;
    const LPARAM at = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    PostMessageW(m_window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(m_window, WM_LBUTTONUP, 0, at);
}

void FormWindow::FocusControl(const ControlDefinition& definition) {
    Control* control = find(definition.name);
    if (!control || !m_window)
        return;
    invalidateFocusCue();
    if (control->window) {
        m_keyFocus.clear();
        SetFocus(control->window);
        return;
    }
    m_keyFocus = definition.name;
    SetFocus(m_window);
    invalidateFocusCue();
    NotifyWinEvent(EVENT_OBJECT_FOCUS, m_window, OBJID_CLIENT, childIdOf(definition));
}

// Return (the keypad's Enter too) and space press the drawn control that has the focus; a key held
// down presses once.
bool FormWindow::onKeyDown(WPARAM key, LPARAM flags) {
    const bool repeated = (flags & (1 << 30)) != 0;
    if ((key != VK_RETURN && key != VK_SPACE) || m_keyFocus.empty())
        return false;
    if (!repeated && m_form.HasClickHandler(m_keyFocus)) {
        const std::string pressed = m_keyFocus;
        m_form.ControlClicked(pressed);  // may unload this window, or wait for a download
    }
    return true;
}

// The focus cue shows while the window itself has the focus; a box that takes the focus ends it.
void FormWindow::onFocusChange(bool gained, HWND other) {
    invalidateFocusCue();
    if (!gained && other && IsChild(m_window, other))
        m_keyFocus.clear();
}

void FormWindow::invalidateFocusCue() {
    if (const Control* focused = find(m_keyFocus)) {
        const PixelRect extent = FocusCueOf(*focused, m_dpi).extent();
        invalidate({extent.left, extent.top, extent.right(), extent.bottom()});
    }
}

RECT FormWindow::placeOf(const Control& control) const {
    if (!control.window)
        return control.area;
    RECT box;
    GetWindowRect(control.window, &box);
    MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

void FormWindow::announceNameChange(Control& control) {
    if (!AnnounceNameChange(control.nameAnnounced, std::chrono::steady_clock::now()))
        return;
    if (const long child = childIdOf(*control.definition))
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_window, OBJID_CLIENT, child);
}

long FormWindow::childIdOf(const ControlDefinition& definition) const {
    const auto order = ScreenReaderOrder(m_form.definition());
    const auto place = std::find(order.begin(), order.end(), &definition);
    return place == order.end() ? 0 : long(place - order.begin()) + 1;
}

}  // namespace linkvane
