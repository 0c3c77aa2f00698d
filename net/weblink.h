#pragma once

#include <QStringView>

namespace linkvane {

// True when a text begins with "http://" or "https://", in any letter case.
bool IsWebLink(QStringView text);

}  // namespace linkvane
