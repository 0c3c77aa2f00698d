// The Windows program: the main window, shown once its form has loaded, and the message loop
// until it closes. The command line is ignored: the program takes none.

#include "app/Main.h"
#include "forms/Background.h"
#include "win32/Desktop.h"
#include "win32/MessageLoop.h"

#include <objbase.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The shell and the picture loader are COM; a single-threaded apartment, as the shell asks.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    linkvane::InstallWin32Desktop();
    int status = 0;
    {
        linkvane::Main main;
        main.Show();
        status = linkvane::RunMessageLoop();
    }
    // A download abandoned at the end stops within a second; one that does not must not hold
    // the program, nor meet destructors of what it still uses. (msvcrt has no quick_exit; with
    // no at_quick_exit handlers, _Exit is the same.)
    using namespace std::chrono_literals;
    if (!linkvane::WaitForWorkers(1s))
        std::_Exit(status);
    if (SUCCEEDED(com))
        CoUninitialize();
    return status;
}
