#pragma once

#include <QPixmap>

#include <string>

namespace linkvane {

// The picture of the given bytes in any format Qt reads (JPEG, GIF, PNG, BMP at least); a null
// pixmap for bytes that are no picture, or whose declared size passes Qt's allocation limit.
QPixmap DecodePicture(const std::string& bytes);

}  // namespace linkvane
