#pragma once
// What a picture file says about itself before it is decoded. A decoder allocates the declared
// size first: a download of a megabyte can declare 20000 x 20000 pixels (1.6 GB once decoded), so
// the declared size is checked before any decoder sees the bytes, alike on both desktops.

#include <optional>
#include <string_view>

namespace linkvane {

enum class PictureFormat { Png, Gif, Jpeg, Bmp, Ico };

struct PictureHeader {
    PictureFormat format;
    long long width, height;  // the largest the decoder may allocate, in pixels
};

// The format and declared size of PNG, GIF, JPEG, BMP and ICO bytes; nothing for any other
// format, or when the header is cut short or makes no sense.
std::optional<PictureHeader> ReadPictureHeader(std::string_view bytes);

// The largest side of a picture that is shown; at most 16 Mi pixels in all.
inline constexpr long long kLargestPictureSide = 4096;

// The header of bytes that may be given to a decoder: a known format whose declared size is at
// most kLargestPictureSide on each side. Anything else is no picture.
std::optional<PictureHeader> ShowablePictureHeader(std::string_view bytes);

}  // namespace linkvane
