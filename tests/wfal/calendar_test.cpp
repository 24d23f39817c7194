// Calendar seconds against the C library's proleptic calendar, which agrees with the module's
// every-fourth-year rule up to 2100-02-28.
#include <gtest/gtest.h>
#include <time.h>

#include <random>

#include "module/state.h"

namespace {

constexpr time_t UNIX_1980 = 315532800; // 1980-01-01 00:00:00 in Unix seconds
constexpr DWORD SECONDS_PER_DAY = 86400;

struct Fields {
    int year, month, day, hour, minute, second;
    bool operator==(const Fields &o) const {
        return year == o.year && month == o.month && day == o.day && hour == o.hour &&
               minute == o.minute && second == o.second;
    }
};

std::ostream &operator<<(std::ostream &out, const Fields &f) {
    return out << f.year << '-' << f.month << '-' << f.day << ' ' << f.hour << ':' << f.minute
               << ':' << f.second;
}

DWORD to_seconds(const Fields &f) {
    wfal.calendar = {f.year, f.month, f.day, f.hour, f.minute, f.second, 0xDEADBEEF};
    calendar_to_seconds();
    return wfal.calendar.seconds;
}

Fields to_fields(DWORD s) {
    wfal.calendar = {-1, -1, -1, -1, -1, -1, s};
    seconds_to_calendar();
    const CalendarFields &c = wfal.calendar;
    return {c.year, c.month, c.day, c.hour, c.minute, c.second};
}

Fields reference_fields(DWORD s) {
    time_t t = UNIX_1980 + (time_t)s;
    struct tm tm;
    gmtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

DWORD reference_seconds(const Fields &f) {
    struct tm tm = {};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    return (DWORD)(timegm(&tm) - UNIX_1980);
}

const DWORD DOMAIN_END = reference_seconds({2100, 2, 28, 23, 59, 59});

// Both directions and the round trip from seconds, checked against the reference.
void expect_exact(DWORD s) {
    Fields expected = reference_fields(s);
    ASSERT_EQ(to_fields(s), expected) << "seconds " << s;
    ASSERT_EQ(to_seconds(expected), s) << expected;
}

TEST(Calendar, KnownDatesBothWays) {
    struct Case {
        Fields fields;
        DWORD seconds;
    };
    const Case cases[] = {
        {{1980, 1, 1, 0, 0, 0}, 0},
        {{1980, 2, 29, 0, 0, 0}, 5097600},       // first leap day
        {{1980, 3, 1, 0, 0, 0}, 5184000},        // March after a leap February
        {{1980, 12, 31, 23, 59, 59}, 31622399},  // day 366 of 1980
        {{1981, 1, 1, 0, 0, 0}, 31622400},       // the block's first common year
        {{1981, 3, 1, 0, 0, 0}, 36720000},       // March after a common February
        {{1983, 12, 31, 23, 59, 59}, 126230399}, // last second of the first block
        {{1984, 1, 1, 0, 0, 0}, 126230400},      // first second of the second block
        {{2000, 2, 29, 12, 0, 0}, 636292800},    // a leap day that needs no century rule
        {{2000, 3, 1, 0, 0, 0}, 636336000},
        {{2096, 2, 29, 6, 7, 8}, 3665801228u},
        {{2099, 12, 31, 23, 59, 59}, 3786911999u},
        {{2100, 2, 28, 23, 59, 59}, 3792009599u}, // end of the exact domain
        {{2100, 2, 29, 0, 0, 0}, 3792009600u},    // 2100 counts as a leap year
        {{2100, 3, 1, 0, 0, 0}, 3792096000u},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(to_seconds(c.fields), c.seconds) << c.fields;
        EXPECT_EQ(to_fields(c.seconds), c.fields) << c.seconds;
    }
}

TEST(Calendar, InverseAroundEveryDayBoundary) {
    for (DWORD day = 0; day * SECONDS_PER_DAY <= DOMAIN_END; day++) {
        DWORD s = day * SECONDS_PER_DAY;
        if (s > 0) expect_exact(s - 1);
        expect_exact(s);
        expect_exact(s + 1);
    }
    expect_exact(DOMAIN_END);
}

TEST(Calendar, InverseOnRandomSeconds) {
    std::mt19937 random(19800101);
    std::uniform_int_distribution<DWORD> pick(0, DOMAIN_END);
    for (int i = 0; i < 1000000; i++)
        expect_exact(pick(random));
}

} // namespace
