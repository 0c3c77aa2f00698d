// Tells the end-to-end test what only the program's own windows know: where a top-level window
// and its client area are on the screen, whether it takes input, and which control has the focus.
//   probe.exe TITLE
// prints, one per line, in screen pixels (the focus in client pixels):
//   window LEFT TOP RIGHT BOTTOM
//   client LEFT TOP WIDTH HEIGHT
//   enabled 0|1
//   focus LEFT TOP WIDTH HEIGHT      (or "focus none")
//   tooltip shown [TEXT]             (the program's tooltip is shown; its text as UTF-8 where the
//                                     window gives it) or "tooltip none"
// and exits with 1 when no window has that title.

#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: probe.exe TITLE\n");
        return 2;
    }
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window || !IsWindowVisible(window))
        return 1;
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::printf("window %ld %ld %ld %ld\n", frame.left, frame.top, frame.right, frame.bottom);
    std::printf("client %ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    std::printf("enabled %d\n", IsWindowEnabled(window) ? 1 : 0);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    const DWORD threadId = GetWindowThreadProcessId(window, nullptr);
    if (GetGUIThreadInfo(threadId, &thread) && thread.hwndFocus && IsChild(window, thread.hwndFocus)) {
        RECT focus;
        GetWindowRect(thread.hwndFocus, &focus);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&focus), 2);
        std::printf("focus %ld %ld %ld %ld\n", focus.left, focus.top, focus.right - focus.left,
                    focus.bottom - focus.top);
    } else {
        std::printf("focus none\n");
    }
    // The tooltip window's class name carries the version of the common controls the program asked for.
    HWND tip = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND candidate, LPARAM found) -> BOOL {
            wchar_t name[128] = L"";
            GetClassNameW(candidate, name, 128);
            if (IsWindowVisible(candidate) && std::wcsstr(name, L"tooltips_class32"))
                *reinterpret_cast<HWND*>(found) = candidate;
            return !*reinterpret_cast<HWND*>(found);
        },
        reinterpret_cast<LPARAM>(&tip));
    wchar_t text[256] = L"";
    char utf8[1024] = "";
    if (tip && GetWindowTextW(tip, text, 256))
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    std::printf(tip ? "tooltip shown %s\n" : "tooltip none\n", utf8);
    return 0;
}
