#pragma once
// Loading the banner picture.

#include <QPixmap>
#include <QString>

namespace linkvane {

// The picture named by an http/https URL (downloaded within the limits of net/limits.h), a file:
// URL or a local path. Blanks and control characters around the text are ignored, as a URL read
// from a text file ends with a line break. Any image format Qt reads (JPEG, GIF, PNG, BMP at
// least). A null pixmap when there is no picture: empty text, an unreachable server, an error
// status, a broken or oversized download, a missing file, bytes that are no picture, or a declared
// size past Qt's allocation limit. Never throws, reports nothing. Needs a QGuiApplication.
QPixmap LoadBanerPicture(const QString& pathOrUrl);

}  // namespace linkvane
