// Telling the second press of a double-click by the time it was made.

#include "win32/PressTiming.h"

#include <cstdlib>

namespace linkvane {

// A second press that waited in the queue while a click's download ran comes as a plain press
// under Wine, though it followed the first within the double-click time: its own time, not when it
// is taken from the queue, says whether it is the second press of a double-click.
PressKind PressTiming::Classify(POINT point, LONG time) {
    const bool second = m_lastSingle.has_value() && DWORD(time - m_lastSingle->time) <= GetDoubleClickTime() &&
                        std::abs(point.x - m_lastSingle->point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                        std::abs(point.y - m_lastSingle->point.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    m_lastSingle = second ? std::nullopt : std::optional<TimedPress>({time, point});
    return second ? PressKind::Double : PressKind::Single;
}

}  // namespace linkvane
