#pragma once
// The Windows desktop: windows are FormWindows on the Win32 API, links go to the shell.

#include "forms/Desktop.h"
#include "forms/DesktopShell.h"

#include <windows.h>

namespace linkvane {

class Win32Desktop : public Desktop, public DesktopShell {
public:
    Win32Desktop();
    ~Win32Desktop() override;

    std::unique_ptr<WindowView> CreateView(Form& form) override;
    void InitCommonControls() override;
    bool RunEventsUntil(const std::atomic<bool>& finished) override;
    void WakeEventLoop() override;
    InputMoment InputClockNow() const override;
    InputMoment InputMadeAt() const override;

    std::u16string OpenerProgram() const override;
    void OpenDocument(const Form* owner, const std::string& ansiTarget) override;
    void RunCommandLine(const std::string& ansiCommandLine, int windowStyle) override;

protected:
    void CloseEverything() override;

private:
    // A message-only window that wakes the user-interface thread; posted to from any thread.
    HWND m_wakeWindow = nullptr;
};

// True while a handler waits for work in the background (RunEventsUntil): the program's windows
// then show the busy pointer.
bool IsWaitingForWork();

// Installs the one Win32 desktop as the program's desktop and shell. Call on the user-interface
// thread, before any window is created.
void InstallWin32Desktop();

}  // namespace linkvane
