// Under Wine: the window font, Tahoma, is installed in the prefix (scripts/wine-env.sh copies
// fonts-wine's fonts into it; Wine does not look in /usr/share/wine/fonts by itself).
#include <windows.h>

#include <cstdio>

int main()
{
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW font = {};
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font.lfFaceName, L"Tahoma");
    int faces = 0;
    EnumFontFamiliesExW(
        dc, &font,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count) -> int {
            ++*reinterpret_cast<int*>(count);
            return 1;
        },
        reinterpret_cast<LPARAM>(&faces), 0);
    DeleteDC(dc);
    std::printf("Tahoma: %d faces\n", faces);
    return faces > 0 ? 0 : 1;
}
