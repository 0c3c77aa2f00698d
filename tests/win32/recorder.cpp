// A recording stand-in for the programs the shell starts (the web browser, the messenger): it
// writes the whole command line it was started with, byte for byte as UTF-8, to
// %LINKVANE_E2E_OPENED%\call-N (N counts from 0), and its working directory to call-N.cwd. A GUI
// program that shows nothing: a console program would open a console window over the windows
// under test.

#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t folder[MAX_PATH];
    if (!GetEnvironmentVariableW(L"LINKVANE_E2E_OPENED", folder, MAX_PATH))
        return 2;
    wchar_t directory[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, directory);
    // The first free number: CREATE_NEW makes two recorders started at once take different ones.
    for (int n = 0; n < 1000; ++n) {
        const std::wstring call = std::wstring(folder) + L"\\call-" + std::to_wstring(n);
        if (GetFileAttributesW(call.c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
        WriteFileBytes(call + L".cwd", Utf8(directory));
        const std::wstring partial = call + L".partial";
        if (!WriteFileBytes(partial, Utf8(GetCommandLineW())))
            continue;
        return MoveFileW(partial.c_str(), call.c_str()) ? 0 : 1;
    }
    return 1;
}
