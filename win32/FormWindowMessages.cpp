// The window procedure of a form window: the mouse on its drawn controls, the pointer's shape,
// its timers, the button's clicks, activation and the focus it brings back, a change of
// resolution and the close box.

#include "forms/Form.h"
#include "win32/Desktop.h"
#include "win32/Accessible.h"
#include "win32/FormWindow.h"
#include "win32/Resources.h"

#include <utility>

namespace linkvane {

void FormWindow::onMouseMove(POINT point) {
    if (const Control* control = DrawnControlAt(m_controls, point)) {
        const std::string name = control->definition->name;
        m_form.ControlMouseMoved(name);
    } else {
        m_form.SurfaceMouseMoved();
    }
}

void FormWindow::onButtonDown(POINT point, MouseButton button, PressKind kind) {
    m_clicks.Pressed(button, kind);
    const Control* control = button == MouseButton::Primary ? DrawnControlAt(m_controls, point) : nullptr;
    m_pressed = control && m_form.HasClickHandler(control->definition->name) ? control->definition->name : "";
    if (!m_pressed.empty())
        SetCapture(m_window);
}

void FormWindow::onButtonUp(POINT point, MouseButton button) {
    const std::string pressed = button == MouseButton::Primary ? std::exchange(m_pressed, std::string()) : "";
    if (GetCapture() == m_window && button == MouseButton::Primary)
        ReleaseCapture();
    const Control* control = pressed.empty() ? nullptr : find(pressed);
    const bool overTheControl = control && PtInRect(&control->area, point);
    if (m_clicks.Released(button, overTheControl) && control)
        m_form.ControlClicked(pressed);  // may unload this window, or wait for a download
}

bool FormWindow::onSetCursor() {
    if (IsWaitingForWork()) {
        SetCursor(BusyCursor());
        return true;
    }
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(m_window, &point);
    const Control* control = DrawnControlAt(m_controls, point);
    const bool hand = control && control->definition->pointer == MousePointer::Hand;
    SetCursor(hand ? HandCursor() : ArrowCursor());
    return true;
}

void FormWindow::onTimer(UINT_PTR timer) {
    for (Control& control : m_controls) {
        if (control.timer != timer)
            continue;
        KillTimer(m_window, timer);
        armTimer(control);
        const std::string name = control.definition->name;
        m_form.TimerFired(name);
        return;
    }
}

// The focus comes back to the control that had it when the window is activated again.
void FormWindow::onActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        m_focusBeforeDeactivation = focus && IsChild(m_window, focus) ? focus : nullptr;
        return;
    }
    if (m_focusBeforeDeactivation && IsWindow(m_focusBeforeDeactivation))
        SetFocus(m_focusBeforeDeactivation);
    else if (!m_keyFocus.empty())
        SetFocus(m_window);
    else
        focusFirstControl();
}

LRESULT CALLBACK FormWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->m_window != window)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

LRESULT FormWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = m_window;
    const POINT point{short(LOWORD(lParam)), short(HIWORD(lParam))};
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // painted whole in WM_PAINT
    case WM_PAINT:
        PaintWindow(m_window, m_background, m_controls, m_dpi, GetFocus() == window ? find(m_keyFocus) : nullptr);
        return 0;
    case WM_MOUSEMOVE:
        onMouseMove(point);
        return 0;
    case WM_LBUTTONDOWN:
        onButtonDown(point, MouseButton::Primary, m_primaryPresses.Classify(point, GetMessageTime()));
        return 0;
    case WM_LBUTTONDBLCLK:
        m_primaryPresses.Reset();
        onButtonDown(point, MouseButton::Primary, PressKind::Double);
        return 0;
    case WM_LBUTTONUP:
        onButtonUp(point, MouseButton::Primary);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        onButtonDown(point, MouseButton::Other, PressKind::Single);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window)
            m_pressed.clear();
        return 0;
    case WM_SETCURSOR:
        // During a wait the text boxes and the button show the busy pointer too.
        if (LOWORD(lParam) == HTCLIENT && (reinterpret_cast<HWND>(wParam) == window || IsWaitingForWork()))
            return onSetCursor();
        break;
    case WM_TIMER:
        onTimer(wParam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            const std::size_t index = LOWORD(wParam) - kFirstId;
            if (index < m_controls.size()) {
                const std::string name = m_controls[index].definition->name;
                m_form.ControlClicked(name);
            }
            return 0;
        }
        break;
    case WM_ACTIVATE:
        onActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_KEYDOWN:
        if (onKeyDown(wParam, lParam))
            return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        onFocusChange(message == WM_SETFOCUS, reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT object = AnswerGetObject(window, wParam, lParam))
            return object;
        break;
    case WM_DPICHANGED:
        // Both words carry the new resolution; the suggested rectangle keeps the window's place.
        takeResolution(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        // The close box, Alt+F4 or the task bar: the window unloads as by its own way out.
        m_form.CloseRequested();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace linkvane
