// Every label of the three windows shows all of its text: what a label draws, clipped to its
// rectangle, is compared with the same text drawn unclipped at the same place; and the window's
// background is the artwork of the scale. Run at the screen's scale and again at scale factors
// of 1.5 and 2 (see CMakeLists.txt).

#include "app/Main.h"
#include "calendar/Data.h"
#include "net/codepage.h"
#include "qt/Desktop.h"
#include "qt/FormWindow.h"
#include "tests/qt/windowtest.h"
#include "app/AdminSupport.h"
#include "app/Softwaremanufacturer.h"

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

// What the label draws, clipped to its own rectangle.
QImage Drawn(LabelControl& label) {
    QImage image = Transparent(label.size());
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The label's text drawn with no clip, in a canvas `margin` pixels larger on every side.
QImage Unclipped(const LabelControl& label, int margin) {
    QImage image = Transparent(label.size() + QSize(2 * margin, 2 * margin));
    QPainter painter(&image);
    painter.setFont(label.font());
    painter.setPen(Qt::white);
    painter.setLayoutDirection(label.readingOrder());
    painter.drawText(label.textOrigin() - label.pos() + QPoint(margin, margin), label.text());
    return image;
}

struct InkComparison {
    qint64 ink = 0;       // covered pixels of the unclipped text
    qint64 lost = 0;      // of those, outside the label
    qint64 differing = 0; // pixels inside the label that differ from the unclipped drawing
    QRect inkInWindow;    // where the unclipped ink lies, in window pixels
};

InkComparison CompareInk(LabelControl& label) {
    constexpr int kMargin = 24;
    const QImage drawn = Drawn(label);
    const QImage whole = Unclipped(label, kMargin);
    const int offset = int(kMargin * Scale());
    InkComparison result;
    QRect device;
    for (int y = 0; y < whole.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(whole.constScanLine(y));
        const int labelY = y - offset;
        const auto* drawnRow = labelY >= 0 && labelY < drawn.height()
                                   ? reinterpret_cast<const QRgb*>(drawn.constScanLine(labelY)) : nullptr;
        for (int x = 0; x < whole.width(); ++x) {
            const int labelX = x - offset;
            const bool inside = drawnRow && labelX >= 0 && labelX < drawn.width();
            if (qAlpha(row[x]) != 0) {
                ++result.ink;
                result.lost += !inside;
                device |= QRect(x, y, 1, 1);
            }
            if (inside && drawnRow[labelX] != row[x])
                ++result.differing;
        }
    }
    const QRect logical(QPoint(int(std::floor(device.left() / Scale())), int(std::floor(device.top() / Scale()))),
                        QPoint(int(std::ceil((device.right() + 1) / Scale())) - 1,
                               int(std::ceil((device.bottom() + 1) / Scale())) - 1));
    result.inkInWindow = logical.translated(label.pos() - QPoint(kMargin, kMargin));
    return result;
}

// "" when the label shows all of its ink, otherwise what was lost.
QString InkLost(LabelControl& label, const QString& where, QRect* inkInWindow = nullptr) {
    const InkComparison result = CompareInk(label);
    if (inkInWindow)
        *inkInWindow = result.inkInWindow;
    if (result.ink == 0 && !label.text().trimmed().isEmpty())
        return where + ": no ink at all";
    if (result.lost == 0 && result.differing == 0)
        return {};
    return QStringLiteral("%1 \"%2\": %3 of %4 ink pixels cut, %5 drawn differently")
        .arg(where, label.text()).arg(result.lost).arg(result.ink).arg(result.differing);
}

// The label's ink in window coordinates.
QRect InkInWindow(LabelControl& label) { return CompareInk(label).inkInWindow; }

// Reports every problem on its own line (a test message is cut short) and fails once.
#define VERIFY_NO_PROBLEMS(problems)                                                              \
    do {                                                                                          \
        for (const QString& problem : problems)                                                   \
            qWarning("%s", qPrintable(problem));                                                  \
        QVERIFY2((problems).isEmpty(), qPrintable(QString::number((problems).size()) + " problems")); \
    } while (false)

const char* const kBoldOnHover[] = {"About", "Contac", "Site", "lBlFind", "lblback"};

// Checks every label of a window, in normal and (where it turns bold) in bold weight.
QStringList InkLostInWindow(FormWindow& window) {
    QStringList lost;
    for (const ControlDefinition& d : window.form().definition().controls) {
        LabelControl* label = window.label(d.name);
        if (!label)
            continue;
        const QString where = window.objectName() + "." + QString::fromStdString(d.name);
        if (QString problem = InkLost(*label, where); !problem.isEmpty())
            lost << problem;
        if (std::find(std::begin(kBoldOnHover), std::end(kBoldOnHover), d.name) == std::end(kBoldOnHover))
            continue;
        label->setBold(true);
        if (QString problem = InkLost(*label, where + " (bold)"); !problem.isEmpty())
            lost << problem;
        label->setBold(false);
    }
    return lost;
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

// The font a desktop without Tahoma uses instead.
QFont StandIn(const QFont& font) {
    QFont standIn = font;
    standIn.setFamilies({QStringLiteral("Noto Sans Arabic"), QStringLiteral("DejaVu Sans")});
    return standIn;
}

}  // namespace

class LabelsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallQtDesktop(); }

    void everyLabelOfTheThreeWindowsShowsAllOfItsInk() {
        Main mainForm(Offline());
        AdminSupport supportForm;
        Softwaremanufacturer makerForm;
        QStringList lost;
        for (Form* form : {static_cast<Form*>(&mainForm), static_cast<Form*>(&supportForm),
                           static_cast<Form*>(&makerForm)}) {
            FormWindow& window = FormWindow::Of(*form);
            window.Load();
            if (&window == &FormWindow::Of(mainForm))
                window.SetText("lblTime", ClockText(20, 18, 37));
            lost << InkLostInWindow(window);
            // Without Tahoma the stand-in font draws differently, its line taller: still whole.
            for (const ControlDefinition& d : form->definition().controls) {
                if (LabelControl* label = window.label(d.name)) {
                    label->setFont(StandIn(label->font()));
                    if (QString problem = InkLost(*label, "stand-in " + QString::fromStdString(d.name));
                        !problem.isEmpty())
                        lost << problem;
                }
            }
        }
        VERIFY_NO_PROBLEMS(lost);
    }

    // LDATA keeps its right edge next to its heading and grows left for a long date, inside the
    // date panel of the artwork; every day of 2024 to 2034.
    void everyDateIsWholeAndInsideItsPanel() {
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Load();
        LabelControl& date = *main.label("LDATA");
        const int rightEdge = 606;  // 7080 + 2010 twips
        QStringList lost;
        int widest = 0;
        QString widestText;
        for (double day = DateValue(2024, 1, 1); day <= DateValue(2034, 12, 31); day += 1) {
            main.SetText("LDATA", ShamsiDate(day, StyleWeekdayMonthName));
            if (date.textLine().width() > widest) {
                widest = date.textLine().width();
                widestText = date.text();
            }
            if (date.textLine().right() + 1 != rightEdge)
                lost << date.text() + ": does not end at the label's right edge";
            QRect ink;
            if (QString problem = InkLost(date, "LDATA", &ink); !problem.isEmpty())
                lost << problem;
            if (ink.left() < kDatePanelLeft + kClearance)
                lost << date.text() + ": reaches beyond the date panel";
        }
        VERIFY_NO_PROBLEMS(lost);
        qInfo("widest date of 2024-2034: %d px, %s", widest, qPrintable(widestText));
    }

    // The widest date text of all (every weekday, month name and day, the widest four-digit
    // year) fits the date panel too.
    void theWidestDateOfAllFitsThePanel() {
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
        QStringList digits, days, texts;
        for (char c = '0'; c <= '9'; ++c)
            digits << QString(QChar(c));
        const QString year = widestOf(digits.mid(1)) + widestOf(digits).repeated(3);
        for (int day = 1; day <= 31; ++day)
            days << QString::number(day);
        // The weekday and month names, each as the calendar spells it, from days that carry them.
        for (int offset = 0; offset < 366; ++offset) {
            const QString text =
                QString::fromStdU16String(ShamsiDate(DateValue(2025, 3, 21) + offset * 1.0, StyleWeekdayMonthName));
            const QStringList words = text.split(QStringLiteral("  "));
            QCOMPARE(words.size(), 4);
            texts << words[0] + "  " + widestOf(days) + "  " + words[2] + "  " + year;
        }
        texts.removeDuplicates();
        main.SetText("LDATA", widestOf(texts).toStdU16String());
        qInfo("widest date of all: %d px, %s", date.textLine().width(), qPrintable(date.text()));
        QCOMPARE(InkLost(date, "LDATA"), QString());
        QVERIFY(InkInWindow(date).left() >= kDatePanelLeft + kClearance);
    }

    // Each caption, normal and bold, lies inside its drawn button: clear of its left border and
    // of the icon at its right end.
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

    void buttonCaptionsStayInsideTheirDrawnButtons() {
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Load();
        for (const DrawnButton& button : kDrawnButtons) {
            LabelControl& caption = *main.label(button.caption);
            for (bool bold : {false, true}) {
                caption.setBold(bold);
                const QRect ink = InkInWindow(caption);
                QVERIFY2(ink.left() >= button.left + kClearance && ink.right() < button.iconLeft - kClearance,
                         qPrintable(QStringLiteral("%1%2: ink %3..%4, drawn button from %5, icon at %6")
                                        .arg(button.caption, bold ? " (bold)" : "")
                                        .arg(ink.left()).arg(ink.right()).arg(button.left).arg(button.iconLeft)));
            }
        }
    }
};

QTEST_MAIN(LabelsTest)
#include "tst_labels.moc"
