#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace linkvane {

// A text as its code points, "062C 0633 ...", so a comparison names the letter that differs
// (an Arabic yeh against a Farsi one looks the same when printed).
inline std::string CodePoints(std::u16string_view text) {
    std::string codes;
    for (const char16_t c : text) {
        char code[8];
        std::snprintf(code, sizeof code, codes.empty() ? "%04X" : " %04X", unsigned(c));
        codes += code;
    }
    return codes;
}

}  // namespace linkvane
