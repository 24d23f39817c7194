// The headless front end: nothing is shown and no input comes but what the program injects;
// snapshots are taken through wl_screen_save_png.
#include "kernel/clock_internal.h"
#include "screen/screen.h"

namespace {

void headless_present(const uint32_t *, int, int, int) {}

bool headless_poll(const ScreenInput &) {
    return false;
}

// Only the clock can bring something: a timer's deadline is waited for (on the real clock, by
// sleeping); without one, waiting would never end.
bool headless_wait(const ScreenInput &, bool has_deadline, ULONGLONG deadline) {
    if (!has_deadline) return false;
    clock_advance_to(deadline);
    return true;
}

} // namespace

const ScreenFrontEnd SCREEN_HEADLESS = {"headless", headless_present, headless_poll, headless_wait};
