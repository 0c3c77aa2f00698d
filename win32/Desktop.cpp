#include "win32/Desktop.h"

#include "forms/Form.h"
#include "win32/FormWindow.h"
#include "win32/MessageLoop.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

namespace linkvane {

namespace {

constexpr wchar_t kWakeClass[] = L"LinkvaneWake";

// What a wait hands on: everything but the keyboard and the client area's mouse messages, which
// stay queued in their order until the wait is over. Non-client mouse messages (the close box,
// the caption) are below WM_KEYFIRST and so go on.
bool TakeNonInputMessage(MSG& message) {
    return PeekMessageW(&message, nullptr, 0, WM_KEYFIRST - 1, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_KEYLAST + 1, WM_MOUSEFIRST - 1, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_MOUSELAST + 1, 0xFFFFFFFF, PM_REMOVE);
}

// Closing is never held up: when the next keys waiting are Alt and F4, they are handed on during a
// wait too (the Alt press first; nothing was typed before it). Any other key keeps its turn.
bool TakeCloseKey(MSG& message) {
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) {
        const bool isPress = message.message == WM_SYSKEYDOWN;
        const bool isAlt = isPress && message.wParam == VK_MENU;
        const bool isF4 = isPress && message.wParam == VK_F4;
        if (!isAlt && !isF4)
            return false;
        // The first key message waiting is this press.
        if (!PeekMessageW(&message, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE))
            return false;
        if (isF4)
            return true;
        DispatchQueued(message);
    }
    return false;
}

// New messages of these kinds end the sleep of a wait: posted and sent messages, timers, paints,
// keys (for Alt+F4) and mouse buttons (the close box). Pointer movements do not.
constexpr DWORD kWaitWakesFor =
    QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY | QS_KEY | QS_MOUSEBUTTON;

int g_waits = 0;

// The pointer shows a change at once, not only at its next movement: the window under it is
// asked for its pointer as a movement would ask.
void RefreshPointer() {
    POINT point;
    if (!GetCursorPos(&point))
        return;
    HWND under = WindowFromPoint(point);
    if (!under || !FormWindow::FromHandle(GetAncestor(under, GA_ROOT)))
        return;
    const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(WORD(point.x), WORD(point.y)));
    SendMessageW(under, WM_SETCURSOR, WPARAM(under), MAKELPARAM(WORD(hit), WM_MOUSEMOVE));
}

// One wait of RunEventsUntil, however it ends: the busy pointer shows while it lasts, and the
// input message that started it (if one did) is put aside: nothing the wait handles was made
// with it.
class Waiting {
public:
    Waiting() : m_handedOver(ExchangeDispatchedInputTime(std::nullopt)) {
        ++g_waits;
        RefreshPointer();
    }
    ~Waiting() {
        --g_waits;
        ExchangeDispatchedInputTime(m_handedOver);
        RefreshPointer();
    }
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;

private:
    std::optional<DWORD> m_handedOver;
};

}  // namespace

bool IsWaitingForWork() { return g_waits > 0; }

Win32Desktop::Win32Desktop() {
    WNDCLASSEXW wakeClass{};
    wakeClass.cbSize = sizeof(wakeClass);
    wakeClass.lpfnWndProc = DefWindowProcW;
    wakeClass.hInstance = GetModuleHandleW(nullptr);
    wakeClass.lpszClassName = kWakeClass;
    RegisterClassExW(&wakeClass);
    m_wakeWindow = CreateWindowExW(0, kWakeClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
}

Win32Desktop::~Win32Desktop() {
    if (m_wakeWindow)
        DestroyWindow(m_wakeWindow);
}

std::unique_ptr<WindowView> Win32Desktop::CreateView(Form& form) {
    return std::make_unique<FormWindow>(form);
}

// The extended combo-box classes, as the program has always asked; a failure changes nothing.
void Win32Desktop::InitCommonControls() {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);
    classes.dwICC = ICC_USEREX_CLASSES;
    InitCommonControlsEx(&classes);
}

void Win32Desktop::CloseEverything() {
    for (FormWindow* window : FormWindow::All()) {
        if (window->handle())
            ShowWindow(window->handle(), SW_HIDE);
    }
    PostQuitMessage(0);
}

bool Win32Desktop::RunEventsUntil(const std::atomic<bool>& finished) {
    const Waiting waiting;
    MSG message;
    while (!finished && !IsEnding()) {
        if (TakeNonInputMessage(message) || TakeCloseKey(message)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(int(message.wParam));  // for the loop outside
                break;
            }
            DispatchQueued(message);
            continue;
        }
        // Checked after the queue is empty and before the sleep: a wake posted after the flag
        // was set either is still queued or ends the sleep.
        if (finished || IsEnding())
            break;
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, kWaitWakesFor, 0);
    }
    return finished && !IsEnding();
}

void Win32Desktop::WakeEventLoop() {
    if (m_wakeWindow)
        PostMessageW(m_wakeWindow, WM_APP, 0, 0);
}

InputMoment Win32Desktop::InputClockNow() const { return InputMoment(GetTickCount64()); }

// A message's time is the 32-bit tick count, which wraps every 49 days: its age, never negative,
// is counted back from now.
InputMoment Win32Desktop::InputMadeAt() const {
    const std::optional<DWORD> made = DispatchedInputTime();
    if (!made)
        return InputClockNow();
    const LONG age = LONG(GetTickCount() - *made);
    return InputClockNow() - InputMoment(std::max<LONG>(age, 0));
}

std::u16string Win32Desktop::OpenerProgram() const { return u"explorer"; }

void Win32Desktop::OpenDocument(const Form* owner, const std::string& ansiTarget) {
    HWND ownerWindow = nullptr;
    if (owner) {
        for (FormWindow* window : FormWindow::All()) {
            if (&window->form() == owner)
                ownerWindow = window->handle();
        }
    }
    // No verb: the target's default action, whatever the user's desktop made it.
    ShellExecuteA(ownerWindow, nullptr, ansiTarget.c_str(), nullptr, "C:\\", SW_SHOWNORMAL);
}

// Started, not waited for; the new process's handles are of no further use here.
void Win32Desktop::RunCommandLine(const std::string& ansiCommandLine, int windowStyle) {
    std::string commandLine = ansiCommandLine;  // CreateProcessA may write into it
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = WORD(windowStyle);
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void InstallWin32Desktop() {
    static Win32Desktop desktop;
    InstallDesktop(&desktop);
    InstallDesktopShell(&desktop);
}

}  // namespace linkvane
