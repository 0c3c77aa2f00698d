// The tooltip window of a form window and its tools.

#include "win32/ToolTips.h"

#include "win32/Text.h"

#include <commctrl.h>

namespace linkvane {

UINT_PTR ToolTips::Add(HWND owner, const std::u16string& text, HWND child, UINT_PTR id, const RECT& area) {
    if (!m_window) {
        // The tooltip class, whatever the common-control classes the program asked for.
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES};
        InitCommonControlsEx(&classes);
        m_window = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        if (!m_window)
            return 0;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = owner;
    tool.hinst = GetModuleHandleW(nullptr);
    tool.lpszText = const_cast<wchar_t*>(Wide(text));
    if (child) {
        tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
    } else {
        tool.uFlags = TTF_SUBCLASS;
        tool.uId = id;
        tool.rect = area;
    }
    return SendMessageW(m_window, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) ? tool.uId : 0;
}

void ToolTips::MoveArea(HWND owner, UINT_PTR id, const RECT& area) {
    if (!m_window || !id)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = owner;
    tool.uId = id;
    tool.rect = area;
    SendMessageW(m_window, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace linkvane
