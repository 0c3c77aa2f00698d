#include "calendar/Data.h"

#include <array>
#include <chrono>
#include <cmath>
#include <ctime>
#include <stdexcept>

namespace linkvane {

int ShamsiBaseYear = 1332;

namespace {

// Years in which the 33-year cycle of the official calendar restarts (Borkowski's break years).
constexpr std::array<int, 20> kBreakYears = {-61,  9,    38,   199,  426,  686,  756,
                                             818,  1111, 1181, 1210, 1635, 2060, 2097,
                                             2192, 2262, 2324, 2394, 2456, 3178};

// Date values of 1 January 100 and 31 December 9999, the range a date value can hold.
constexpr double kFirstDateValue = -657434;
constexpr double kLastDateValue = 2958465;

constexpr int kDaysInFirstHalf = 6 * 31;

int FlooredMod(int value, int divisor) {
    const int rest = value % divisor;
    return rest < 0 ? rest + divisor : rest;
}

bool IsLeapShamsiYear(int year) {
    if (year < kBreakYears.front())
        return false;
    int n = year - kBreakYears.back();
    for (std::size_t i = 0; i + 1 < kBreakYears.size(); ++i) {
        const int start = kBreakYears[i];
        const int next = kBreakYears[i + 1];
        if (year < next) {
            const int jump = next - start;
            n = year - start;
            // The last years before a break belong to the cycle that the break starts.
            if (jump - n < 6)
                n = n - jump + 33 * ((jump + 4) / 33);
            break;
        }
    }
    return FlooredMod(n + 1, 33) % 4 == 1;
}

// Tables built per call, as the date text has always done: they are tiny.
std::array<std::u16string, 12> MonthNames() {
    return {
        u"\u0641\u0631\u0648\u0631\u062F\u064A\u0646",        // Farvardin
        u"\u0627\u0631\u062F\u064A\u0628\u0647\u0634\u062A",  // Ordibehesht
        u"\u062E\u0631\u062F\u0627\u062F",                    // Khordad
        u"\u062A\u064A\u0631",                                // Tir
        u"\u0645\u0631\u062F\u0627\u062F",                    // Mordad
        u"\u0634\u0647\u0631\u064A\u0648\u0631",              // Shahrivar
        u"\u0645\u0647\u0631",                                // Mehr
        u"\u0622\u0628\u0627\u0646",                          // Aban
        u"\u0622\u0630\u0631",                                // Azar
        u"\u062F\u064A",                                      // Dey
        u"\u0628\u0647\u0645\u0646",                          // Bahman
        u"\u0627\u0633\u0641\u0646\u062F",                    // Esfand
    };
}

// Index 0 is Sunday.
std::array<std::u16string, 7> WeekdayNames() {
    return {
        u"\u064A\u06A9\u0634\u0646\u0628\u0647",              // Sunday
        u"\u062F\u0648\u0634\u0646\u0628\u0647",              // Monday
        u"\u0633\u0647 \u0634\u0646\u0628\u0647",             // Tuesday
        u"\u0686\u0647\u0627\u0631\u0634\u0646\u0628\u0647",  // Wednesday
        u"\u067E\u0646\u062C\u0634\u0646\u0628\u0647",        // Thursday
        u"\u062C\u0645\u0639\u0647",                          // Friday
        u"\u0634\u0646\u0628\u0647",                          // Saturday
    };
}

std::u16string Digits(int number) {
    const std::string ascii = std::to_string(number);
    return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace

std::u16string TwoDigits(int number) {
    std::u16string digits = Digits(number);
    if (number < 10)
        digits.insert(digits.begin(), u'0');
    return digits;
}

bool IsShamsiLeapYear(int yearIndex) {
    return IsLeapShamsiYear(ShamsiBaseYear + yearIndex);
}

void ShamsiFromDays(std::int32_t dayCount, int& year, int& month, int& day) {
    if (dayCount < 0)
        return;
    int yearIndex = 0;
    std::int32_t dayOfYear = dayCount;
    for (;;) {
        const int yearLength = IsShamsiLeapYear(yearIndex) ? 366 : 365;
        if (dayOfYear - yearLength < 0)
            break;
        ++yearIndex;
        dayOfYear -= yearLength;
    }
    year = ShamsiBaseYear + yearIndex;
    if (dayOfYear < kDaysInFirstHalf) {
        month = dayOfYear / 31 + 1;
        day = dayOfYear % 31 + 1;
    } else {
        const int rest = dayOfYear - kDaysInFirstHalf;
        month = rest / 30 + 7;
        day = rest % 30 + 1;
    }
}

std::u16string ShamsiDate(double date, int style) {
    if (!std::isfinite(date) || date <= kFirstDateValue - 1 || date >= kLastDateValue + 1)
        throw std::invalid_argument("ShamsiDate: the value is not a date");
    ShamsiBaseYear = 1332;
    // A date value's fraction is the time of day, also for days before 1900: drop it towards zero.
    const auto dayValue = static_cast<std::int32_t>(std::trunc(date));
    const std::int32_t dayCount = dayValue - static_cast<std::int32_t>(ShamsiEpoch);
    if (style < StyleNumeric || style > StyleWeekdayMonthName || dayCount < 0)
        return {};

    // Date value 0, 30 December 1899, was a Saturday.
    const int weekdayIndex = FlooredMod(dayValue + 6, 7);
    int year = 0, month = 0, day = 0;
    ShamsiFromDays(dayCount, year, month, day);

    const std::u16string weekday = WeekdayNames().at(weekdayIndex);
    const std::u16string monthName = MonthNames().at(month - 1);
    const std::u16string y = Digits(year), m = Digits(month), d = Digits(day);
    switch (style) {
    case StyleNumeric:
        return y + u"/" + TwoDigits(month) + u"/" + TwoDigits(day);
    case StyleDayMonthName:
        return d + u" " + monthName + u" " + y;
    case StyleWeekdayNumeric:
        return weekday + u" " + d + u"/" + m + u"/" + y;
    default:
        const std::u16string gap = u"  ";
        return weekday + gap + d + gap + monthName + gap + y;
    }
}

double DateValue(int year, int month, int day) {
    using namespace std::chrono;
    const sys_days zeroDay = sys_days(1899y / December / 30);
    const sys_days date = sys_days(std::chrono::year(year) / month / day);
    return static_cast<double>((date - zeroDay).count());
}

std::tm LocalTimeNow() {
    // Not std::time: on Linux it reads a coarse clock that turns the second a few milliseconds
    // late, and the clock's timer fires just after each second boundary.
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

double Today() {
    const std::tm local = LocalTimeNow();
    return DateValue(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace linkvane
