// The code page, the web-link check and the opener's encoding: every byte comes back from a trip
// through the code page, and a text reaches the opener as one URL exactly when it is an openable
// web link.
#include "app/Shell.h"
#include "net/codepage.h"
#include "net/weblink.h"
#include "tests/fuzz/fuzz.h"
#include "tests/support/recordingshell.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string text = linkvane::FromAnsi(bytes);
    PROMISE(text.size() == bytes.size() && linkvane::ToAnsi(text) == bytes);

    static linkvane::RecordingShell shell;
    linkvane::InstallDesktopShell(&shell);
    shell.opened.clear();
    const std::u16string target = Utf16(data, size);
    linkvane::ShellOpen(nullptr, target);
    PROMISE(shell.opened.size() == (linkvane::IsOpenableWebLink(target) ? 1u : 0u));
    for (const std::string& url : shell.opened) {
        const std::string body = url.substr(0, url.find_last_not_of("\r\n") + 1);
        PROMISE(linkvane::IsOpenableWebLink(linkvane::FromAnsi(url)));
        PROMISE(body.find_first_of(" \"<>\r\n") == std::string::npos);
    }
    return 0;
}
