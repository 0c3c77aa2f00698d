#include "qt/Picture.h"

#include "forms/PictureHeader.h"

#include <QImage>

namespace linkvane {

QPixmap DecodePicture(const std::string& bytes) {
    // Decoded in the format whose size was read, never by a plug-in that guesses another one.
    const std::optional<PictureHeader> header = ShowablePictureHeader(bytes);
    if (!header)
        return {};
    static constexpr const char* kFormatNames[] = {"PNG", "GIF", "JPEG", "BMP", "ICO"};
    const QImage image =
        QImage::fromData(QByteArrayView(reinterpret_cast<const uchar*>(bytes.data()), qsizetype(bytes.size())),
                         kFormatNames[static_cast<int>(header->format)]);
    return QPixmap::fromImage(image);
}

}  // namespace linkvane
