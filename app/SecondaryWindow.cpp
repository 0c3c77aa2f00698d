#include "app/SecondaryWindow.h"

namespace linkvane {

const char16_t kBackCaption[] = u"\u0628\u0627\u0632\u06AF\u0634\u062A";

ControlDefinition BackButton(int left, int top) {
    return {.name = "Image1", .kind = ControlKind::Image, .left = left, .top = top, .width = 1215,
            .height = 375, .accessibleName = kBackCaption, .pointer = MousePointer::Hand, .autoSize = true,
            .tabIndex = 1};
}

ControlDefinition BackCaption(int left, int top) {
    return {.name = "lblback", .kind = ControlKind::Label, .left = left, .top = top, .width = 555,
            .height = kCaptionHeight, .text = kBackCaption, .autoSize = true};
}

SecondaryWindow::SecondaryWindow(FormDefinition definition) : Form(std::move(definition)) {
    onMouseMove("Image1", [this] { Image1_MouseMove(); });
    onClick("Image1", [this] { Image1_Click(); });
}

void SecondaryWindow::Form_MouseMove() {
    setBold("lblback", false);
}

void SecondaryWindow::Image1_MouseMove() {
    setBold("lblback", true);
}

void SecondaryWindow::Image1_Click() {
    Unload();
}

}  // namespace linkvane
