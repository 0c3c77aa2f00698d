#include "qt/HandCursor.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace linkvane {

namespace {

constexpr int kDirectoryHeader = 6, kDirectoryEntry = 16, kInfoHeader = 40;

quint16 Word(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}
quint32 DWord(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
bool Bit(const uchar* row, int x) { return (row[x / 8] >> (7 - x % 8)) & 1; }

}  // namespace

bool DecodeCursorFile(const QByteArray& file, QCursor& cursor) {
    if (file.size() < kDirectoryHeader + kDirectoryEntry)
        return false;
    if (Word(file, 0) != 0 || Word(file, 2) != 2 || Word(file, 4) < 1)
        return false;
    const int hotX = Word(file, kDirectoryHeader + 4);
    const int hotY = Word(file, kDirectoryHeader + 6);
    const quint32 imageOffset = DWord(file, kDirectoryHeader + 12);
    if (imageOffset > quint32(file.size()) || file.size() - imageOffset < kInfoHeader)
        return false;

    const qsizetype info = imageOffset;
    const auto width = static_cast<qint32>(DWord(file, info + 4));
    const auto doubledHeight = static_cast<qint32>(DWord(file, info + 8));
    if (Word(file, info + 14) != 1 || width <= 0 || width > 256 || doubledHeight <= 0 ||
        doubledHeight > 512 || doubledHeight % 2)
        return false;
    const int height = doubledHeight / 2;
    const int stride = (width + 31) / 32 * 4;
    const qsizetype palette = info + DWord(file, info);
    const qsizetype colourMask = palette + 2 * 4;
    const qsizetype transparencyMask = colourMask + qsizetype(stride) * height;
    if (palette < info + kInfoHeader || transparencyMask + qsizetype(stride) * height > file.size())
        return false;

    const auto* bytes = reinterpret_cast<const uchar*>(file.constData());
    const QRgb colours[2] = {qRgb(bytes[palette + 2], bytes[palette + 1], bytes[palette]),
                             qRgb(bytes[palette + 6], bytes[palette + 5], bytes[palette + 4])};
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const uchar* colourRow = bytes + colourMask + qsizetype(height - 1 - y) * stride;
        const uchar* clearRow = bytes + transparencyMask + qsizetype(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, Bit(clearRow, x) ? qRgba(0, 0, 0, 0) : colours[Bit(colourRow, x)]);
    }
    if (hotX >= width || hotY >= height)
        return false;
    cursor = QCursor(QPixmap::fromImage(picture), hotX, hotY);
    return true;
}

const QCursor& HandCursor() {
    static const QCursor hand = [] {
        QCursor decoded(Qt::PointingHandCursor);
        QFile file(QStringLiteral(":/resources/hand.cur"));
        if (file.open(QIODevice::ReadOnly))
            DecodeCursorFile(file.readAll(), decoded);
        return decoded;
    }();
    return hand;
}

}  // namespace linkvane
