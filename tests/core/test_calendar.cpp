#include "calendar/Data.h"
#include "tests/support/codepoints.h"

#include <doctest/doctest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>

using namespace linkvane;

namespace {

using ShamsiDay = std::array<int, 3>;  // year, month, day

ShamsiDay FromDays(std::int32_t count) {
    ShamsiDay day{-1, -1, -1};
    ShamsiFromDays(count, day[0], day[1], day[2]);
    return day;
}

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }
std::u16string Number(int n) { return Ascii(std::to_string(n)); }

}  // namespace

TEST_CASE("date values count days from 30 December 1899") {
    CHECK(DateValue(1899, 12, 30) == 0.0);
    CHECK(DateValue(1953, 3, 21) == ShamsiEpoch);
    CHECK(DateValue(2013, 3, 21) == 41354.0);
    CHECK(DateValue(100, 1, 1) == -657434.0);
    CHECK(DateValue(9999, 12, 31) == 2958465.0);
}

TEST_CASE("a negative day count assigns nothing") {
    for (std::int32_t count : {-1, -365, std::numeric_limits<std::int32_t>::min()}) {
        int year = 7, month = 8, day = 9;
        ShamsiFromDays(count, year, month, day);
        CHECK(ShamsiDay{year, month, day} == ShamsiDay{7, 8, 9});
    }
}

// 1 Farvardin of every year in the reference table, and whether the year is leap: this is also
// where the plain 32-year rule (which makes 1437 leap) would fail.
TEST_CASE("every year of the reference table") {
    std::ifstream file(LINKVANE_TEST_DATA_DIR "/farvardin-first.tsv");
    REQUIRE(file.is_open());
    int rows = 0;
    std::string line;
    while (std::getline(file, line)) {
        int year = 0, y = 0, m = 0, d = 0, leap = 0;
        if (std::sscanf(line.c_str(), "%d\t%d-%d-%d\t%d", &year, &y, &m, &d, &leap) != 5)
            continue;  // the comments and the heading; `rows` counts the rest
        CAPTURE(year);
        const double value = DateValue(y, m, d);
        const auto count = static_cast<std::int32_t>(value - ShamsiEpoch);
        CHECK(FromDays(count) == ShamsiDay{year, 1, 1});
        if (count > 0)
            CHECK(FromDays(count - 1)[0] == year - 1);
        CHECK(FromDays(count + (leap ? 365 : 364)) == ShamsiDay{year, 12, leap ? 30 : 29});
        CHECK(IsShamsiLeapYear(year - 1332) == (leap == 1));
        CHECK(ShamsiDate(value) == Number(year) + u"/01/01");
        ++rows;
    }
    CHECK(rows == 3177 - 1332 + 1);
}

// Persian words spelled as code points, so a normalised letter cannot slip in.
const std::u16string kMonths[] = {
    u"\u0641\u0631\u0648\u0631\u062F\u064A\u0646", u"\u0627\u0631\u062F\u064A\u0628\u0647\u0634\u062A", u"\u062E\u0631\u062F\u0627\u062F",
    u"\u062A\u064A\u0631", u"\u0645\u0631\u062F\u0627\u062F", u"\u0634\u0647\u0631\u064A\u0648\u0631",
    u"\u0645\u0647\u0631", u"\u0622\u0628\u0627\u0646", u"\u0622\u0630\u0631",
    u"\u062F\u064A", u"\u0628\u0647\u0645\u0646", u"\u0627\u0633\u0641\u0646\u062F",
};
const std::u16string kWeekdays[] = {  // from Saturday
    u"\u0634\u0646\u0628\u0647", u"\u064A\u06A9\u0634\u0646\u0628\u0647", u"\u062F\u0648\u0634\u0646\u0628\u0647", u"\u0633\u0647\u0020\u0634\u0646\u0628\u0647",
    u"\u0686\u0647\u0627\u0631\u0634\u0646\u0628\u0647", u"\u067E\u0646\u062C\u0634\u0646\u0628\u0647", u"\u062C\u0645\u0639\u0647",
};

TEST_CASE("worked dates in all four styles") {
    const struct { int y, m, d, weekday, shamsiYear, month, day; } rows[] = {
        {1953, 3, 21, 0, 1332, 1, 1},    {2013, 1, 1, 3, 1391, 10, 12},
        {2013, 3, 20, 4, 1391, 12, 30},  // end of a leap year
        {2013, 3, 21, 5, 1392, 1, 1},    {2013, 9, 22, 1, 1392, 6, 31},  {2013, 9, 23, 2, 1392, 7, 1},
        {2016, 3, 19, 0, 1394, 12, 29},  // end of a common year
        {2016, 3, 20, 1, 1395, 1, 1},    {2025, 3, 20, 5, 1403, 12, 30},
        // The day the 32-year rule would get wrong: 1437 starts on 21 March 2058, 1438 on 21 March 2059.
        {2059, 3, 20, 5, 1437, 12, 29},  {2059, 3, 21, 6, 1438, 1, 1},
    };
    for (const auto& r : rows) {
        const double date = DateValue(r.y, r.m, r.d);
        CAPTURE(date);
        const std::u16string ys = Number(r.shamsiYear), ms = Number(r.month), ds = Number(r.day);
        const std::u16string weekday = kWeekdays[r.weekday], month = kMonths[r.month - 1], gap = u"  ";
        const std::u16string numeric =
            ys + u"/" + (r.month < 10 ? u"0" : u"") + ms + u"/" + (r.day < 10 ? u"0" : u"") + ds;
        const std::u16string longest = weekday + gap + ds + gap + month + gap + ys;
        CHECK(CodePoints(ShamsiDate(date)) == CodePoints(numeric));
        CHECK(CodePoints(ShamsiDate(date, StyleNumeric)) == CodePoints(numeric));
        CHECK(CodePoints(ShamsiDate(date, StyleDayMonthName)) == CodePoints(ds + u" " + month + u" " + ys));
        CHECK(CodePoints(ShamsiDate(date, StyleWeekdayNumeric)) == CodePoints(weekday + u" " + ds + u"/" + ms + u"/" + ys));
        CHECK(CodePoints(ShamsiDate(date, StyleWeekdayMonthName)) == CodePoints(longest));
        // The time of day never changes the day.
        CHECK(ShamsiDate(date + 0.99999, StyleWeekdayMonthName) == longest);
    }
    // Each month's name on its first day: 1 Farvardin 1392 is 21 March 2013.
    double first = DateValue(2013, 3, 21);
    for (int month = 1; month <= 12; first += month <= 6 ? 31 : 30, ++month)
        CHECK(CodePoints(ShamsiDate(first, StyleDayMonthName)) == CodePoints(u"1 " + kMonths[month - 1] + u" 1392"));
}

TEST_CASE("other styles and days before the epoch give empty text; values that are no date throw") {
    const double date = DateValue(2013, 3, 21);
    for (int style : {-1, 4, 100, std::numeric_limits<int>::min()})
        CHECK(ShamsiDate(date, style).empty());
    CHECK(ShamsiDate(ShamsiEpoch - 1, StyleWeekdayMonthName).empty());
    CHECK(ShamsiDate(0).empty());
    CHECK(ShamsiDate(-657434).empty());
    CHECK(!ShamsiDate(ShamsiEpoch).empty());

    // Values that are no date throw; the edges of the range are dates.
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          -657435.0, 2958466.0, 1e300};
    for (double value : bad)
        CHECK_THROWS_AS(ShamsiDate(value, StyleWeekdayMonthName), std::invalid_argument);
    CHECK(ShamsiDate(2958465.5).starts_with(u"9378/10/"));
    CHECK(ShamsiDate(-657434.5).empty());
    CHECK(ShamsiDate(DateValue(3797, 12, 31), StyleNumeric) == u"3176/10/11");
}
