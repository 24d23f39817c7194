// wl-demo: a modal dialog of the window manager's controls on the desktop screen: a read-only
// edit control with long wrapped text and its scroll bar, a list with a scroll bar of its own,
// and push keys drawn by a class of the demo. Typed characters show in the title bar; the arrow
// keys scroll the text.
//
//   wl-demo [--scale 1|2] [--exit-after MS] [--shot FILE]   in a desktop window
//   wl-demo --headless --shot FILE                          headless: one PNG of the screen
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include <windows.h>
#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

namespace {

const WCHAR KEY_CLASS[] = u"demokey";
const WCHAR LIST_CLASS[] = u"demolist";
const WCHAR TITLE_CLASS[] = u"demotitle";
constexpr int ID_ESC = 100, ID_PGUP = 101, ID_PGDN = 102, ID_TOP = 103, ID_TEXT = 201,
              ID_LIST = 202;
constexpr UINT_PTR EXIT_TIMER = 1;

struct Options {
    int scale = 1;
    bool headless = false;
    const char *shot = nullptr;
    unsigned exit_after = 0; // ms; 0: run until closed
};

struct Demo {
    Options options;
    HWND title = nullptr;
    std::u16string typed;
    HBRUSH blue = nullptr;
    HFONT text_font = nullptr;
    HFONT key_font = nullptr;
};

Demo g_demo;

// ---- The title bar ---------------------------------------------------------------------------

LRESULT CALLBACK title_proc(HWND hwnd, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_PAINT) return DefWindowProcW(hwnd, m, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ old = SelectObject(dc, g_demo.key_font);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    std::u16string text = u"Window manager demo   typed: " + g_demo.typed;
    r.left += 8;
    DrawTextW(dc, text.c_str(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
    return 0;
}

void on_char(WCHAR c) {
    if (c == 8 && !g_demo.typed.empty()) g_demo.typed.pop_back();
    if (c >= 32) g_demo.typed += c;
    InvalidateRect(g_demo.title, nullptr, TRUE);
}

// ---- Keys ------------------------------------------------------------------------------------

// A key shows pressed (dark) while the touch that took it is on it.
void paint_key(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    bool down = GetCapture() == hwnd && GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    HBRUSH face = CreateSolidBrush(down ? RGB(96, 96, 96) : RGB(208, 208, 208));
    FillRect(dc, &r, face);
    DeleteObject(face);
    HGDIOBJ old = SelectObject(dc, g_demo.key_font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, down ? RGB(255, 255, 255) : RGB(0, 0, 0));
    WCHAR text[32];
    GetWindowTextW(hwnd, text, 32);
    DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}

bool inside(HWND hwnd, LPARAM lp) {
    RECT r;
    GetClientRect(hwnd, &r);
    int x = short(LOWORD(lp)), y = short(HIWORD(lp));
    return x >= 0 && y >= 0 && x < r.right && y < r.bottom;
}

void set_down(HWND hwnd, bool down) {
    if (bool(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) == down) return;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, down);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void key_release(HWND hwnd, LPARAM lp) {
    if (GetCapture() != hwnd) return;
    bool hit = inside(hwnd, lp);
    set_down(hwnd, false);
    ReleaseCapture();
    if (hit) SendMessageW(GetParent(hwnd), WM_COMMAND, WPARAM(GetDlgCtrlID(hwnd)), LPARAM(hwnd));
}

LRESULT CALLBACK key_proc(HWND hwnd, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_PAINT: paint_key(hwnd); return 0;
    case WM_LBUTTONDOWN:
        SetCapture(hwnd);
        set_down(hwnd, true);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == hwnd) set_down(hwnd, inside(hwnd, lp));
        return 0;
    case WM_LBUTTONUP: key_release(hwnd, lp); return 0;
    default: return DefWindowProcW(hwnd, m, wp, lp);
    }
}

// ---- The list ----------------------------------------------------------------------------------

// 200 rows; the scroll bar asks, the list moves its position and repaints.
LRESULT list_scroll(HWND hwnd, WPARAM wp) {
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd, SB_VERT, &si);
    static const int STEP[] = {-1, 1, -10, 10};
    if (LOWORD(wp) < 4) si.nPos += STEP[LOWORD(wp)];
    if (LOWORD(wp) == SB_THUMBTRACK) si.nPos = HIWORD(wp);
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

void paint_list(HWND hwnd) {
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd, SB_VERT, &si);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HGDIOBJ old = SelectObject(dc, g_demo.key_font);
    RECT r;
    GetClientRect(hwnd, &r);
    for (int row = 0; row * 28 < r.bottom; ++row) {
        WCHAR text[32];
        int n = si.nPos + row, len = 0;
        for (const char *s = "Row "; *s; ++s)
            text[len++] = WCHAR(*s);
        for (int d = 100; d > 0; d /= 10)
            text[len++] = WCHAR(u'0' + n / d % 10);
        ExtTextOutW(dc, 6, 2 + 28 * row, 0, nullptr, text, UINT(len), nullptr);
    }
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK list_proc(HWND hwnd, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_VSCROLL) return list_scroll(hwnd, wp);
    if (m == WM_PAINT) {
        paint_list(hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, m, wp, lp);
}

// ---- The dialog --------------------------------------------------------------------------------

const char16_t TEXT[] =
    u"This is a read-only multi-line edit control. Its long lines wrap at the spaces between "
    u"words; a word too long for a line, like "
    u"Donaudampfschifffahrtsgesellschaftskapitaenswitwenrentenversicherung, breaks where it "
    u"must.\r\n\r\n"
    u"Touch the arrows of its scroll bar to move the text by a line, the trough to move it by a "
    u"page, or drag the thumb. Hold an arrow and it repeats.\r\n\r\n"
    u"The keys on the right page the text; Esc or the window's close button ends the demo. "
    u"Typed characters appear in the title bar, and the up and down keys scroll the text.\r\n";

void fill_text(HWND text) {
    std::u16string t = TEXT;
    for (int i = 1; i <= 40; ++i) {
        t += u"\r\nLine ";
        t += char16_t(u'0' + i / 10);
        t += char16_t(u'0' + i % 10);
        t += u" of the numbered part of the text.";
    }
    SetWindowTextW(text, t.c_str());
}

void build(HWND dlg) {
    MoveWindow(dlg, 0, 37, 800, 443, TRUE);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    HWND text = CreateWindowExW(WS_EX_CLIENTEDGE, u"edit", u"",
                                child | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0, 520, 443,
                                dlg, HMENU(ID_TEXT), nullptr, nullptr);
    SendMessageW(text, WM_SETFONT, WPARAM(g_demo.text_font), 0);
    fill_text(text);
    HWND list = CreateWindowExW(0, LIST_CLASS, u"", child | WS_VSCROLL | WS_BORDER, 530, 10, 155,
                                423, dlg, HMENU(ID_LIST), nullptr, nullptr);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL, 0, 185, 0, 0, 0};
    SetScrollInfo(list, SB_VERT, &si, TRUE);
    const struct {
        int id, y;
        const char16_t *caption;
    } keys[] = {{ID_ESC, 5, u"Esc"},
                {ID_TOP, 280, u"Top"},
                {ID_PGUP, 335, u"PgUp"},
                {ID_PGDN, 390, u"PgDn"}};
    for (const auto &k : keys)
        CreateWindowExW(0, KEY_CLASS, k.caption, child, 695, k.y, 100, 50, dlg,
                        HMENU(INT_PTR(k.id)), nullptr, nullptr);
    wl_screen_set_close_target(dlg);
    if (g_demo.options.exit_after) SetTimer(dlg, EXIT_TIMER, g_demo.options.exit_after, nullptr);
}

void finish(HWND dlg) {
    if (g_demo.options.shot && !wl_screen_save_png(g_demo.options.shot))
        fprintf(stderr, "wl-demo: can't write %s\n", g_demo.options.shot);
    EndDialog(dlg, 0);
}

void scroll_text(HWND dlg, WORD request) {
    SendMessageW(GetDlgItem(dlg, ID_TEXT), WM_VSCROLL, request, 0);
}

INT_PTR on_command(HWND dlg, int id) {
    switch (id) {
    case ID_ESC:
    case IDCANCEL: finish(dlg); break;
    case ID_TOP: scroll_text(dlg, SB_TOP); break;
    case ID_PGUP: scroll_text(dlg, SB_PAGEUP); break;
    case ID_PGDN: scroll_text(dlg, SB_PAGEDOWN); break;
    default: break;
    }
    return TRUE;
}

INT_PTR on_key(HWND dlg, WPARAM vk) {
    if (vk == VK_UP) scroll_text(dlg, SB_LINEUP);
    if (vk == VK_DOWN) scroll_text(dlg, SB_LINEDOWN);
    return TRUE;
}

INT_PTR CALLBACK dialog_proc(HWND dlg, UINT m, WPARAM wp, LPARAM) {
    switch (m) {
    case WM_INITDIALOG: build(dlg); return TRUE;
    case WM_CTLCOLORDLG: return INT_PTR(g_demo.blue);
    case WM_CTLCOLORSTATIC: return INT_PTR(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND: return on_command(dlg, LOWORD(wp));
    case WM_CHAR: on_char(WCHAR(wp)); return TRUE;
    case WM_KEYDOWN: return on_key(dlg, wp);
    case WM_TIMER: finish(dlg); return TRUE;
    default: return FALSE;
    }
}

// ---- Start -------------------------------------------------------------------------------------

bool parse(int argc, char **argv, Options *o) {
    for (int i = 1; i < argc; ++i) {
        bool more = i + 1 < argc;
        if (!strcmp(argv[i], "--headless"))
            o->headless = true;
        else if (!strcmp(argv[i], "--scale") && more)
            o->scale = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--shot") && more)
            o->shot = argv[++i];
        else if (!strcmp(argv[i], "--exit-after") && more)
            o->exit_after = unsigned(strtoul(argv[++i], nullptr, 10));
        else
            return false;
    }
    return !o->headless || o->shot;
}

void register_classes() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = key_proc;
    wc.lpszClassName = KEY_CLASS;
    RegisterClassW(&wc);
    wc.lpfnWndProc = title_proc;
    wc.lpszClassName = TITLE_CLASS;
    RegisterClassW(&wc);
    wc.lpfnWndProc = list_proc;
    wc.lpszClassName = LIST_CLASS;
    wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
}

// Headless, the first idle moment has the whole dialog drawn: it is saved and the demo ends.
WlIdleResult headless_idle(void *) {
    HWND dlg = wl_window_top();
    if (dlg) finish(dlg);
    return WL_IDLE_BUSY;
}

// An empty dialog template: the dialog makes its controls itself.
struct EmptyTemplate {
    DLGTEMPLATE head;
    WORD menu, cls, title;
};

} // namespace

int main(int argc, char **argv) {
    if (!parse(argc, argv, &g_demo.options)) {
        fprintf(stderr, "usage: wl-demo [--scale 1|2] [--exit-after MS] [--shot FILE]\n"
                        "       wl-demo --headless --shot FILE\n");
        return 2;
    }
    if (g_demo.options.headless)
        wl_user_set_idle_hook(headless_idle, nullptr);
    else if (!wl_screen_open_window(g_demo.options.scale)) {
        fprintf(stderr, "wl-demo: no desktop window (no display, or a scale other than 1 or 2); "
                        "use --headless --shot FILE\n");
        return 1;
    }
    register_classes();
    g_demo.blue = CreateSolidBrush(RGB(11, 25, 255));
    g_demo.text_font = CreateFontW(24, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"courier new");
    g_demo.key_font = CreateFontW(24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, u"arial");
    g_demo.title = CreateWindowExW(0, TITLE_CLASS, u"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 37,
                                   nullptr, nullptr, nullptr, nullptr);
    EmptyTemplate t = {{WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0, 0}, 0, 0, 0};
    DialogBoxIndirectParamW(nullptr, &t.head, g_demo.title, dialog_proc, 0);
    wl_user_shutdown();
    DeleteObject(g_demo.blue);
    DeleteObject(g_demo.text_font);
    DeleteObject(g_demo.key_font);
    wl_gdi_shutdown();
    wl_screen_close_window();
    return 0;
}
