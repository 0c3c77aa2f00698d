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

bool ControlActions::Begins(std::string_view control, InputMoment madeAt) {
    auto found = m_actions.find(control);
    if (found == m_actions.end())
        found = m_actions.emplace(std::string(control), Action{}).first;
    Action& action = found->second;
    if (action.running || (action.lastEnded && madeAt < *action.lastEnded))
        return false;
    action.running = true;
    return true;
}

void ControlActions::Ended(std::string_view control, InputMoment now) {
    const auto found = m_actions.find(control);
    if (found == m_actions.end())
        return;
    found->second.running = false;
    found->second.lastEnded = now;
}

}  // namespace linkvane
