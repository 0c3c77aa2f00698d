#include "qt/Picture.h"

#include <QImage>

namespace linkvane {

QPixmap DecodePicture(const std::string& bytes) {
    if (bytes.empty())
        return {};
    // QImage keeps Qt's allocation limit, so an absurd declared size gives a null image.
    const QImage image = QImage::fromData(
        QByteArrayView(reinterpret_cast<const uchar*>(bytes.data()), qsizetype(bytes.size())));
    return QPixmap::fromImage(image);
}

}  // namespace linkvane
