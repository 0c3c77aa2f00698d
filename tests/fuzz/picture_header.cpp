// The picture header reader on any bytes: a showable header names a size the decoder may allocate.
#include "forms/PictureHeader.h"
#include "tests/fuzz/fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto header = linkvane::ReadPictureHeader(bytes);
    PROMISE(!header || (header->width >= 0 && header->height >= 0));
    if (const auto showable = linkvane::ShowablePictureHeader(bytes)) {
        PROMISE(header && header->width == showable->width && header->height == showable->height);
        PROMISE(showable->width <= linkvane::kLargestPictureSide && showable->height <= linkvane::kLargestPictureSide);
    }
    return 0;
}
