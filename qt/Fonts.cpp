#include "qt/Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>

namespace linkvane {

namespace {

const QString kTahoma = QStringLiteral("Tahoma");

void RegisterFreeTahomaOnce() {
    static const bool done = [] {
        if (QFontDatabase::families().contains(kTahoma))
            return true;
        for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
            const QString path = QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(file);
            if (QFile::exists(path))
                QFontDatabase::addApplicationFont(path);
        }
        return true;
    }();
    Q_UNUSED(done);
}

}  // namespace

QFont WindowFont(bool bold) {
    RegisterFreeTahomaOnce();
    QFont font;
    font.setFamilies({kTahoma, QStringLiteral("Noto Sans Arabic"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(8.25);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace linkvane
