#pragma once
// Active Accessibility for the form windows. Labels and images are drawn on a window's own
// surface, so the system alone would show screen readers only the child windows: the window
// answers WM_GETOBJECT with an IAccessible of its own whose children are every control screen
// readers see (forms/ScreenReader.h), drawn or not. The window itself is the system's standard
// object, and the text boxes and the button are the system's own, a text box named by its heading.
// UI Automation clients read it all through the system's MSAA proxy.

#include <windows.h>

#include <string>

namespace linkvane {

// The answer to WM_GETOBJECT for a form window; 0 for an object other than its client area, which
// the default window procedure answers.
LRESULT AnswerGetObject(HWND formWindow, WPARAM flags, LPARAM objectId);

// A text box whose name for screen readers is `name`: it answers WM_GETOBJECT with the system's
// object for it under that name. Undone when the box is destroyed.
void NameForScreenReaders(HWND box, const std::u16string& name);

}  // namespace linkvane
