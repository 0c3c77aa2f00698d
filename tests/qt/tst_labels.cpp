// Every label of the three windows shows all of its text, and the background is the artwork of
// the scale: run at the screen's scale and again at 1.5 and 2 (see CMakeLists.txt).

#include "app/AdminSupport.h"
#include "app/Softwaremanufacturer.h"
#include "calendar/Data.h"
#include "qt/Desktop.h"
#include "tests/qt/windowtest.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

using namespace linkvane;

namespace {

// The artwork's date panel (resources/draw-artwork.py, DATE_PANEL_LEFT): a date stays inside it.
constexpr int kDatePanelLeft = 456;
// The four image buttons as drawn (BUTTONS, BUTTON_ICON_*): a caption stays clear of the drawn
// border on its left and of the icon (12 px, centred 9 px left of the plate's right end).
struct DrawnButton { const char* caption; int left, iconLeft; };
constexpr DrawnButton kDrawnButtons[] = {
    {"About", 60, 146}, {"Contac", 176, 258}, {"Site", 280, 364}, {"lBlFind", 384, 466}};
constexpr int kClearance = 2;

qreal Scale() { return qApp->devicePixelRatio(); }

QImage Transparent(QSize logical) {
    QImage image(logical * Scale(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(Scale());
    image.fill(Qt::transparent);
    return image;
}

// Compares what the label draws, clipped to its own rectangle, with its text drawn unclipped in
// a canvas a margin larger on every side. Gives "" when the label shows all of its ink, otherwise
// what was lost; `inkInWindow` receives where the unclipped ink lies, in window pixels.
QString InkLost(LabelControl& label, QRect* inkInWindow = nullptr) {
    constexpr int kMargin = 24;
    QImage drawn = Transparent(label.size());
    label.render(&drawn, QPoint(), QRegion(), QWidget::DrawChildren);
    QImage whole = Transparent(label.size() + QSize(2 * kMargin, 2 * kMargin));
    QPainter painter(&whole);
    painter.setFont(label.font());
    painter.setPen(Qt::white);
    painter.setLayoutDirection(label.readingOrder());
    painter.drawText(label.textOrigin() - label.pos() + QPoint(kMargin, kMargin), label.text());
    painter.end();

    const int offset = int(kMargin * Scale());
    const QRect labelArea(QPoint(offset, offset), drawn.size());
    QRect device;  // where the ink lies, in the canvas's pixels
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x)
            device |= qAlpha(whole.pixel(x, y)) != 0 ? QRect(x, y, 1, 1) : QRect();
    }
    if (inkInWindow) {  // every window pixel that holds some of the ink
        const QRectF logical(QPointF(device.topLeft()) / Scale(), QSizeF(device.size()) / Scale());
        *inkInWindow = logical.toAlignedRect().translated(label.pos() - QPoint(kMargin, kMargin));
    }
    if (device.isEmpty() && !label.text().trimmed().isEmpty())
        return label.objectName() + ": no ink at all";
    if ((device.isEmpty() || labelArea.contains(device)) && whole.copy(labelArea) == drawn)
        return {};
    const QRect ink = device.translated(-offset, -offset);
    return QStringLiteral("%1 \"%2\" in %3: ink at x %4..%5, y %6..%7 of a label %8 x %9 (device pixels), "
                          "or drawn differently")
        .arg(label.objectName(), label.text(), label.font().family()).arg(ink.left()).arg(ink.right())
        .arg(ink.top()).arg(ink.bottom()).arg(drawn.width()).arg(drawn.height());
}

// How far two pictures differ in a rectangle: the mean difference of their colour channels.
double MeanDifference(const QImage& a, const QImage& b, const QRect& area) {
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * area.width() * area.height());
}

}  // namespace

class LabelsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallQtDesktop(); }

    // In Tahoma, in bold too where a caption turns bold on hover, and in the stand-in font of a
    // desktop without Tahoma, whose line is taller. In Tahoma the buttons' captions stay inside
    // their drawn buttons: clear of the left border and of the icon at the right end.
    void everyLabelOfTheThreeWindowsShowsAllOfItsInk() {
        Main mainForm(Offline());
        AdminSupport supportForm;
        Softwaremanufacturer makerForm;
        QStringList lost;
        for (Form* form : std::initializer_list<Form*>{&mainForm, &supportForm, &makerForm}) {
            FormWindow& window = FormWindow::Of(*form);
            window.Load();
            if (form == &mainForm)
                window.SetText("lblTime", ClockText(20, 18, 37));
            for (const ControlDefinition& d : form->definition().controls) {
                LabelControl* label = window.label(d.name);
                if (!label)
                    continue;
                const DrawnButton* button = nullptr;
                for (const DrawnButton& drawn : kDrawnButtons)
                    button = form == &mainForm && d.name == drawn.caption ? &drawn : button;
                for (bool bold : button || d.name == "lblback" ? QList{false, true} : QList{false}) {
                    label->setBold(bold);
                    QRect ink;
                    lost << InkLost(*label, &ink);
                    if (button && (ink.left() < button->left + kClearance ||
                                   ink.right() >= button->iconLeft - kClearance))
                        lost << QStringLiteral("%1%2: ink %3..%4, drawn button from %5, icon at %6")
                                    .arg(button->caption, bold ? " (bold)" : "")
                                    .arg(ink.left()).arg(ink.right()).arg(button->left).arg(button->iconLeft);
                }
                label->setBold(false);
                QFont standIn = label->font();
                standIn.setFamilies({QStringLiteral("Noto Sans Arabic"), QStringLiteral("DejaVu Sans")});
                label->setFont(standIn);
                lost << InkLost(*label);
            }
        }
        lost.removeAll(QString());
        QVERIFY2(lost.isEmpty(), qPrintable(lost.join(u'\n')));
    }

    // LDATA keeps its right edge next to its heading and grows left for a long date, whole and
    // inside the date panel of the artwork: every day of a leap year (every weekday, month name
    // and day of the month), then the widest date text of all, with the widest four-digit year.
    void everyDateIsWholeAndInsideItsPanel() {
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Load();
        LabelControl& date = *main.label("LDATA");
        const QFontMetrics metrics(date.font());
        const auto widestOf = [&](const QStringList& candidates) {
            return *std::max_element(candidates.begin(), candidates.end(), [&](auto& a, auto& b) {
                return metrics.horizontalAdvance(a) < metrics.horizontalAdvance(b);
            });
        };
        const QStringList digits = QStringLiteral("0123456789").split(QString(), Qt::SkipEmptyParts);
        QStringList days, texts;
        const QString year = widestOf(digits.mid(1)) + widestOf(digits).repeated(3);
        for (int day = 1; day <= 31; ++day)
            days << QString::number(day);
        for (int offset = 0; offset < 366; ++offset)  // 1 Farvardin 1403 to 30 Esfand 1403
            texts << QString::fromStdU16String(ShamsiDate(DateValue(2024, 3, 20) + offset, StyleWeekdayMonthName));
        for (const QString& text : QStringList(texts)) {
            const QStringList words = text.split(QStringLiteral("  "));
            QCOMPARE(words.size(), 4);
            texts << words[0] + "  " + widestOf(days) + "  " + words[2] + "  " + year;
        }
        QStringList lost;
        for (const QString& text : texts) {
            main.SetText("LDATA", text.toStdU16String());
            if (date.textLine().right() + 1 != 606)  // 7080 + 2010 twips
                lost << text + ": does not end at the label's right edge";
            QRect ink;
            lost << InkLost(date, &ink);
            if (ink.left() < kDatePanelLeft + kClearance)
                lost << text + ": reaches beyond the date panel";
        }
        lost.removeAll(QString());
        QVERIFY2(lost.isEmpty(), qPrintable(lost.join(u'\n')));
    }

    // The background is the artwork drawn for the scale, each of its pixels a pixel of the screen,
    // not the 1x picture enlarged: compared where the logo's ring and arrow have sharp edges.
    void theBackgroundIsTheArtworkOfTheScale() {
        Main mainForm(Offline());
        FormWindow& window = FormWindow::Of(mainForm);
        window.Load();
        QImage drawn(window.size() * Scale(), QImage::Format_RGB32);
        drawn.setDevicePixelRatio(Scale());
        window.render(&drawn, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        const QString folder = QStringLiteral(":/resources/");
        const QImage art(folder + QString::fromStdString(ArtworkFileAt("main-background.jpg", ArtworkScaleFor(Scale()))));
        const QImage enlarged = QImage(folder + "main-background.jpg")
                                    .scaled(art.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QRect edges(QPoint(540, 30) * Scale(), QPoint(640, 100) * Scale());
        QVERIFY(MeanDifference(drawn, art, edges) < 0.5);
        if (Scale() > 1)
            QVERIFY(MeanDifference(drawn, enlarged, edges) > 2);
    }
};

QTEST_MAIN(LabelsTest)
#include "tst_labels.moc"
