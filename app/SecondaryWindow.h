#pragma once

#include "forms/Form.h"

namespace linkvane {

// What the support and maker windows share: a back button drawn on the background, under the
// transparent hot area Image1, whose caption lblback turns bold while the pointer moves over it.
// A click there, or a close request from the system, unloads the window.
class SecondaryWindow : public Form {
public:
    explicit SecondaryWindow(FormDefinition definition);

protected:
    void Form_MouseMove() override;
    void Image1_MouseMove();
    void Image1_Click();
};

// The caption of the back button, as code points.
extern const char16_t kBackCaption[];  // بازگشت

// Every label of both windows is one line of the 8.25 pt window font high, in twips.
inline constexpr int kCaptionHeight = 195;

// The back button's hot area Image1 at its stored place, in twips; screen readers name it by the
// caption lying over it. Tab reaches it after the window's link.
ControlDefinition BackButton(int left, int top);
// That caption, lblback.
ControlDefinition BackCaption(int left, int top);

}  // namespace linkvane
