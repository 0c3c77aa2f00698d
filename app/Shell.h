#pragma once
// Handing a link or a command line from a handler to the desktop's shell (forms/DesktopShell.h).
// Both return at once: the program started is not waited for, and nothing is reported when it
// cannot be started.

#include <string>
#include <string_view>

namespace linkvane {

class Form;

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
