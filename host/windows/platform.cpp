// The platform of the Windows host: Win32's own window list, touch as mouse messages, the tick
// count, the screen through the Windows Imaging Component, the system's UTF-8 codec, and the
// PC's file system.
#include "platform.h"

#include <wincodec.h>

#include "frame.h"
#include "text.h"

namespace {

bool ours(HWND hwnd) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    return process == GetCurrentProcessId();
}

// `parent`'s children from the topmost down, each followed by its own.
void add_children(HWND parent, std::vector<HWND> *out) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        out->push_back(child);
        add_children(child, out);
    }
}

// The topmost visible, enabled window at a screen point, as the instrument's touch finds it.
HWND window_at(int x, int y) {
    POINT at = {x, y};
    HWND hwnd = WindowFromPoint(at);
    if (!hwnd) return NULL;
    hwnd = GetAncestor(hwnd, GA_ROOT);
    for (;;) {
        POINT client = at;
        ScreenToClient(hwnd, &client);
        HWND inner = ChildWindowFromPointEx(hwnd, client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (!inner || inner == hwnd) return hwnd;
        hwnd = inner;
    }
}

HWND g_pressed = NULL; // the window that took the last press

void post_mouse(HWND hwnd, UINT message, WPARAM keys, int x, int y) {
    if (!hwnd) return;
    POINT client = {x, y};
    ScreenToClient(hwnd, &client);
    PostMessageW(hwnd, message, keys, MAKELPARAM(client.x, client.y));
}

// A mouse-move or release goes where a press would have captured it: to the capture, else to
// the pressed window, else to the window under the point.
HWND touch_target(int x, int y) {
    if (HWND capture = GetCapture()) return capture;
    if (g_pressed && IsWindow(g_pressed)) return g_pressed;
    return window_at(x, y);
}

template <typename T>
struct ComHolder {
    T *p = nullptr;
    ~ComHolder() {
        if (p) p->Release();
    }
};

bool write_png(const WideText &path, const void *pixels, UINT width, UINT height) {
    ComHolder<IWICImagingFactory> factory;
    ComHolder<IWICStream> stream;
    ComHolder<IWICBitmapEncoder> encoder;
    ComHolder<IWICBitmapFrameEncode> frame;
    ComHolder<IPropertyBag2> properties;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    UINT stride = width * 4;
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, (void **)&factory.p)) &&
           SUCCEEDED(factory.p->CreateStream(&stream.p)) &&
           SUCCEEDED(stream.p->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory.p->CreateEncoder(GUID_ContainerFormatPng, NULL, &encoder.p)) &&
           SUCCEEDED(encoder.p->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder.p->CreateNewFrame(&frame.p, &properties.p)) &&
           SUCCEEDED(frame.p->Initialize(properties.p)) &&
           SUCCEEDED(frame.p->SetSize(width, height)) &&
           SUCCEEDED(frame.p->SetPixelFormat(&format)) &&
           IsEqualGUID(format, GUID_WICPixelFormat32bppBGR) &&
           SUCCEEDED(frame.p->WritePixels(height, stride, stride * height, (BYTE *)pixels)) &&
           SUCCEEDED(frame.p->Commit()) && SUCCEEDED(encoder.p->Commit());
}

std::string forward_slashes(std::string s) {
    for (char &c : s) {
        if (c == '\\') c = '/';
    }
    return s;
}

} // namespace

std::vector<HWND> platform_windows() {
    std::vector<HWND> all;
    for (HWND top = GetTopWindow(NULL); top; top = GetWindow(top, GW_HWNDNEXT)) {
        if (!ours(top)) continue;
        all.push_back(top);
        add_children(top, &all);
    }
    return all;
}

bool platform_window_info(HWND hwnd, PlatformWindow *info) {
    if (!IsWindow(hwnd)) return false;
    bool child = (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) != 0;
    info->parent = child ? GetParent(hwnd) : NULL;
    info->visible = IsWindowVisible(hwnd);
    info->enabled = IsWindowEnabled(hwnd);
    GetWindowRect(hwnd, &info->rect);
    info->id = child ? GetDlgCtrlID(hwnd) : 0;
    WCHAR name[64] = {};
    GetClassNameW(hwnd, name, 64);
    info->class_name = text_to_utf8(name);
    return true;
}

void platform_press(int x, int y) {
    g_pressed = window_at(x, y);
    post_mouse(g_pressed, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
}

void platform_move(int x, int y) {
    post_mouse(touch_target(x, y), WM_MOUSEMOVE, MK_LBUTTON, x, y);
}

void platform_release(int x, int y) {
    post_mouse(touch_target(x, y), WM_LBUTTONUP, 0, x, y);
    g_pressed = NULL;
}

ULONGLONG platform_clock_ms() {
    return GetTickCount64();
}

bool platform_clock_is_virtual() {
    return false;
}

void platform_clock_advance_ms(ULONGLONG) {}

bool platform_timer_next_due(ULONGLONG *) {
    return false;
}

// The screen as it is shown: the top-left 800 x 480 pixels of the desktop.
bool platform_save_png(const std::string &path) {
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = HOST_SCREEN_WIDTH;
    bi.bmiHeader.biHeight = -HOST_SCREEN_HEIGHT;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void *pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &pixels, NULL, 0);
    bool written = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, HOST_SCREEN_WIDTH, HOST_SCREEN_HEIGHT, screen, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        GdiFlush();
        written = write_png(text_from_utf8(path), pixels, HOST_SCREEN_WIDTH, HOST_SCREEN_HEIGHT);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return written;
}

// Win32 releases a process's drawing objects with the process.
void platform_release_drawing() {}

WideText text_from_utf8(const std::string &utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), NULL, 0);
    WideText wide(size_t(n > 0 ? n : 0), 0);
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], n);
    return wide;
}

std::string text_to_utf8(const WideText &wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), NULL, 0, NULL, NULL);
    std::string utf8(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &utf8[0], n, NULL, NULL);
    return utf8;
}

std::string text_to_utf8(const WCHAR *wide) {
    return text_to_utf8(wide ? WideText(wide) : WideText());
}

bool platform_make_folder(const std::string &dir, std::string *error) {
    WideText path = text_from_utf8(dir);
    if (!CreateDirectoryW(path.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS) {
        *error =
            "cannot make the folder " + dir + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    *error = "cannot make the folder " + dir + ": a file has its name";
    return false;
}

// With forward slashes, as the shared path handling writes them (Win32 takes either).
bool platform_real_path(const std::string &path, std::string *out) {
    WideText in = text_from_utf8(path);
    WCHAR full[MAX_PATH];
    DWORD n = GetFullPathNameW(in.c_str(), MAX_PATH, full, NULL);
    if (n == 0 || n >= MAX_PATH || GetFileAttributesW(full) == INVALID_FILE_ATTRIBUTES)
        return false;
    *out = forward_slashes(text_to_utf8(full));
    if (out->size() > 3 && out->back() == '/') out->pop_back();
    return true;
}

bool platform_place_link(const std::string &at, const std::string &folder) {
    WideText link = text_from_utf8(at), target = text_from_utf8(folder);
    DWORD attributes = GetFileAttributesW(link.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !RemoveDirectoryW(link.c_str()))
            return false;
    }
    return CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) != 0;
}
