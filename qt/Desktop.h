#pragma once
// The Linux desktop under Qt: windows are FormWindows, links go to xdg-open.

#include "forms/Desktop.h"
#include "forms/DesktopShell.h"

namespace linkvane {

class QtDesktop : public Desktop, public DesktopShell {
public:
    std::unique_ptr<WindowView> CreateView(Form& form) override;
    bool RunEventsUntil(const std::atomic<bool>& finished) override;
    void WakeEventLoop() override;
    InputMoment InputMadeAt() const override;

    std::u16string OpenerProgram() const override;
    void OpenDocument(const Form* owner, const std::string& ansiTarget) override;
    void RunCommandLine(const std::string& ansiCommandLine, int windowStyle) override;

protected:
    void CloseEverything() override;
};

// Installs the one Qt desktop as the program's desktop and shell; needs a QApplication.
void InstallQtDesktop();

}  // namespace linkvane
