#pragma once

#include <QFont>

namespace linkvane {

// The font of every window: Tahoma 8.25 pt, normal or bold. Where the system has no Tahoma, the
// Wine project's free Tahoma is registered when installed, else a Persian-capable sans stands in.
QFont WindowFont(bool bold = false);

}  // namespace linkvane
