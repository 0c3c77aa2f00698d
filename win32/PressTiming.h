#pragma once
// Whether a press of the primary button is the second press of a double-click, told by the time
// the press was made rather than the time it is taken from the queue.

#include "forms/Click.h"

#include <windows.h>

#include <optional>

namespace linkvane {

class PressTiming {
public:
    // A plain press at a point of the client area, made at `time` (GetMessageTime()).
    PressKind Classify(POINT point, LONG time);
    // The system's own double-click message came: the next press begins afresh.
    void Reset() { m_lastSingle.reset(); }

private:
    struct TimedPress {
        LONG time;
        POINT point;
    };
    std::optional<TimedPress> m_lastSingle;  // a single press that may begin a double-click
};

}  // namespace linkvane
