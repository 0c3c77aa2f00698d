#include "net/baner.h"

#include "net/codepage.h"
#include "net/limits.h"
#include "net/transport.h"
#include "net/weblink.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QUrl>

namespace linkvane {

namespace {

bool IsBlankOrControl(QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; }

QString WithoutBlanksAround(const QString& text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && IsBlankOrControl(text[first]))
        ++first;
    while (end > first && IsBlankOrControl(text[end - 1]))
        --end;
    return text.sliced(first, end - first);
}

QByteArray DownloadPicture(const QString& url, qsizetype maxBytes) {
    const HttpResponse response = HttpGet(ToAnsi(url), maxBytes);
    // A part of a picture, or an error page, is not the picture.
    const bool succeeded = response.status >= 200 && response.status < 300;
    return response.complete && succeeded ? response.body : QByteArray();
}

QByteArray ReadPictureFile(const QString& path, qsizetype maxBytes) {
    // Only a regular file: a device or a pipe could block or never end.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return {};
    return file.read(maxBytes);
}

QString LocalPath(const QString& pathOrFileUrl) {
    if (pathOrFileUrl.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(pathOrFileUrl).toLocalFile();
    return pathOrFileUrl;
}

}  // namespace

QPixmap LoadBanerPicture(const QString& pathOrUrl) {
    const QString source = WithoutBlanksAround(pathOrUrl);
    if (source.isEmpty())
        return {};
    const qsizetype maxBytes = CurrentFetchLimits().pictureBytes;
    const QByteArray bytes = IsWebLink(source) ? DownloadPicture(source, maxBytes)
                                               : ReadPictureFile(LocalPath(source), maxBytes);
    // QImage keeps Qt's allocation limit, so an absurd declared size gives a null image.
    return QPixmap::fromImage(QImage::fromData(bytes));
}

}  // namespace linkvane
