// Tells the end-to-end test what only the program's own windows know (Wine draws their frames):
//   probe.exe TITLE   prints one line, in screen pixels:
//   FRAME_LEFT TOP WIDTH HEIGHT CLIENT_LEFT TOP WIDTH HEIGHT none|shown [TOOLTIP_TEXT]
// and exits with 1 when no shown window has that title.

#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t* argv[]) {
    HWND window = argc == 2 ? FindWindowW(nullptr, argv[1]) : nullptr;
    if (!window || !IsWindowVisible(window))
        return 1;
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const DWORD threadId = GetWindowThreadProcessId(window, nullptr);
    // The tooltip window's class name carries the version of the common controls the program asked for.
    HWND tip = nullptr;
    for (HWND next = nullptr; !tip && (next = FindWindowExW(nullptr, next, nullptr, nullptr));) {
        wchar_t name[128] = L"";
        GetClassNameW(next, name, 128);
        if (GetWindowThreadProcessId(next, nullptr) == threadId && IsWindowVisible(next) &&
            std::wcsstr(name, L"tooltips_class32"))
            tip = next;
    }
    wchar_t text[256] = L"";
    char utf8[1024] = "";
    if (tip && GetWindowTextW(tip, text, 256))
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    std::printf("%ld %ld %ld %ld %ld %ld %ld %ld %s %s\n", frame.left, frame.top, frame.right - frame.left,
                frame.bottom - frame.top, origin.x, origin.y, client.right, client.bottom, tip ? "shown" : "none",
                utf8);
    return 0;
}
