#include "draw.h"

#include "ui/gdi_holders.h"

namespace {

HFONT g_fonts[2];

} // namespace

HFONT draw_font(bool large) {
    HFONT &font = g_fonts[large ? 1 : 0];
    if (!font)
        font = CreateFontW(large ? 22 : 18, 0, 0, 0, large ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0,
                           0, 0, TEXT("arial"));
    return font;
}

void draw_release() {
    for (HFONT &font : g_fonts) {
        if (font) DeleteObject(font);
        font = NULL;
    }
}

void draw_fill(HDC dc, const RECT &rect, COLORREF colour) {
    GdiOwned<HBRUSH> brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

void draw_outline(HDC dc, const RECT &rect, COLORREF colour) {
    draw_fill(dc, RECT{rect.left, rect.top, rect.right, rect.top + 1}, colour);
    draw_fill(dc, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, colour);
    draw_fill(dc, RECT{rect.left, rect.top, rect.left + 1, rect.bottom}, colour);
    draw_fill(dc, RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, colour);
}

void draw_text(HDC dc, const WideText &text, const RECT &rect, COLORREF colour, bool large,
               UINT format) {
    GdiSelection font(dc, draw_font(large), false);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    RECT r = rect;
    DrawTextW(dc, text.c_str(), int(text.size()), &r, format | DT_NOPREFIX);
}

void draw_key(HDC dc, const RECT &rect, const WideText &caption, bool pressed) {
    draw_fill(dc, rect, pressed ? RGB(80, 80, 80) : RGB(208, 208, 208));
    draw_outline(dc, rect, RGB(0, 0, 0));
    draw_text(dc, caption, rect, pressed ? RGB(255, 255, 255) : RGB(0, 0, 0), false,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

bool draw_inside(const RECT &rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}
