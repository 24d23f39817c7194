#include "support/test_bitmap.h"

#include <wlgdi.h>

#include "gdi/raster/surface.h"

TestBitmap::TestBitmap(int w, int h, COLORREF s) : width(w), height(h), sentinel(s) {
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateCompatibleBitmap(dc, w, h);
    old_bitmap = SelectObject(dc, bitmap);
    int stride = 0;
    wl_gdi_bitmap_pixels(bitmap, &pixels, &stride, nullptr, nullptr);
    for (int i = 0; pixels && i < w * h; ++i)
        pixels[i] = pixel_from_colorref(s);
}

TestBitmap::~TestBitmap() {
    SelectObject(dc, old_bitmap), DeleteObject(bitmap), DeleteDC(dc);
}

COLORREF TestBitmap::at(int x, int y) const {
    return colorref_from_pixel(pixels[size_t(y) * width + x]);
}

void TestBitmap::set(int x, int y, COLORREF c) {
    pixels[size_t(y) * width + x] = pixel_from_colorref(c);
}

std::string TestBitmap::picture(const std::vector<std::pair<COLORREF, char>> &legend) const {
    std::string out;
    for (int y = 0; y < height; ++y) {
        if (y > 0) out += '\n';
        for (int x = 0; x < width; ++x) {
            COLORREF c = at(x, y);
            char ch = c == sentinel ? '.' : '?';
            for (const auto &entry : legend)
                if (entry.first == c) ch = entry.second;
            out += ch;
        }
    }
    return out;
}

std::string picture_rows(const std::vector<std::string> &rows) {
    std::string out;
    for (size_t i = 0; i < rows.size(); ++i)
        out += (i ? "\n" : "") + rows[i];
    return out;
}
