#pragma once
// Identifiers of the program's resources, shared by linkvane.rc and the code.

#define LINKVANE_HAND_CURSOR 101

#ifndef RC_INVOKED
#include <string>

namespace linkvane {

// The pictures and the icon of the window definitions are resources named after their files
// under resources/: "main-background.jpg" is MAIN_BACKGROUND_JPG.
inline std::wstring ResourceName(const std::string& fileName) {
    std::wstring name;
    for (char c : fileName)
        name += (c >= 'a' && c <= 'z') ? wchar_t(c - 'a' + 'A') : (c == '-' || c == '.') ? L'_' : wchar_t(c);
    return name;
}

}  // namespace linkvane
#endif
