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

namespace linkvane {

std::optional<std::chrono::milliseconds> TimerDelay(const ControlDefinition& timer,
                                     std::chrono::system_clock::time_point now) {
    using std::chrono::milliseconds;
    if (timer.interval <= 0)
        return std::nullopt;
    if (timer.interval >= 1000)
        return milliseconds(timer.interval);
    // Local time differs from the system clock by whole minutes, so its seconds turn together.
    constexpr milliseconds kPastTheBoundary{2};
    const auto intoSecond =
        std::chrono::duration_cast<milliseconds>(now.time_since_epoch()) % std::chrono::seconds(1);
    return std::chrono::seconds(1) - intoSecond + kPastTheBoundary;
}

}  // namespace linkvane
