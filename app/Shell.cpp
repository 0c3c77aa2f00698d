#include "app/Shell.h"

#include "forms/DesktopShell.h"
#include "net/codepage.h"
#include "net/weblink.h"

namespace linkvane {

namespace {

// A browser registered as `"browser.exe" "%1"` is started with the address put between quotes on
// its command line: a quote or a blank in the address would end that argument and start others
// (options to the browser). Percent-encoded they stay part of the one URL, which browsers read
// the same; `<` and `>` are encoded as well, as no URL holds them literally.
std::u16string OneArgumentUrl(std::u16string_view url) {
    std::u16string encoded;
    encoded.reserve(url.size());
    for (const char16_t c : url) {
        switch (c) {
        case u' ': encoded += u"%20"; break;
        case u'"': encoded += u"%22"; break;
        case u'<': encoded += u"%3C"; break;
        case u'>': encoded += u"%3E"; break;
        default: encoded += c;
        }
    }
    return encoded;
}
}  // namespace

std::u16string DesktopOpener() {
    const DesktopShell* shell = InstalledDesktopShell();
    return shell ? shell->OpenerProgram() : std::u16string();
}

void ShellOpen(const Form* owner, std::u16string_view target) {
    DesktopShell* shell = InstalledDesktopShell();
    if (!shell || !IsOpenableWebLink(target))
        return;
    shell->OpenDocument(owner, ToAnsi(OneArgumentUrl(target)));
}

void ShellRun(std::u16string_view commandLine, int windowStyle) {
    if (DesktopShell* shell = InstalledDesktopShell())
        shell->RunCommandLine(ToAnsi(commandLine), windowStyle);
}

}  // namespace linkvane
