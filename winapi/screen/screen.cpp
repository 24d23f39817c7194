// The framebuffer, the front end that shows it, and the count of frames presented.
#include <vector>

#include <wluser.h>

#include "kernel/trace.h"
#include "screen/screen.h"

namespace {

struct Screen {
    std::vector<uint32_t> pixels =
        std::vector<uint32_t>(size_t(WL_SCREEN_WIDTH) * WL_SCREEN_HEIGHT);
    bool dirty = true;
    int frames = 0;
    const ScreenFrontEnd *front_end = &SCREEN_HEADLESS;
};

Screen &screen() {
    static Screen s;
    return s;
}

} // namespace

void screen_set_front_end(const ScreenFrontEnd *front_end) {
    screen().front_end = front_end ? front_end : &SCREEN_HEADLESS;
    screen().dirty = true;
}

const ScreenFrontEnd &screen_front_end() {
    return *screen().front_end;
}

Surface screen_surface() {
    return Surface{screen().pixels.data(), WL_SCREEN_WIDTH, WL_SCREEN_WIDTH, WL_SCREEN_HEIGHT};
}

void screen_mark_dirty() {
    screen().dirty = true;
}

bool screen_dirty() {
    return screen().dirty;
}

void screen_present() {
    Screen &s = screen();
    s.dirty = false;
    ++s.frames;
    TRACE(TRACE_SCREEN, "frame %d presented on %s", s.frames, s.front_end->name);
    s.front_end->present(s.pixels.data(), WL_SCREEN_WIDTH, WL_SCREEN_WIDTH, WL_SCREEN_HEIGHT);
}

void screen_shutdown() {
    screen().frames = 0;
    screen().dirty = true;
}

// ---- The layer's own -------------------------------------------------------------------------

int wl_screen_frames(void) {
    return screen().frames;
}
