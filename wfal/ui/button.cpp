// The "btn" control. State lives in four window words; the look record is shared module data
// and may be exchanged at any time. A press captures the mouse, so that the release (inside or
// not) comes back to the button that was pressed; only a release inside clicks.
#include <windows.h>

#include "ui/button.h"
#include "ui/controls.h"
#include "ui/gdi_holders.h"

namespace {

constexpr int WORD_PRESSED = 0;     // 1 while the pointer is inside during a press
constexpr int WORD_LOOK = 1;        // ControlStyle *
constexpr int WORD_UP_BITMAP = 2;   // face of the normal and pressed looks
constexpr int WORD_DOWN_BITMAP = 3; // face of the disabled look
constexpr int CAPTION_CHARS = 1023; // with the terminator

LONG_PTR word_get(HWND hwnd, int word) {
    return GetWindowLongPtrW(hwnd, word * (int)sizeof(LONG_PTR));
}

void word_set(HWND hwnd, int word, LONG_PTR value) {
    SetWindowLongPtrW(hwnd, word * (int)sizeof(LONG_PTR), value);
}

ControlStyle *button_style(HWND hwnd) {
    return (ControlStyle *)word_get(hwnd, WORD_LOOK);
}

void invalidate(HWND hwnd) {
    InvalidateRect(hwnd, NULL, FALSE);
}

// Positions are taken as unsigned halves, so that left of or above the button is outside too.
BOOL is_inside(HWND hwnd, LPARAM position) {
    RECT client;
    GetClientRect(hwnd, &client);
    return LOWORD(position) < client.right && HIWORD(position) < client.bottom;
}

int look_index(HWND hwnd) {
    if (!IsWindowEnabled(hwnd)) return LOOK_DISABLED;
    if (GetCapture() == hwnd && word_get(hwnd, WORD_PRESSED) == 1) return LOOK_PRESSED;
    return LOOK_NORMAL;
}

void delete_bitmaps(HWND hwnd) {
    const int words[] = {WORD_UP_BITMAP, WORD_DOWN_BITMAP};
    for (int word : words) {
        HBITMAP bitmap = (HBITMAP)word_get(hwnd, word);
        if (bitmap) DeleteObject(bitmap);
        word_set(hwnd, word, 0);
    }
}

// ---- Drawing -------------------------------------------------------------------------------

struct ButtonPaint {
    HDC dc;
    int w, h;
    int p; // 1 in the pressed look: face bitmap and caption move down and right
    const ControlStyle *style;
    const ControlLook *look;
};

void draw_face(const ButtonPaint &bp, const RECT &update, HBITMAP bitmap) {
    if (bitmap) {
        MemoryDc memory(bp.dc);
        GdiSelection chosen(memory.get(), bitmap, false);
        BitBlt(bp.dc, bp.p, bp.p, bp.w, bp.h, memory.get(), 0, 0, SRCCOPY);
        return;
    }
    GdiOwned<HBRUSH> brush(CreateSolidBrush(bp.look->face_colour));
    if (brush.get()) FillRect(bp.dc, &update, brush.get());
}

// Modes 0 to 2: one line, never clipped to the button (the window clips it).
void draw_line(const ButtonPaint &bp, const WCHAR *text, int length) {
    SIZE size = {0, 0};
    GetTextExtentPoint32W(bp.dc, text, length, &size);
    int y = (bp.h - size.cy) / 2;
    int x = (bp.w - size.cx) / 2;
    if (bp.style->text_mode == TEXT_MODE_LEFT) x = 1;
    if (bp.style->text_mode == TEXT_MODE_RIGHT) x = 2 * ((bp.w - size.cx) / 2);
    ExtTextOutW(bp.dc, x + bp.p, y + bp.p, 0, NULL, text, (UINT)length, NULL);
}

void draw_wrapped(const ButtonPaint &bp, const WCHAR *text, int length) {
    const UINT format = DT_WORDBREAK | DT_NOPREFIX;
    if (bp.style->text_mode == TEXT_MODE_WRAP_LEFT) {
        RECT box = {8, 4, bp.w - 2, bp.h - 2};
        DrawTextW(bp.dc, text, length, &box, format | DT_LEFT);
        return;
    }
    RECT box = bp.p ? RECT{1, 5, bp.w, bp.h - 1} : RECT{0, 4, bp.w - 1, bp.h - 1};
    DrawTextW(bp.dc, text, length, &box, format | DT_CENTER);
}

// Characters 1 and 2 switch to the first and the second font; the second font's characters end
// one pixel above the bottom of the first font's.
void draw_two_fonts(const ButtonPaint &bp, const WCHAR *text, int length) {
    HFONT fonts[2] = {bp.style->font, bp.style->font2};
    SIZE size[2] = {{0, 0}, {0, 0}};
    for (int k = 0; k < 2; k++) {
        GdiSelection font(bp.dc, fonts[k], false);
        GetTextExtentPoint32W(bp.dc, text, length, &size[k]);
    }
    int row[2];
    row[0] = (bp.h - size[0].cy) / 2;
    row[1] = row[0] + size[0].cy - size[1].cy - 1;
    int x = 1, current = 0;
    for (int i = 0; i < length; i++) {
        if (text[i] == 1 || text[i] == 2) {
            current = text[i] - 1;
            continue;
        }
        GdiSelection font(bp.dc, fonts[current], false);
        SIZE one = {0, 0};
        GetTextExtentPoint32W(bp.dc, &text[i], 1, &one);
        ExtTextOutW(bp.dc, x + bp.p, row[current] + bp.p, 0, NULL, &text[i], 1, NULL);
        x += one.cx;
    }
}

void draw_caption(const ButtonPaint &bp, HWND hwnd) {
    WCHAR text[CAPTION_CHARS];
    int length = GetWindowTextW(hwnd, text, CAPTION_CHARS);
    if (length <= 0) return;
    SetBkMode(bp.dc, TRANSPARENT);
    SetBkColor(bp.dc, bp.look->face_colour);
    SetTextColor(bp.dc, bp.look->text_colour);
    GdiSelection font(bp.dc, bp.style->font, false);
    switch (bp.style->text_mode) {
    case TEXT_MODE_CENTRED:
    case TEXT_MODE_LEFT:
    case TEXT_MODE_RIGHT: draw_line(bp, text, length); break;
    case TEXT_MODE_WRAP_LEFT:
    case TEXT_MODE_WRAP_CENTRED: draw_wrapped(bp, text, length); break;
    case TEXT_MODE_TWO_FONTS: draw_two_fonts(bp, text, length); break;
    default: break;
    }
}

// Three corners of a rectangle as one line; the line leaves out its last point.
void draw_corner(HDC dc, COLORREF colour, POINT from, POINT corner, POINT to) {
    GdiSelection pen(dc, CreatePen(PS_SOLID, 1, colour), true);
    const POINT points[3] = {from, corner, to};
    Polyline(dc, points, 3);
}

// A bevel `inset` pixels in: light along the left and top, then dark along the bottom and right.
void draw_bevel(HDC dc, COLORREF light, COLORREF dark, int inset, int w, int h) {
    LONG left = inset, top = inset, right = w - 1 - inset, bottom = h - 1 - inset;
    draw_corner(dc, light, POINT{left, bottom}, POINT{left, top}, POINT{right, top});
    draw_corner(dc, dark, POINT{left, bottom}, POINT{right, bottom}, POINT{right, top});
}

void draw_edges(const ButtonPaint &bp) {
    const ControlLook &l = *bp.look;
    if (l.outer_edge == 1) draw_bevel(bp.dc, l.outer_light, l.outer_dark, 0, bp.w, bp.h);
    if (l.inner_edge == 1) draw_bevel(bp.dc, l.inner_light, l.inner_dark, 1, bp.w, bp.h);
}

// ---- Messages ------------------------------------------------------------------------------

LRESULT on_destroy(HWND hwnd) {
    delete_bitmaps(hwnd);
    return 0;
}

LRESULT invalidate_then_default(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    invalidate(hwnd);
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT on_paint(HWND hwnd) {
    if (!button_style(hwnd)) return DefWindowProcW(hwnd, WM_PAINT, 0, 0);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc) button_paint(hwnd, dc, ps.rcPaint);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT on_mouse_move(HWND hwnd, LPARAM position) {
    if (GetCapture() != hwnd) return 0;
    LONG_PTR inside = is_inside(hwnd, position) ? 1 : 0;
    if (inside != word_get(hwnd, WORD_PRESSED)) {
        word_set(hwnd, WORD_PRESSED, inside);
        invalidate(hwnd);
    }
    return 0;
}

LRESULT on_button_down(HWND hwnd) {
    word_set(hwnd, WORD_PRESSED, 1);
    SetCapture(hwnd);
    invalidate(hwnd);
    return 0;
}

LRESULT on_button_up(HWND hwnd, LPARAM position) {
    if (GetCapture() != hwnd) return 0;
    ReleaseCapture();
    invalidate(hwnd);
    if (is_inside(hwnd, position))
        SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED), 1);
    return 0;
}

LRESULT on_capture_changed(HWND hwnd, HWND gaining) {
    if (gaining != hwnd) invalidate(hwnd);
    return 0;
}

LRESULT on_set_look(HWND hwnd, ControlStyle *style) {
    word_set(hwnd, WORD_LOOK, (LONG_PTR)style);
    invalidate(hwnd);
    return 0;
}

// A bitmap face gives the button the bitmap's size.
LRESULT on_set_bitmaps(HWND hwnd, const WCHAR *up, const WCHAR *down) {
    delete_bitmaps(hwnd);
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrW(hwnd, GWLP_HINSTANCE);
    HBITMAP up_bitmap = up ? LoadBitmapW(instance, up) : NULL;
    HBITMAP down_bitmap = down ? LoadBitmapW(instance, down) : NULL;
    word_set(hwnd, WORD_UP_BITMAP, (LONG_PTR)up_bitmap);
    word_set(hwnd, WORD_DOWN_BITMAP, (LONG_PTR)down_bitmap);
    HBITMAP sizing = up_bitmap ? up_bitmap : down_bitmap;
    BITMAP info;
    if (sizing && GetObjectW(sizing, sizeof info, &info))
        SetWindowPos(hwnd, NULL, 0, 0, info.bmWidth, info.bmHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    invalidate(hwnd);
    return 0;
}

} // namespace

void button_paint(HWND hwnd, HDC dc, const RECT &update) {
    ControlStyle *style = button_style(hwnd);
    if (!style) return;
    style_make_fonts(style);
    RECT client;
    GetClientRect(hwnd, &client);
    int index = look_index(hwnd);
    ButtonPaint bp = {dc,    (int)client.right,   (int)client.bottom, index == LOOK_PRESSED,
                      style, &style->looks[index]};
    HBITMAP face =
        (HBITMAP)word_get(hwnd, index == LOOK_DISABLED ? WORD_DOWN_BITMAP : WORD_UP_BITMAP);
    draw_face(bp, update, face);
    draw_caption(bp, hwnd);
    draw_edges(bp);
}

LRESULT CALLBACK button_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_DESTROY: return on_destroy(hwnd);
    case WM_ENABLE: return invalidate_then_default(hwnd, message, wparam, lparam);
    case WM_SETTEXT: return invalidate_then_default(hwnd, message, wparam, lparam);
    case WM_PAINT: return on_paint(hwnd);
    case WM_MOUSEMOVE: return on_mouse_move(hwnd, lparam);
    case WM_LBUTTONDOWN: return on_button_down(hwnd);
    case WM_LBUTTONUP: return on_button_up(hwnd, lparam);
    case WM_CAPTURECHANGED: return on_capture_changed(hwnd, (HWND)lparam);
    case BTN_SET_LOOK: return on_set_look(hwnd, (ControlStyle *)lparam);
    case BTN_SET_BITMAPS: return on_set_bitmaps(hwnd, (const WCHAR *)wparam, (const WCHAR *)lparam);
    default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}
