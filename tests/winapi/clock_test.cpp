// The layer's clock: the virtual clock's calendar, its ticks across switches and settings, and
// the real clock as the PC's local time.
#include <time.h>

#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>

namespace {

// Year, month, day, hour, minute, second, ms; wDayOfWeek only where a case expects it.
SYSTEMTIME at(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s, WORD ms, WORD dow = 0) {
    return SYSTEMTIME{y, mo, dow, d, h, mi, s, ms};
}

std::string text(const SYSTEMTIME &t) {
    char buf[64];
    snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u dow %u", t.wYear, t.wMonth,
             t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, t.wDayOfWeek);
    return buf;
}

std::string now_text() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return text(t);
}

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { wl_clock_use_real(); }
};

struct CrossingCase {
    SYSTEMTIME start;
    ULONGLONG advance_ms;
    SYSTEMTIME expected;
};

const CrossingCase CROSSINGS[] = {
    {at(2023, 12, 31, 23, 59, 59, 500), 500, at(2024, 1, 1, 0, 0, 0, 0, 1)},
    {at(2023, 2, 28, 12, 0, 0, 0), 86400000, at(2023, 3, 1, 12, 0, 0, 0, 3)},
    {at(2100, 2, 28, 6, 0, 0, 0), 86400000, at(2100, 3, 1, 6, 0, 0, 0, 1)},
    {at(2000, 2, 29, 6, 0, 0, 0), 86400000, at(2000, 3, 1, 6, 0, 0, 0, 3)}, // a valid start
    {at(1601, 1, 1, 0, 0, 0, 0), 0, at(1601, 1, 1, 0, 0, 0, 0, 1)},
    {at(2024, 1, 1, 0, 0, 0, 0), 1000ULL * 86400000 + 3723004, at(2026, 9, 27, 1, 2, 3, 4, 0)},
};

TEST_F(ClockTest, VirtualLocalTimeFollowsTheGregorianCalendar) {
    for (const CrossingCase &c : CROSSINGS) {
        wl_clock_use_virtual(&c.start);
        wl_clock_advance_ms(c.advance_ms);
        EXPECT_EQ(now_text(), text(c.expected)) << "from " << text(c.start);
    }
}

// A date that does not exist leaves the clock as it was.
TEST_F(ClockTest, BadTimesAreIgnored) {
    SYSTEMTIME start = at(2024, 3, 9, 23, 30, 0, 0);
    wl_clock_use_virtual(&start);
    const SYSTEMTIME bad[] = {at(2100, 2, 29, 0, 0, 0, 0), at(2024, 4, 31, 0, 0, 0, 0),
                              at(2024, 13, 1, 0, 0, 0, 0), at(2024, 1, 1, 24, 0, 0, 0)};
    for (const SYSTEMTIME &t : bad)
        wl_clock_use_virtual(&t);
    EXPECT_EQ(now_text(), text(at(2024, 3, 9, 23, 30, 0, 0, 6)));
}

// Sleep on the virtual clock advances it at once; ticks never go back across switches.
TEST_F(ClockTest, SleepAdvancesTheVirtualClockAndTicksNeverGoBack) {
    SYSTEMTIME start = at(2024, 7, 1, 23, 59, 59, 0);
    ULONGLONG last = wl_clock_ms();
    wl_clock_use_virtual(&start);
    EXPECT_GE(wl_clock_ms(), last);
    ULONGLONG ticks = wl_clock_ms();
    Sleep(1500);
    EXPECT_EQ(wl_clock_ms(), ticks + 1500);
    EXPECT_EQ(now_text(), text(at(2024, 7, 2, 0, 0, 0, 500, 2)));
    wl_clock_advance_ms(3600000);
    last = wl_clock_ms();
    wl_clock_use_real();
    EXPECT_GE(wl_clock_ms(), last);
    Sleep(20);
    EXPECT_GE(wl_clock_ms(), last + 20);
}

time_t real_seconds() {
    timespec ts; // time() may read a coarser clock that lags a few ms behind
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec;
}

TEST_F(ClockTest, RealLocalTimeIsThePcsLocalTime) {
    for (int attempt = 0; attempt < 5; attempt++) {
        time_t t1 = real_seconds();
        SYSTEMTIME now;
        GetLocalTime(&now);
        if (real_seconds() != t1) continue; // a second boundary passed between the readings
        tm l;
        localtime_r(&t1, &l);
        EXPECT_EQ(text(now), text(at(WORD(l.tm_year + 1900), WORD(l.tm_mon + 1), WORD(l.tm_mday),
                                     WORD(l.tm_hour), WORD(l.tm_min), WORD(l.tm_sec),
                                     now.wMilliseconds, WORD(l.tm_wday))));
        return;
    }
    FAIL() << "the second never stood still";
}

} // namespace
