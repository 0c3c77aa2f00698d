#pragma once
// The resolution a window is drawn at. Windows 10 gives each window the resolution of its monitor;
// Windows 7 and 8 have one for the whole system. The per-monitor calls are looked up by name, so
// that the program still starts where they do not exist.

#include "forms/FormDefinition.h"

#include <windows.h>

namespace linkvane {

// The system's resolution in dots per inch (96 at 100 %).
int SystemDpi();

// The resolution of a window: its monitor's where Windows tells it, else the system's.
int WindowDpi(HWND window);

// The size of a window whose client area has the given size, with the frame of the given styles
// at a resolution.
PixelSize FrameSizeFor(PixelSize client, DWORD style, DWORD extended, int dpi);

}  // namespace linkvane
