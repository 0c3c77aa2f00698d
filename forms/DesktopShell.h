#pragma once
// How a desktop opens a document and starts a command line; each front end has one and installs
// it beside its Desktop (forms/Desktop.h). The handlers reach it through app/Shell.h.

#include <string>

namespace linkvane {

class Form;

class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    // The desktop's opener, the program that opens a document or address with its default
    // application: "explorer" on Windows, "xdg-open" on Linux.
    virtual std::u16string OpenerProgram() const = 0;
    // Opens a target, given in Windows-1256, with its default program. The owner is the window
    // of the request, or none.
    virtual void OpenDocument(const Form* owner, const std::string& ansiTarget) = 0;
    // Starts a command line, given in Windows-1256, as a new process with a window style.
    virtual void RunCommandLine(const std::string& ansiCommandLine, int windowStyle) = 0;
};

// The shell in use; a front end installs its own before any window is created.
void InstallDesktopShell(DesktopShell* shell);
// The shell installed, or none.
DesktopShell* InstalledDesktopShell();

}  // namespace linkvane
