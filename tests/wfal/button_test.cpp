// The "btn" control: its looks and edges pixel by pixel, where its caption goes, and how a press
// becomes a click.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

#include "gdi/raster/surface.h"
#include "support/golden.h"
#include "support/module_ui.h"
#include "support/test_bitmap.h"

namespace {

constexpr COLORREF SENTINEL = RGB(1, 2, 3);
const std::vector<std::pair<COLORREF, char>> LEGEND = {
    {0xFFFFFF, 'W'}, {0x000000, 'K'}, {0xD0D0D0, 'G'}, {0x808080, 'S'},
    {0x00C000, 'N'}, {0x0000FF, 'R'}, {0xFF190B, 'B'},
};

using ButtonTest = ModuleUiTest;

enum class State { normal, pressed, disabled };

void put_in_state(HWND b, State state) {
    if (state == State::pressed) SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    if (state == State::disabled) EnableWindow(b, FALSE);
}

struct LookCase {
    const char *name;
    ControlStyle *style;
    State state;
    std::vector<std::string> rows; // an 8 x 6 button on a 10 x 7 sentinel bitmap
};

// Outer bevel white/black, inner grey/shadow, each corner line leaving out its last point.
const LookCase LOOK_CASES[] = {
    {"normal key",
     &style_normal,
     State::normal,
     {"WWWWWWWG..", "WGGGGGGK..", "WGGGGGSK..", "WGGGGGSK..", "WSSSSSSK..", "KKKKKKKK..",
      ".........."}},
    {"pressed key swaps the bevels",
     &style_normal,
     State::pressed,
     {"KKKKKKKG..", "KSSSSSGW..", "KSGGGGGW..", "KSGGGGGW..", "KGGGGGGW..", "WWWWWWWW..",
      ".........."}},
    {"selected option is green",
     &style_selected,
     State::normal,
     {"WWWWWWWN..", "WGGGGGNK..", "WGNNNNSK..", "WGNNNNSK..", "WSSSSSSK..", "KKKKKKKK..",
      ".........."}},
    {"disabled selected option is grey",
     &style_selected,
     State::disabled,
     {"WWWWWWWG..", "WGGGGGGK..", "WGGGGGSK..", "WGGGGGSK..", "WSSSSSSK..", "KKKKKKKK..",
      ".........."}},
    {"pressed alarm key",
     &style_alarm,
     State::pressed,
     {"KKKKKKKR..", "KSSSSSRW..", "KSRRRRGW..", "KSRRRRGW..", "KGGGGGGW..", "WWWWWWWW..",
      ".........."}},
    {"heading has no edges",
     &style_header,
     State::disabled,
     {"BBBBBBBB..", "BBBBBBBB..", "BBBBBBBB..", "BBBBBBBB..", "BBBBBBBB..", "BBBBBBBB..",
      ".........."}},
};

TEST_F(ButtonTest, LooksAndEdges) {
    for (const LookCase &c : LOOK_CASES) {
        HWND b = make_button(1, u"", 0, 0, 8, 6, c.style);
        put_in_state(b, c.state);
        TestBitmap bitmap(10, 7, SENTINEL);
        RECT update = {0, 0, 8, 6};
        button_paint(b, bitmap.dc, update);
        EXPECT_EQ(bitmap.picture(LEGEND), picture_rows(c.rows)) << c.name;
        DestroyWindow(b);
    }
}

// Where the caption goes, checked against the same text drawn by hand at the place the
// placement rule gives.
struct PlacementCase {
    const char *name;
    int mode;
    bool pressed;
    const WCHAR *caption;
};

const PlacementCase PLACEMENT_CASES[] = {
    {"centred", TEXT_MODE_CENTRED, false, u"Ab"},
    {"centred, pressed", TEXT_MODE_CENTRED, true, u"Ab"},
    {"left", TEXT_MODE_LEFT, false, u"Ab"},
    {"right", TEXT_MODE_RIGHT, false, u"Ab"},
    {"wrapped left", TEXT_MODE_WRAP_LEFT, false, u"one two three"},
    {"wrapped centred", TEXT_MODE_WRAP_CENTRED, false, u"one two three"},
    {"wrapped centred, pressed", TEXT_MODE_WRAP_CENTRED, true, u"one two three"},
    {"two fonts", TEXT_MODE_TWO_FONTS, false, u"A\2b\1C"},
    {"two fonts, pressed", TEXT_MODE_TWO_FONTS, true, u"A\2b\1C"},
};

constexpr int PW = 61, PH = 33;

SIZE extent(HDC dc, HFONT font, const WCHAR *text, int n) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE s = {0, 0};
    GetTextExtentPoint32W(dc, text, n, &s);
    SelectObject(dc, old);
    return s;
}

void draw_at(HDC dc, HFONT font, int x, int y, const WCHAR *text, int n) {
    HGDIOBJ old = SelectObject(dc, font);
    ExtTextOutW(dc, x, y, 0, nullptr, text, UINT(n), nullptr);
    SelectObject(dc, old);
}

void draw_expected(HDC dc, const ControlStyle &s, const PlacementCase &c) {
    int p = c.pressed ? 1 : 0, n = int(std::u16string(c.caption).size());
    HBRUSH face = CreateSolidBrush(0xFF190B);
    RECT all = {0, 0, PW, PH};
    FillRect(dc, &all, face);
    DeleteObject(face);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0xFFFFFF);
    SIZE size = extent(dc, s.font, c.caption, n);
    int y = (PH - size.cy) / 2;
    if (c.mode == TEXT_MODE_CENTRED)
        draw_at(dc, s.font, (PW - size.cx) / 2 + p, y + p, c.caption, n);
    if (c.mode == TEXT_MODE_LEFT) draw_at(dc, s.font, 1 + p, y + p, c.caption, n);
    if (c.mode == TEXT_MODE_RIGHT)
        draw_at(dc, s.font, 2 * ((PW - size.cx) / 2) + p, y + p, c.caption, n);
    HGDIOBJ old = SelectObject(dc, s.font);
    RECT left = {8, 4, PW - 2, PH - 2};
    RECT centred = c.pressed ? RECT{1, 5, PW, PH - 1} : RECT{0, 4, PW - 1, PH - 1};
    if (c.mode == TEXT_MODE_WRAP_LEFT)
        DrawTextW(dc, c.caption, n, &left, DT_WORDBREAK | DT_NOPREFIX);
    if (c.mode == TEXT_MODE_WRAP_CENTRED)
        DrawTextW(dc, c.caption, n, &centred, DT_WORDBREAK | DT_NOPREFIX | DT_CENTER);
    SelectObject(dc, old);
    if (c.mode != TEXT_MODE_TWO_FONTS) return;
    // "A" and "C" in the first font on its row, "b" in the second, ending a pixel higher.
    SIZE small = extent(dc, s.font2, c.caption, n);
    int y1 = y + size.cy - small.cy - 1;
    int xa = 1, xb = xa + extent(dc, s.font, u"A", 1).cx, xc = xb + extent(dc, s.font2, u"b", 1).cx;
    draw_at(dc, s.font, xa + p, y + p, u"A", 1);
    draw_at(dc, s.font2, xb + p, y1 + p, u"b", 1);
    draw_at(dc, s.font, xc + p, y + p, u"C", 1);
}

int count_colour(const TestBitmap &b, COLORREF colour) {
    int n = 0;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            n += b.at(x, y) == colour;
    return n;
}

TEST_F(ButtonTest, CaptionPlacement) {
    for (const PlacementCase &c : PLACEMENT_CASES) {
        ControlStyle style = style_header;  // flat: nothing but face and caption
        style.font = style.font2 = nullptr; // its own fonts, deleted below
        style.text_mode = c.mode;
        style.font2_height = 14;
        style.font2_width = 0;
        HWND b = make_button(1, c.caption, 0, 0, PW, PH, &style);
        if (c.pressed) SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        TestBitmap actual(PW, PH, SENTINEL), expected(PW, PH, SENTINEL);
        RECT update = {0, 0, PW, PH};
        button_paint(b, actual.dc, update);
        draw_expected(expected.dc, style, c);
        EXPECT_GT(count_colour(actual, 0xFFFFFF), 20) << c.name << ": no caption drawn";
        EXPECT_EQ(actual.picture(LEGEND), expected.picture(LEGEND)) << c.name;
        DestroyWindow(b);
        DeleteObject(style.font);
        DeleteObject(style.font2);
    }
}

// ---- On the screen -------------------------------------------------------------------------

constexpr int BX = 40, BY = 30, BW = 80, BH = 40;

struct Touch {
    enum Kind { press, move, release } kind;
    int x, y; // screen
};

struct ClickCase {
    const char *name;
    bool disabled;
    std::vector<Touch> touches;
    size_t clicks;
};

const POINT INSIDE = {BX + 10, BY + 10};
const POINT OUTSIDE = {BX + BW + 20, BY + 10};
const POINT ABOVE_LEFT = {BX - 5, BY - 5}; // negative in the button's coordinates

const ClickCase CLICK_CASES[] = {
    {"tap", false, {{Touch::press, INSIDE.x, INSIDE.y}, {Touch::release, INSIDE.x, INSIDE.y}}, 1},
    {"slide out, release",
     false,
     {{Touch::press, INSIDE.x, INSIDE.y},
      {Touch::move, OUTSIDE.x, OUTSIDE.y},
      {Touch::release, OUTSIDE.x, OUTSIDE.y}},
     0},
    {"slide out and back in",
     false,
     {{Touch::press, INSIDE.x, INSIDE.y},
      {Touch::move, OUTSIDE.x, OUTSIDE.y},
      {Touch::move, INSIDE.x, INSIDE.y},
      {Touch::release, INSIDE.x, INSIDE.y}},
     1},
    {"release above and left",
     false,
     {{Touch::press, INSIDE.x, INSIDE.y}, {Touch::release, ABOVE_LEFT.x, ABOVE_LEFT.y}},
     0},
    {"disabled",
     true,
     {{Touch::press, INSIDE.x, INSIDE.y}, {Touch::release, INSIDE.x, INSIDE.y}},
     0},
};

void inject(const Touch &t) {
    if (t.kind == Touch::press) wl_input_press(t.x, t.y);
    if (t.kind == Touch::move) wl_input_move(t.x, t.y);
    if (t.kind == Touch::release) wl_input_release(t.x, t.y);
}

TEST_F(ButtonTest, PressSlideAndRelease) {
    for (const ClickCase &c : CLICK_CASES) {
        HWND b =
            make_button(42, u"Key", BX, BY, BW, BH, &style_normal, c.disabled ? WS_DISABLED : 0);
        pump_pending();
        commands();
        for (const Touch &t : c.touches) {
            inject(t);
            pump_pending();
        }
        Lines expected(c.clicks, "parent WM_COMMAND 42,0 ?"); // id, BN_CLICKED, lParam 1
        EXPECT_EQ(commands(), expected) << c.name;
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
        DestroyWindow(b);
    }
}

// The outer bevel's top-left pixel is white when raised and black when pressed.
TEST_F(ButtonTest, PressedLookOnlyWhileThePointerIsInside) {
    make_button(42, u"", BX, BY, BW, BH, &style_normal);
    struct Step {
        Touch touch;
        COLORREF corner;
    };
    const Step steps[] = {
        {{Touch::press, INSIDE.x, INSIDE.y}, 0x000000},
        {{Touch::move, OUTSIDE.x, OUTSIDE.y}, 0xFFFFFF},
        {{Touch::move, INSIDE.x, INSIDE.y}, 0x000000},
        {{Touch::release, INSIDE.x, INSIDE.y}, 0xFFFFFF},
    };
    for (const Step &s : steps) {
        inject(s.touch);
        pump_pending();
        EXPECT_EQ(wl_screen_pixel(BX, BY), s.corner) << s.touch.x << "," << s.touch.y;
    }
}

TEST_F(ButtonTest, NewLookTurnsTheFaceGreenAtTheNextPaint) {
    HWND b = make_button(42, u"", BX, BY, BW, BH, &style_normal);
    pump_pending();
    const POINT face = {BX + BW / 2, BY + BH / 2};
    EXPECT_EQ(wl_screen_pixel(face.x, face.y), 0xD0D0D0u);
    SendMessageW(b, WM_USER, 0, (LPARAM)&style_selected);
    EXPECT_EQ(wl_screen_pixel(face.x, face.y), 0xD0D0D0u); // not before the paint
    pump_pending();
    EXPECT_EQ(wl_screen_pixel(face.x, face.y), 0x00C000u);
    EXPECT_EQ(wl_screen_pixel(BX, BY), 0xFFFFFFu);
    EXPECT_EQ(wl_screen_pixel(BX + BW - 1, BY + BH - 1), 0x000000u);
}

bool column_has(int x, int top, int bottom, COLORREF colour) {
    for (int y = top; y < bottom; ++y)
        if (wl_screen_pixel(x, y) == colour) return true;
    return false;
}

TEST_F(ButtonTest, WideCentredCaptionIsCutOnBothSides) {
    make_button(42, u"MMMMMMMMMM", BX, BY, 30, BH, &style_header);
    pump_pending();
    EXPECT_TRUE(column_has(BX, BY, BY + BH, 0xFFFFFF));
    EXPECT_TRUE(column_has(BX + 29, BY, BY + BH, 0xFFFFFF));
    EXPECT_FALSE(column_has(BX - 1, BY, BY + BH, 0xFFFFFF));
    EXPECT_FALSE(column_has(BX + 30, BY, BY + BH, 0xFFFFFF));
}

// ---- Bitmap faces ----------------------------------------------------------------------------

// A 3 x 2 bottom-up 24-bit DIB in one colour.
std::vector<BYTE> solid_dib(BYTE r, BYTE g, BYTE b) {
    std::vector<BYTE> dib(40 + 2 * 12, 0);
    BITMAPINFOHEADER h = {40, 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    memcpy(dib.data(), &h, sizeof h);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 3; ++x) {
            BYTE *p = dib.data() + 40 + row * 12 + x * 3;
            p[0] = b, p[1] = g, p[2] = r;
        }
    return dib;
}

TEST_F(ButtonTest, BitmapFacesSizeTheButtonAndGoWithIt) {
    static const std::vector<BYTE> up = solid_dib(255, 0, 0), down = solid_dib(0, 0, 255);
    HMODULE module = GetModuleHandleW(u"wfal.dll");
    ASSERT_TRUE(wl_resource_register(module, RT_BITMAP, u"UPFACE", up.data(), DWORD(up.size())));
    ASSERT_TRUE(
        wl_resource_register(module, RT_BITMAP, u"DOWNFACE", down.data(), DWORD(down.size())));
    style_make_fonts(&style_header); // made once for the run, not per button
    int objects = wl_gdi_object_count();
    HWND b = make_button(42, u"", BX, BY, BW, BH, &style_header);
    SendMessageW(b, WM_USER + 1, (WPARAM)u"UPFACE", (LPARAM)u"DOWNFACE");
    EXPECT_EQ(wl_gdi_object_count(), objects + 2);
    RECT r;
    GetClientRect(b, &r);
    EXPECT_EQ(r.right, 3);
    EXPECT_EQ(r.bottom, 2);
    pump_pending();
    EXPECT_EQ(wl_screen_pixel(BX, BY), 0x0000FFu); // red, as a COLORREF
    EnableWindow(b, FALSE);
    pump_pending();
    EXPECT_EQ(wl_screen_pixel(BX, BY), 0xFF0000u);
    SendMessageW(b, WM_USER + 1, (WPARAM)u"NOSUCH", 0);
    EXPECT_EQ(wl_gdi_object_count(), objects);
    pump_pending();
    EXPECT_EQ(wl_screen_pixel(BX + 1, BY + 1), 0xFF190Bu); // the colour face again
    SendMessageW(b, WM_USER + 1, (WPARAM)u"UPFACE", 0);
    DestroyWindow(b);
    EXPECT_EQ(wl_gdi_object_count(), objects);
}

// ---- All looks at once -------------------------------------------------------------------------

TEST_F(ButtonTest, LooksScreenshot) {
    struct Shown {
        const WCHAR *caption;
        ControlStyle *style;
        DWORD flags;
    };
    const Shown shown[] = {
        {u"Esc", &style_normal, 0},
        {u"PrtScr", &style_normal, WS_DISABLED},
        {u"3 MHz", &style_selected, 0},
        {u"Stop", &style_alarm, 0},
        {u"Range", &style_header, WS_DISABLED},
        {u"Name", &style_field, WS_DISABLED},
        {u"Off", &style_header_dim, WS_DISABLED},
        {u"Off", &style_field_dim, WS_DISABLED},
        {u"Report", &style_text, WS_DISABLED},
        {u"Saving...", &style_notice, WS_DISABLED},
    };
    for (int i = 0; i < 10; ++i)
        make_button(10 + i, shown[i].caption, 5 + (i % 2) * 105, 5 + (i / 2) * 55, 100, 50,
                    shown[i].style, shown[i].flags);
    HWND pressed = make_button(30, u"PgDn", 215, 5, 100, 50, &style_normal);
    SendMessageW(pressed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    pump_pending();
    const uint32_t *screen = wl_screen_pixels();
    Surface area{const_cast<uint32_t *>(screen), WL_SCREEN_WIDTH, 320, 285};
    EXPECT_TRUE(golden_match(area, "button_looks"));
}

} // namespace
