#include "forms/Click.h"

namespace linkvane {

void ClickCounter::Pressed(MouseButton button, PressKind kind) {
    m_armed = button == MouseButton::Primary && kind == PressKind::Single;
}

bool ClickCounter::Released(MouseButton button, bool overTheControl) {
    const bool click = m_armed && button == MouseButton::Primary && overTheControl;
    m_armed = false;
    return click;
}

}  // namespace linkvane
