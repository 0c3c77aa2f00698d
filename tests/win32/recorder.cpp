// The end-to-end test's stand-in for the web browser and the messenger: it records its working
// directory and, on the next lines, its whole command line, as UTF-8, in %LINKVANE_E2E_OPENED%\call-N.
// A GUI program that shows nothing: a console program would open a console window over the windows
// under test.

#include <windows.h>

#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    std::string bytes(std::size_t(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), int(bytes.size()), nullptr, nullptr);
    bytes.pop_back();  // the terminating NUL
    return bytes;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t folder[MAX_PATH], directory[MAX_PATH];
    if (!GetEnvironmentVariableW(L"LINKVANE_E2E_OPENED", folder, MAX_PATH) ||
        !GetCurrentDirectoryW(MAX_PATH, directory))
        return 2;
    const std::string record = Utf8(directory) + "\n" + Utf8(GetCommandLineW());
    // Written whole under a name of its own, then given the first free number: MoveFileW fails where
    // the name is taken, so the test never reads half a record and two recorders never share one.
    const std::wstring partial = folder + (L"\\recording-" + std::to_wstring(GetCurrentProcessId()));
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, record.data(), DWORD(record.size()), &written, nullptr);
    CloseHandle(file);
    for (int n = 0; n < 1000; ++n) {
        if (MoveFileW(partial.c_str(), (std::wstring(folder) + L"\\call-" + std::to_wstring(n)).c_str()))
            return 0;
    }
    return 1;
}
