#include "qt/Picture.h"

#include "forms/PictureHeader.h"

#include <QImage>

namespace linkvane {

namespace {

const char* QtFormatName(PictureFormat format) {
    switch (format) {
    case PictureFormat::Png: return "PNG";
    case PictureFormat::Gif: return "GIF";
    case PictureFormat::Jpeg: return "JPEG";
    case PictureFormat::Bmp: return "BMP";
    case PictureFormat::Ico: return "ICO";
    }
    return nullptr;
}

}  // namespace

QPixmap DecodePicture(const std::string& bytes) {
    // Decoded in the format whose size was read, never by a plug-in that guesses another one.
    const std::optional<PictureHeader> header = ShowablePictureHeader(bytes);
    if (!header)
        return {};
    const QImage image =
        QImage::fromData(QByteArrayView(reinterpret_cast<const uchar*>(bytes.data()), qsizetype(bytes.size())),
                         QtFormatName(header->format));
    return QPixmap::fromImage(image);
}

}  // namespace linkvane
