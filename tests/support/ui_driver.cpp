#include "support/ui_driver.h"

#include <gtest/gtest.h>

#include <winlayer.h>
#include <wluser.h>

#include "gdi/raster/surface.h"
#include "support/golden.h"

namespace {

UiStep touch(const std::string &what, std::function<bool()> inject) {
    return UiStep{what, [what, inject](UiDriver &) {
                      EXPECT_TRUE(inject()) << what;
                      return UiStepState::done;
                  }};
}

// Touches the centre of a control found by id with each input in turn; false when there is none.
bool on_control(int id, std::initializer_list<void (*)(int, int)> inputs) {
    UiControl c = ui_find(id);
    for (auto input : inputs)
        if (c.hwnd) input(int(c.centre().x), int(c.centre().y));
    return c.hwnd != nullptr;
}

} // namespace

UiDriver::UiDriver() {
    if (!wl_clock_is_virtual()) {
        SYSTEMTIME start = {2024, 3, 0, 14, 10, 0, 0, 0};
        wl_clock_use_virtual(&start);
        switched_clock_ = true;
    }
}

UiDriver::~UiDriver() {
    wl_user_set_idle_hook(nullptr, nullptr);
    if (switched_clock_) wl_clock_use_real();
}

INT_PTR UiDriver::run(const std::function<INT_PTR()> &flow, std::vector<UiStep> steps) {
    steps_ = std::move(steps), next_ = 0, overran_ = false;
    wl_user_set_idle_hook(&UiDriver::idle, this);
    INT_PTR result = flow();
    wl_user_set_idle_hook(nullptr, nullptr);
    EXPECT_EQ(next_, steps_.size()) << "the flow ended before its steps; next step: "
                                    << (next_ < steps_.size() ? steps_[next_].what : "");
    return result;
}

WlIdleResult UiDriver::idle(void *self) {
    return static_cast<UiDriver *>(self)->on_idle();
}

WlIdleResult UiDriver::on_idle() {
    if (next_ < steps_.size()) {
        if (steps_[next_].run(*this) == UiStepState::again) return WL_IDLE_WAIT;
        ++next_;
        return WL_IDLE_BUSY;
    }
    // Out of steps with the flow still running: close its windows so that the test ends.
    if (!overran_) ADD_FAILURE() << "the flow is still running after its last step";
    overran_ = true;
    HWND top = wl_window_top();
    if (!top) return WL_IDLE_WAIT;
    if (!EndDialog(top, -1)) {
        DestroyWindow(top);
        PostMessageW(nullptr, WM_NULL, 0, 0); // a modal loop looks at its dialog again
    }
    return WL_IDLE_BUSY;
}

UiControl ui_control(HWND hwnd) {
    UiControl c;
    WlWindowInfo info;
    if (!wl_window_info(hwnd, &info)) return c;
    WCHAR text[1024];
    GetWindowTextW(hwnd, text, 1024);
    c = {hwnd,     info.class_name, text, info.id, info.enabled != FALSE, info.visible != FALSE,
         info.rect};
    return c;
}

UiControl ui_find(int id) {
    std::vector<HWND> list(size_t(wl_window_list(nullptr, 0)));
    list.resize(size_t(std::max(0, wl_window_list(list.data(), int(list.size())))));
    for (HWND h : list) {
        UiControl c = ui_control(h);
        if (c.visible && c.id == id && id != 0) return c;
    }
    return UiControl{};
}

COLORREF ui_pixel(int x, int y) {
    return wl_screen_pixel(x, y);
}

std::string ui_picture(const RECT &area, const std::vector<std::pair<COLORREF, char>> &legend) {
    const uint32_t *pixels = wl_screen_pixels(); // composed once
    std::string out;
    for (LONG y = area.top; y < area.bottom; ++y) {
        if (y > area.top) out += '\n';
        for (LONG x = area.left; x < area.right; ++x) {
            bool on = x >= 0 && y >= 0 && x < WL_SCREEN_WIDTH && y < WL_SCREEN_HEIGHT;
            COLORREF c = on ? colorref_from_pixel(pixels[y * WL_SCREEN_WIDTH + x]) : CLR_INVALID;
            char ch = '?';
            for (const auto &entry : legend)
                if (entry.first == c) ch = entry.second;
            out += ch;
        }
    }
    return out;
}

namespace ui {

UiStep press(int x, int y) {
    return touch("press", [=] { return wl_input_press(x, y), true; });
}
UiStep move(int x, int y) {
    return touch("move", [=] { return wl_input_move(x, y), true; });
}
UiStep release(int x, int y) {
    return touch("release", [=] { return wl_input_release(x, y), true; });
}
UiStep tap(int x, int y) {
    return touch("tap", [=] { return wl_input_press(x, y), wl_input_release(x, y), true; });
}
UiStep tap(int id) {
    return touch("tap control " + std::to_string(id), [id] {
        return on_control(id, {wl_input_press, wl_input_release});
    });
}
// The first call sets the target; each call lets the loop wait for the timers before it, and
// the last moves the clock the rest of the way.
UiStep advance(ULONGLONG ms) {
    return UiStep{"advance " + std::to_string(ms) + " ms", [ms](UiDriver &d) {
                      if (!d.advancing) d.advancing = true, d.target = wl_clock_ms() + ms;
                      ULONGLONG due;
                      if (wl_timer_next_due(&due) && due <= d.target) return UiStepState::again;
                      wl_clock_advance_ms(d.target - wl_clock_ms());
                      d.advancing = false;
                      return UiStepState::done;
                  }};
}

UiStep check(std::function<void()> body, const std::string &what) {
    return UiStep{what, [body](UiDriver &) { return body(), UiStepState::done; }};
}

UiStep expect_golden(const std::string &name) {
    return check(
        [name] {
            Surface s{const_cast<uint32_t *>(wl_screen_pixels()), WL_SCREEN_WIDTH, WL_SCREEN_WIDTH,
                      WL_SCREEN_HEIGHT};
            EXPECT_TRUE(golden_match(s, name.c_str()));
        },
        "golden " + name);
}

UiStep close() {
    return touch("close", [] { return PostMessageW(wl_window_top(), WM_CLOSE, 0, 0) != FALSE; });
}

UiStep end_dialog(INT_PTR result) {
    return touch("end dialog", [result] { return EndDialog(wl_window_top(), result) != FALSE; });
}

} // namespace ui
