// The layer's own window-manager functions for hosts, screens and tests: the screen and its
// pixels, injected touch and keyboard input, the message loop's idle hook, inspecting windows and
// tearing everything down. Not part of Win32; module code never includes it.
#pragma once

#include "windef.h"

// ---- The screen ------------------------------------------------------------------------------
// An 800 x 480 framebuffer into which the visible top-level windows are composed, bottom first.

#define WL_SCREEN_WIDTH 800
#define WL_SCREEN_HEIGHT 480

// The colour of the screen where no window lies (black unless set).
void wl_screen_set_background(COLORREF colour);
// Composes the screen now and gives its pixels: 0x00RRGGBB, rows top-down, WL_SCREEN_WIDTH
// pixels apart. Valid until the next composition.
const uint32_t *wl_screen_pixels(void);
// One pixel of a freshly composed screen as a COLORREF; CLR_INVALID outside the screen.
COLORREF wl_screen_pixel(int x, int y);
// Composes the screen and writes it as a PNG file.
BOOL wl_screen_save_png(const char *path);
// How many times the screen has been composed and presented because it had changed.
int wl_screen_frames(void);
// Off: the idle loop neither composes nor presents the frame (for a program that never looks at
// the screen, where composing would be most of the work); the pixels above still compose it.
// On by default and again after wl_user_shutdown.
void wl_screen_set_composing(BOOL on);

// ---- The desktop window ----------------------------------------------------------------------
// The screen shown in a window of the desktop (SDL2) at scale 1 or 2, instead of headless. The
// mouse's left button is the touch (coordinates divided by the scale; moves only while it is
// held), typed text arrives as WM_CHAR, and the editing keys as WM_KEYDOWN (with WM_CHAR for
// Backspace, Tab, Enter and Escape). The loop waits for input or the next timer without spinning.

// Opens the window and makes it the screen. FALSE when there is no display or the scale is not
// 1 or 2; the screen then stays as it was.
BOOL wl_screen_open_window(int scale);
// Closes the window; the screen is headless again.
void wl_screen_close_window(void);
// TRUE once the user has pressed the window's close button (until the window is opened again).
BOOL wl_screen_close_requested(void);
// The window that gets WM_CLOSE (posted) when the user presses the close button; NULL: none.
void wl_screen_set_close_target(HWND hwnd);

// ---- Input -----------------------------------------------------------------------------------
// The touch screen is the mouse's left button. Events queue up and reach their window when the
// program next retrieves messages: the window that holds the capture, else the topmost visible
// window under the point (nothing when it or an ancestor is disabled).

void wl_input_press(int x, int y);
void wl_input_move(int x, int y);
void wl_input_release(int x, int y);
// A typed character: WM_CHAR to the topmost visible enabled top-level window.
void wl_input_char(WCHAR c);
// A pressed key (a VK_ code): WM_KEYDOWN to the same window. No WM_CHAR follows by itself: a
// key that types a character is also passed on with wl_input_char, as TranslateMessage would.
void wl_input_key(UINT vk);

// ---- The message loop ------------------------------------------------------------------------
// When GetMessageW finds nothing to do, it presents the screen if it changed, then calls the
// idle hook. WL_IDLE_BUSY: the hook did something (input, clock, messages); look again.
// WL_IDLE_WAIT: wait as if there were no hook. Waiting brings the clock to the next timer (the
// virtual clock jumps there); with no timer and no input source, the program can never go on,
// and the layer reports the deadlock and aborts. PeekMessageW never calls the hook.

typedef enum { WL_IDLE_BUSY, WL_IDLE_WAIT } WlIdleResult;
typedef WlIdleResult (*WlIdleHook)(void *context);
void wl_user_set_idle_hook(WlIdleHook hook, void *context);
// The clock time (wl_clock_ms) at which the next timer falls due. FALSE if no timer runs.
BOOL wl_timer_next_due(ULONGLONG *when);

// ---- Inspecting windows ----------------------------------------------------------------------

typedef struct {
    HWND parent; // child windows: the parent; top-level windows: NULL
    HWND owner;  // top-level windows: the owner, or NULL
    WCHAR class_name[64];
    int id;
    DWORD style;
    DWORD ex_style;
    BOOL enabled; // the window itself, as IsWindowEnabled
    BOOL visible; // the window and its ancestors, as IsWindowVisible
    RECT rect;    // window rectangle, screen coordinates
    RECT client;  // client area, screen coordinates
} WlWindowInfo;
BOOL wl_window_info(HWND hwnd, WlWindowInfo *info);
// Every window: top-level windows from the topmost down, each followed by its descendants
// (children from the topmost down, depth first). Fills at most `capacity` handles and returns
// the number of windows.
int wl_window_list(HWND *out, int capacity);
// The topmost visible top-level window, or NULL.
HWND wl_window_top(void);

// ---- Tear-down -------------------------------------------------------------------------------
// Destroys every window, kills every timer, unregisters every class, empties the message and
// input queues and forgets the capture and the idle hook, so that a test can start again.
// GDI objects are the GDI's (wl_gdi_shutdown), to be shut down after this.
void wl_user_shutdown(void);
