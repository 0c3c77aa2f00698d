#include "forms/ScreenReader.h"

#include <algorithm>

namespace linkvane {

bool ExposedToScreenReaders(const ControlDefinition& control) {
    return control.kind != ControlKind::Timer && control.visible;
}

std::vector<const ControlDefinition*> ScreenReaderOrder(const FormDefinition& form) {
    std::vector<const ControlDefinition*> order;
    for (const ControlDefinition* control : TabOrder(form)) {
        if (ExposedToScreenReaders(*control))
            order.push_back(control);
    }
    for (const ControlDefinition& control : form.controls) {
        if (ExposedToScreenReaders(control) && std::find(order.begin(), order.end(), &control) == order.end())
            order.push_back(&control);
    }
    return order;
}

std::u16string AccessibleName(const FormDefinition& form, const ControlDefinition& control,
                              const std::u16string& shownText) {
    if (!control.toolTip.empty())
        return control.toolTip;
    if (!control.accessibleName.empty())
        return control.accessibleName;
    if (control.kind == ControlKind::TextBox) {
        // What a box holds is its value, never its name.
        const ControlDefinition* heading = form.find(control.labelledBy);
        return heading ? heading->text : std::u16string();
    }
    return control.kind == ControlKind::Image ? std::u16string() : shownText;
}

bool AnnounceNameChange(std::chrono::steady_clock::time_point& lastAnnounced,
                        std::chrono::steady_clock::time_point now) {
    constexpr auto kAtMostEvery = std::chrono::minutes(1);
    if (lastAnnounced != std::chrono::steady_clock::time_point{} && now - lastAnnounced < kAtMostEvery)
        return false;
    lastAnnounced = now;
    return true;
}

AccessibleRole AccessibleRoleOf(ControlKind kind, bool clickable) {
    switch (kind) {
    case ControlKind::TextBox: return AccessibleRole::EditableText;
    case ControlKind::CommandButton: return AccessibleRole::PushButton;
    case ControlKind::Label: return clickable ? AccessibleRole::Link : AccessibleRole::StaticText;
    default: return clickable ? AccessibleRole::PushButton : AccessibleRole::Graphic;
    }
}

}  // namespace linkvane
