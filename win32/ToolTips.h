#pragma once
// A window's tooltips: one tooltip window per top-level window, made when its first tip is added
// and destroyed with the window that owns it. A tip belongs to a child window or to an area of
// the owner's client area (a drawn control), which moves when the control does.

#include <windows.h>

#include <string>

namespace linkvane {

class ToolTips {
public:
    // Adds a tip for `child`, or where there is none for the area `area` known by `id`. Tips
    // take the topmost tool under the pointer, so add them in stacking order. The tool's id, or 0
    // when the system refuses it.
    UINT_PTR Add(HWND owner, const std::u16string& text, HWND child, UINT_PTR id, const RECT& area);
    // Moves the area of a tip added without a child window.
    void MoveArea(HWND owner, UINT_PTR id, const RECT& area);
    // Forgets the tooltip window after its owner is destroyed (it went with it).
    void Forget() { m_window = nullptr; }

private:
    HWND m_window = nullptr;
};

}  // namespace linkvane
