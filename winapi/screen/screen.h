// The screen: the framebuffer that the top-level windows are composed into, and the front end
// that shows it and brings input (headless, or a desktop window). Nothing here is visible to
// the module.
#pragma once

#include <windef.h>

// What a front end does for the message loop. Input is handed on with the wl_input_* calls.
struct ScreenFrontEnd {
    const char *name;
    // Shows the composed framebuffer (0x00RRGGBB, rows top-down, `stride` pixels apart).
    void (*present)(const uint32_t *pixels, int stride, int width, int height);
    // Takes the input that is waiting, without blocking. True if there was any.
    bool (*poll)();
    // Blocks until input arrives or, with `has_deadline`, the real clock reaches `deadline`
    // (a wl_clock_ms value). False if it can't: nothing could ever come (headless, no deadline).
    bool (*wait)(bool has_deadline, ULONGLONG deadline);
};

// The headless front end: shows nothing, brings no input, waits only for a deadline.
extern const ScreenFrontEnd SCREEN_HEADLESS;

// Chooses the front end (null: headless).
void screen_set_front_end(const ScreenFrontEnd *front_end);
const ScreenFrontEnd &screen_front_end();

// Something drawn or moved: the next idle composes and presents the screen.
void screen_mark_dirty();
// Composes and presents the screen if it changed since it was last presented.
void screen_present_if_dirty();
// Composes the visible top-level windows, bottom first, into the framebuffer.
void screen_compose();
// Forgets the front end's frame count and the dirty mark (tear-down).
void screen_shutdown();
