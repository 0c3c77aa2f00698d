#pragma once
// What a screen reader is told of a control: one rule for every desktop, so that a control is
// announced the same on all of them.

#include "forms/FormDefinition.h"

#include <chrono>
#include <string>
#include <vector>

namespace linkvane {

enum class AccessibleRole { PushButton, Link, StaticText, Graphic, EditableText };

// Whether screen readers see the control at all: a timer is nothing to see, and a hidden control
// (the banner's two address boxes) is not there for them.
bool ExposedToScreenReaders(const ControlDefinition& control);

// The controls screen readers see, in the order they are read: the tab order, then the rest as
// they are stacked, the topmost first.
std::vector<const ControlDefinition*> ScreenReaderOrder(const FormDefinition& form);

// The name a screen reader announces: an image button's or the banner's tooltip, the name the
// layout gives a bare hot area (the back button, by the caption drawn over it), a text box's
// heading, or the text a label or button shows now (`shownText`). Empty for a picture with none.
std::u16string AccessibleName(const FormDefinition& form, const ControlDefinition& control,
                              const std::u16string& shownText);

// Whether a label's new text is told to screen readers now: at most once a minute for each label,
// since the clock changes every second and a screen reader reads it when asked; the date and the
// captions change far less often. Keeps the time of the last one told.
bool AnnounceNameChange(std::chrono::steady_clock::time_point& lastAnnounced,
                        std::chrono::steady_clock::time_point now);

// A clickable image is a button and a clickable label a link; otherwise a picture or plain text.
AccessibleRole AccessibleRoleOf(ControlKind kind, bool clickable);

}  // namespace linkvane
