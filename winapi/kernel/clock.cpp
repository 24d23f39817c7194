// The one clock: local time, ticks and Sleep, on the PC's real clock or on a virtual one that
// only moves when told to.
#include <errno.h>
#include <sched.h>
#include <time.h>

#include "winbase.h"
#include "winlayer.h"
#include "kernel/clock_internal.h"

namespace {

constexpr LONGLONG MS_PER_DAY = 86400000;

struct Clock {
    bool is_virtual;
    ULONGLONG virtual_ms; // ticks of the virtual clock
    LONGLONG local_ms;    // virtual local time, in ms since 1970-01-01 00:00 local
    LONGLONG real_bias;   // added to the monotonic clock, so ticks go on across a switch
    ULONGLONG last_ms;    // the latest tick value handed out: ticks never go back
};

Clock g_clock;

LONGLONG floor_div(LONGLONG a, LONGLONG b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}
LONGLONG floor_mod(LONGLONG a, LONGLONG b) {
    return a - floor_div(a, b) * b;
}

// Days since 1970-01-01 of a date of the Gregorian calendar, and back. The years are counted
// in 400-year eras of 146097 days, inside which the calendar repeats; March is taken as the
// first month so that the leap day falls at the end of a year.
LONGLONG days_from_date(LONGLONG y, unsigned m, unsigned d) {
    y -= m <= 2;
    LONGLONG era = floor_div(y, 400);
    unsigned yoe = unsigned(y - era * 400);
    unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + LONGLONG(doe) - 719468;
}

void date_from_days(LONGLONG days, SYSTEMTIME *t) {
    days += 719468;
    LONGLONG era = floor_div(days, 146097);
    unsigned doe = unsigned(days - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    unsigned m = mp < 10 ? mp + 3 : mp - 9;
    t->wYear = WORD(LONGLONG(yoe) + era * 400 + (m <= 2));
    t->wMonth = WORD(m);
    t->wDay = WORD(doy - (153 * mp + 2) / 5 + 1);
}

bool is_leap(unsigned y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned days_in_month(unsigned y, unsigned m) {
    static const unsigned DAYS[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && is_leap(y) ? 29 : DAYS[m - 1];
}

// The range SetLocalTime accepts; the day of the week is ignored, as SetLocalTime ignores it.
bool time_valid(const SYSTEMTIME *t) {
    return t->wYear >= 1601 && t->wYear <= 30827 && t->wMonth >= 1 && t->wMonth <= 12 &&
           t->wDay >= 1 && t->wDay <= days_in_month(t->wYear, t->wMonth) && t->wHour < 24 &&
           t->wMinute < 60 && t->wSecond < 60 && t->wMilliseconds < 1000;
}

LONGLONG local_ms_from_time(const SYSTEMTIME *t) {
    LONGLONG ms_of_day = ((t->wHour * 60LL + t->wMinute) * 60 + t->wSecond) * 1000;
    return days_from_date(t->wYear, t->wMonth, t->wDay) * MS_PER_DAY + ms_of_day + t->wMilliseconds;
}

void time_from_local_ms(LONGLONG local_ms, SYSTEMTIME *t) {
    LONGLONG days = floor_div(local_ms, MS_PER_DAY);
    LONGLONG ms = floor_mod(local_ms, MS_PER_DAY);
    date_from_days(days, t);
    // 1970-01-01 was a Thursday; Sunday is 0.
    t->wDayOfWeek = WORD(floor_mod(days + 4, 7));
    t->wHour = WORD(ms / 3600000);
    t->wMinute = WORD(ms / 60000 % 60);
    t->wSecond = WORD(ms / 1000 % 60);
    t->wMilliseconds = WORD(ms % 1000);
}

LONGLONG real_local_ms() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local;
    localtime_r(&ts.tv_sec, &local);
    return (LONGLONG(ts.tv_sec) + local.tm_gmtoff) * 1000 + ts.tv_nsec / 1000000;
}

LONGLONG monotonic_ms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return LONGLONG(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void sleep_until_monotonic(LONGLONG ms) {
    timespec ts{time_t(ms / 1000), long(ms % 1000) * 1000000};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

} // namespace

void wl_clock_use_real(void) {
    if (!g_clock.is_virtual) return;
    g_clock.real_bias = LONGLONG(g_clock.virtual_ms) - monotonic_ms();
    g_clock.is_virtual = false;
}

void wl_clock_use_virtual(const SYSTEMTIME *start) {
    if (start != nullptr && !time_valid(start)) return;
    if (!g_clock.is_virtual) {
        g_clock.virtual_ms = wl_clock_ms();
        g_clock.is_virtual = true;
    }
    g_clock.local_ms = start != nullptr ? local_ms_from_time(start) : real_local_ms();
}

BOOL wl_clock_is_virtual(void) {
    return g_clock.is_virtual ? TRUE : FALSE;
}

void wl_clock_advance_ms(ULONGLONG ms) {
    if (!g_clock.is_virtual) return;
    g_clock.virtual_ms += ms;
    g_clock.local_ms += LONGLONG(ms);
    g_clock.last_ms = g_clock.virtual_ms;
}

ULONGLONG wl_clock_ms(void) {
    if (g_clock.is_virtual) return g_clock.virtual_ms;
    LONGLONG now = monotonic_ms() + g_clock.real_bias;
    if (now > LONGLONG(g_clock.last_ms)) g_clock.last_ms = ULONGLONG(now);
    return g_clock.last_ms;
}

void wl_clock_set_local_time(const SYSTEMTIME *now) {
    if (g_clock.is_virtual && now != nullptr && time_valid(now))
        g_clock.local_ms = local_ms_from_time(now);
}

void clock_advance_to(ULONGLONG when) {
    ULONGLONG now = wl_clock_ms();
    if (when <= now) return;
    if (g_clock.is_virtual)
        wl_clock_advance_ms(when - now);
    else
        sleep_until_monotonic(LONGLONG(when) - g_clock.real_bias);
}

void GetLocalTime(LPSYSTEMTIME time) {
    if (time != nullptr)
        time_from_local_ms(g_clock.is_virtual ? g_clock.local_ms : real_local_ms(), time);
}

// Wraps after 49.7 days, as on Windows.
DWORD GetTickCount(void) {
    return DWORD(wl_clock_ms());
}

// On the virtual clock the time passes at once; nothing else could move it meanwhile.
void Sleep(DWORD milliseconds) {
    if (g_clock.is_virtual) {
        wl_clock_advance_ms(milliseconds);
        return;
    }
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    timespec left{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000};
    while (nanosleep(&left, &left) == -1 && errno == EINTR) {
    }
}
