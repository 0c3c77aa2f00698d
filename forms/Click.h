#pragma once
// Which presses and releases of the mouse make a click on a control. As on the classic desktop,
// a click is a press of the primary button followed by its release over the same control; the
// second press of a double-click is a double-click, which no control of these windows handles,
// so a double-click acts once and three quick presses act twice (the first and the third).
// Then whether a click runs its control's action (ControlActions).

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace linkvane {

enum class MouseButton { Primary, Other };
enum class PressKind { Single, Double };

class ClickCounter {
public:
    // Any press starts afresh: only a single press of the primary button can become a click.
    void Pressed(MouseButton button, PressKind kind);
    // True when this release completes a click: the primary button, released over the control.
    bool Released(MouseButton button, bool overTheControl);

private:
    bool m_armed = false;
};

// A moment on a desktop's input clock: milliseconds from an origin of the desktop's choosing.
using InputMoment = std::chrono::milliseconds;

// Which presses of a window's controls run their actions. A press made while the program waits
// (for a download) is handled after the wait, in its order, so nothing the user did is lost; but
// a press made before the same control's last action ended adds nothing (one made at the moment
// it ended, as the clock's resolution tells, is taken as made after). It was made either while
// that action ran or while an earlier press of the control waited its turn: ten presses of search
// during a search make no second search, and of several presses of go-to-site held behind it
// one acts. Presses of other controls keep their turn.
class ControlActions {
public:
    // True when a press of `control` made at `madeAt` is to run the action, which then runs until
    // Ended is called with the moment it ended.
    bool Begins(std::string_view control, InputMoment madeAt);
    void Ended(std::string_view control, InputMoment now);

private:
    struct Action {
        bool running = false;
        std::optional<InputMoment> lastEnded;
    };
    std::map<std::string, Action, std::less<>> m_actions;
};

}  // namespace linkvane
