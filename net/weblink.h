#pragma once

#include <string_view>

namespace linkvane {

// True when a text begins with "http://" or "https://", in any letter case.
bool IsWebLink(std::u16string_view text);

}  // namespace linkvane
