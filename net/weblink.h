#pragma once

#include <string_view>

namespace linkvane {

// True when a text begins with "http://" or "https://", in any letter case.
bool IsWebLink(std::u16string_view text);

// A web address that may be handed to the desktop's opener: a web link with no control character
// (U+0000 to U+001F, U+007F) anywhere but in its trailing line breaks. An opener may read a line
// break or another control character as the end of one argument and the start of another (a path,
// an option), so text from the network that holds one must not reach it.
bool IsOpenableWebLink(std::u16string_view text);

}  // namespace linkvane
