// One composed picture of everything the drawing layer does, compared with the stored image.
#include <gtest/gtest.h>

#include <windows.h>
#include <wlgdi.h>

#include <vector>

#include "support/golden.h"
#include "support/test_bitmap.h"

namespace {

// A 24-bit one-row DIB running from black through red to yellow over `n` points.
std::vector<uint8_t> gradient_row(int n, BITMAPINFO *info) {
    *info = BITMAPINFO{};
    info->bmiHeader =
        BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), n, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint8_t> bits((size_t(n) * 3 + 3) & ~size_t(3), 0);
    for (int k = 0; k < n; ++k) {
        int v = k * 511 / (n - 1);
        bits[size_t(k) * 3 + 1] = uint8_t(v > 255 ? v - 256 : 0); // green
        bits[size_t(k) * 3 + 2] = uint8_t(v > 255 ? 255 : v);     // red
    }
    return bits;
}

void draw_lines(HDC dc) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 160));
    HGDIOBJ old = SelectObject(dc, pen);
    const POINT ends[] = {{70, 10}, {70, 25}, {62, 50}, {45, 60}, {20, 50},
                          {10, 35}, {20, 12}, {40, 8},  {55, 3}};
    for (const POINT &e : ends) {
        MoveToEx(dc, 40, 32, nullptr);
        LineTo(dc, e.x, e.y);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
    HPEN wide = CreatePen(PS_SOLID, 3, RGB(0, 128, 0));
    old = SelectObject(dc, wide);
    POINT zigzag[] = {{80, 55}, {95, 40}, {110, 55}, {125, 40}, {140, 55}};
    Polyline(dc, zigzag, 5);
    SelectObject(dc, old);
    DeleteObject(wide);
}

void draw_fills(HDC dc) {
    RECT box{150, 5, 195, 30};
    HBRUSH teal = CreateSolidBrush(RGB(0, 150, 150));
    FillRect(dc, &box, teal);
    HBRUSH orange = CreateSolidBrush(RGB(250, 160, 0));
    HGDIOBJ old = SelectObject(dc, orange);
    POINT star[] = {{172, 32}, {178, 50}, {196, 50}, {182, 60}, {188, 78},
                    {172, 67}, {156, 78}, {162, 60}, {148, 50}, {166, 50}};
    Polygon(dc, star, 10);
    POINT pentagram[] = {{110, 62}, {122, 98}, {92, 76}, {128, 76}, {98, 98}};
    Polygon(dc, pentagram, 5); // alternate mode leaves the centre empty
    SelectObject(dc, old);
    DeleteObject(orange);
    DeleteObject(teal);
}

void draw_gradient(HDC dc) {
    BITMAPINFO info;
    std::vector<uint8_t> bits = gradient_row(300, &info);
    for (int y = 0; y < 8; ++y) {
        StretchDIBits(dc, 5, 100 + y, 80, 1, 0, 0, 300, 1, bits.data(), &info, DIB_RGB_COLORS,
                      SRCCOPY);
    }
}

void draw_text(HDC dc) {
    HFONT mono = CreateFontW(14, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, u"courier new");
    HGDIOBJ old = SelectObject(dc, mono);
    ExtTextOutW(dc, 5, 68, 0, nullptr, u"-120 dBm", 8, nullptr);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(160, 0, 0));
    RECT r{5, 82, 90, 96};
    DrawTextW(dc, u"12.500 MHz", -1, &r, 0);
    HFONT sans = CreateFontW(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"arial");
    SelectObject(dc, sans);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 200));
    SetTextColor(dc, RGB(0, 0, 0));
    RECT note{132, 82, 198, 118};
    DrawTextW(dc, u"Marker at the strongest point", -1, &note, DT_WORDBREAK | DT_CENTER);
    SelectObject(dc, old);
    DeleteObject(sans);
    DeleteObject(mono);
}

TEST(GdiGolden, ComposedPicture) {
    TestBitmap b(200, 120, RGB(1, 2, 3));
    RECT all{0, 0, 200, 120};
    FillRect(b.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    draw_lines(b.dc);
    draw_fills(b.dc);
    draw_gradient(b.dc);
    draw_text(b.dc);
    // Composed off-screen and copied in one step, as every window of the module paints.
    TestBitmap screen(200, 120, RGB(1, 2, 3));
    BitBlt(screen.dc, 0, 0, 200, 120, b.dc, 0, 0, SRCCOPY);
    EXPECT_TRUE(golden_match(Surface{screen.pixels, 200, 200, 120}, "gdi_composed"));
    wl_gdi_shutdown();
}

} // namespace
