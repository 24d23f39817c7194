// The framebuffer: each visible top-level window's bitmap copied in, bottom first, over the
// background colour. A window never draws on the framebuffer itself, so overlapping top-level
// windows need no clipping against each other.
#include <string.h>

#include <algorithm>
#include <vector>

#include <wlgdi.h>
#include <wluser.h>

#include "gdi/gdi_internal.h"
#include "kernel/trace.h"
#include "screen/screen.h"
#include "user/user_internal.h"

namespace {

struct Screen {
    std::vector<uint32_t> pixels =
        std::vector<uint32_t>(size_t(WL_SCREEN_WIDTH) * WL_SCREEN_HEIGHT);
    uint32_t background = 0;
    bool dirty = true;
    int frames = 0;
    const ScreenFrontEnd *front_end = &SCREEN_HEADLESS;
};

Screen &screen() {
    static Screen s;
    return s;
}

void fill_background(Screen &s) {
    std::fill(s.pixels.begin(), s.pixels.end(), s.background);
}

// Copies the part of the window's bitmap that lies on the screen.
void copy_window(Screen &s, const Window &w) {
    GdiObject *bitmap = gdi_lookup(w.backing, GDI_BITMAP);
    if (!bitmap) return;
    ClipRect screen_rect{0, 0, WL_SCREEN_WIDTH, WL_SCREEN_HEIGHT};
    ClipRect window{int(w.rect.left), int(w.rect.top), int(w.rect.left) + bitmap->width,
                    int(w.rect.top) + bitmap->height};
    ClipRect r = clip_intersect(screen_rect, window);
    if (clip_empty(r)) return;
    size_t row_bytes = size_t(r.right - r.left) * sizeof(uint32_t);
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t *from =
            bitmap->pixels.data() + size_t(y - window.top) * bitmap->width + (r.left - window.left);
        memcpy(s.pixels.data() + size_t(y) * WL_SCREEN_WIDTH + r.left, from, row_bytes);
    }
}

} // namespace

void screen_set_front_end(const ScreenFrontEnd *front_end) {
    screen().front_end = front_end ? front_end : &SCREEN_HEADLESS;
    screen().dirty = true;
}

const ScreenFrontEnd &screen_front_end() {
    return *screen().front_end;
}

void screen_mark_dirty() {
    screen().dirty = true;
}

void screen_compose() {
    Screen &s = screen();
    fill_background(s);
    for (Window *w : window_top_levels()) {
        if (w->style & WS_VISIBLE) copy_window(s, *w);
    }
}

void screen_present_if_dirty() {
    Screen &s = screen();
    if (!s.dirty) return;
    s.dirty = false;
    screen_compose();
    ++s.frames;
    TRACE(TRACE_SCREEN, "frame %d presented on %s", s.frames, s.front_end->name);
    s.front_end->present(s.pixels.data(), WL_SCREEN_WIDTH, WL_SCREEN_WIDTH, WL_SCREEN_HEIGHT);
}

void screen_shutdown() {
    Screen &s = screen();
    s.frames = 0;
    s.dirty = true;
    s.background = 0;
}

// ---- The layer's own -------------------------------------------------------------------------

void wl_screen_set_background(COLORREF colour) {
    screen().background = pixel_from_colorref(colour & 0xFFFFFF);
    screen().dirty = true;
}

const uint32_t *wl_screen_pixels(void) {
    screen_compose();
    return screen().pixels.data();
}

COLORREF wl_screen_pixel(int x, int y) {
    if (x < 0 || y < 0 || x >= WL_SCREEN_WIDTH || y >= WL_SCREEN_HEIGHT) return CLR_INVALID;
    return colorref_from_pixel(wl_screen_pixels()[size_t(y) * WL_SCREEN_WIDTH + x]);
}

BOOL wl_screen_save_png(const char *path) {
    return wl_png_write(wl_screen_pixels(), WL_SCREEN_WIDTH, WL_SCREEN_WIDTH, WL_SCREEN_HEIGHT,
                        path);
}

int wl_screen_frames(void) {
    return screen().frames;
}
