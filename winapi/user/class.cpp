// Window classes: RegisterClassW, UnregisterClassW, LoadCursorW, and the layer's own classes.
#include <memory>
#include <string>

#include "kernel/trace.h"
#include "kernel/utf.h"
#include "user/user_internal.h"

namespace {

// Atoms of registered classes, as RegisterClassW hands them out; a class is found by name or
// by its atom passed as MAKEINTATOM.
constexpr ATOM FIRST_ATOM = 0xC000;

struct ClassTable {
    std::vector<std::unique_ptr<WndClass>> classes;
    ATOM next_atom = FIRST_ATOM;
    bool builtin_registered = false;
};

ClassTable &table() {
    static ClassTable t;
    return t;
}

bool name_matches(const WndClass &c, LPCWSTR name) {
    if (IS_INTRESOURCE(name)) return c.atom == ATOM(reinterpret_cast<ULONG_PTR>(name));
    return utf_equal_nocase(c.name.data(), c.name.size(), name, wcslen(name));
}

WndClass *find_exact(LPCWSTR name, HINSTANCE instance, bool builtin) {
    for (auto &c : table().classes) {
        if (c->builtin == builtin && (builtin || c->instance == instance) && name_matches(*c, name))
            return c.get();
    }
    return nullptr;
}

std::string trace_name(const WndClass &c) {
    std::string s;
    utf_to_utf8(c.name.data(), c.name.size(), s);
    return s;
}

ATOM add_class(const WNDCLASSW &wc, bool builtin) {
    if (!wc.lpfnWndProc || !wc.lpszClassName || wc.cbClsExtra < 0 || wc.cbWndExtra < 0) return 0;
    if (IS_INTRESOURCE(wc.lpszClassName)) return 0;
    if (find_exact(wc.lpszClassName, wc.hInstance, builtin)) return 0;
    ClassTable &t = table();
    auto c = std::make_unique<WndClass>();
    c->name.assign(wc.lpszClassName, wcslen(wc.lpszClassName));
    c->atom = t.next_atom++;
    c->instance = builtin ? nullptr : wc.hInstance;
    c->builtin = builtin;
    c->style = wc.style;
    c->proc = wc.lpfnWndProc;
    c->class_extra = wc.cbClsExtra;
    c->window_extra = wc.cbWndExtra;
    c->cursor = wc.hCursor;
    c->background = wc.hbrBackground;
    c->windows = 0;
    t.classes.push_back(std::move(c));
    TRACE(TRACE_USER, "class %s%s registered, atom %#x", trace_name(*t.classes.back()).c_str(),
          builtin ? " (own)" : "", t.next_atom - 1);
    return ATOM(t.next_atom - 1);
}

// The system cursors that LoadCursorW gives out: the handles are the addresses of these.
struct SystemCursor {
    WORD id;
    int unused;
};
const SystemCursor SYSTEM_CURSORS[] = {{32512, 0}, {32645, 0}};

} // namespace

WndClass *class_find(LPCWSTR name, HINSTANCE instance) {
    if (!name) return nullptr;
    WndClass *c = find_exact(name, instance, false);
    if (c) return c;
    class_ensure_builtin();
    return find_exact(name, nullptr, true);
}

ATOM class_register_builtin(const WNDCLASSW &wc) {
    return add_class(wc, true);
}

void class_ensure_builtin() {
    ClassTable &t = table();
    if (t.builtin_registered) return;
    t.builtin_registered = true;
    dialog_class_register();
    edit_class_register();
}

void class_shutdown() {
    ClassTable &t = table();
    t.classes.clear();
    t.builtin_registered = false;
}

// ---- Win32 -------------------------------------------------------------------------------------

ATOM RegisterClassW(const WNDCLASSW *wc) {
    return wc ? add_class(*wc, false) : 0;
}

BOOL UnregisterClassW(LPCWSTR name, HINSTANCE instance) {
    if (!name) return FALSE;
    auto &classes = table().classes;
    for (size_t i = 0; i < classes.size(); ++i) {
        WndClass &c = *classes[i];
        if (c.builtin || c.instance != instance || !name_matches(c, name)) continue;
        if (c.windows > 0) return FALSE;
        // The class owns its background brush: Windows deletes it with the class (a stock
        // brush is not deleted by DeleteObject).
        if (c.background) DeleteObject(c.background);
        classes.erase(classes.begin() + long(i));
        return TRUE;
    }
    return FALSE;
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    // Only the system's own cursors: the module has no cursor resources.
    if (instance || !IS_INTRESOURCE(name)) return nullptr;
    WORD id = WORD(reinterpret_cast<ULONG_PTR>(name));
    for (const SystemCursor &c : SYSTEM_CURSORS) {
        if (c.id == id) return reinterpret_cast<HCURSOR>(const_cast<SystemCursor *>(&c));
    }
    return nullptr;
}
