// Timers on the virtual clock: firing in order, restarting, killing, late retrieval.
#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>
#include <wluser.h>

#include "support/message_log.h"

namespace {

struct Fired {
    ULONGLONG at;
    UINT_PTR id;
    bool operator==(const Fired &o) const { return at == o.at && id == o.id; }
};

void PrintTo(const Fired &f, std::ostream *os) {
    *os << f.id << "@" << f.at;
}

std::vector<Fired> g_fired;

void CALLBACK thread_timer(HWND, UINT, UINT_PTR id, DWORD) {
    g_fired.push_back(Fired{wl_clock_ms(), 1000 + id});
}

// Runs the message loop until the clock reaches `until`: the idle hook lets the loop wait for
// every timer up to then, and ends the run with WM_QUIT.
void run_until(ULONGLONG until) {
    static ULONGLONG s_until;
    s_until = until;
    wl_user_set_idle_hook(
        [](void *) {
            ULONGLONG due;
            if (wl_timer_next_due(&due) && due <= s_until) return WL_IDLE_WAIT;
            PostMessageW(nullptr, WM_QUIT, 0, 0);
            return WL_IDLE_BUSY;
        },
        nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0))
        DispatchMessageW(&msg);
    wl_user_set_idle_hook(nullptr, nullptr);
}

class Timer : public ::testing::Test {
protected:
    void SetUp() override {
        SYSTEMTIME start = {2024, 1, 1, 1, 0, 0, 0, 0};
        wl_clock_use_virtual(&start);
        t0 = wl_clock_ms();
        g_fired.clear();
        log.handle("w", [this](HWND, UINT m, WPARAM id, LPARAM, LRESULT *) {
            if (m == WM_TIMER) g_fired.push_back(Fired{wl_clock_ms() - t0, id});
            return false;
        });
        w = log.create("w", WS_POPUP, 0, 0, 10, 10);
    }
    void TearDown() override { wl_clock_use_real(); }

    std::vector<Fired> fired_since_start() {
        std::vector<Fired> out = g_fired;
        for (Fired &f : out) {
            if (f.id >= 1000) f.at -= t0;
        }
        return out;
    }

    MessageLog log;
    HWND w = nullptr;
    ULONGLONG t0 = 0;
};

TEST_F(Timer, FireInOrderOnTheVirtualClock) {
    EXPECT_EQ(SetTimer(w, 1, 100, nullptr), 1u);
    EXPECT_EQ(SetTimer(w, 2, 250, nullptr), 2u);
    UINT_PTR t = SetTimer(nullptr, 0, 300, thread_timer);
    ASSERT_NE(t, 0u);
    run_until(t0 + 600);
    // Timers due together fire in the order they last started a period.
    EXPECT_EQ(fired_since_start(), (std::vector<Fired>{{100, 1},
                                                       {200, 1},
                                                       {250, 2},
                                                       {300, 1000 + t},
                                                       {300, 1},
                                                       {400, 1},
                                                       {500, 2},
                                                       {500, 1},
                                                       {600, 1000 + t},
                                                       {600, 1}}));
    EXPECT_EQ(wl_clock_ms(), t0 + 600);
}

TEST_F(Timer, SettingAgainStartsANewPeriod) {
    SetTimer(w, 1, 100, nullptr);
    wl_clock_advance_ms(60);
    SetTimer(w, 1, 100, nullptr);
    run_until(t0 + 300);
    EXPECT_EQ(fired_since_start(), (std::vector<Fired>{{160, 1}, {260, 1}}));
}

TEST_F(Timer, KilledAndDestroyedTimersStop) {
    SetTimer(w, 1, 100, nullptr);
    SetTimer(w, 2, 100, nullptr);
    EXPECT_TRUE(KillTimer(w, 1));
    EXPECT_FALSE(KillTimer(w, 1));
    EXPECT_FALSE(KillTimer(nullptr, 2)); // a window's timer is not a thread timer
    run_until(t0 + 100);
    EXPECT_EQ(fired_since_start(), (std::vector<Fired>{{100, 2}}));
    DestroyWindow(w);
    EXPECT_FALSE(wl_timer_next_due(nullptr));
    EXPECT_EQ(SetTimer(w, 3, 100, nullptr), 0u);
}

TEST_F(Timer, ALateLoopGetsOneMessageAndANewPeriodFromThen) {
    SetTimer(w, 1, 100, nullptr);
    wl_clock_advance_ms(1050);
    pump_pending();
    EXPECT_EQ(fired_since_start(), (std::vector<Fired>{{1050, 1}}));
    ULONGLONG due;
    ASSERT_TRUE(wl_timer_next_due(&due));
    EXPECT_EQ(due, t0 + 1150);
}

TEST_F(Timer, PeriodsAreHeldToTheMinimum) {
    SetTimer(w, 1, 0, nullptr);
    ULONGLONG due;
    ASSERT_TRUE(wl_timer_next_due(&due));
    EXPECT_EQ(due, t0 + 10);
}

} // namespace
