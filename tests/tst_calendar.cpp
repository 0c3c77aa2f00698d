#include "calendar/Data.h"
#include "tests/support/codepoints.h"

#include <QDate>
#include <QFile>
#include <QTest>

#include <cmath>
#include <limits>
#include <stdexcept>

using namespace linkvane;

namespace {

double Day(int y, int m, int d) { return DateValue(QDate(y, m, d)); }

struct ShamsiDay {
    int year = -1, month = -1, day = -1;
    bool operator==(const ShamsiDay&) const = default;
};

ShamsiDay FromDays(std::int32_t count) {
    ShamsiDay result;
    ShamsiFromDays(count, result.year, result.month, result.day);
    return result;
}

}  // namespace

namespace QTest {
template <>
char* toString(const ShamsiDay& d) {
    return qstrdup(QStringLiteral("%1/%2/%3").arg(d.year).arg(d.month).arg(d.day).toUtf8());
}
}  // namespace QTest

class CalendarTest : public QObject {
    Q_OBJECT
private slots:
    void dateValueCountsFrom1899() {
        QCOMPARE(DateValue(QDate(1899, 12, 30)), 0.0);
        QCOMPARE(DateValue(QDate(1953, 3, 21)), ShamsiEpoch);
        QCOMPARE(DateValue(QDate(2013, 3, 21)), 41354.0);
        QCOMPARE(DateValue(QDate(100, 1, 1)), -657434.0);
        QCOMPARE(DateValue(QDate(9999, 12, 31)), 2958465.0);
    }

    void dayWalkBoundaries_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        const int rows[][4] = {
            {0, 1332, 1, 1},        {30, 1332, 1, 31},      {31, 1332, 2, 1},
            {185, 1332, 6, 31},     {186, 1332, 7, 1},      {215, 1332, 7, 30},
            {216, 1332, 8, 1},      {335, 1332, 11, 30},    {336, 1332, 12, 1},
            {364, 1332, 12, 29},    {365, 1333, 1, 1},      {730, 1333, 12, 30},
            {731, 1334, 1, 1},      {21914, 1391, 12, 30},  {21915, 1392, 1, 1},
            {22100, 1392, 6, 31},   {22101, 1392, 7, 1},
        };
        for (const auto& r : rows)
            QTest::addRow("%d", r[0]) << r[0] << r[1] << r[2] << r[3];
    }
    void dayWalkBoundaries() {
        QFETCH(int, count);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QCOMPARE(FromDays(count), (ShamsiDay{year, month, day}));
    }

    void negativeCountAssignsNothing() {
        for (std::int32_t count : {-1, -365, std::numeric_limits<std::int32_t>::min()}) {
            int year = 7, month = 8, day = 9;
            ShamsiFromDays(count, year, month, day);
            QCOMPARE(year, 7);
            QCOMPARE(month, 8);
            QCOMPARE(day, 9);
        }
    }

    void leapYearsFollowTheOfficialCalendar() {
        // The plain 32-year rule, which the official calendar matches from 1332 up to 1436.
        for (int year = 1332; year <= 1436; ++year) {
            const int t = (year - 1309) % 32 - (year - 1309) / 32;
            QVERIFY2(IsShamsiLeapYear(year - 1332) == (t % 4 == 0), qPrintable(QString::number(year)));
        }
        QVERIFY(!IsShamsiLeapYear(0));
        QVERIFY(IsShamsiLeapYear(1));
        QVERIFY(IsShamsiLeapYear(104));   // 1436
        QVERIFY(!IsShamsiLeapYear(105));  // 1437: the 32-year rule would wrongly make it leap
        QVERIFY(!IsShamsiLeapYear(106));
        QVERIFY(IsShamsiLeapYear(109));   // 1441: the cycle goes on from 1436
    }

    // 1 Farvardin of every year in the reference table, and whether the year is leap.
    void everyYearOfTheReferenceTable() {
        QFile file(QStringLiteral(LINKVANE_TEST_DATA_DIR "/farvardin-first.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        int rows = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u"shamsi_year"))
                continue;
            const QStringList cells = line.split(u'\t');
            QCOMPARE(cells.size(), 3);
            const int year = cells[0].toInt();
            const QDate first = QDate::fromString(cells[1], Qt::ISODate);
            const bool leap = cells[2] == u"1";
            QVERIFY(first.isValid());

            const double value = DateValue(first);
            const auto count = static_cast<std::int32_t>(value - ShamsiEpoch);
            QCOMPARE(FromDays(count), (ShamsiDay{year, 1, 1}));
            if (count > 0)
                QCOMPARE(FromDays(count - 1).year, year - 1);
            QCOMPARE(FromDays(count + (leap ? 365 : 364)), (ShamsiDay{year, 12, leap ? 30 : 29}));
            QCOMPARE(IsShamsiLeapYear(year - 1332), leap);
            QCOMPARE(ShamsiDate(value), QStringLiteral("%1/01/01").arg(year));
            ++rows;
        }
        QCOMPARE(rows, 3177 - 1332 + 1);
    }

    void worked_data() {
        QTest::addColumn<double>("date");
        QTest::addColumn<QString>("numeric");
        QTest::addColumn<QString>("dayMonthName");
        QTest::addColumn<QString>("weekdayNumeric");
        QTest::addColumn<QString>("weekdayMonthName");
        // Persian words spelled as code points, so a normalised letter cannot slip in.
        const QString farvardin = u"\u0641\u0631\u0648\u0631\u062F\u064A\u0646"_qs;
        const QString dey = u"\u062F\u064A"_qs;
        const QString esfand = u"\u0627\u0633\u0641\u0646\u062F"_qs;
        const QString shahrivar = u"\u0634\u0647\u0631\u064A\u0648\u0631"_qs;
        const QString mehr = u"\u0645\u0647\u0631"_qs;
        const QString sat = u"\u0634\u0646\u0628\u0647"_qs;
        const QString sun = u"\u064A\u06A9\u0634\u0646\u0628\u0647"_qs;
        const QString mon = u"\u062F\u0648\u0634\u0646\u0628\u0647"_qs;
        const QString tue = u"\u0633\u0647\u0020\u0634\u0646\u0628\u0647"_qs;
        const QString wed = u"\u0686\u0647\u0627\u0631\u0634\u0646\u0628\u0647"_qs;
        const QString thu = u"\u067E\u0646\u062C\u0634\u0646\u0628\u0647"_qs;
        auto row = [](const char* name, double date, const QString& weekday, int y, int m, int d,
                      const QString& month) {
            const QString gap = QStringLiteral("  ");
            const QString ys = QString::number(y), ms = QString::number(m), ds = QString::number(d);
            QTest::newRow(name) << date
                                << QStringLiteral("%1/%2/%3").arg(y).arg(m, 2, 10, QChar(u'0')).arg(d, 2, 10, QChar(u'0'))
                                << ds + u' ' + month + u' ' + ys
                                << weekday + u' ' + ds + u'/' + ms + u'/' + ys
                                << weekday + gap + ds + gap + month + gap + ys;
        };
        row("epoch", Day(1953, 3, 21), sat, 1332, 1, 1, farvardin);
        row("2013-01-01", Day(2013, 1, 1), tue, 1391, 10, 12, dey);
        row("2013-03-20 leap end", Day(2013, 3, 20), wed, 1391, 12, 30, esfand);
        row("2013-03-21", Day(2013, 3, 21), thu, 1392, 1, 1, farvardin);
        row("2013-09-22", Day(2013, 9, 22), sun, 1392, 6, 31, shahrivar);
        row("2013-09-23", Day(2013, 9, 23), mon, 1392, 7, 1, mehr);
        row("2016-03-19 common end", Day(2016, 3, 19), sat, 1394, 12, 29, esfand);
        row("2016-03-20", Day(2016, 3, 20), sun, 1395, 1, 1, farvardin);
        row("2025-03-20 leap end", Day(2025, 3, 20), thu, 1403, 12, 30, esfand);
        // The day the 32-year rule would get wrong: 1437 starts on 21 March 2058, 1438 on 21 March 2059.
        row("2059-03-20", Day(2059, 3, 20), thu, 1437, 12, 29, esfand);
        row("2059-03-21", Day(2059, 3, 21), u"\u062C\u0645\u0639\u0647"_qs, 1438, 1, 1, farvardin);
    }
    void worked() {
        QFETCH(double, date);
        QFETCH(QString, numeric);
        QFETCH(QString, dayMonthName);
        QFETCH(QString, weekdayNumeric);
        QFETCH(QString, weekdayMonthName);
        QCOMPARE(CodePoints(ShamsiDate(date)), CodePoints(numeric));
        QCOMPARE(CodePoints(ShamsiDate(date, StyleNumeric)), CodePoints(numeric));
        QCOMPARE(CodePoints(ShamsiDate(date, StyleDayMonthName)), CodePoints(dayMonthName));
        QCOMPARE(CodePoints(ShamsiDate(date, StyleWeekdayNumeric)), CodePoints(weekdayNumeric));
        QCOMPARE(CodePoints(ShamsiDate(date, StyleWeekdayMonthName)), CodePoints(weekdayMonthName));
        // The time of day never changes the day.
        QCOMPARE(ShamsiDate(date + 0.99999, StyleWeekdayMonthName), weekdayMonthName);
    }

    void eachMonthName() {
        const char* expected[] = {
            "0641 0631 0648 0631 062F 064A 0646", "0627 0631 062F 064A 0628 0647 0634 062A",
            "062E 0631 062F 0627 062F",               "062A 064A 0631",
            "0645 0631 062F 0627 062F",               "0634 0647 0631 064A 0648 0631",
            "0645 0647 0631",                             "0622 0628 0627 0646",
            "0622 0630 0631",                             "062F 064A",
            "0628 0647 0645 0646",                      "0627 0633 0641 0646 062F",
        };
        // 1 Farvardin 1392 is 21 March 2013; the first of each month follows from the month lengths.
        double first = Day(2013, 3, 21);
        for (int month = 1; month <= 12; ++month) {
            const QString text = ShamsiDate(first, StyleDayMonthName);
            const QString name = text.section(u' ', 1, 1);
            QCOMPARE(CodePoints(name), QString::fromLatin1(expected[month - 1]));
            first += month <= 6 ? 31 : 30;
        }
    }

    void otherStylesGiveEmptyText() {
        const double date = Day(2013, 3, 21);
        for (int style : {-1, 4, 100, std::numeric_limits<int>::min()})
            QVERIFY(ShamsiDate(date, style).isEmpty());
    }

    void daysBeforeTheEpochGiveEmptyText() {
        QVERIFY(ShamsiDate(ShamsiEpoch - 1, StyleWeekdayMonthName).isEmpty());
        QVERIFY(ShamsiDate(0).isEmpty());
        QVERIFY(ShamsiDate(-657434).isEmpty());
        QVERIFY(!ShamsiDate(ShamsiEpoch).isEmpty());
    }

    void valuesThatAreNoDateThrow() {
        const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              -657435.0, 2958466.0, 1e300};
        for (double value : bad)
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ShamsiDate(value, StyleWeekdayMonthName));
        // The edges of the date range are dates, fractions of their day included.
        QVERIFY(ShamsiDate(2958465.5).startsWith(u"9378/10/"));
        QVERIFY(ShamsiDate(-657434.5).isEmpty());
    }

    void lastDateOfTheRange() {
        QCOMPARE(ShamsiDate(Day(3797, 12, 31), StyleNumeric), QStringLiteral("3176/10/11"));
    }
};

QTEST_GUILESS_MAIN(CalendarTest)
#include "tst_calendar.moc"
