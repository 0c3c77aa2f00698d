#include "net/shell.h"

#include "net/codepage.h"
#include "net/weblink.h"

namespace linkvane {

namespace {
DesktopShell* g_shell = nullptr;
}  // namespace

void InstallDesktopShell(DesktopShell* shell) { g_shell = shell; }

std::u16string DesktopOpener() { return g_shell ? g_shell->OpenerProgram() : std::u16string(); }

void ShellOpen(const Form* owner, std::u16string_view target) {
    if (!g_shell || !IsOpenableWebLink(target))
        return;
    g_shell->OpenDocument(owner, ToAnsi(target));
}

void ShellRun(std::u16string_view commandLine, int windowStyle) {
    if (g_shell)
        g_shell->RunCommandLine(ToAnsi(commandLine), windowStyle);
}

}  // namespace linkvane
