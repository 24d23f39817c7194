// Calendar seconds. All arithmetic is unsigned 32-bit, as the stored times are: a value outside
// the exact domain gives a wrong date, never undefined behaviour.
#include <windows.h>

#include "module/calendar.h"
#include "module/state.h"

namespace {

constexpr DWORD SECONDS_PER_DAY = 86400;
constexpr DWORD DAYS_PER_BLOCK = 4 * 365 + 1; // a leap year and three common years
constexpr DWORD SECONDS_PER_BLOCK = DAYS_PER_BLOCK * SECONDS_PER_DAY;

// Every year divisible by four counts as a leap year (2100 included), so the years from 1980
// fall into four-year blocks that each open with their leap year.
DWORD days_before_year(DWORD y) {
    return 365 * y + y / 4 + (y % 4 != 0 ? 1 : 0);
}

// Months alternate 31 and 30 days up to July and again from August; February is corrected
// afterwards.
DWORD days_before_month(DWORD m, bool leap) {
    DWORD shifted = m <= 8 ? m : m + 1;
    DWORD days = 30 * (m - 1) + shifted / 2;
    if (m >= 3) days -= leap ? 1 : 2;
    return days;
}

DWORD month_length(DWORD m, bool leap) {
    if (m == 2) return leap ? 29 : 28;
    return 30 + ((m >= 8 ? m + 1 : m) % 2);
}

} // namespace

void calendar_to_seconds() {
    CalendarFields &c = wfal.calendar;
    DWORD y = (DWORD)c.year - 1980;
    DWORD days =
        days_before_year(y) + days_before_month((DWORD)c.month, y % 4 == 0) + (DWORD)c.day - 1;
    c.seconds = ((days * 24 + (DWORD)c.hour) * 60 + (DWORD)c.minute) * 60 + (DWORD)c.second;
}

void seconds_to_calendar() {
    CalendarFields &c = wfal.calendar;
    DWORD s = c.seconds;
    DWORD year_index = 4 * (s / SECONDS_PER_BLOCK);
    DWORD d = (s / SECONDS_PER_DAY) % DAYS_PER_BLOCK;
    if (d > 365) {
        year_index += (d - 1) / 365;
        d = (d - 1) % 365;
    }
    bool leap = year_index % 4 == 0;
    DWORD month = 1;
    while (month < 12 && d >= month_length(month, leap)) {
        d -= month_length(month, leap);
        month++;
    }
    DWORD r = s % SECONDS_PER_DAY;
    c.year = (int)(1980 + year_index);
    c.month = (int)month;
    c.day = (int)(d + 1);
    c.hour = (int)(r / 3600);
    c.minute = (int)(r % 3600 / 60);
    c.second = (int)(r % 60);
}

DWORD calendar_set(int year, int month, int day, int hour, int minute, int second) {
    CalendarFields &c = wfal.calendar;
    c.year = year;
    c.month = month;
    c.day = day;
    c.hour = hour;
    c.minute = minute;
    c.second = second;
    calendar_to_seconds();
    return c.seconds;
}
