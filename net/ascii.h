#pragma once
// ASCII letter case, as URL schemes, media types and HTML tags are compared: only A to Z fold.

#include <cstddef>
#include <string_view>

namespace linkvane {

namespace detail {
template <typename Char>
constexpr Char LowerAscii(Char c) {
    return c >= Char('A') && c <= Char('Z') ? Char(c - Char('A') + Char('a')) : c;
}

template <typename Char>
constexpr bool StartsWithCaseless(std::basic_string_view<Char> text, std::basic_string_view<Char> lowerPrefix) {
    if (text.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (LowerAscii(text[i]) != lowerPrefix[i])
            return false;
    return true;
}
}  // namespace detail

// True when `text` begins with `lowerPrefix`, which is written in lower case, ASCII letters of the
// text in either case.
constexpr bool StartsWithCaseless(std::string_view text, std::string_view lowerPrefix) {
    return detail::StartsWithCaseless(text, lowerPrefix);
}
constexpr bool StartsWithCaseless(std::u16string_view text, std::u16string_view lowerPrefix) {
    return detail::StartsWithCaseless(text, lowerPrefix);
}

// True when `a` and `b` are the same but for the case of ASCII letters.
constexpr bool EqualsCaseless(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (detail::LowerAscii(a[i]) != detail::LowerAscii(b[i]))
            return false;
    return true;
}

}  // namespace linkvane
