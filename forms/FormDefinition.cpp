#include "forms/FormDefinition.h"

#include "forms/Twips.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace linkvane {

const ControlDefinition* FormDefinition::find(std::string_view control) const {
    for (const ControlDefinition& definition : controls) {
        if (definition.name == control)
            return &definition;
    }
    return nullptr;
}

PixelRect PixelRect::united(const PixelRect& other) const {
    if (other.empty())
        return *this;
    if (empty())
        return other;
    const int newLeft = std::min(left, other.left), newTop = std::min(top, other.top);
    return {newLeft, newTop, std::max(right(), other.right()) - newLeft,
            std::max(bottom(), other.bottom()) - newTop};
}

PixelRect PixelRectOf(const ControlDefinition& control, int dpi) {
    return {TwipsToPixels(control.left, dpi), TwipsToPixels(control.top, dpi), TwipsToPixels(control.width, dpi),
            TwipsToPixels(control.height, dpi)};
}

PixelSize ClientSizeOf(const FormDefinition& form, int dpi) {
    return {TwipsToPixels(form.clientWidth, dpi), TwipsToPixels(form.clientHeight, dpi)};
}

PixelSize ImageSizeFor(const ControlDefinition& image, PixelSize picture, int dpi) {
    const PixelSize stored{TwipsToPixels(image.width, dpi), TwipsToPixels(image.height, dpi)};
    if (!image.autoSize)
        return stored;
    return {std::min(picture.width, stored.width), std::min(picture.height, stored.height)};
}

namespace {

constexpr double kArtworkScales[] = {1.0, 1.5, 2.0};

double UsableScale(double scale) { return std::isfinite(scale) && scale > 0 ? scale : 1.0; }

}  // namespace

double ArtworkScaleFor(double deviceScale) {
    deviceScale = UsableScale(deviceScale);
    // A scale a hair above a drawn one (1.0000001 from a desktop's arithmetic) is that one: a
    // picture drawn down by a thousandth would only lose its sharpness.
    constexpr double kSlack = 0.001;
    for (double drawn : kArtworkScales) {
        if (drawn >= deviceScale - kSlack)
            return drawn;
    }
    return kArtworkScales[std::size(kArtworkScales) - 1];
}

std::string ArtworkFileAt(const std::string& file, double artworkScale) {
    if (artworkScale == 1.0 || file.empty())
        return file;
    const std::string suffix = artworkScale == 1.5 ? "-1.5x" : "-2x";
    const std::size_t dot = file.rfind('.');
    return dot == std::string::npos ? file + suffix : file.substr(0, dot) + suffix + file.substr(dot);
}

int ScaledPixels(int pixels, double deviceScale) {
    return int(std::lround(double(pixels) * UsableScale(deviceScale)));
}

bool IsWindowed(const ControlDefinition& control) {
    return control.kind == ControlKind::TextBox || control.kind == ControlKind::CommandButton;
}

bool TakesFocus(const ControlDefinition& control) {
    return IsWindowed(control) || (control.kind != ControlKind::Timer && control.tabIndex >= 0);
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

const ControlDefinition* NextInTabOrder(const FormDefinition& form, std::string_view current, bool backwards,
                                        const std::function<bool(const ControlDefinition&)>& canTakeFocus) {
    std::vector<const ControlDefinition*> order = TabOrder(form);
    if (backwards)
        std::reverse(order.begin(), order.end());
    const auto here = std::find_if(order.begin(), order.end(),
                                   [current](const ControlDefinition* c) { return c->name == current; });
    // Start after the current control, or from the beginning when it has no place in the order;
    // one round at most, so that the current control itself comes last.
    const std::size_t start = here == order.end() ? 0 : std::size_t(here - order.begin()) + 1;
    for (std::size_t step = 0; step < order.size(); ++step) {
        const ControlDefinition* candidate = order[(start + step) % order.size()];
        if (!canTakeFocus || canTakeFocus(*candidate))
            return candidate;
    }
    return nullptr;
}

bool InSight(const PixelRect& control, PixelSize client) {
    return !control.empty() && control.left < client.width && control.top < client.height && control.right() > 0 &&
           control.bottom() > 0;
}

PixelRect CentredOn(const PixelRect& area, PixelSize outer) {
    return {area.left + (area.width - outer.width) / 2, area.top + (area.height - outer.height) / 2,
            outer.width, outer.height};
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
