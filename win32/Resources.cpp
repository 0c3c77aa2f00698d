#include "win32/Resources.h"

namespace linkvane {

HCURSOR HandCursor() {
    static const HCURSOR hand = [] {
        HCURSOR own = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(LINKVANE_HAND_CURSOR));
        return own ? own : LoadCursorW(nullptr, MAKEINTRESOURCEW(32649) /* IDC_HAND */);
    }();
    return hand;
}

HCURSOR ArrowCursor() { return LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */); }
HCURSOR BusyCursor() { return LoadCursorW(nullptr, MAKEINTRESOURCEW(32650) /* IDC_APPSTARTING */); }

HICON LoadIconResource(const std::string& fileName, int widthMetric, int heightMetric) {
    if (fileName.empty())
        return nullptr;
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), ResourceName(fileName).c_str(), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0));
}

}  // namespace linkvane
