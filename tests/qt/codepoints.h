#pragma once

#include <QString>
#include <QStringList>

namespace linkvane {

// A text as its code points, "062C 0633 ...", so a comparison names the letter that differs
// (an Arabic yeh against a Farsi one looks the same when printed).
inline QString CodePoints(const QString& text) {
    QStringList codes;
    for (QChar c : text)
        codes << QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0');
    return codes.join(u' ');
}

}  // namespace linkvane
