// Modal dialogs: the dialog class and its default procedure, creation from a template, the
// modal loop, EndDialog.
#include <memory>

#include "kernel/trace.h"
#include "user/dialog_template.h"
#include "user/user_internal.h"

namespace {

const WCHAR DIALOG_CLASS[] = u"#32770";
// A template's point size that means "the system font".
constexpr WORD SYSTEM_FONT_POINTS = 0x7FFF;
// Template font sizes are points; the screen has 96 pixels per inch.
constexpr int SCREEN_DPI = 96;

int mul_div(int a, int b, int c) {
    int64_t p = int64_t(a) * b;
    int64_t q = (p >= 0 ? p + c / 2 : p - c / 2) / c; // rounded half away from zero
    return int(q);
}

// The average character width and the height of the dialog's font: dialog units are a quarter
// of the one and an eighth of the other.
SIZE base_units(HFONT font) {
    static const WCHAR ALPHABET[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE units{8, 16};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW tm;
    SIZE extent;
    if (GetTextMetricsW(dc, &tm) && GetTextExtentPoint32W(dc, ALPHABET, 52, &extent))
        units = SIZE{(extent.cx / 26 + 1) / 2, tm.tmHeight};
    SelectObject(dc, old);
    DeleteDC(dc);
    return units;
}

RECT to_pixels(SIZE units, short x, short y, short cx, short cy) {
    int left = mul_div(x, units.cx, 4), top = mul_div(y, units.cy, 8);
    return RECT{left, top, left + mul_div(cx, units.cx, 4), top + mul_div(cy, units.cy, 8)};
}

HFONT template_font(const DialogTemplate &t, bool *owned) {
    *owned = false;
    if (!t.has_font) return nullptr;
    if (t.point_size == SYSTEM_FONT_POINTS) return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    *owned = true;
    return CreateFontW(-mul_div(t.point_size, SCREEN_DPI, 72), 0, 0, 0, t.weight, t.italic, 0, 0,
                       t.charset, 0, 0, 0, 0, t.face.c_str());
}

const WCHAR *ordinal_class(WORD ordinal) {
    switch (ordinal) {
    case 0x80: return u"Button";
    case 0x81: return u"Edit";
    case 0x82: return u"Static";
    case 0x83: return u"ListBox";
    case 0x84: return u"ScrollBar";
    case 0x85: return u"ComboBox";
    default: return nullptr;
    }
}

DialogState *state_of(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    return w ? w->dialog.get() : nullptr;
}

// The dialog window's rectangle: the template's client area, placed relative to the owner's
// client area (DS_ABSALIGN: the screen), grown by the frame.
RECT dialog_rect(const DialogTemplate &t, SIZE units, HWND owner) {
    RECT client = to_pixels(units, t.x, t.y, t.cx, t.cy);
    POINT origin{0, 0};
    if (owner && !(t.style & DS_ABSALIGN)) ClientToScreen(owner, &origin);
    Window probe;
    probe.style = t.style;
    probe.ex_style = t.ex_style;
    probe.rect = RECT{0, 0, 0x10000, 0x10000};
    RECT in = nonclient_insets(probe);
    return RECT{origin.x + client.left, origin.y + client.top,
                origin.x + client.right + in.left + in.right,
                origin.y + client.bottom + in.top + in.bottom};
}

bool create_controls(HWND dialog, const DialogTemplate &t, SIZE units, HFONT font,
                     HINSTANCE instance) {
    for (const TemplateItem &item : t.items) {
        const WCHAR *cls = item.class_name.is_ordinal ? ordinal_class(item.class_name.ordinal)
                                                      : item.class_name.text.c_str();
        RECT r = to_pixels(units, item.x, item.y, item.cx, item.cy);
        const WCHAR *title = item.title.is_ordinal ? u"" : item.title.text.c_str();
        HWND c = cls ? CreateWindowExW(item.ex_style, cls, title, item.style | WS_CHILD, r.left,
                                       r.top, r.right - r.left, r.bottom - r.top, dialog,
                                       reinterpret_cast<HMENU>(UINT_PTR(item.id)), instance,
                                       const_cast<void *>(item.creation_data))
                     : nullptr;
        if (!IsWindow(dialog)) return false;
        if (!c && !(t.style & DS_NOFAILCREATE)) return false;
        if (c && font) SendMessageW(c, WM_SETFONT, WPARAM(font), 0);
    }
    return true;
}

// The control that WM_INITDIALOG proposes for the focus: the first that takes the tab key.
HWND first_tab_stop(HWND dialog) {
    Window *w = window_from_handle(dialog);
    for (Window *c : w ? w->children : std::vector<Window *>{}) {
        if ((c->style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE))
            return c->handle;
    }
    return nullptr;
}

HWND make_dialog(HINSTANCE instance, const DialogTemplate &t, HWND owner, DLGPROC proc) {
    // The layer has no menus, and a dialog of a class of its own would need DefDlgProcW.
    if (t.menu.present || t.class_name.present) return nullptr;
    bool owns_font;
    HFONT font = template_font(t, &owns_font);
    SIZE units = base_units(font);
    RECT r = dialog_rect(t, units, owner);
    HWND dialog = CreateWindowExW(t.ex_style, DIALOG_CLASS, t.title.c_str(), t.style & ~WS_VISIBLE,
                                  r.left, r.top, r.right - r.left, r.bottom - r.top, owner, nullptr,
                                  instance, nullptr);
    Window *w = window_from_handle(dialog);
    if (!w) {
        if (owns_font) DeleteObject(font);
        return nullptr;
    }
    w->dialog = std::make_unique<DialogState>();
    w->dialog->font = font;
    w->dialog->owns_font = owns_font;
    SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    if (font) SendMessageW(dialog, WM_SETFONT, WPARAM(font), 0);
    if (!create_controls(dialog, t, units, font, instance)) {
        DestroyWindow(dialog);
        return nullptr;
    }
    return dialog;
}

// WM_INITDIALOG, then shown if the template asks for it, then the owner is disabled.
void start_dialog(HWND dialog, const DialogTemplate &t, HWND owner, LPARAM param) {
    SendMessageW(dialog, WM_INITDIALOG, WPARAM(first_tab_stop(dialog)), param);
    DialogState *s = state_of(dialog);
    if (!s || s->ended) return;
    if ((t.style & WS_VISIBLE) && !IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
    if (!(s = state_of(dialog)) || s->ended || !owner || !IsWindowEnabled(owner)) return;
    s->disabled_owner = owner;
    EnableWindow(owner, FALSE);
}

// Runs until EndDialog (checked before each message is retrieved) or until the dialog is
// destroyed some other way; a dialog still hidden when the loop starts is shown.
INT_PTR modal_loop(HWND dialog) {
    INT_PTR result = 0;
    DialogState *s = state_of(dialog);
    if (s && !s->ended && !IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
    while ((s = state_of(dialog)) && !s->ended) {
        MSG msg;
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostMessageW(nullptr, WM_QUIT, msg.wParam, 0); // for the loops outside
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if ((s = state_of(dialog))) {
        result = s->result;
        if (s->disabled_owner) EnableWindow(s->disabled_owner, TRUE);
        if ((s = state_of(dialog))) s->disabled_owner = nullptr;
    }
    DestroyWindow(dialog);
    return result;
}

INT_PTR run_dialog(HINSTANCE instance, const DialogTemplate &t, HWND owner, DLGPROC proc,
                   LPARAM param) {
    Window *o = window_from_handle(owner);
    HWND root = o ? window_root(o)->handle : nullptr;
    HWND dialog = make_dialog(instance, t, root, proc);
    if (!dialog) return -1;
    TRACE(TRACE_DIALOG, "dialog %p runs, owner %p", (void *)dialog, (void *)root);
    if (Window *w = window_from_handle(dialog)) w->dialog->modal = true;
    start_dialog(dialog, t, root, param);
    INT_PTR result = modal_loop(dialog);
    TRACE(TRACE_DIALOG, "dialog %p ended with %ld", (void *)dialog, long(result));
    return result;
}

// The messages whose result the dialog procedure returns itself, not through DWLP_MSGRESULT.
bool returns_directly(UINT message) {
    return message == WM_INITDIALOG || message == WM_CTLCOLOREDIT || message == WM_CTLCOLORDLG ||
           message == WM_CTLCOLORSTATIC;
}

LRESULT erase_dialog(HWND hwnd, HDC dc) {
    HBRUSH brush =
        reinterpret_cast<HBRUSH>(SendMessageW(hwnd, WM_CTLCOLORDLG, WPARAM(dc), LPARAM(hwnd)));
    RECT r;
    if (!brush || !GetClientRect(hwnd, &r)) return 0;
    FillRect(dc, &r, brush);
    return 1;
}

// WM_CLOSE is the Cancel command, unless a disabled IDCANCEL control refuses it.
LRESULT close_dialog(HWND hwnd) {
    HWND cancel = GetDlgItem(hwnd, IDCANCEL);
    if (cancel && !IsWindowEnabled(cancel)) return 0;
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(cancel));
    return 0;
}

LRESULT dialog_default(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    DialogState *s = state_of(hwnd);
    switch (message) {
    case WM_ERASEBKGND: return erase_dialog(hwnd, reinterpret_cast<HDC>(wparam));
    case WM_CLOSE: return close_dialog(hwnd);
    case WM_SETFONT:
        if (s) s->font = reinterpret_cast<HFONT>(wparam);
        return 0;
    case WM_GETFONT: return s ? LRESULT(s->font) : 0;
    case WM_NCDESTROY:
        if (s && s->owns_font) DeleteObject(s->font);
        if (s) s->owns_font = false;
        return DefWindowProcW(hwnd, message, wparam, lparam);
    default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

// The dialog class's window procedure: the dialog procedure first; what it leaves (FALSE) gets
// the default dialog behaviour.
LRESULT CALLBACK dialog_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    DLGPROC proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(hwnd, DWLP_DLGPROC));
    if (proc) {
        INT_PTR r = proc(hwnd, message, wparam, lparam);
        if (r || !IsWindow(hwnd))
            return returns_directly(message) ? r : GetWindowLongPtrW(hwnd, DWLP_MSGRESULT);
    }
    return dialog_default(hwnd, message, wparam, lparam);
}

} // namespace

void dialog_class_register() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = dialog_window_proc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.lpszClassName = DIALOG_CLASS;
    class_register_builtin(wc);
}

// ---- Win32 -------------------------------------------------------------------------------------

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialog_template, HWND owner,
                                DLGPROC proc, LPARAM param) {
    if (owner && !IsWindow(owner)) return 0;
    DialogTemplate t;
    // Without a size, the template is trusted to be well formed, as Windows trusts it.
    if (!template_parse(dialog_template, SIZE_MAX / 2, &t)) return -1;
    return run_dialog(instance, t, owner, proc, param);
}

INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR template_name, HWND owner, DLGPROC proc,
                        LPARAM param) {
    if (owner && !IsWindow(owner)) return 0;
    HRSRC resource = FindResourceW(instance, template_name, RT_DIALOG);
    if (!resource) return -1;
    const void *data = LockResource(LoadResource(instance, resource));
    DialogTemplate t;
    if (!template_parse(data, SizeofResource(instance, resource), &t)) return -1;
    return run_dialog(instance, t, owner, proc, param);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    DialogState *s = state_of(dialog);
    if (!s) return FALSE;
    s->ended = true;
    s->result = result;
    HWND owner = s->disabled_owner;
    s->disabled_owner = nullptr;
    if (owner) EnableWindow(owner, TRUE);
    if (!IsWindow(dialog)) return TRUE;
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageW(dialog, WM_NULL, 0, 0); // wakes a loop that is waiting
    return TRUE;
}
