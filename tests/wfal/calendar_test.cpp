// Calendar seconds against the C library's proleptic calendar, which agrees with the module's
// every-fourth-year rule up to 2100-02-28; past it 2100 still counts as a leap year.
#include <gtest/gtest.h>
#include <time.h>

#include <random>
#include <vector>

#include "module/state.h"

namespace {

constexpr time_t UNIX_1980 = 315532800;   // 1980-01-01 00:00:00 in Unix seconds
constexpr DWORD DOMAIN_END = 3792009599u; // 2100-02-28 23:59:59

// Seconds to fields and the fields back to seconds; by default the fields are the reference's.
void expect_both_ways(DWORD s, std::vector<int> fields = {}) {
    if (fields.empty()) {
        const time_t t = UNIX_1980 + (time_t)s;
        struct tm tm;
        gmtime_r(&t, &tm);
        fields = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    }
    wfal.calendar = {-1, -1, -1, -1, -1, -1, s};
    seconds_to_calendar();
    const CalendarFields &c = wfal.calendar;
    ASSERT_EQ((std::vector<int>{c.year, c.month, c.day, c.hour, c.minute, c.second}), fields) << s;
    wfal.calendar.seconds = ~s;
    ASSERT_EQ(calendar_set(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]), s);
}

TEST(Calendar, AgreesWithTheReferenceAroundEveryDayAndOnRandomSecondsAndLeaps2100) {
    for (DWORD day = 0; day * 86400 <= DOMAIN_END; day++)
        for (DWORD s = day * 86400 - (day > 0); s <= day * 86400 + 1; s++)
            expect_both_ways(s);
    expect_both_ways(DOMAIN_END);
    std::mt19937 random(19800101);
    std::uniform_int_distribution<DWORD> pick(0, DOMAIN_END);
    for (int i = 0; i < 1000000; i++)
        expect_both_ways(pick(random));
    expect_both_ways(3792009600u, {2100, 2, 29, 0, 0, 0});
    expect_both_ways(3792096000u, {2100, 3, 1, 0, 0, 0});
    expect_both_ways(3818534399u, {2100, 12, 31, 23, 59, 59});
}

} // namespace
