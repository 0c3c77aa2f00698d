#include "windows/SecondaryWindow.h"

namespace linkvane {

const QString kBackCaption = QStringLiteral(u"\u0628\u0627\u0632\u06AF\u0634\u062A");

SecondaryWindow::SecondaryWindow(FormDefinition definition) : Form(std::move(definition)) {
    onMouseMove(QStringLiteral("Image1"), [this] { Image1_MouseMove(); });
    onClick(QStringLiteral("Image1"), [this] { Image1_Click(); });
}

void SecondaryWindow::Form_MouseMove() {
    label(QStringLiteral("lblback"))->setBold(false);
}

void SecondaryWindow::Image1_MouseMove() {
    label(QStringLiteral("lblback"))->setBold(true);
}

void SecondaryWindow::Image1_Click() {
    Unload();
}

}  // namespace linkvane
