#include "forms/ScreenReader.h"

namespace linkvane {

bool ExposedToScreenReaders(const ControlDefinition& control) {
    return control.kind != ControlKind::Timer && control.visible;
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

AccessibleRole AccessibleRoleOf(ControlKind kind, bool clickable) {
    switch (kind) {
    case ControlKind::TextBox: return AccessibleRole::EditableText;
    case ControlKind::CommandButton: return AccessibleRole::PushButton;
    case ControlKind::Label: return clickable ? AccessibleRole::Link : AccessibleRole::StaticText;
    default: return clickable ? AccessibleRole::PushButton : AccessibleRole::Graphic;
    }
}

}  // namespace linkvane
