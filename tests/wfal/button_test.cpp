// The "btn" control: its looks and edges pixel by pixel, where its caption goes, and how a press
// becomes a click.
#include <gtest/gtest.h>

#include <algorithm>
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

enum State { UP, PRESSED, DISABLED };

// Rows of an 8 x 6 button, separated by spaces, as drawn on a 10 x 7 sentinel bitmap.
std::string on_sentinel(const std::string &rows) {
    std::vector<std::string> out(1, "..........");
    for (size_t at = 0; at < rows.size(); at += 9)
        out.insert(out.end() - 1, rows.substr(at, 8) + "..");
    return picture_rows(out);
}

// Outer bevel white/black, inner grey/shadow, each corner line leaving out its last point.
TEST_F(ButtonTest, LooksAndEdges) {
    const struct {
        const char *name;
        ControlStyle *style;
        State state;
        const char *rows;
    } cases[] = {
        {"normal key", &style_normal, UP, "WWWWWWWG WGGGGGGK WGGGGGSK WGGGGGSK WSSSSSSK KKKKKKKK"},
        {"pressed key swaps the bevels", &style_normal, PRESSED,
         "KKKKKKKG KSSSSSGW KSGGGGGW KSGGGGGW KGGGGGGW WWWWWWWW"},
        {"selected option is green", &style_selected, UP,
         "WWWWWWWN WGGGGGNK WGNNNNSK WGNNNNSK WSSSSSSK KKKKKKKK"},
        {"disabled selected option is grey", &style_selected, DISABLED,
         "WWWWWWWG WGGGGGGK WGGGGGSK WGGGGGSK WSSSSSSK KKKKKKKK"},
        {"pressed alarm key", &style_alarm, PRESSED,
         "KKKKKKKR KSSSSSRW KSRRRRGW KSRRRRGW KGGGGGGW WWWWWWWW"},
        {"heading has no edges", &style_header, DISABLED,
         "BBBBBBBB BBBBBBBB BBBBBBBB BBBBBBBB BBBBBBBB BBBBBBBB"},
    };
    for (const auto &c : cases) {
        HWND b = make_button(1, u"", 0, 0, 8, 6, c.style);
        if (c.state == PRESSED) SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        if (c.state == DISABLED) EnableWindow(b, FALSE);
        TestBitmap bitmap(10, 7, SENTINEL);
        button_paint(b, bitmap.dc, RECT{0, 0, 8, 6});
        EXPECT_EQ(bitmap.picture(LEGEND), on_sentinel(c.rows)) << c.name;
        DestroyWindow(b);
    }
}

// Where the caption goes, checked against the same text drawn by hand where the rule puts it.
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

void draw_expected(HDC dc, const ControlStyle &s, int mode, int p, const WCHAR *caption) {
    const int n = int(std::u16string(caption).size());
    HBRUSH face = CreateSolidBrush(0xFF190B);
    RECT all = {0, 0, PW, PH};
    FillRect(dc, &all, face);
    DeleteObject(face);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0xFFFFFF);
    const SIZE size = extent(dc, s.font, caption, n);
    const int y = (PH - size.cy) / 2 + p, centre = (PW - size.cx) / 2;
    const int line_x[] = {centre, 1, 2 * centre}; // centred, left, right
    if (mode <= TEXT_MODE_RIGHT) draw_at(dc, s.font, line_x[mode] + p, y, caption, n);
    RECT box = mode == TEXT_MODE_WRAP_LEFT ? RECT{8, 4, PW - 2, PH - 2}
               : p                         ? RECT{1, 5, PW, PH - 1}
                                           : RECT{0, 4, PW - 1, PH - 1};
    HGDIOBJ old = SelectObject(dc, s.font);
    if (mode == TEXT_MODE_WRAP_LEFT || mode == TEXT_MODE_WRAP_CENTRED)
        DrawTextW(dc, caption, n, &box,
                  DT_WORDBREAK | DT_NOPREFIX | (mode == TEXT_MODE_WRAP_CENTRED ? DT_CENTER : 0));
    SelectObject(dc, old);
    if (mode != TEXT_MODE_TWO_FONTS) return;
    // "A" and "C" in the first font on its row, "b" in the second, ending a pixel higher.
    const int y2 = y + size.cy - extent(dc, s.font2, caption, n).cy - 1;
    const int xb = 1 + extent(dc, s.font, u"A", 1).cx, xc = xb + extent(dc, s.font2, u"b", 1).cx;
    draw_at(dc, s.font, 1 + p, y, u"A", 1);
    draw_at(dc, s.font2, xb + p, y2, u"b", 1);
    draw_at(dc, s.font, xc + p, y, u"C", 1);
}

TEST_F(ButtonTest, CaptionPlacement) {
    const struct {
        const char *name;
        int mode;
        bool pressed;
        const WCHAR *caption;
    } cases[] = {
        {"centred", TEXT_MODE_CENTRED, false, u"Ab"},
        {"centred, pressed", TEXT_MODE_CENTRED, true, u"Ab"},
        {"centred, wider than the button: cut on both sides", TEXT_MODE_CENTRED, false,
         u"MMMMMMMMMMMMMMMMMMMM"},
        {"left", TEXT_MODE_LEFT, false, u"Ab"},
        {"right", TEXT_MODE_RIGHT, false, u"Ab"},
        {"wrapped left", TEXT_MODE_WRAP_LEFT, false, u"one two three"},
        {"wrapped centred", TEXT_MODE_WRAP_CENTRED, false, u"one two three"},
        {"wrapped centred, pressed", TEXT_MODE_WRAP_CENTRED, true, u"one two three"},
        {"two fonts", TEXT_MODE_TWO_FONTS, false, u"A\2b\1C"},
        {"two fonts, pressed", TEXT_MODE_TWO_FONTS, true, u"A\2b\1C"},
    };
    for (const auto &c : cases) {
        ControlStyle style = style_header;  // flat: nothing but face and caption
        style.font = style.font2 = nullptr; // its own fonts, deleted below
        style.text_mode = c.mode;
        style.font2_height = 14, style.font2_width = 0;
        HWND b = make_button(1, c.caption, 0, 0, PW, PH, &style);
        if (c.pressed) SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        TestBitmap actual(PW, PH, SENTINEL), expected(PW, PH, SENTINEL);
        button_paint(b, actual.dc, RECT{0, 0, PW, PH});
        draw_expected(expected.dc, style, c.mode, c.pressed ? 1 : 0, c.caption);
        const std::string picture = actual.picture(LEGEND);
        EXPECT_GT(std::count(picture.begin(), picture.end(), 'W'), 20) << c.name << ": no caption";
        EXPECT_EQ(picture, expected.picture(LEGEND)) << c.name;
        DestroyWindow(b);
        DeleteObject(style.font);
        DeleteObject(style.font2);
    }
}

constexpr int BX = 40, BY = 30, BW = 80, BH = 40;
constexpr COLORREF RAISED = 0xFFFFFF, SUNK = 0x000000; // the outer bevel's top-left pixel
enum Kind { PRESS, MOVE, RELEASE };
const POINT IN = {BX + 10, BY + 10}, OUT = {BX + BW + 20, BY + 10};
const POINT ABOVE_LEFT = {BX - 5, BY - 5}; // negative in the button's coordinates

// Only a release inside clicks; the pressed look lasts while the pointer is inside.
TEST_F(ButtonTest, PressSlideAndRelease) {
    const struct {
        const char *name;
        bool disabled;
        std::vector<std::pair<Kind, POINT>> touches;
        std::vector<COLORREF> corners; // after each touch
        size_t clicks;
    } cases[] = {
        {"tap", false, {{PRESS, IN}, {RELEASE, IN}}, {SUNK, RAISED}, 1},
        {"slide out, release",
         false,
         {{PRESS, IN}, {MOVE, OUT}, {RELEASE, OUT}},
         {SUNK, RAISED, RAISED},
         0},
        {"slide out and back in",
         false,
         {{PRESS, IN}, {MOVE, OUT}, {MOVE, IN}, {RELEASE, IN}},
         {SUNK, RAISED, SUNK, RAISED},
         1},
        {"release above and left", false, {{PRESS, IN}, {RELEASE, ABOVE_LEFT}}, {SUNK, RAISED}, 0},
        {"disabled", true, {{PRESS, IN}, {RELEASE, IN}}, {RAISED, RAISED}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        HWND b =
            make_button(42, u"Key", BX, BY, BW, BH, &style_normal, c.disabled ? WS_DISABLED : 0);
        pump_pending();
        commands();
        std::vector<COLORREF> corners;
        for (const auto &[kind, at] : c.touches) {
            if (kind == PRESS) wl_input_press(at.x, at.y);
            if (kind == MOVE) wl_input_move(at.x, at.y);
            if (kind == RELEASE) wl_input_release(at.x, at.y);
            pump_pending();
            corners.push_back(wl_screen_pixel(BX, BY));
        }
        EXPECT_EQ(corners, c.corners);
        EXPECT_EQ(commands(), Lines(c.clicks, "parent WM_COMMAND 42,0 ?")); // BN_CLICKED, 1
        EXPECT_EQ(GetCapture(), nullptr);
        DestroyWindow(b);
    }
}

TEST_F(ButtonTest, NewLookTurnsTheFaceGreenAtTheNextPaint) {
    HWND b = make_button(42, u"", BX, BY, BW, BH, &style_normal);
    pump_pending();
    const POINT face = {BX + BW / 2, BY + BH / 2};
    EXPECT_EQ(wl_screen_pixel(face.x, face.y), 0xD0D0D0u);
    SendMessageW(b, BTN_SET_LOOK, 0, (LPARAM)&style_selected);
    EXPECT_EQ(wl_screen_pixel(face.x, face.y), 0xD0D0D0u); // not before the paint
    pump_pending();
    EXPECT_EQ(std::vector<COLORREF>({wl_screen_pixel(face.x, face.y), wl_screen_pixel(BX, BY),
                                     wl_screen_pixel(BX + BW - 1, BY + BH - 1)}),
              std::vector<COLORREF>({0x00C000u, 0xFFFFFFu, 0x000000u}));
}

// A 3 x 2 bottom-up 24-bit DIB in one colour.
std::vector<BYTE> solid_dib(BYTE r, BYTE g, BYTE b) {
    std::vector<BYTE> dib(40 + 2 * 12, 0);
    BITMAPINFOHEADER h = {40, 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    memcpy(dib.data(), &h, sizeof h);
    const BYTE bgr[3] = {b, g, r};
    for (int i = 0; i < 6; ++i) // rows padded to 12 bytes
        memcpy(&dib[40 + (i / 3) * 12 + (i % 3) * 3], bgr, 3);
    return dib;
}

// Bitmap faces size the button, the down face shows disabled, and both go with the button or
// with the next faces set.
TEST_F(ButtonTest, BitmapFacesSizeTheButtonAndGoWithIt) {
    static const std::vector<BYTE> up = solid_dib(255, 0, 0), down = solid_dib(0, 0, 255);
    HMODULE module = GetModuleHandleW(u"wfal.dll");
    ASSERT_TRUE(wl_resource_register(module, RT_BITMAP, u"UPFACE", up.data(), DWORD(up.size())));
    ASSERT_TRUE(
        wl_resource_register(module, RT_BITMAP, u"DOWNFACE", down.data(), DWORD(down.size())));
    style_make_fonts(&style_header); // made once for the run, not per button
    int objects = wl_gdi_object_count();
    HWND b = make_button(42, u"", BX, BY, BW, BH, &style_header);
    SendMessageW(b, BTN_SET_BITMAPS, (WPARAM)u"UPFACE", (LPARAM)u"DOWNFACE");
    EXPECT_EQ(wl_gdi_object_count(), objects + 2);
    RECT r;
    GetClientRect(b, &r);
    EXPECT_EQ(std::vector<LONG>({r.right, r.bottom}), std::vector<LONG>({3, 2}));
    pump_pending();
    EXPECT_EQ(wl_screen_pixel(BX, BY), 0x0000FFu); // red, as a COLORREF
    EnableWindow(b, FALSE);
    pump_pending();
    EXPECT_EQ(wl_screen_pixel(BX, BY), 0xFF0000u);
    SendMessageW(b, BTN_SET_BITMAPS, (WPARAM)u"NOSUCH", 0);
    EXPECT_EQ(wl_gdi_object_count(), objects);
    pump_pending();
    EXPECT_EQ(wl_screen_pixel(BX + 1, BY + 1), 0xFF190Bu); // the colour face again
    SendMessageW(b, BTN_SET_BITMAPS, (WPARAM)u"UPFACE", 0);
    DestroyWindow(b);
    EXPECT_EQ(wl_gdi_object_count(), objects);
}

TEST_F(ButtonTest, LooksScreenshot) {
    const struct {
        const WCHAR *caption;
        ControlStyle *style;
        DWORD flags;
    } shown[] = {{u"Esc", &style_normal, 0},
                 {u"PrtScr", &style_normal, WS_DISABLED},
                 {u"3 MHz", &style_selected, 0},
                 {u"Stop", &style_alarm, 0},
                 {u"Range", &style_header, WS_DISABLED},
                 {u"Name", &style_field, WS_DISABLED},
                 {u"Off", &style_header_dim, WS_DISABLED},
                 {u"Off", &style_field_dim, WS_DISABLED},
                 {u"Report", &style_text, WS_DISABLED},
                 {u"Saving...", &style_notice, WS_DISABLED}};
    for (int i = 0; i < 10; ++i)
        make_button(10 + i, shown[i].caption, 5 + (i % 2) * 105, 5 + (i / 2) * 55, 100, 50,
                    shown[i].style, shown[i].flags);
    HWND pressed = make_button(30, u"PgDn", 215, 5, 100, 50, &style_normal);
    SendMessageW(pressed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    pump_pending();
    Surface area{const_cast<uint32_t *>(wl_screen_pixels()), WL_SCREEN_WIDTH, 320, 285};
    EXPECT_TRUE(golden_match(area, "button_looks"));
}

} // namespace
