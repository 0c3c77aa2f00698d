#pragma once
// Solar Hijri (Shamsi) calendar: day counts to year/month/day, and the Persian date text.

#include <cstdint>
#include <ctime>
#include <string>

namespace linkvane {

enum ShamsiStyle : int {
    StyleNumeric = 0,          // 1392/01/01
    StyleDayMonthName = 1,     // 1 فروردين 1392
    StyleWeekdayNumeric = 2,   // پنجشنبه 1/1/1392
    StyleWeekdayMonthName = 3  // پنجشنبه  1  فروردين  1392
};

// 21 March 1953 (1 Farvardin 1332) as a date value.
inline constexpr double ShamsiEpoch = 19439;

// The Shamsi year of day count 0. ShamsiDate sets it at every call; the other two routines read it.
extern int ShamsiBaseYear;

// True when the year ShamsiBaseYear + yearIndex has 366 days.
bool IsShamsiLeapYear(int yearIndex);

// Splits a day count after 1 Farvardin of ShamsiBaseYear into year, month (1..12) and day (1..31).
// A negative count assigns nothing.
void ShamsiFromDays(std::int32_t dayCount, int& year, int& month, int& day);

// The Persian text of the Solar Hijri date of a date value (days since 30 December 1899; the
// fraction, the time of day, is ignored). Empty for a style other than 0..3 and for days before
// ShamsiEpoch. Throws std::invalid_argument for a value that is no date (not finite, or outside
// 1 January 100 .. 31 December 9999).
std::u16string ShamsiDate(double date, int style = StyleNumeric);

// A number as ASCII digits, with a leading zero below 10: "05", "12" (a date's month and day, the
// clock's hours, minutes and seconds).
std::u16string TwoDigits(int number);

// The date value of a day of the proleptic Gregorian calendar (midnight).
double DateValue(int year, int month, int day);

// The system clock as local date and time of day, as the user's clock shows it.
std::tm LocalTimeNow();

// The date value of the local calendar day of the system clock (midnight).
double Today();

}  // namespace linkvane
