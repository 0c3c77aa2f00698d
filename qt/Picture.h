#pragma once

#include <QPixmap>

#include <string>

namespace linkvane {

// The picture of PNG, GIF, JPEG, BMP or ICO bytes; a null pixmap for bytes that are no picture,
// of another format, or whose declared size is too large (forms/PictureHeader.h).
QPixmap DecodePicture(const std::string& bytes);

}  // namespace linkvane
