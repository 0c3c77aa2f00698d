#pragma once
// Handing a link or a command line to the desktop. Both return at once: the program started is
// not waited for, and nothing is reported when it cannot be started.

#include <string>
#include <string_view>

namespace linkvane {

class Form;

// How a desktop opens a document and starts a command line; each front end has one.
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

// The opener of the installed shell.
std::u16string DesktopOpener();

// Opens a web address with the desktop's default browser. The target must begin with "http://" or
// "https://" (any letter case) and hold no control character before its trailing line breaks;
// anything else opens nothing, because the addresses come over plain HTTP and a tampered one must
// not start a program or smuggle a second argument to the opener. Blanks, `"`, `<` and `>` in it
// are percent-encoded, so that it stays one argument of the browser it starts; it passes through
// Windows-1256 (what the code page lacks becomes "?") and is otherwise handed over unchanged, a
// trailing line break included.
void ShellOpen(const Form* owner, std::u16string_view target);

// Starts a command line (in Windows-1256) with a window style (3: maximized with the focus).
void ShellRun(std::u16string_view commandLine, int windowStyle);

}  // namespace linkvane
