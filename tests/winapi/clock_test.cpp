// The layer's clock and timers: the virtual clock's calendar, the real clock as the PC's local
// time, and timers on the virtual clock firing in order, restarting, killed, and retrieved late.
// (Sleep on the virtual clock: the module's text viewer, whose notice waits with it.)
#include <time.h>

#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>
#include <wluser.h>

#include "support/message_log.h"

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

class Clock : public ::testing::Test {
protected:
    void TearDown() override { wl_clock_use_real(); }
};

// Each start advanced by some milliseconds; a date that does not exist leaves the clock as it was.
TEST_F(Clock, VirtualLocalTimeFollowsTheGregorianCalendar) {
    const struct {
        SYSTEMTIME start;
        ULONGLONG advance_ms;
        SYSTEMTIME expected;
    } cases[] = {
        {at(2023, 12, 31, 23, 59, 59, 500), 500, at(2024, 1, 1, 0, 0, 0, 0, 1)},
        {at(2023, 2, 28, 12, 0, 0, 0), 86400000, at(2023, 3, 1, 12, 0, 0, 0, 3)},
        {at(2100, 2, 28, 6, 0, 0, 0), 86400000, at(2100, 3, 1, 6, 0, 0, 0, 1)},
        {at(2000, 2, 29, 6, 0, 0, 0), 86400000, at(2000, 3, 1, 6, 0, 0, 0, 3)},
        {at(1601, 1, 1, 0, 0, 0, 0), 0, at(1601, 1, 1, 0, 0, 0, 0, 1)},
        {at(2024, 1, 1, 0, 0, 0, 0), 1000ULL * 86400000 + 3723004, at(2026, 9, 27, 1, 2, 3, 4, 0)},
    };
    for (const auto &c : cases) {
        wl_clock_use_virtual(&c.start);
        wl_clock_advance_ms(c.advance_ms);
        EXPECT_EQ(now_text(), text(c.expected)) << "from " << text(c.start);
    }
    for (SYSTEMTIME bad : {at(2100, 2, 29, 0, 0, 0, 0), at(2024, 4, 31, 0, 0, 0, 0),
                           at(2024, 13, 1, 0, 0, 0, 0), at(2024, 1, 1, 24, 0, 0, 0)})
        wl_clock_use_virtual(&bad);
    EXPECT_EQ(now_text(), text(cases[5].expected));
}

TEST_F(Clock, RealLocalTimeIsThePcsLocalTime) {
    for (int attempt = 0; attempt < 5; attempt++) {
        timespec t1, t2; // time() may read a coarser clock that lags a few ms behind
        clock_gettime(CLOCK_REALTIME, &t1);
        SYSTEMTIME now;
        GetLocalTime(&now);
        clock_gettime(CLOCK_REALTIME, &t2);
        if (t2.tv_sec != t1.tv_sec) continue; // a second boundary passed between the readings
        tm l;
        localtime_r(&t1.tv_sec, &l);
        EXPECT_EQ(text(now), text(at(WORD(l.tm_year + 1900), WORD(l.tm_mon + 1), WORD(l.tm_mday),
                                     WORD(l.tm_hour), WORD(l.tm_min), WORD(l.tm_sec),
                                     now.wMilliseconds, WORD(l.tm_wday))));
        return;
    }
    FAIL() << "the second never stood still";
}

std::string g_fired; // "ms:id " for each WM_TIMER, ms since the start
ULONGLONG g_start;

// Runs the loop until the clock reaches `ms` after the start: the idle hook lets it wait for
// every timer up to then, and ends it with WM_QUIT.
void run_until(ULONGLONG ms) {
    static ULONGLONG until;
    until = g_start + ms;
    wl_user_set_idle_hook(
        [](void *) {
            ULONGLONG due;
            if (wl_timer_next_due(&due) && due <= until) return WL_IDLE_WAIT;
            PostMessageW(nullptr, WM_QUIT, 0, 0);
            return WL_IDLE_BUSY;
        },
        nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0))
        DispatchMessageW(&msg);
    wl_user_set_idle_hook(nullptr, nullptr);
}

// Timers due together fire in the order they last started a period; setting one again starts a
// new period; a loop that comes late gets one message and a new period from then.
TEST_F(Clock, TimersFireInOrderRestartAndComeLateOnce) {
    SYSTEMTIME start = {2024, 1, 1, 1, 0, 0, 0, 0};
    wl_clock_use_virtual(&start);
    g_start = wl_clock_ms();
    MessageLog log;
    log.handle("w", [](HWND, UINT m, WPARAM id, LPARAM, LRESULT *) {
        if (m == WM_TIMER)
            g_fired += std::to_string(wl_clock_ms() - g_start) + ":" + std::to_string(id) + " ";
        return false;
    });
    HWND w = log.create("w", WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(SetTimer(w, 1, 100, nullptr), 1u);
    SetTimer(w, 2, 250, nullptr);
    run_until(500);
    wl_clock_advance_ms(60);
    SetTimer(w, 1, 100, nullptr);
    run_until(700);
    EXPECT_TRUE(KillTimer(w, 1));
    EXPECT_FALSE(KillTimer(w, 1));
    wl_clock_advance_ms(1050);
    pump_pending();
    EXPECT_EQ(g_fired, "100:1 200:1 250:2 300:1 400:1 500:2 500:1 660:1 1710:2 ");
    ULONGLONG due;
    ASSERT_TRUE(wl_timer_next_due(&due));
    EXPECT_EQ(due, wl_clock_ms() + 250);
    DestroyWindow(w);
    EXPECT_FALSE(wl_timer_next_due(nullptr));
}

} // namespace
