#include "support/message_log.h"

#include <stdio.h>

#include <wlgdi.h>
#include <wluser.h>

const WCHAR RECORD_CLASS[] = u"record";

namespace {

MessageLog *g_current = nullptr;

#define NAMED(m)                                                                                   \
    { m, #m }
const std::map<UINT, const char *> MESSAGE_NAMES = {
    NAMED(WM_NULL),          NAMED(WM_CREATE),         NAMED(WM_DESTROY),   NAMED(WM_MOVE),
    NAMED(WM_SIZE),          NAMED(WM_ENABLE),         NAMED(WM_SETTEXT),   NAMED(WM_GETTEXT),
    NAMED(WM_GETTEXTLENGTH), NAMED(WM_PAINT),          NAMED(WM_CLOSE),     NAMED(WM_ERASEBKGND),
    NAMED(WM_SHOWWINDOW),    NAMED(WM_CANCELMODE),     NAMED(WM_SETFONT),   NAMED(WM_GETFONT),
    NAMED(WM_NCCREATE),      NAMED(WM_NCDESTROY),      NAMED(WM_NCPAINT),   NAMED(WM_NCMOUSEMOVE),
    NAMED(WM_NCLBUTTONDOWN), NAMED(WM_NCLBUTTONUP),    NAMED(WM_KEYDOWN),   NAMED(WM_CHAR),
    NAMED(WM_VSCROLL),       NAMED(WM_INITDIALOG),     NAMED(WM_COMMAND),   NAMED(WM_TIMER),
    NAMED(WM_CTLCOLORDLG),   NAMED(WM_CTLCOLORSTATIC), NAMED(WM_MOUSEMOVE), NAMED(WM_LBUTTONDOWN),
    NAMED(WM_LBUTTONUP),     NAMED(WM_CAPTURECHANGED)};
#undef NAMED

const char *const SCROLL_REQUESTS[] = {"SB_LINEUP",   "SB_LINEDOWN",      "SB_PAGEUP",
                                       "SB_PAGEDOWN", "SB_THUMBPOSITION", "SB_THUMBTRACK",
                                       "SB_TOP",      "SB_BOTTOM",        "SB_ENDSCROLL"};

std::string format(const char *f, long a, long b = 0) {
    char s[64];
    snprintf(s, sizeof s, f, a, b);
    return s;
}

std::string point_of(LPARAM l) {
    return format(" %ld,%ld", short(LOWORD(l)), short(HIWORD(l)));
}

// WM_VSCROLL's request by name, with the thumb's position where it carries one.
std::string scroll_request(WPARAM w) {
    WORD code = LOWORD(w);
    std::string s = " " + (code < 9 ? SCROLL_REQUESTS[code] : std::to_string(code));
    if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) s += " " + std::to_string(HIWORD(w));
    return s;
}

} // namespace

MessageLog::MessageLog() {
    g_current = this;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = window_proc, wc.cbWndExtra = 2 * sizeof(LONG_PTR);
    wc.lpszClassName = RECORD_CLASS;
    RegisterClassW(&wc);
}

MessageLog::~MessageLog() {
    wl_user_shutdown(), wl_gdi_shutdown();
    g_current = nullptr;
}

HWND MessageLog::create(const std::string &name, DWORD style, int x, int y, int w, int h,
                        HWND parent, int id, DWORD ex_style) {
    pending_name_ = name;
    HWND hwnd = CreateWindowExW(ex_style, RECORD_CLASS, u"", style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
    pending_name_.clear();
    return hwnd;
}

std::string MessageLog::name_of(HWND hwnd) const {
    if (!hwnd) return "0";
    auto it = names_.find(hwnd);
    if (it != names_.end()) return it->second;
    int id = GetDlgCtrlID(hwnd);
    return id ? "#" + std::to_string(id) : "?";
}

std::string MessageLog::describe(HWND hwnd, UINT m, WPARAM w, LPARAM l) const {
    std::string s = name_of(hwnd) + " ";
    auto named = MESSAGE_NAMES.find(m);
    if (named == MESSAGE_NAMES.end() && m >= WM_USER)
        return s + format("WM_USER+%ld %ld,", long(m - WM_USER), long(w)) + std::to_string(l);
    if (named == MESSAGE_NAMES.end()) return s + format("0x%04lx", long(m));
    s += named->second;
    switch (m) {
    case WM_SIZE: return s + format(" %ldx%ld", LOWORD(l), HIWORD(l));
    case WM_MOVE: return s + point_of(l);
    case WM_SHOWWINDOW:
    case WM_ENABLE: return s + (w ? " 1" : " 0");
    case WM_COMMAND:
        return s + format(" %ld,%ld ", LOWORD(w), HIWORD(w)) + name_of(reinterpret_cast<HWND>(l));
    case WM_TIMER:
    case WM_INITDIALOG: return s + " " + std::to_string(m == WM_TIMER ? LPARAM(w) : l);
    case WM_CAPTURECHANGED: return s + " ->" + name_of(reinterpret_cast<HWND>(l));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: return s + point_of(l) + ((w & MK_LBUTTON) ? " down" : "");
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCMOUSEMOVE: return s + " hit" + std::to_string(w);
    case WM_CHAR: return s + " " + char(w);
    case WM_KEYDOWN: return s + format(" vk%#lx", long(w));
    case WM_VSCROLL: return s + scroll_request(w);
    default: return s;
    }
}

bool MessageLog::record(HWND hwnd, UINT m, WPARAM w, LPARAM l, LRESULT *result,
                        std::string *pending) {
    if (!names_.count(hwnd) && !pending->empty()) names_[hwnd] = std::exchange(*pending, "");
    if (!ignored_.count(m)) lines_.push_back(describe(hwnd, m, w, l));
    auto it = handlers_.find(name_of(hwnd));
    return it != handlers_.end() && it->second(hwnd, m, w, l, result);
}

LRESULT CALLBACK MessageLog::window_proc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
    LRESULT result = 0;
    if (g_current && g_current->record(hwnd, m, w, l, &result, &g_current->pending_name_))
        return result;
    return DefWindowProcW(hwnd, m, w, l);
}

INT_PTR CALLBACK MessageLog::dialog_proc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
    LRESULT result = 0;
    if (g_current && g_current->record(hwnd, m, w, l, &result, &g_current->pending_dialog_))
        return result;
    return FALSE;
}

void pump_pending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        TranslateMessage(&msg), DispatchMessageW(&msg);
}
