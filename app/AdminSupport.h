#pragma once

#include "app/SecondaryWindow.h"

namespace linkvane {

// How to reach the site's administrator: the support e-mail address, and an invitation line that
// starts a messenger conversation with the support account.
class AdminSupport : public SecondaryWindow {
public:
    AdminSupport();

    static FormDefinition Definition();

private:
    void Label4_Click();
};

// The command line that opens a messenger conversation with the support account.
std::u16string MessengerCommandLine();

}  // namespace linkvane
