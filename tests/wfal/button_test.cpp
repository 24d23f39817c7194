// The "btn" control: its looks and caption modes against stored images, and bitmap faces. How a
// press becomes a click, and the look while the pointer slides off, are the split flow's.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include <winlayer.h>

#include "gdi/raster/surface.h"
#include "support/golden.h"
#include "support/module_ui.h"
#include "support/test_bitmap.h"

namespace {

using ButtonTest = ModuleUiTest;

constexpr int BX = 40, BY = 30, BW = 80, BH = 40;

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

// Every caption mode on a flat face, each one also pressed (caption one pixel down and right):
// one line centred (also wider than the button), left and right, wrapped left and centred, and
// two fonts switched by characters 1 and 2.
TEST_F(ButtonTest, CaptionModesScreenshot) {
    constexpr int PW = 61, PH = 56;
    const struct {
        int mode;
        const WCHAR *caption;
    } cases[] = {
        {TEXT_MODE_CENTRED, u"Ab"},
        {TEXT_MODE_CENTRED, u"MMMMMMMMMMMMMMMMMMMM"},
        {TEXT_MODE_LEFT, u"Ab"},
        {TEXT_MODE_RIGHT, u"Ab"},
        {TEXT_MODE_WRAP_LEFT, u"one two three"},
        {TEXT_MODE_WRAP_CENTRED, u"one two three"},
        {TEXT_MODE_TWO_FONTS, u"A\2b\1C"},
    };
    constexpr int ROWS = sizeof cases / sizeof cases[0];
    TestBitmap sheet(2 * PW, ROWS * PH, RGB(1, 2, 3));
    for (int row = 0; row < ROWS; ++row) {
        for (int pressed = 0; pressed < 2; ++pressed) {
            ControlStyle style = style_header;  // flat: nothing but face and caption
            style.font = style.font2 = nullptr; // its own fonts, deleted below
            style.text_mode = cases[row].mode;
            style.font2_height = 14, style.font2_width = 0;
            HWND b = make_button(1, cases[row].caption, 0, 0, PW, PH, &style);
            if (pressed) SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            TestBitmap one(PW, PH, RGB(1, 2, 3));
            button_paint(b, one.dc, RECT{0, 0, PW, PH});
            for (int y = 0; y < PH; ++y)
                memcpy(&sheet.pixels[(row * PH + y) * sheet.width + pressed * PW],
                       &one.pixels[y * PW], PW * sizeof(uint32_t));
            DestroyWindow(b);
            DeleteObject(style.font), DeleteObject(style.font2);
        }
    }
    EXPECT_TRUE(golden_match(Surface{sheet.pixels, sheet.width, sheet.width, sheet.height},
                             "button_captions"));
}

} // namespace
