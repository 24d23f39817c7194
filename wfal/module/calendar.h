// Calendar seconds: unsigned 32-bit seconds since 1980-01-01 00:00:00 local time, exact up to
// 2100-02-28 23:59:59. Both conversions work on the module-wide calendar fields.
#pragma once

#include <windows.h>

struct CalendarFields {
    int year;  // full year, 1980..2100
    int month; // 1..12
    int day;   // 1..31
    int hour;
    int minute;
    int second;
    DWORD seconds; // calendar seconds
};

// year..second -> seconds
void calendar_to_seconds();
// seconds -> year..second
void seconds_to_calendar();
// Sets year..second and converts them; returns the calendar seconds.
DWORD calendar_set(int year, int month, int day, int hour, int minute, int second);
