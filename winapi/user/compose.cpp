// The frame: each visible top-level window's bitmap copied onto the screen's framebuffer, bottom
// first, over the background colour. A window never draws on the framebuffer itself, so
// overlapping top-level windows need no clipping against each other.
#include <algorithm>

#include <wlgdi.h>
#include <wluser.h>

#include "gdi/gdi_internal.h"
#include "screen/screen.h"
#include "user/user_internal.h"

namespace {

uint32_t g_background = 0; // a surface pixel
bool g_composing = true;

void compose() {
    Surface frame = screen_surface();
    std::fill(frame.pixels, frame.pixels + size_t(frame.stride) * frame.height, g_background);
    for (Window *w : window_top_levels()) {
        if (w->style & WS_VISIBLE)
            gdi_bitmap_copy_to(w->backing, frame, int(w->rect.left), int(w->rect.top));
    }
}

} // namespace

void compose_present_if_dirty() {
    if (!g_composing || !screen_dirty()) return;
    compose();
    screen_present();
}

void compose_shutdown() {
    g_background = 0;
    g_composing = true;
    screen_shutdown();
}

// ---- The layer's own ---------------------------------------------------------------------------

void wl_screen_set_background(COLORREF colour) {
    g_background = pixel_from_colorref(colour & 0xFFFFFF);
    screen_mark_dirty();
}

void wl_screen_set_composing(BOOL on) {
    g_composing = on != FALSE;
}

const uint32_t *wl_screen_pixels(void) {
    compose();
    return screen_surface().pixels;
}

COLORREF wl_screen_pixel(int x, int y) {
    if (x < 0 || y < 0 || x >= WL_SCREEN_WIDTH || y >= WL_SCREEN_HEIGHT) return CLR_INVALID;
    return colorref_from_pixel(wl_screen_pixels()[size_t(y) * WL_SCREEN_WIDTH + x]);
}

BOOL wl_screen_save_png(const char *path) {
    return wl_png_write(wl_screen_pixels(), WL_SCREEN_WIDTH, WL_SCREEN_WIDTH, WL_SCREEN_HEIGHT,
                        path);
}
