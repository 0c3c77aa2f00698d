#pragma once
// Handing a link or a command line to the desktop. Both return at once: the program started is
// not waited for (and leaves no zombie), and nothing is reported when it cannot be started.

#include <QString>

class QWidget;

namespace linkvane {

// The desktop's opener, the program that opens a document or address with its default
// application: "xdg-open" on Linux, "open" on macOS, "explorer" on Windows.
QString DesktopOpener();

// Opens a web address with the desktop's default browser. The target must begin with "http://" or
// "https://" (any letter case); anything else opens nothing, because the addresses come over plain
// HTTP and a tampered one must not start a program. The target passes through Windows-1256 (what
// the code page lacks becomes "?") and is otherwise handed over unchanged, a trailing line break
// included. The owner is the window of the request; only some platforms have a use for it.
void ShellOpen(QWidget* owner, const QString& target);

// Starts the program named by the first word of a command line, found on PATH, with the rest of
// the line after the first space, unchanged, as its single argument (no argument when there is no
// space). The window style (3: maximized with the focus) is used where the platform has one.
void ShellRun(const QString& commandLine, int windowStyle);

}  // namespace linkvane
