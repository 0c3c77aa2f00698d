#include "win32/MessageLoop.h"

#include "win32/FormWindow.h"

#include <utility>

namespace linkvane {

namespace {

std::optional<DWORD> g_dispatchedInputTime;

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

bool MovedFocus(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB)
        return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
        return false;
    FormWindow* form = FormWindow::FromHandle(GetAncestor(message.hwnd, GA_ROOT));
    if (!form)
        return false;
    form->MoveFocus(GetKeyState(VK_SHIFT) < 0);
    return true;
}

bool IsTabCharacter(const MSG& message) {
    return message.message == WM_CHAR && message.wParam == L'\t' &&
           FormWindow::FromHandle(GetAncestor(message.hwnd, GA_ROOT)) != nullptr;
}

}  // namespace

std::optional<DWORD> DispatchedInputTime() { return g_dispatchedInputTime; }

std::optional<DWORD> ExchangeDispatchedInputTime(std::optional<DWORD> time) {
    return std::exchange(g_dispatchedInputTime, time);
}

void DispatchQueued(const MSG& message) {
    if (MovedFocus(message) || IsTabCharacter(message))
        return;
    const std::optional<DWORD> outer =
        ExchangeDispatchedInputTime(IsInput(message.message) ? std::optional<DWORD>(message.time) : std::nullopt);
    TranslateMessage(&message);
    DispatchMessageW(&message);
    g_dispatchedInputTime = outer;
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchQueued(message);
    return message.message == WM_QUIT ? int(message.wParam) : 0;
}

void RunMessagesUntil(const bool& done) {
    MSG message;
    while (!done) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(int(message.wParam));
            return;
        }
        if (got < 0)
            return;
        DispatchQueued(message);
    }
}

}  // namespace linkvane
