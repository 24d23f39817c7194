// The default window procedure, window words and window text.
#include <string.h>

#include "user/user_internal.h"

namespace {

void set_text(Window *w, LPCWSTR text) {
    if (text && !IS_INTRESOURCE(text))
        w->text.assign(text, wcslen(text));
    else
        w->text.clear();
}

LRESULT get_text(const Window &w, WPARAM capacity, LPWSTR out) {
    if (!out || capacity == 0) return 0;
    size_t n = w.text.size() < capacity - 1 ? w.text.size() : capacity - 1;
    memcpy(out, w.text.data(), n * sizeof(WCHAR));
    out[n] = 0;
    return LRESULT(n);
}

// Fills the client area with the class brush: the DC is clipped to the update rectangle.
LRESULT erase_background(Window *w, HDC dc) {
    if (!w->cls->background) return 0;
    SIZE s = window_client_size(*w);
    RECT r{0, 0, s.cx, s.cy};
    FillRect(dc, &r, w->cls->background);
    return 1;
}

// Dialogs and static text on the 3D face colour; edit controls on the window colour.
LRESULT control_colour(UINT message, HDC dc) {
    bool edit = message == WM_CTLCOLOREDIT;
    SetTextColor(dc, USER_COLOUR_TEXT);
    SetBkColor(dc, edit ? USER_COLOUR_WINDOW : USER_COLOUR_FACE);
    return LRESULT(GetStockObject(edit ? WHITE_BRUSH : LTGRAY_BRUSH));
}

LRESULT default_paint(HWND hwnd) {
    PAINTSTRUCT ps;
    if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
    return 0;
}

bool word_fits(const Window &w, int index) {
    return index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w.extra.size();
}

} // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window *w = window_from_handle(hwnd);
    if (!w) return 0;
    switch (message) {
    case WM_NCCREATE:
        set_text(w, reinterpret_cast<const CREATESTRUCTW *>(lparam)->lpszName);
        return TRUE;
    case WM_SETTEXT: set_text(w, reinterpret_cast<LPCWSTR>(lparam)); return TRUE;
    case WM_GETTEXT: return get_text(*w, wparam, reinterpret_cast<LPWSTR>(lparam));
    case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
    case WM_PAINT: return default_paint(hwnd);
    case WM_ERASEBKGND: return erase_background(w, reinterpret_cast<HDC>(wparam));
    case WM_NCPAINT: nonclient_paint(w); return 0;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_NCLBUTTONDOWN:
        if (wparam == HTVSCROLL)
            scrollbar_track(hwnd, POINT{short(LOWORD(lparam)), short(HIWORD(lparam))});
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd) ReleaseCapture();
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return control_colour(message, reinterpret_cast<HDC>(wparam));
    default: return 0;
    }
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    Window *w = window_from_handle(hwnd);
    if (!w) return 0;
    if (index >= 0) {
        LONG_PTR v = 0;
        if (word_fits(*w, index)) memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
    }
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->parent  ? w->parent->handle
                                          : w->owner ? w->owner->handle
                                                     : nullptr);
    case GWLP_ID: return LONG_PTR(w->id);
    case GWL_STYLE: return LONG_PTR(w->style);
    case GWL_EXSTYLE: return LONG_PTR(w->ex_style);
    case GWLP_USERDATA: return w->user_data;
    default: return 0;
    }
}

// Window words, the user data, the control id and the window procedure can be set; styles and
// the tree change through their own calls.
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    Window *w = window_from_handle(hwnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtrW(hwnd, index);
    if (index >= 0) {
        if (!word_fits(*w, index)) return 0;
        memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    switch (index) {
    case GWLP_USERDATA: w->user_data = value; return old;
    case GWLP_ID: w->id = UINT_PTR(value); return old;
    case GWLP_WNDPROC:
        if (!value) return 0;
        w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    default: return 0;
    }
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    Window *w = window_from_handle(hwnd);
    if (!w) return FALSE;
    return message_send(w, WM_SETTEXT, 0, LPARAM(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR text, int capacity) {
    Window *w = window_from_handle(hwnd);
    if (!w || !text || capacity <= 0) return 0;
    text[0] = 0;
    return int(message_send(w, WM_GETTEXT, WPARAM(capacity), LPARAM(text)));
}
