// Showing a form window: centred on its screen, or modal with the program's other windows
// disabled and a local message loop; the keyboard focus on the first control of the tab order,
// and moved along it by Tab.

#include "forms/Form.h"
#include "win32/FormWindow.h"
#include "win32/MessageLoop.h"

namespace linkvane {

// The whole window, frame included, in the middle of the screen's work area.
void FormWindow::centreOnScreen() {
    RECT frame;
    GetWindowRect(m_window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const PixelRect placed = CentredOn({work.left, work.top, work.right - work.left, work.bottom - work.top},
                                       {frame.right - frame.left, frame.bottom - frame.top});
    SetWindowPos(m_window, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A window shows with the focus in its first box or button; drawn controls wait for Tab.
void FormWindow::focusFirstControl() {
    for (const ControlDefinition* d : TabOrder(m_form.definition())) {
        if (IsWindowed(*d) && canTakeFocus(*d)) {
            SetFocus(find(d->name)->window);
            return;
        }
    }
    SetFocus(m_window);
}

void FormWindow::ShowCentred() {
    if (!m_window)
        return;
    centreOnScreen();
    ShowWindow(m_window, SW_SHOW);
    SetForegroundWindow(m_window);
    UpdateWindow(m_window);
    focusFirstControl();
}

void FormWindow::disableOtherWindows() {
    m_disabledForModal.clear();
    for (FormWindow* other : All()) {
        HWND window = other->m_window;
        if (other != this && window && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            m_disabledForModal.push_back(window);
        }
    }
}

void FormWindow::enableOtherWindows() {
    for (HWND window : m_disabledForModal) {
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    }
    m_disabledForModal.clear();
}

void FormWindow::RunModal() {
    if (!m_window)
        return;
    m_modal = true;
    m_modalEnded = false;
    disableOtherWindows();
    ShowCentred();
    RunMessagesUntil(m_modalEnded);
    enableOtherWindows();
    m_modal = false;
}

void FormWindow::EndModal() { m_modalEnded = true; }

bool FormWindow::IsVisible() const { return m_window && IsWindowVisible(m_window); }

// Tab passes by what is hidden, disabled or out of sight, and by a drawn control nothing listens to.
bool FormWindow::canTakeFocus(const ControlDefinition& definition) const {
    const Control* control = find(definition.name);
    if (!control)
        return false;
    RECT client{};
    GetClientRect(m_window, &client);
    const RECT box = placeOf(*control);
    if (!InSight({box.left, box.top, box.right - box.left, box.bottom - box.top}, {client.right, client.bottom}))
        return false;
    if (!control->window)
        return definition.visible && m_form.HasClickHandler(definition.name);
    return IsWindowVisible(control->window) && IsWindowEnabled(control->window);
}

void FormWindow::MoveFocus(bool backwards) {
    HWND focus = GetFocus();
    std::string current = focus == m_window ? m_keyFocus : std::string();
    for (const Control& control : m_controls) {
        if (control.window && control.window == focus)
            current = control.definition->name;
    }
    const ControlDefinition* next = NextInTabOrder(m_form.definition(), current, backwards,
                                                   [this](const ControlDefinition& d) { return canTakeFocus(d); });
    if (next)
        FocusControl(*next);
}

}  // namespace linkvane
