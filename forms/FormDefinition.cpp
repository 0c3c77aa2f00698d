#include "forms/FormDefinition.h"

#include "forms/Twips.h"

#include <algorithm>

namespace linkvane {

const ControlDefinition* FormDefinition::find(std::string_view control) const {
    for (const ControlDefinition& definition : controls) {
        if (definition.name == control)
            return &definition;
    }
    return nullptr;
}

PixelSize ImageSizeFor(const ControlDefinition& image, PixelSize picture) {
    const PixelSize stored{TwipsToPixels(image.width), TwipsToPixels(image.height)};
    if (!image.autoSize)
        return stored;
    return {std::min(picture.width, stored.width), std::min(picture.height, stored.height)};
}

bool TakesFocus(const ControlDefinition& control) {
    return control.kind == ControlKind::TextBox || control.kind == ControlKind::CommandButton;
}

std::vector<const ControlDefinition*> TabOrder(const FormDefinition& form) {
    std::vector<const ControlDefinition*> ordered;
    for (const ControlDefinition& control : form.controls) {
        if (TakesFocus(control) && control.tabIndex >= 0)
            ordered.push_back(&control);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    return ordered;
}

}  // namespace linkvane
