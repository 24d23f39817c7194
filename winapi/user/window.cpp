// Windows: the handle table, creation and destruction, the tree and z-order, geometry.
#include <string.h>

#include <algorithm>
#include <memory>

#include <wluser.h>

#include "kernel/trace.h"
#include "screen/screen.h"
#include "user/user_internal.h"

namespace {

// A handle is (generation << 16) | (slot + 1): a handle of a destroyed window never matches the
// window that reuses its slot (until the 16-bit generation wraps).
struct WindowTable {
    std::vector<std::unique_ptr<Window>> slots;
    std::vector<uint16_t> generations;
    std::vector<uint32_t> free_slots;
    std::vector<Window *> top_levels; // bottom first
};

WindowTable &table() {
    static WindowTable t;
    return t;
}

uint32_t slot_of(HWND hwnd) {
    return uint32_t(uintptr_t(hwnd) & 0xFFFF);
}

Window *window_alloc() {
    WindowTable &t = table();
    uint32_t slot;
    if (!t.free_slots.empty()) {
        slot = t.free_slots.back();
        t.free_slots.pop_back();
    } else {
        if (t.slots.size() >= 0xFFFF) return nullptr;
        slot = uint32_t(t.slots.size());
        t.slots.emplace_back();
        t.generations.push_back(0);
    }
    uint16_t generation = uint16_t(t.generations[slot] + 1);
    if (generation == 0) generation = 1;
    t.generations[slot] = generation;
    t.slots[slot] = std::make_unique<Window>();
    t.slots[slot]->handle = reinterpret_cast<HWND>(uintptr_t(generation) << 16 | (slot + 1));
    return t.slots[slot].get();
}

std::vector<Window *> &siblings_of(Window *w) {
    return w->parent ? w->parent->children : table().top_levels;
}

void unlink(Window *w) {
    std::vector<Window *> &list = siblings_of(w);
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == w) {
            list.erase(list.begin() + long(i));
            return;
        }
    }
}

// Handles of the children, topmost first: what is left of them after each message is looked up
// again, since a window procedure may destroy windows.
std::vector<HWND> child_handles(const Window &w) {
    std::vector<HWND> out;
    for (auto it = w.children.rbegin(); it != w.children.rend(); ++it)
        out.push_back((*it)->handle);
    return out;
}

void send_destroy(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    if (!w) return;
    message_send(w, WM_DESTROY, 0, 0);
    w = window_from_handle(hwnd);
    if (!w) return;
    for (HWND child : child_handles(*w))
        send_destroy(child);
}

// Children first, then the window: WM_NCDESTROY, and the record goes.
void free_tree(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    if (!w) return;
    for (HWND child : child_handles(*w))
        free_tree(child);
    w = window_from_handle(hwnd);
    if (!w) return;
    message_send(w, WM_NCDESTROY, 0, 0);
    w = window_from_handle(hwnd);
    if (!w) return;
    TRACE(TRACE_USER, "window %p freed", (void *)hwnd);
    timer_forget(hwnd);
    message_purge(hwnd);
    paint_forget(w);
    for (Window *other : table().top_levels) {
        if (other->owner == w) other->owner = nullptr;
    }
    unlink(w);
    w->cls->windows--;
    WindowTable &t = table();
    uint32_t slot = slot_of(hwnd) - 1;
    t.slots[slot].reset();
    t.free_slots.push_back(slot);
}

// A window about to go out of sight: the part of the parent that it covered is painted again.
void hide_for_destroy(Window *w) {
    if (!(w->style & WS_VISIBLE)) return;
    if (w->parent && window_visible(*w)) paint_invalidate(w->parent, &w->rect, true, false);
    w->style &= ~WS_VISIBLE;
    screen_mark_dirty();
}

// DestroyWindow of a window already on its way out fails, as it does in Windows.
void mark_destroying(Window *w) {
    w->destroying = true;
    for (Window *c : w->children)
        mark_destroying(c);
}

void destroy_owned(HWND owner) {
    std::vector<HWND> owned;
    for (Window *t : table().top_levels) {
        if (t->owner && t->owner->handle == owner) owned.push_back(t->handle);
    }
    for (HWND h : owned)
        DestroyWindow(h);
}

Window *make_window(WndClass *cls, DWORD ex_style, DWORD style, const RECT &rect, Window *parent,
                    Window *owner, HMENU menu, HINSTANCE instance) {
    Window *w = window_alloc();
    if (!w) return nullptr;
    w->cls = cls;
    w->proc = cls->proc;
    w->instance = instance;
    w->parent = parent;
    w->owner = owner;
    w->style = style & ~WS_VISIBLE;
    w->ex_style = ex_style;
    w->rect = rect;
    w->id = parent ? UINT_PTR(menu) : 0;
    w->extra.assign(size_t(cls->window_extra), 0);
    cls->windows++;
    siblings_of(w).push_back(w);
    if (!parent) paint_resize_backing(w);
    return w;
}

// WM_SIZE then WM_MOVE, as a new window gets them after WM_CREATE.
void send_size_and_move(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    if (!w) return;
    SIZE size = window_client_size(*w);
    message_send(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
    if (!(w = window_from_handle(hwnd))) return;
    POINT origin = window_client_origin(*w);
    if (w->parent) {
        POINT parent = window_client_origin(*w->parent);
        origin.x -= parent.x;
        origin.y -= parent.y;
    }
    message_send(w, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
}

int non_negative(int v) {
    return v < 0 ? 0 : v;
}

} // namespace

Window *window_from_handle(HWND hwnd) {
    WindowTable &t = table();
    uintptr_t v = uintptr_t(hwnd);
    uint32_t slot_plus_one = slot_of(hwnd);
    if (slot_plus_one == 0 || slot_plus_one > t.slots.size() || (v >> 32) != 0) return nullptr;
    Window *w = t.slots[slot_plus_one - 1].get();
    if (!w || w->handle != hwnd) return nullptr;
    return w;
}

const std::vector<Window *> &window_top_levels() {
    return table().top_levels;
}

Window *window_root(Window *w) {
    while (w->parent)
        w = w->parent;
    return w;
}

bool window_visible(const Window &w) {
    for (const Window *a = &w; a; a = a->parent) {
        if (!(a->style & WS_VISIBLE)) return false;
    }
    return true;
}

bool window_enabled_chain(const Window &w) {
    for (const Window *a = &w; a; a = a->parent) {
        if (a->style & WS_DISABLED) return false;
    }
    return true;
}

POINT window_screen_origin(const Window &w) {
    if (!w.parent) return POINT{w.rect.left, w.rect.top};
    POINT p = window_client_origin(*w.parent);
    return POINT{p.x + w.rect.left, p.y + w.rect.top};
}

RECT window_screen_rect(const Window &w) {
    POINT p = window_screen_origin(w);
    return RECT{p.x, p.y, p.x + (w.rect.right - w.rect.left), p.y + (w.rect.bottom - w.rect.top)};
}

POINT window_client_origin(const Window &w) {
    POINT p = window_screen_origin(w);
    RECT in = nonclient_insets(w);
    return POINT{p.x + in.left, p.y + in.top};
}

SIZE window_client_size(const Window &w) {
    RECT in = nonclient_insets(w);
    LONG cx = (w.rect.right - w.rect.left) - in.left - in.right;
    LONG cy = (w.rect.bottom - w.rect.top) - in.top - in.bottom;
    return SIZE{cx < 0 ? 0 : cx, cy < 0 ? 0 : cy};
}

void window_shutdown() {
    while (!table().top_levels.empty()) {
        HWND h = table().top_levels.back()->handle;
        if (!DestroyWindow(h)) free_tree(h); // torn down from inside its own destruction
    }
}

// ---- Win32 -------------------------------------------------------------------------------------

HWND CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR window_name, DWORD style, int x,
                     int y, int width, int height, HWND parent_handle, HMENU menu,
                     HINSTANCE instance, LPVOID param) {
    WndClass *cls = class_find(class_name, instance);
    if (!cls) return nullptr;
    Window *parent = nullptr, *owner = nullptr;
    if (style & WS_CHILD) {
        if (!(parent = window_from_handle(parent_handle))) return nullptr;
    } else {
        // No menu bars here; a top-level window's "parent" is its owner.
        if (menu) return nullptr;
        if (parent_handle && !(owner = window_from_handle(parent_handle))) return nullptr;
        if (owner) owner = window_root(owner);
    }
    RECT rect{x, y, x + non_negative(width), y + non_negative(height)};
    Window *w = make_window(cls, ex_style, style, rect, parent, owner, menu, instance);
    if (!w) return nullptr;
    HWND hwnd = w->handle;
    TRACE(TRACE_USER, "window %p created, style %#x", (void *)hwnd, unsigned(style));
    CREATESTRUCTW cs{param, instance, menu,        parent_handle, height,     width,
                     y,     x,        LONG(style), window_name,   class_name, ex_style};
    if (!message_send(w, WM_NCCREATE, 0, LPARAM(&cs))) {
        free_tree(hwnd);
        return nullptr;
    }
    if (!(w = window_from_handle(hwnd))) return nullptr;
    if (message_send(w, WM_CREATE, 0, LPARAM(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    send_size_and_move(hwnd);
    if ((style & WS_VISIBLE) && window_from_handle(hwnd)) ShowWindow(hwnd, SW_SHOW);
    return window_from_handle(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    if (!w || w->destroying) return FALSE;
    TRACE(TRACE_USER, "window %p destroyed", (void *)hwnd);
    destroy_owned(hwnd);
    if (!(w = window_from_handle(hwnd))) return TRUE;
    mark_destroying(w);
    hide_for_destroy(w);
    input_forget(w);
    send_destroy(hwnd);
    free_tree(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return window_from_handle(hwnd) ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    if (!w) return nullptr;
    if (w->parent) return w->parent->handle;
    return (w->style & WS_POPUP) && w->owner ? w->owner->handle : nullptr;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window *w = window_from_handle(dialog);
    if (!w) return nullptr;
    for (Window *c : w->children) {
        if (int(c->id) == id) return c->handle;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    Window *w = window_from_handle(hwnd);
    return w && w->parent ? int(w->id) : 0;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    Window *w = window_from_handle(hwnd);
    if (!w || !rect) return FALSE;
    SIZE s = window_client_size(*w);
    *rect = RECT{0, 0, s.cx, s.cy};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    Window *w = window_from_handle(hwnd);
    if (!w || !rect) return FALSE;
    *rect = window_screen_rect(*w);
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
    Window *w = window_from_handle(hwnd);
    if (!w || !point) return FALSE;
    POINT o = window_client_origin(*w);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
    Window *w = window_from_handle(hwnd);
    if (!w || !point) return FALSE;
    POINT o = window_client_origin(*w);
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    Window *a = from ? window_from_handle(from) : nullptr;
    Window *b = to ? window_from_handle(to) : nullptr;
    if ((from && !a) || (to && !b)) return 0;
    POINT oa = a ? window_client_origin(*a) : POINT{0, 0};
    POINT ob = b ? window_client_origin(*b) : POINT{0, 0};
    LONG dx = oa.x - ob.x, dy = oa.y - ob.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(WORD(dx), WORD(dy));
}

// ---- The layer's own ---------------------------------------------------------------------------

BOOL wl_window_info(HWND hwnd, WlWindowInfo *info) {
    Window *w = window_from_handle(hwnd);
    if (!w || !info) return FALSE;
    memset(info, 0, sizeof *info);
    info->parent = w->parent ? w->parent->handle : nullptr;
    info->owner = w->owner ? w->owner->handle : nullptr;
    size_t n = std::min(w->cls->name.size(), sizeof info->class_name / sizeof(WCHAR) - 1);
    memcpy(info->class_name, w->cls->name.data(), n * sizeof(WCHAR));
    info->id = int(w->id);
    info->style = w->style;
    info->ex_style = w->ex_style;
    info->enabled = !(w->style & WS_DISABLED);
    info->visible = window_visible(*w);
    info->rect = window_screen_rect(*w);
    POINT c = window_client_origin(*w);
    SIZE s = window_client_size(*w);
    info->client = RECT{c.x, c.y, c.x + s.cx, c.y + s.cy};
    return TRUE;
}

namespace {

void list_tree(const Window &w, HWND *out, int capacity, int *n) {
    if (*n < capacity) out[*n] = w.handle;
    ++*n;
    for (auto it = w.children.rbegin(); it != w.children.rend(); ++it)
        list_tree(**it, out, capacity, n);
}

} // namespace

int wl_window_list(HWND *out, int capacity) {
    int n = 0;
    const std::vector<Window *> &tops = table().top_levels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
        list_tree(**it, out, out ? capacity : 0, &n);
    return n;
}

HWND wl_window_top(void) {
    const std::vector<Window *> &tops = table().top_levels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if ((*it)->style & WS_VISIBLE) return (*it)->handle;
    }
    return nullptr;
}
