#include "win32/Dpi.h"

namespace linkvane {

namespace {

// A function of user32 that older Windows lack, or null. The cast through a function of no
// arguments is how a looked-up address becomes a typed one without a warning.
template <class Function>
Function FromUser32(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = FromUser32<GetDpiForWindowFunction>("GetDpiForWindow");
    const int dpi = getDpiForWindow && window ? int(getDpiForWindow(window)) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

PixelSize FrameSizeFor(PixelSize client, DWORD style, DWORD extended, int dpi) {
    static const auto adjustForDpi = FromUser32<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.width, client.height};
    // Without the per-monitor call the frame is the system's, which is then every window's.
    if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, extended, UINT(dpi)))
        AdjustWindowRectEx(&frame, style, FALSE, extended);
    return {int(frame.right - frame.left), int(frame.bottom - frame.top)};
}

}  // namespace linkvane
