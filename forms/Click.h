#pragma once
// Which presses and releases of the mouse make a click on a control. As on the classic desktop,
// a click is a press of the primary button followed by its release over the same control; the
// second press of a double-click is a double-click, which no control of these windows handles,
// so a double-click acts once and three quick presses act twice (the first and the third).

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

}  // namespace linkvane
