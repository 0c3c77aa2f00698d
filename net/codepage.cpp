#include "net/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace linkvane {

namespace {

constexpr char kCodePage[] = "windows-1256";

// Each code point on its own, because Qt marks a missing character with SUB (0x1A), which a
// genuine U+001A also gives, and drops a lone high surrogate without any mark at all.
QByteArray EncodeCodePoint(QStringView codePoint) {
    QStringEncoder encoder(kCodePage, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(codePoint);
    return encoder.hasError() || bytes.isEmpty() ? QByteArray("?") : bytes;
}

qsizetype CodePointLength(QStringView text, qsizetype at) {
    const bool pair = text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate();
    return pair ? 2 : 1;
}

}  // namespace

QByteArray ToAnsi(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype length = CodePointLength(text, at);
        bytes += EncodeCodePoint(text.sliced(at, length));
        at += length;
    }
    return bytes;
}

QString FromAnsi(QByteArrayView bytes) {
    QStringDecoder decoder(kCodePage);
    return decoder.decode(bytes);
}

QString ThroughAnsi(QStringView text) { return FromAnsi(ToAnsi(text)); }

}  // namespace linkvane
