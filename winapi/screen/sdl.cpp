// The desktop front end: the screen in an SDL2 window at scale 1 or 2. The left mouse button is
// the touch; typed text, the editing keys and the close button go to the input sink that the
// window manager passes to poll and wait. Waiting blocks in SDL until an event comes or the next
// timer is due.
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <SDL.h>

#include <winlayer.h>
#include <winuser.h>
#include <wluser.h>

#include "kernel/trace.h"
#include "kernel/utf.h"
#include "screen/screen.h"

namespace {

struct Desktop {
    SDL_Window *window = nullptr;
    SDL_Renderer *renderer = nullptr;
    SDL_Texture *texture = nullptr;
    int scale = 1;
    bool button = false; // the left button is held: moves are touch moves
    bool close_requested = false;
};

Desktop &desktop() {
    static Desktop d;
    return d;
}

void show(const Desktop &d) {
    SDL_RenderClear(d.renderer);
    SDL_RenderCopy(d.renderer, d.texture, nullptr, nullptr);
    SDL_RenderPresent(d.renderer);
}

void sdl_present(const uint32_t *pixels, int stride, int, int) {
    Desktop &d = desktop();
    if (!d.texture) return;
    SDL_UpdateTexture(d.texture, nullptr, pixels, stride * int(sizeof(uint32_t)));
    show(d);
}

// Window pixels to screen pixels; a drag held past the window's left or top edge stays
// negative.
int unscale(int v) {
    int s = desktop().scale;
    return v >= 0 ? v / s : -((-v + s - 1) / s);
}

void on_button(const ScreenInput &input, const SDL_MouseButtonEvent &e, bool down) {
    Desktop &d = desktop();
    if (e.button != SDL_BUTTON_LEFT || d.button == down) return;
    d.button = down;
    (down ? input.press : input.release)(unscale(e.x), unscale(e.y));
}

void on_text(const ScreenInput &input, const char *utf8) {
    for (char16_t c : utf_from_utf8(utf8))
        input.character(c);
}

// The editing keys as WM_KEYDOWN; those that type a control character also as WM_CHAR, which
// SDL's text input does not bring.
void on_key(const ScreenInput &input, SDL_Keycode key) {
    struct KeyMap {
        SDL_Keycode key;
        UINT vk;
        WCHAR ch;
    };
    static const KeyMap KEYS[] = {
        {SDLK_BACKSPACE, VK_BACK, 8},   {SDLK_TAB, VK_TAB, 9},        {SDLK_RETURN, VK_RETURN, 13},
        {SDLK_KP_ENTER, VK_RETURN, 13}, {SDLK_ESCAPE, VK_ESCAPE, 27}, {SDLK_LEFT, VK_LEFT, 0},
        {SDLK_RIGHT, VK_RIGHT, 0},      {SDLK_UP, VK_UP, 0},          {SDLK_DOWN, VK_DOWN, 0},
        {SDLK_HOME, VK_HOME, 0},        {SDLK_END, VK_END, 0},        {SDLK_DELETE, VK_DELETE, 0},
    };
    for (const KeyMap &k : KEYS) {
        if (k.key != key) continue;
        input.key(k.vk);
        if (k.ch) input.character(k.ch);
        return;
    }
}

void on_close(const ScreenInput &input) {
    TRACE(TRACE_SCREEN, "desktop window: close pressed");
    desktop().close_requested = true;
    input.close();
}

void on_window_event(const ScreenInput &input, const SDL_WindowEvent &e) {
    if (e.event == SDL_WINDOWEVENT_EXPOSED) show(desktop());
    if (e.event == SDL_WINDOWEVENT_CLOSE) on_close(input);
}

void handle(const ScreenInput &input, const SDL_Event &e) {
    switch (e.type) {
    case SDL_MOUSEBUTTONDOWN: on_button(input, e.button, true); break;
    case SDL_MOUSEBUTTONUP: on_button(input, e.button, false); break;
    case SDL_MOUSEMOTION:
        if (desktop().button) input.move(unscale(e.motion.x), unscale(e.motion.y));
        break;
    case SDL_TEXTINPUT: on_text(input, e.text.text); break;
    case SDL_KEYDOWN: on_key(input, e.key.keysym.sym); break;
    case SDL_WINDOWEVENT: on_window_event(input, e.window); break;
    case SDL_QUIT: on_close(input); break;
    default: break;
    }
}

bool sdl_poll(const ScreenInput &input) {
    SDL_Event e;
    bool any = false;
    while (SDL_PollEvent(&e)) {
        handle(input, e);
        any = true;
    }
    return any;
}

bool sdl_wait(const ScreenInput &input, bool has_deadline, ULONGLONG deadline) {
    SDL_Event e;
    int got;
    if (has_deadline) {
        ULONGLONG now = wl_clock_ms();
        if (deadline <= now) return true;
        ULONGLONG left = deadline - now;
        got = SDL_WaitEventTimeout(&e, left > INT_MAX ? INT_MAX : int(left));
    } else {
        got = SDL_WaitEvent(&e);
    }
    if (got) {
        handle(input, e);
        sdl_poll(input);
    }
    return true;
}

const ScreenFrontEnd SCREEN_SDL = {"desktop", sdl_present, sdl_poll, sdl_wait};

void destroy(Desktop &d) {
    if (d.texture) SDL_DestroyTexture(d.texture);
    if (d.renderer) SDL_DestroyRenderer(d.renderer);
    if (d.window) SDL_DestroyWindow(d.window);
    d.texture = nullptr;
    d.renderer = nullptr;
    d.window = nullptr;
}

// The window, a renderer (accelerated if there is one) and a texture of the screen's size that
// is stretched over the window without smoothing.
bool create(Desktop &d, int scale) {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    d.window = SDL_CreateWindow("Screen", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                WL_SCREEN_WIDTH * scale, WL_SCREEN_HEIGHT * scale, 0);
    if (!d.window) return false;
    d.renderer = SDL_CreateRenderer(d.window, -1, 0);
    if (!d.renderer) d.renderer = SDL_CreateRenderer(d.window, -1, SDL_RENDERER_SOFTWARE);
    if (!d.renderer) return false;
    d.texture = SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING,
                                  WL_SCREEN_WIDTH, WL_SCREEN_HEIGHT);
    return d.texture != nullptr;
}

// Without a display SDL falls back to drivers that show nothing; those count only when asked
// for by name (SDL_VIDEODRIVER), as tests do.
bool real_display() {
    const char *driver = SDL_GetCurrentVideoDriver();
    if (!driver) return false;
    if (strcmp(driver, "offscreen") != 0 && strcmp(driver, "dummy") != 0) return true;
    const char *wanted = getenv("SDL_VIDEODRIVER");
    return wanted && strcmp(wanted, driver) == 0;
}

} // namespace

// ---- The layer's own ---------------------------------------------------------------------------

BOOL wl_screen_open_window(int scale) {
    if (scale != 1 && scale != 2) return FALSE;
    wl_screen_close_window();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0 || !real_display()) {
        TRACE(TRACE_SCREEN, "desktop window: no display (%s)", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return FALSE;
    }
    Desktop &d = desktop();
    if (!create(d, scale)) {
        TRACE(TRACE_SCREEN, "desktop window: %s", SDL_GetError());
        destroy(d);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return FALSE;
    }
    d.scale = scale;
    d.button = false;
    d.close_requested = false;
    SDL_StartTextInput();
    screen_set_front_end(&SCREEN_SDL);
    return TRUE;
}

void wl_screen_close_window(void) {
    Desktop &d = desktop();
    if (!d.window) return;
    SDL_StopTextInput();
    destroy(d);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    screen_set_front_end(nullptr);
}

BOOL wl_screen_close_requested(void) {
    return desktop().close_requested ? TRUE : FALSE;
}
