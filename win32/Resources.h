#pragma once
// Identifiers of the program's resources, shared by linkvane.rc and the code.

#define LINKVANE_HAND_CURSOR 101

#ifndef RC_INVOKED
#include <windows.h>

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

// The hand over every control that looks clickable (hot spot at the finger tip), the arrow, and
// the arrow with an hourglass of work going on in the background.
HCURSOR HandCursor();
HCURSOR ArrowCursor();
HCURSOR BusyCursor();

// The icon resource of a window definition's icon file at the size of two system metrics
// (SM_CXICON and SM_CYICON, or the small ones); null when there is none.
HICON LoadIconResource(const std::string& fileName, int widthMetric, int heightMetric);

}  // namespace linkvane
#endif
