#pragma once
// What assistive technology learns of the custom-drawn controls: a screen reader announces an
// image button or a clickable label by its name and can press it; other labels read as text.

namespace linkvane {

// Registers the accessibility of labels and images with Qt; any number of calls, once in effect.
void InstallControlAccessibility();

}  // namespace linkvane
