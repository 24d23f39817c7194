// The desktop screen on SDL's dummy video driver: mouse events as touch at half the window's
// coordinates, text and editing keys to the active window, the close button, and the picture
// that reaches the window.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <SDL.h>

#include <windows.h>
#include <wluser.h>

#include "support/message_log.h"

namespace {

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_FALSE(wl_screen_open_window(3));
        ASSERT_TRUE(wl_screen_open_window(2));
        log.handle("w", [](HWND h, UINT m, WPARAM, LPARAM, LRESULT *r) {
            if (m == WM_LBUTTONDOWN) SetCapture(h);
            return *r = 0, m == WM_CLOSE;
        });
        w = log.create("w", WS_POPUP | WS_VISIBLE, 100, 50, 200, 100);
        log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT});
        pump_pending();
        log.clear();
    }
    void TearDown() override { wl_screen_close_window(); }
    static void push(Uint32 type, std::function<void(SDL_Event &)> fill) {
        SDL_Event e = {};
        e.type = type;
        fill(e);
        SDL_PushEvent(&e);
    }
    static void mouse(Uint32 type, Uint8 button, int x, int y) {
        push(type, [=](SDL_Event &e) {
            if (type == SDL_MOUSEMOTION)
                e.motion.x = x, e.motion.y = y;
            else
                e.button.button = button, e.button.x = x, e.button.y = y;
        });
    }
    MessageLog log;
    HWND w = nullptr;
};

TEST_F(Desktop, TheLeftButtonIsTheTouchAtHalfScale) {
    mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 230, 130); // not a touch, nor moves after it
    mouse(SDL_MOUSEMOTION, 0, 230, 130);
    mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 221, 121);
    mouse(SDL_MOUSEMOTION, 0, 240, 140);
    mouse(SDL_MOUSEMOTION, 0, -3, 1); // held past the window's edge
    mouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 241, 141);
    mouse(SDL_MOUSEMOTION, 0, 250, 150);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"w WM_LBUTTONDOWN 10,10 down", "w WM_MOUSEMOVE 20,20 down",
                                 "w WM_MOUSEMOVE -102,-50 down", "w WM_LBUTTONUP 20,20"}));
}

TEST_F(Desktop, TextEditingKeysAndTheCloseButtonGoToTheWindow) {
    push(SDL_TEXTINPUT, [](SDL_Event &e) { strcpy(e.text.text, "a\xC3\xA9"); }); // "aé"
    for (SDL_Keycode k : {SDLK_BACKSPACE, SDLK_LEFT, SDLK_a})
        push(SDL_KEYDOWN, [k](SDL_Event &e) { e.key.keysym.sym = k; });
    wl_screen_set_close_target(w);
    EXPECT_FALSE(wl_screen_close_requested());
    push(SDL_WINDOWEVENT, [](SDL_Event &e) { e.window.event = SDL_WINDOWEVENT_CLOSE; });
    pump_pending();
    EXPECT_TRUE(wl_screen_close_requested());
    // The close is sent as the events are read; the keys are posted.
    EXPECT_EQ(log.take(), (Lines{"w WM_CLOSE", "w WM_CHAR a", "w WM_CHAR \xE9",
                                 "w WM_KEYDOWN vk0x8", "w WM_CHAR \b", "w WM_KEYDOWN vk0x25"}));
    wl_screen_set_close_target(nullptr);
}

// The screen, presented when the queue is idle, fills the window at twice its size.
TEST_F(Desktop, TheWindowShowsTheScreenDoubled) {
    wl_screen_set_background(RGB(10, 20, 30));
    pump_pending();
    SDL_Window *window = nullptr; // the layer's only window
    for (Uint32 id = 1; id < 64 && !window; ++id)
        window = SDL_GetWindowFromID(id);
    ASSERT_TRUE(window);
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    EXPECT_EQ(width * 10000 + height, 1600 * 10000 + 960);
    Uint32 pixels[4] = {};
    SDL_Rect at = {198, 100, 4, 1}; // across the window's left edge at (100, 50), doubled
    ASSERT_EQ(
        SDL_RenderReadPixels(SDL_GetRenderer(window), &at, SDL_PIXELFORMAT_XRGB8888, pixels, 16),
        0);
    // The background, then the window: its bitmap is black.
    for (Uint32 &p : pixels)
        p &= 0xFFFFFF;
    EXPECT_EQ(std::vector<Uint32>(pixels, pixels + 4),
              (std::vector<Uint32>{0x0A141E, 0x0A141E, 0, 0}));
}

} // namespace
