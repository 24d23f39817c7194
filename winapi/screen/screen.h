// The screen: the framebuffer and the front end that shows it and brings input (headless, or a
// desktop window). It knows nothing of windows: the window manager composes the frame into the
// framebuffer, marks it changed, presents it, and lets the front end poll and wait, handing it
// the sink that the input goes to. Nothing here is visible to the module.
#pragma once

#include <windef.h>

#include "gdi/raster/surface.h"

// Where a front end hands on the input it takes: touch (screen coordinates), typed characters,
// pressed keys (VK_ codes), and a press of the close button of the screen's window.
struct ScreenInput {
    void (*press)(int x, int y);
    void (*move)(int x, int y);
    void (*release)(int x, int y);
    void (*character)(WCHAR c);
    void (*key)(UINT vk);
    void (*close)();
};

// What a front end does for the message loop.
struct ScreenFrontEnd {
    const char *name;
    // Shows the framebuffer (0x00RRGGBB, rows top-down, `stride` pixels apart).
    void (*present)(const uint32_t *pixels, int stride, int width, int height);
    // Takes the input that is waiting, without blocking, into `input`. True if there was any.
    bool (*poll)(const ScreenInput &input);
    // Blocks until input arrives (taken into `input`) or, with `has_deadline`, the real clock
    // reaches `deadline` (a wl_clock_ms value). False if it can't: nothing could ever come
    // (headless, no deadline).
    bool (*wait)(const ScreenInput &input, bool has_deadline, ULONGLONG deadline);
};

// The headless front end: shows nothing, brings no input, waits only for a deadline.
extern const ScreenFrontEnd SCREEN_HEADLESS;

// Chooses the front end (null: headless). The next present shows the frame on it.
void screen_set_front_end(const ScreenFrontEnd *front_end);
const ScreenFrontEnd &screen_front_end();

// The framebuffer, WL_SCREEN_WIDTH x WL_SCREEN_HEIGHT, that the frame is composed into.
Surface screen_surface();
// Something on the screen changed since it was last presented.
void screen_mark_dirty();
bool screen_dirty();
// Shows the framebuffer on the front end and counts the frame; the screen is clean again.
void screen_present();
// Forgets the frame count and marks the screen changed (tear-down).
void screen_shutdown();
