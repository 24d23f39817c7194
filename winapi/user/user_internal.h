// The window manager's object model: window classes, the window record and the operations the
// user area's files share (geometry, painting, composing the screen, the queue, timers, input,
// the non-client area). Nothing here is visible to the module.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

struct ScreenInput;

// ---- Colours of the classic look ---------------------------------------------------------------

constexpr COLORREF USER_COLOUR_FACE = RGB(192, 192, 192); // dialogs, static text, 3D faces
constexpr COLORREF USER_COLOUR_WINDOW = RGB(255, 255, 255);
constexpr COLORREF USER_COLOUR_TEXT = RGB(0, 0, 0);
constexpr COLORREF USER_COLOUR_FRAME = RGB(0, 0, 0);         // WS_BORDER
constexpr COLORREF USER_COLOUR_SHADOW = RGB(128, 128, 128);  // outer sunken edge, top and left
constexpr COLORREF USER_COLOUR_HILIGHT = RGB(255, 255, 255); // outer sunken edge, bottom, right
constexpr COLORREF USER_COLOUR_DARK = RGB(0, 0, 0);          // inner sunken edge, top and left
constexpr COLORREF USER_COLOUR_LIGHT = RGB(192, 192, 192);   // inner sunken edge, bottom, right

// ---- Classes -----------------------------------------------------------------------------------

struct WndClass {
    std::u16string name;
    ATOM atom;
    HINSTANCE instance; // null for the layer's own classes
    bool builtin;       // the layer's own: the dialog class, the standard controls
    UINT style;
    WNDPROC proc;
    int class_extra;
    int window_extra;
    HCURSOR cursor;
    HBRUSH background;
    int windows; // live windows of the class; it can't be unregistered while any exist
};

// The class `name` (a name or an atom) as CreateWindowExW finds it: registered by `instance`,
// else one of the layer's own. Null if there is none.
WndClass *class_find(LPCWSTR name, HINSTANCE instance);
// Registers one of the layer's own classes (instance null). Returns its atom, 0 if it exists.
ATOM class_register_builtin(const WNDCLASSW &wc);
// Registers the layer's own classes if they are not registered (after start or a tear-down).
void class_ensure_builtin();
// Forgets every class (tear-down; no window may be left).
void class_shutdown();

// ---- The window record -------------------------------------------------------------------------

// The window scroll bar of WS_VSCROLL (SetScrollInfo / GetScrollInfo). Kept here so that the
// non-client geometry and the scroll bar code read the same record; a standard scroll bar
// starts with the range 0 to 100.
struct ScrollBarState {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int track_pos = 0;
    bool tracking = false;
    bool disabled = false; // shown disabled (SIF_DISABLENOSCROLL with nothing to scroll)
    bool known = false;    // set by SetScrollInfo: GetScrollInfo answers even while it is hidden
};

// Per-window state of a standard control class; owned by the window, freed with it.
struct ControlState {
    virtual ~ControlState() = default;
};

// A dialog's state besides its window words (DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER).
struct DialogState {
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    HWND disabled_owner = nullptr; // the owner that this dialog disabled, enabled again at its end
    HFONT font = nullptr;          // WM_SETFONT, or the template's font
    bool owns_font = false;        // made from the template: deleted with the dialog
};

struct Window {
    HWND handle;
    WndClass *cls;
    WNDPROC proc;
    HINSTANCE instance;
    Window *parent = nullptr;       // child windows (WS_CHILD)
    Window *owner = nullptr;        // top-level windows
    std::vector<Window *> children; // in z-order, bottom first: later ones lie above
    DWORD style;
    DWORD ex_style;
    RECT rect; // window rectangle: in the parent's client coordinates, or the screen's
    std::u16string text;
    UINT_PTR id; // child windows: the control id
    LONG_PTR user_data = 0;
    std::vector<uint8_t> extra; // window words (cbWndExtra)

    // Painting: one update rectangle (client coordinates) holds the union of what was
    // invalidated; `erase` asks BeginPaint for WM_ERASEBKGND; `frame_dirty` for WM_NCPAINT.
    bool has_update = false;
    RECT update = {0, 0, 0, 0};
    bool erase = false;
    bool frame_dirty = false;

    // Top-level windows draw into a bitmap of their own size, composed into the screen.
    HBITMAP backing = nullptr;

    bool destroying = false;
    ScrollBarState vscroll;
    std::unique_ptr<ControlState> control;
    std::unique_ptr<DialogState> dialog;
};

// The live window of a handle, or null.
Window *window_from_handle(HWND hwnd);
// Top-level windows in z-order, bottom first.
const std::vector<Window *> &window_top_levels();
Window *window_root(Window *w);
// Shown: the window and all its ancestors have WS_VISIBLE.
bool window_visible(const Window &w);
// Takes input: neither the window nor an ancestor has WS_DISABLED.
bool window_enabled_chain(const Window &w);

// Geometry. "Screen" is the framebuffer's coordinates; the client area is the window rectangle
// less the non-client insets.
POINT window_screen_origin(const Window &w); // window rectangle's top-left
RECT window_screen_rect(const Window &w);
POINT window_client_origin(const Window &w); // client area's top-left, screen coordinates
SIZE window_client_size(const Window &w);

// Changes the styles that shape the frame (a scroll bar shown or hidden, a border): the window
// is painted again with its frame, and gets WM_MOVE / WM_SIZE for what changed of its client
// area.
void window_set_frame_style(Window *w, DWORD style, DWORD ex_style);
// Destroys every window (tear-down).
void window_shutdown();

// ---- The non-client area -----------------------------------------------------------------------

// Width of the window scroll bar of WS_VSCROLL.
constexpr int NONCLIENT_SCROLL_WIDTH = 16;

// The thickness of the frame on each side (WS_BORDER, WS_EX_CLIENTEDGE, WS_VSCROLL).
RECT nonclient_insets(const Window &w);
// Where the scroll bar of WS_VSCROLL lies, in window coordinates (empty without it).
RECT nonclient_vscroll_rect(const Window &w);
// HTCLIENT, HTBORDER, HTVSCROLL or HTNOWHERE for a screen point.
int nonclient_hit_test(const Window &w, POINT screen);
// Draws the frame through a DC on the whole window (DefWindowProc's WM_NCPAINT).
void nonclient_paint(Window *w);
// The classic look's strokes, on a DC in window coordinates: a rectangle in one colour, and a
// one-pixel frame with top and left in `top_left`, bottom and right in `bottom_right` (which
// also takes the top-right and bottom-left corners).
void nonclient_fill(HDC dc, const RECT &r, COLORREF colour);
void nonclient_edge(HDC dc, const RECT &r, COLORREF top_left, COLORREF bottom_right);

// ---- The window scroll bar ---------------------------------------------------------------------

// Draws the scroll bar of WS_VSCROLL through a DC on the whole window (window coordinates).
void scrollbar_paint(Window *w, HDC dc);
// A press on the scroll bar (DefWindowProc's WM_NCLBUTTONDOWN with HTVSCROLL) at a screen
// point: tracks the touch until its release, sending WM_VSCROLL, and returns then.
void scrollbar_track(HWND hwnd, POINT screen);

// ---- Painting ----------------------------------------------------------------------------------

// Adds a rectangle of the client area (null: all of it) to the window's update rectangle, and
// with `children` to the children's under it: a parent paints over its children (one clip
// rectangle, no WS_CLIPCHILDREN), so they must paint again after it. `frame` asks for the
// non-client area too. Nothing for a hidden window.
void paint_invalidate(Window *w, const RECT *rect, bool erase, bool frame, bool children = true);
// A view DC on the window's client area (or whole window) clipped to its visible part and
// `limit` (client or window coordinates, null: no limit). Released with paint_release_dc.
HDC paint_window_dc(Window *w, bool whole, const RECT *limit);
// Deletes a DC that paint_window_dc gave out. False for any other DC.
bool paint_release_dc(HDC dc);
// The next window that needs WM_PAINT (visible, with an update rectangle), searched top-level
// windows from the top, parents before children; frames that alone need painting are painted
// on the way. `filter` limits the search to a window and its descendants.
Window *paint_next(HWND filter);
// Sends WM_PAINT to the window and its children that need it (UpdateWindow, RDW_UPDATENOW).
void paint_update_now(Window *w, bool children);
// A window goes: its DCs are deleted and its backing bitmap freed.
void paint_forget(Window *w);
// Makes, resizes or frees a top-level's bitmap to its window size, keeping what fits.
void paint_resize_backing(Window *w);

// ---- The screen --------------------------------------------------------------------------------

// Composes the visible top-level windows into the screen's framebuffer and presents it, if
// anything changed since it was last presented.
void compose_present_if_dirty();
// Forgets the background colour and the screen's frame count (tear-down).
void compose_shutdown();

// ---- Messages ----------------------------------------------------------------------------------

// Drops the queued messages of a window (it is being destroyed), or all (hwnd null).
void message_purge(HWND hwnd);
// Sends a message to a window known to be alive.
LRESULT message_send(Window *w, UINT message, WPARAM wparam, LPARAM lparam);

// ---- Input -------------------------------------------------------------------------------------

// The next queued input event as a message for its window (PeekMessageW's filters); with
// `remove` it leaves the queue. Events that reach no window are dropped on the way.
bool input_next(MSG *msg, HWND filter, UINT first, UINT last, bool remove);
// The capture goes when its window (or an ancestor) is destroyed.
void input_forget(Window *w);
void input_shutdown();
// The window that a touch at a screen point reaches, or null.
Window *input_window_at(POINT screen);
// Where the screen's front end hands on its input: the input queue, and WM_CLOSE posted to the
// close target.
const ScreenInput &input_sink();

// ---- Timers ------------------------------------------------------------------------------------

// A due timer's WM_TIMER; with `remove` the timer starts its next period.
bool timer_next(MSG *msg, HWND filter, UINT first, UINT last, bool remove);
void timer_forget(HWND hwnd);
void timer_shutdown();

// ---- Dialogs -----------------------------------------------------------------------------------

void dialog_class_register();

// ---- Standard controls -------------------------------------------------------------------------

void edit_class_register();
