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
        log.handle("w", [this](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT *r) {
            *r = 0;
            if (m == WM_CHAR || m == WM_KEYDOWN) keys.push_back({m, wp});
            if (m == WM_LBUTTONDOWN) SetCapture(h);
            return m == WM_CLOSE;
        });
        w = log.create("w", WS_POPUP | WS_VISIBLE, 100, 50, 200, 100);
        log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_CHAR, WM_KEYDOWN});
        pump_pending();
        log.clear();
    }
    void TearDown() override { wl_screen_close_window(); }
    static void push(const SDL_Event &e) { SDL_PushEvent(const_cast<SDL_Event *>(&e)); }
    static void mouse(Uint32 type, Uint8 button, int x, int y) {
        SDL_Event e = {};
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.x = x;
            e.motion.y = y;
        } else {
            e.button.button = button;
            e.button.x = x;
            e.button.y = y;
        }
        push(e);
    }
    MessageLog log;
    HWND w = nullptr;
    std::vector<std::pair<UINT, WPARAM>> keys;
};

TEST_F(Desktop, TheLeftButtonIsTheTouchAtHalfScale) {
    mouse(SDL_MOUSEMOTION, 0, 230, 130); // no button held: no touch
    mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 230, 130);
    mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 221, 121);
    mouse(SDL_MOUSEMOTION, 0, 240, 140);
    mouse(SDL_MOUSEMOTION, 0, -3, 1); // held past the window's edge
    mouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 241, 141);
    mouse(SDL_MOUSEMOTION, 0, 250, 150);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"w WM_LBUTTONDOWN 10,10 down", "w WM_MOUSEMOVE 20,20 down",
                                 "w WM_MOUSEMOVE -102,-50 down", "w WM_LBUTTONUP 20,20"}));
}

TEST_F(Desktop, TextAndEditingKeysGoToTheActiveWindow) {
    SDL_Event text = {};
    text.type = SDL_TEXTINPUT;
    strcpy(text.text.text, "a\xC3\xA9"); // "aé"
    push(text);
    for (SDL_Keycode k : {SDLK_BACKSPACE, SDLK_LEFT, SDLK_a}) {
        SDL_Event key = {};
        key.type = SDL_KEYDOWN;
        key.key.keysym.sym = k;
        push(key);
    }
    pump_pending();
    EXPECT_EQ(keys, (std::vector<std::pair<UINT, WPARAM>>{{WM_CHAR, 'a'},
                                                          {WM_CHAR, 0xE9},
                                                          {WM_KEYDOWN, VK_BACK},
                                                          {WM_CHAR, 8},
                                                          {WM_KEYDOWN, VK_LEFT}}));
}

TEST_F(Desktop, TheCloseButtonIsReported) {
    wl_screen_set_close_target(w);
    EXPECT_FALSE(wl_screen_close_requested());
    SDL_Event close = {};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    push(close);
    pump_pending();
    EXPECT_TRUE(wl_screen_close_requested());
    EXPECT_EQ(log.take(), (Lines{"w WM_CLOSE"}));
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
    EXPECT_EQ(width, 1600);
    EXPECT_EQ(height, 960);
    SDL_Renderer *renderer = SDL_GetRenderer(window);
    ASSERT_TRUE(renderer);
    Uint32 pixels[4] = {};
    SDL_Rect at = {198, 100, 4, 1}; // across the window's left edge at (100, 50), doubled
    ASSERT_EQ(SDL_RenderReadPixels(renderer, &at, SDL_PIXELFORMAT_XRGB8888, pixels, 16), 0);
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 0x0A141Eu);
    EXPECT_EQ(pixels[1] & 0xFFFFFF, 0x0A141Eu);
    EXPECT_EQ(pixels[2] & 0xFFFFFF, 0u); // the window: its bitmap is black
    EXPECT_EQ(pixels[3] & 0xFFFFFF, 0u);
}

} // namespace
