// Tells the end-to-end test what only the program's own windows know: where a top-level window
// and its client area are on the screen, whether it takes input, and which control has the focus.
//   probe.exe TITLE
// prints, one per line, in screen pixels (the focus in client pixels):
//   window LEFT TOP RIGHT BOTTOM
//   client LEFT TOP WIDTH HEIGHT
//   enabled 0|1
//   focus LEFT TOP WIDTH HEIGHT      (or "focus none")
// and exits with 1 when no window has that title.

#include <windows.h>

#include <cstdio>

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
    return 0;
}
