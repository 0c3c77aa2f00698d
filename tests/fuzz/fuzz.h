#pragma once
// What the fuzz targets share: the input read as UTF-16 (two bytes a unit, any unit at all), and
// a promise of the function under test that stops the run, with the input saved, when broken.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define PROMISE(condition) \
    ((condition) ? void() : (std::fprintf(stderr, "broken promise: %s\n", #condition), std::abort()))

inline std::u16string Utf16(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * 2);
    return text;
}
