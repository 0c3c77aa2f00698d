#include "forms/PictureHeader.h"

#include <algorithm>
#include <cstdint>

namespace linkvane {

namespace {

// Reads little- and big-endian numbers; anything past the end reads as missing.
class Bytes {
public:
    explicit Bytes(std::string_view bytes) : m_bytes(bytes) {}
    bool has(std::size_t at, std::size_t count) const { return at <= m_bytes.size() && count <= m_bytes.size() - at; }
    std::uint32_t u8(std::size_t at) const { return static_cast<unsigned char>(m_bytes[at]); }
    std::uint32_t le16(std::size_t at) const { return u8(at) | u8(at + 1) << 8; }
    std::uint32_t be16(std::size_t at) const { return u8(at) << 8 | u8(at + 1); }
    std::uint32_t le32(std::size_t at) const { return le16(at) | le16(at + 2) << 16; }
    std::uint32_t be32(std::size_t at) const { return be16(at) << 16 | be16(at + 2); }
    bool startsWith(std::string_view prefix) const { return m_bytes.starts_with(prefix); }
    std::size_t size() const { return m_bytes.size(); }
    std::string_view from(std::size_t at) const { return m_bytes.substr(std::min(at, m_bytes.size())); }

private:
    std::string_view m_bytes;
};

std::optional<PictureHeader> Png(const Bytes& b) {
    // The signature, then the IHDR chunk: length 13, type, width, height.
    if (!b.has(8, 16) || b.be32(8) != 13 || b.from(12).substr(0, 4) != "IHDR")
        return {};
    return PictureHeader{PictureFormat::Png, b.be32(16), b.be32(20)};
}

// The logical screen, grown to every image of the file that lies outside it: decoders draw
// frames on a canvas that holds them all.
std::optional<PictureHeader> Gif(const Bytes& b) {
    if (!b.has(0, 13))
        return {};
    long long width = b.le16(6), height = b.le16(8);
    std::size_t at = 13;
    if (b.u8(10) & 0x80)
        at += 3u << ((b.u8(10) & 7) + 1);  // global colour table
    while (b.has(at, 1)) {
        const std::uint32_t block = b.u8(at);
        if (block == 0x3B)  // trailer
            break;
        if (block == 0x2C) {  // image: left, top, width, height, flags, [colour table], data
            if (!b.has(at, 10))
                return {};
            width = std::max<long long>(width, b.le16(at + 1) + b.le16(at + 5));
            height = std::max<long long>(height, b.le16(at + 3) + b.le16(at + 7));
            const std::uint32_t flags = b.u8(at + 9);
            at += 10 + ((flags & 0x80) ? 3u << ((flags & 7) + 1) : 0) + 1;  // + LZW code size
        } else if (block == 0x21) {
            at += 2;  // introducer, label
        } else {
            return {};
        }
        while (b.has(at, 1) && b.u8(at) != 0)  // data sub-blocks up to the empty one
            at += 1 + b.u8(at);
        ++at;
    }
    return PictureHeader{PictureFormat::Gif, width, height};
}

bool IsStartOfFrame(std::uint32_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The markers up to the first frame header, which holds the size.
std::optional<PictureHeader> Jpeg(const Bytes& b) {
    std::size_t at = 2;
    while (b.has(at, 4)) {
        if (b.u8(at) != 0xFF)
            return {};
        const std::uint32_t marker = b.u8(at + 1);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)  // no frame before the image data
            return {};
        if (IsStartOfFrame(marker)) {
            if (!b.has(at, 9))
                return {};
            return PictureHeader{PictureFormat::Jpeg, b.be16(at + 7), b.be16(at + 5)};
        }
        at += 2 + b.be16(at + 2);
    }
    return {};
}

// A device-independent bitmap header: the old 12-byte one or any of the longer ones, whose
// height is negative for rows stored top down.
std::optional<PictureHeader> Dib(const Bytes& b, std::size_t at, PictureFormat format) {
    if (!b.has(at, 12))
        return {};
    if (b.le32(at) == 12)
        return PictureHeader{format, b.le16(at + 4), b.le16(at + 6)};
    if (b.le32(at) < 40)
        return {};
    const long long width = static_cast<std::int32_t>(b.le32(at + 4));
    const long long height = static_cast<std::int32_t>(b.le32(at + 8));
    return PictureHeader{format, width < 0 ? -width : width, height < 0 ? -height : height};
}

// An icon holds several pictures, each a PNG or a bitmap (whose height counts its mask too): the
// largest of them counts.
std::optional<PictureHeader> Ico(const Bytes& b) {
    const std::uint32_t count = b.has(0, 6) ? b.le16(4) : 0;
    if (count == 0 || !b.has(6, std::size_t(count) * 16))
        return {};
    PictureHeader largest{PictureFormat::Ico, 0, 0};
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + std::size_t(i) * 16;
        const Bytes image(b.from(b.le32(entry + 12)));
        const std::optional<PictureHeader> found =
            image.startsWith("\x89PNG\r\n\x1A\n") ? Png(image) : Dib(image, 0, PictureFormat::Ico);
        if (!found)
            return {};
        largest.width = std::max(largest.width, found->width);
        largest.height = std::max(largest.height, found->height);
    }
    return largest;
}

}  // namespace

std::optional<PictureHeader> ReadPictureHeader(std::string_view bytes) {
    const Bytes b(bytes);
    if (b.startsWith("\x89PNG\r\n\x1A\n"))
        return Png(b);
    if (b.startsWith("GIF87a") || b.startsWith("GIF89a"))
        return Gif(b);
    if (b.startsWith("\xFF\xD8\xFF"))
        return Jpeg(b);
    if (b.startsWith("BM"))
        return Dib(b, 14, PictureFormat::Bmp);
    if (b.startsWith(std::string_view("\0\0\1\0", 4)))
        return Ico(b);
    return {};
}

std::optional<PictureHeader> ShowablePictureHeader(std::string_view bytes) {
    const std::optional<PictureHeader> header = ReadPictureHeader(bytes);
    if (!header || header->width < 1 || header->height < 1 || header->width > kLargestPictureSide ||
        header->height > kLargestPictureSide)
        return {};
    return header;
}

}  // namespace linkvane
