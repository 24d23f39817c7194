// Painting: invalidation coalesced into one WM_PAINT, parents before children, erasing with the
// class brush, the clip of BeginPaint, the frame of the non-client area.
#include <gtest/gtest.h>

#include <windows.h>
#include <wlgdi.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/test_bitmap.h"
#include "support/ui_driver.h"

namespace {

constexpr DWORD POPUP = WS_POPUP | WS_VISIBLE;
constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;
const COLORREF SENTINEL = RGB(1, 2, 3);
const COLORREF RED = RGB(255, 0, 0);
const COLORREF BLUE = RGB(0, 0, 255);
const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF BLACK = RGB(0, 0, 0);
const COLORREF GREY = RGB(128, 128, 128);
const COLORREF LIGHT = RGB(192, 192, 192);

// Paints with BeginPaint, keeping what it was given, and fills everything it can with a colour.
struct Painter {
    RECT last = {0, 0, 0, 0};
    BOOL erase = FALSE;
    COLORREF colour = BLUE;
    MessageHandler handler() {
        return [this](HWND h, UINT m, WPARAM, LPARAM, LRESULT *r) {
            if (m != WM_PAINT) return false;
            PAINTSTRUCT ps;
            BeginPaint(h, &ps);
            last = ps.rcPaint;
            erase = ps.fErase;
            HBRUSH b = CreateSolidBrush(colour);
            RECT all{-1000, -1000, 1000, 1000};
            FillRect(ps.hdc, &all, b);
            DeleteObject(b);
            EndPaint(h, &ps);
            *r = 0;
            return true;
        };
    }
};

std::vector<LONG> sides(const RECT &r) {
    return {r.left, r.top, r.right, r.bottom};
}

class Paint : public ::testing::Test {
protected:
    void SetUp() override {
        wl_screen_set_background(SENTINEL);
        log.handle("w", painter.handler());
        w = log.create("w", POPUP, 0, 0, 100, 60);
        pump_pending();
        log.clear();
    }
    MessageLog log;
    Painter painter;
    HWND w = nullptr;
};

TEST_F(Paint, InvalidationIsCoalescedIntoOnePaint) {
    RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
    InvalidateRect(w, &a, FALSE);
    InvalidateRect(w, &b, TRUE);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"w WM_PAINT", "w WM_ERASEBKGND"}));
    EXPECT_EQ(sides(painter.last), (std::vector<LONG>{10, 5, 40, 20}));
    // The class has no brush: the background was not erased, and BeginPaint says so.
    EXPECT_TRUE(painter.erase);
    InvalidateRect(w, &a, FALSE);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"w WM_PAINT"}));
    EXPECT_FALSE(painter.erase);
    pump_pending();
    EXPECT_EQ(log.take(), Lines{});
}

TEST_F(Paint, BeginPaintClipsToTheUpdateRectangle) {
    pump_pending();
    painter.colour = RED;
    RECT r{2, 1, 5, 3};
    InvalidateRect(w, &r, FALSE);
    pump_pending();
    EXPECT_EQ(ui_picture(RECT{0, 0, 7, 4}, {{RED, 'r'}, {BLUE, 'b'}}),
              picture_rows({"bbbbbbb", "bbrrrbb", "bbrrrbb", "bbbbbbb"}));
}

TEST_F(Paint, ParentsPaintBeforeChildrenUnderTheRectangle) {
    log.create("a", CHILD, 10, 10, 20, 20, w);
    log.create("b", CHILD, 50, 10, 20, 20, w); // later, so above a
    pump_pending();
    log.ignore({WM_ERASEBKGND});
    log.clear();
    RECT over_a{0, 0, 15, 15};
    InvalidateRect(w, &over_a, FALSE);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"w WM_PAINT", "a WM_PAINT"}));
    InvalidateRect(w, nullptr, FALSE);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"w WM_PAINT", "a WM_PAINT", "b WM_PAINT"}));
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"w WM_PAINT"}));
}

TEST_F(Paint, UpdateNowPaintsBeforeReturning) {
    log.create("a", CHILD, 10, 10, 20, 20, w);
    pump_pending();
    log.ignore({WM_ERASEBKGND});
    log.clear();
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(log.take(), (Lines{"w WM_PAINT", "a WM_PAINT"}));
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    EXPECT_EQ(log.take(), (Lines{"w WM_PAINT", "a WM_PAINT"}));
    UpdateWindow(w); // nothing invalid: nothing sent
    EXPECT_EQ(log.take(), Lines{});
    EXPECT_FALSE(RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE));
}

TEST_F(Paint, HiddenWindowsGetNoPaintUntilShown) {
    HWND c = log.create("c", WS_CHILD, 10, 10, 20, 20, w);
    pump_pending();
    log.clear();
    InvalidateRect(c, nullptr, TRUE);
    pump_pending();
    EXPECT_EQ(log.take(), Lines{});
    ShowWindow(c, SW_SHOW);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"c WM_SHOWWINDOW 1", "c WM_PAINT", "c WM_ERASEBKGND"}));
    // Hiding it again has the parent paint what it covered.
    ShowWindow(c, SW_HIDE);
    pump_pending();
    EXPECT_EQ(log.take(), (Lines{"c WM_SHOWWINDOW 0", "w WM_PAINT", "w WM_ERASEBKGND"}));
    EXPECT_EQ(sides(painter.last), (std::vector<LONG>{10, 10, 30, 30}));
}

TEST_F(Paint, WindowDcsAreReleased) {
    int before = wl_gdi_object_count();
    HDC dc = GetDC(w);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(wl_gdi_object_count(), before + 1);
    EXPECT_EQ(ReleaseDC(w, dc), 1);
    EXPECT_EQ(ReleaseDC(w, dc), 0);
    InvalidateRect(w, nullptr, TRUE);
    pump_pending();
    EXPECT_EQ(wl_gdi_object_count(), before);
    EXPECT_EQ(GetDC(nullptr), nullptr);
}

LRESULT CALLBACK brushed_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcW(h, m, w, l);
}

struct FrameCase {
    const char *name;
    DWORD style, ex_style;
    std::vector<std::string> picture; // the 6 x 5 window
};

TEST(PaintFrame, DefaultErasesWithTheClassBrushInsideTheFrame) {
    const FrameCase cases[] = {
        {"Plain", 0, 0, {"rrrrrr", "rrrrrr", "rrrrrr", "rrrrrr", "rrrrrr"}},
        {"Border", WS_BORDER, 0, {"kkkkkk", "krrrrk", "krrrrk", "krrrrk", "kkkkkk"}},
        {"ClientEdge", 0, WS_EX_CLIENTEDGE, {"gggggw", "gkkkLw", "gkrrLw", "gLLLLw", "wwwwww"}},
    };
    for (const FrameCase &c : cases) {
        MessageLog log;
        wl_screen_set_background(SENTINEL);
        HBRUSH red = CreateSolidBrush(RED);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = brushed_proc;
        wc.hbrBackground = red;
        wc.lpszClassName = u"brushed";
        RegisterClassW(&wc);
        HWND top = CreateWindowExW(0, u"brushed", u"", POPUP, 10, 10, 20, 20, nullptr, nullptr,
                                   nullptr, nullptr);
        CreateWindowExW(c.ex_style, u"brushed", u"", CHILD | c.style, 2, 3, 6, 5, top, nullptr,
                        nullptr, nullptr);
        pump_pending();
        EXPECT_EQ(ui_picture(RECT{11, 12, 19, 19},
                             {{RED, 'r'}, {BLACK, 'k'}, {GREY, 'g'}, {WHITE, 'w'}, {LIGHT, 'L'}}),
                  picture_rows({"rrrrrrrr", "r" + c.picture[0] + "r", "r" + c.picture[1] + "r",
                                "r" + c.picture[2] + "r", "r" + c.picture[3] + "r",
                                "r" + c.picture[4] + "r", "rrrrrrrr"}))
            << c.name;
        DestroyWindow(top);
        DeleteObject(red);
    }
}

} // namespace
