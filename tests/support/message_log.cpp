#include "support/message_log.h"

#include <stdio.h>

#include <wlgdi.h>
#include <wluser.h>

const WCHAR RECORD_CLASS[] = u"record";

namespace {

MessageLog *g_current = nullptr;

const char *message_name(UINT m) {
    switch (m) {
    case WM_NULL: return "WM_NULL";
    case WM_CREATE: return "WM_CREATE";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_MOVE: return "WM_MOVE";
    case WM_SIZE: return "WM_SIZE";
    case WM_ENABLE: return "WM_ENABLE";
    case WM_SETTEXT: return "WM_SETTEXT";
    case WM_GETTEXT: return "WM_GETTEXT";
    case WM_GETTEXTLENGTH: return "WM_GETTEXTLENGTH";
    case WM_PAINT: return "WM_PAINT";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_ERASEBKGND: return "WM_ERASEBKGND";
    case WM_SHOWWINDOW: return "WM_SHOWWINDOW";
    case WM_CANCELMODE: return "WM_CANCELMODE";
    case WM_SETFONT: return "WM_SETFONT";
    case WM_GETFONT: return "WM_GETFONT";
    case WM_NCCREATE: return "WM_NCCREATE";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_NCPAINT: return "WM_NCPAINT";
    case WM_NCMOUSEMOVE: return "WM_NCMOUSEMOVE";
    case WM_NCLBUTTONDOWN: return "WM_NCLBUTTONDOWN";
    case WM_NCLBUTTONUP: return "WM_NCLBUTTONUP";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_CHAR: return "WM_CHAR";
    case WM_VSCROLL: return "WM_VSCROLL";
    case WM_INITDIALOG: return "WM_INITDIALOG";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_TIMER: return "WM_TIMER";
    case WM_CTLCOLORDLG: return "WM_CTLCOLORDLG";
    case WM_CTLCOLORSTATIC: return "WM_CTLCOLORSTATIC";
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_CAPTURECHANGED: return "WM_CAPTURECHANGED";
    default: return nullptr;
    }
}

// WM_VSCROLL's request by name, with the thumb's position where it carries one.
std::string scroll_request(WPARAM w) {
    static const char *const NAMES[] = {"SB_LINEUP",   "SB_LINEDOWN",      "SB_PAGEUP",
                                        "SB_PAGEDOWN", "SB_THUMBPOSITION", "SB_THUMBTRACK",
                                        "SB_TOP",      "SB_BOTTOM",        "SB_ENDSCROLL"};
    WORD code = LOWORD(w);
    std::string s = " ";
    s += code < 9 ? NAMES[code] : std::to_string(code);
    if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) s += " " + std::to_string(HIWORD(w));
    return s;
}

std::string point_of(LPARAM l) {
    char s[32];
    snprintf(s, sizeof s, " %d,%d", int(short(LOWORD(l))), int(short(HIWORD(l))));
    return s;
}

} // namespace

MessageLog::MessageLog() {
    g_current = this;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = window_proc;
    wc.cbWndExtra = 2 * sizeof(LONG_PTR);
    wc.lpszClassName = RECORD_CLASS;
    RegisterClassW(&wc);
}

MessageLog::~MessageLog() {
    wl_user_shutdown();
    wl_gdi_shutdown();
    g_current = nullptr;
}

MessageLog *MessageLog::current() {
    return g_current;
}

HWND MessageLog::create(const std::string &name, DWORD style, int x, int y, int w, int h,
                        HWND parent, int id, DWORD ex_style) {
    pending_name_ = name;
    HWND hwnd = CreateWindowExW(ex_style, RECORD_CLASS, u"", style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
    pending_name_.clear();
    return hwnd;
}

void MessageLog::name(HWND hwnd, const std::string &name) {
    if (hwnd)
        names_[hwnd] = name;
    else
        pending_name_ = name;
}

void MessageLog::handle(const std::string &name, MessageHandler handler) {
    handlers_[name] = std::move(handler);
}

Lines MessageLog::take() {
    Lines out;
    out.swap(lines_);
    return out;
}

std::string MessageLog::name_of(HWND hwnd) const {
    if (!hwnd) return "0";
    auto it = names_.find(hwnd);
    if (it != names_.end()) return it->second;
    int id = GetDlgCtrlID(hwnd);
    return id ? "#" + std::to_string(id) : "?";
}

std::string MessageLog::describe(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
    std::string s = name_of(hwnd) + " ";
    char buf[64];
    const char *n = message_name(m);
    if (n) {
        s += n;
    } else if (m >= WM_USER) {
        snprintf(buf, sizeof buf, "WM_USER+%u %ld,%ld", m - WM_USER, long(w), long(l));
        return s + buf;
    } else {
        snprintf(buf, sizeof buf, "0x%04x", m);
        return s + buf;
    }
    switch (m) {
    case WM_SIZE: snprintf(buf, sizeof buf, " %dx%d", LOWORD(l), HIWORD(l)); return s + buf;
    case WM_MOVE: return s + point_of(l);
    case WM_SHOWWINDOW:
    case WM_ENABLE: return s + (w ? " 1" : " 0");
    case WM_COMMAND:
        snprintf(buf, sizeof buf, " %u,%u ", LOWORD(w), HIWORD(w));
        return s + buf + name_of(reinterpret_cast<HWND>(l));
    case WM_TIMER: snprintf(buf, sizeof buf, " %lu", (unsigned long)w); return s + buf;
    case WM_CAPTURECHANGED: return s + " ->" + name_of(reinterpret_cast<HWND>(l));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: return s + point_of(l) + ((w & MK_LBUTTON) ? " down" : "");
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCMOUSEMOVE: snprintf(buf, sizeof buf, " hit%lu", (unsigned long)w); return s + buf;
    case WM_CHAR: snprintf(buf, sizeof buf, " %c", char(w)); return s + buf;
    case WM_KEYDOWN: snprintf(buf, sizeof buf, " vk%#lx", (unsigned long)w); return s + buf;
    case WM_VSCROLL: return s + scroll_request(w);
    case WM_INITDIALOG: snprintf(buf, sizeof buf, " %ld", long(l)); return s + buf;
    default: return s;
    }
}

bool MessageLog::record(HWND hwnd, UINT m, WPARAM w, LPARAM l, LRESULT *result,
                        std::string *pending) {
    if (!names_.count(hwnd) && !pending->empty()) {
        names_[hwnd] = *pending;
        pending->clear();
    }
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
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

MessageHandler button_behaviour() {
    return [](HWND hwnd, UINT m, WPARAM, LPARAM l, LRESULT *result) {
        *result = 0;
        if (m == WM_LBUTTONDOWN) {
            SetCapture(hwnd);
            return true;
        }
        if (m != WM_LBUTTONUP || GetCapture() != hwnd) return false;
        ReleaseCapture();
        RECT r;
        GetClientRect(hwnd, &r);
        POINT p{short(LOWORD(l)), short(HIWORD(l))};
        if (p.x >= 0 && p.y >= 0 && p.x < r.right && p.y < r.bottom)
            SendMessageW(GetParent(hwnd), WM_COMMAND, WPARAM(GetDlgCtrlID(hwnd)), LPARAM(hwnd));
        return true;
    };
}
