// A driver for UI tests: runs a modal flow headless (a DialogBox call, or wfalstart) and, each
// time its message loop is idle, runs the next step of a list (tap, press, let the virtual clock
// run, check, compare with a stored screen), nested dialogs included. The flow must end by its
// last step: a flow still running after it is a failure, and the driver closes its windows.
#pragma once

#include <windows.h>
#include <wluser.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// What a step answers: done (the next idle runs the next step), or call again at the next idle
// after the loop has waited for the clock (a step that lets time pass).
enum class UiStepState { done, again };

class UiDriver;

struct UiStep {
    std::string what; // for failure messages
    std::function<UiStepState(UiDriver &)> run;
};

// A window as a test sees it.
struct UiControl {
    HWND hwnd = nullptr;
    std::u16string class_name;
    std::u16string text;
    int id = 0;
    bool enabled = false;
    bool visible = false;
    RECT rect = {0, 0, 0, 0}; // screen coordinates
    POINT centre() const {
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
};

class UiDriver {
public:
    // Switches to the virtual clock (at a fixed date) unless it is virtual already, and back
    // to the real clock at the end.
    UiDriver();
    ~UiDriver();
    UiDriver(const UiDriver &) = delete;
    UiDriver &operator=(const UiDriver &) = delete;

    // Runs the flow with the steps; returns the flow's result.
    INT_PTR run(const std::function<INT_PTR()> &flow, std::vector<UiStep> steps);

    // Where advance() is heading (clock ms), used by the clock step.
    ULONGLONG target = 0;
    bool advancing = false;

private:
    static WlIdleResult idle(void *self);
    WlIdleResult on_idle();

    std::vector<UiStep> steps_;
    size_t next_ = 0;
    bool overran_ = false;
    bool switched_clock_ = false;
};

// Looking at the windows: the first visible window (top-level windows from the topmost,
// children from the topmost) with the id (a child). An empty UiControl if none.
UiControl ui_find(int id);
UiControl ui_control(HWND hwnd);
// A pixel of the composed screen.
COLORREF ui_pixel(int x, int y);
// A part of the composed screen as rows of characters joined by '\n' (the form of
// picture_rows): each pixel is the character of its colour in `legend`, '?' for any other.
std::string ui_picture(const RECT &area, const std::vector<std::pair<COLORREF, char>> &legend);

namespace ui {
// Touch at a screen point.
UiStep press(int x, int y);
UiStep move(int x, int y);
UiStep release(int x, int y);
UiStep tap(int x, int y);
// Touch at the centre of the control with the id; the step fails if there is none.
UiStep tap(int id);
// Lets `ms` of virtual time pass: due timers fire in order and windows repaint on the way.
UiStep advance(ULONGLONG ms);
// Runs expectations (or any action) at this moment.
UiStep check(std::function<void()> body, const std::string &what = "check");
// Compares the screen with the stored image tests/golden/NAME.png.
UiStep expect_golden(const std::string &name);
// WM_CLOSE to the topmost window.
UiStep close();
// EndDialog of the topmost window with the result.
UiStep end_dialog(INT_PTR result);
} // namespace ui
