// Timers on the virtual clock: firing in order, restarting, killing, late retrieval.
#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>
#include <wluser.h>

#include "support/message_log.h"

namespace {

std::vector<std::pair<ULONGLONG, UINT_PTR>> g_fired; // (ms since the start, id)
ULONGLONG g_start;

class Timer : public ::testing::Test {
protected:
    void SetUp() override {
        SYSTEMTIME start = {2024, 1, 1, 1, 0, 0, 0, 0};
        wl_clock_use_virtual(&start);
        g_start = wl_clock_ms();
        g_fired.clear();
        log.handle("w", [](HWND, UINT m, WPARAM id, LPARAM, LRESULT *) {
            if (m == WM_TIMER) g_fired.push_back({wl_clock_ms() - g_start, id});
            return false;
        });
        w = log.create("w", WS_POPUP, 0, 0, 10, 10);
    }
    void TearDown() override { wl_clock_use_real(); }
    // Runs the loop until the clock reaches `ms` after the start: the idle hook lets it wait
    // for every timer up to then, and ends it with WM_QUIT.
    static void run_until(ULONGLONG ms) {
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
    using Fired = std::vector<std::pair<ULONGLONG, UINT_PTR>>;
    MessageLog log;
    HWND w = nullptr;
};

TEST_F(Timer, FireInOrderOnTheVirtualClock) {
    EXPECT_EQ(SetTimer(w, 1, 100, nullptr), 1u);
    EXPECT_EQ(SetTimer(w, 2, 250, nullptr), 2u);
    run_until(500);
    // Timers due together fire in the order they last started a period.
    EXPECT_EQ(g_fired,
              (Fired{{100, 1}, {200, 1}, {250, 2}, {300, 1}, {400, 1}, {500, 2}, {500, 1}}));
    EXPECT_EQ(wl_clock_ms(), g_start + 500);
}

TEST_F(Timer, SettingAgainStartsANewPeriodKillingStops) {
    SetTimer(w, 1, 100, nullptr);
    SetTimer(w, 2, 100, nullptr);
    wl_clock_advance_ms(60);
    SetTimer(w, 1, 100, nullptr);
    run_until(200);
    EXPECT_TRUE(KillTimer(w, 1));
    EXPECT_FALSE(KillTimer(w, 1));
    run_until(300);
    EXPECT_EQ(g_fired, (Fired{{100, 2}, {160, 1}, {200, 2}, {300, 2}}));
    DestroyWindow(w);
    EXPECT_FALSE(wl_timer_next_due(nullptr));
    EXPECT_EQ(SetTimer(w, 3, 100, nullptr), 0u);
}

TEST_F(Timer, ALateLoopGetsOneMessageAndANewPeriodFromThen) {
    SetTimer(w, 1, 100, nullptr);
    SetTimer(w, 2, 0, nullptr); // held to the minimum, 10 ms
    ULONGLONG due;
    ASSERT_TRUE(wl_timer_next_due(&due));
    EXPECT_EQ(due, g_start + 10);
    KillTimer(w, 2);
    wl_clock_advance_ms(1050);
    pump_pending();
    EXPECT_EQ(g_fired, (Fired{{1050, 1}}));
    ASSERT_TRUE(wl_timer_next_due(&due));
    EXPECT_EQ(due, g_start + 1150);
}

} // namespace
