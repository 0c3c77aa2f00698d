#pragma once

#include "app/SecondaryWindow.h"

namespace linkvane {

// Who made the program and which version it is; the author's user name opens the maker's site.
class Softwaremanufacturer : public SecondaryWindow {
public:
    Softwaremanufacturer();

    static FormDefinition Definition();

private:
    void Label5_Click();
};

}  // namespace linkvane
