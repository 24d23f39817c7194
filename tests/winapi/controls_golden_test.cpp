// Stored screens of the window manager's own drawing. One of the standard controls at work in a
// modal dialog: an edit control with long wrapped text and its scroll bar, and push keys drawn
// by a test class, after touches on the keys and on the bar, one of them held. One of still
// windows: overlapping and clipped windows erased with their class brush inside their frames,
// scroll bars, edit controls in their parent's colours or the default ones, and a dialog on the
// face colour.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/ui_driver.h"

namespace {

const WCHAR KEY_CLASS[] = u"testkey";
// A visible pop-up dialog of no size and no controls, in the plain template form.
const WORD EMPTY_DIALOG[] = {0, 0x9000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr int ID_ESC = 100, ID_PGUP = 101, ID_PGDN = 102, ID_TEXT = 201;

// A push key: a grey face with a black frame and its centred caption; WM_COMMAND on release.
LRESULT CALLBACK key_proc(HWND hwnd, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH face = CreateSolidBrush(RGB(208, 208, 208));
        FillRect(dc, &r, face);
        DeleteObject(face);
        HFONT font = CreateFontW(24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, u"arial");
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        WCHAR text[32];
        GetWindowTextW(hwnd, text, 32);
        DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        DeleteObject(font);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (m == WM_LBUTTONDOWN) SetCapture(hwnd);
    if (m == WM_LBUTTONUP && GetCapture() == hwnd) {
        ReleaseCapture();
        SendMessageW(GetParent(hwnd), WM_COMMAND, WPARAM(GetDlgCtrlID(hwnd)), LPARAM(hwnd));
    }
    return DefWindowProcW(hwnd, m, wp, lp);
}

const char16_t LONG_TEXT[] =
    u"A read-only text box wraps its long lines at the spaces between words, so that nothing "
    u"is cut off at its right edge.\r\n"
    u"\r\n"
    u"Short line\r\n"
    u"Averyveryverylongwordthatfitsonnolinebreakswhereitmust\r\n"
    u"Its scroll bar counts the lines; the page is the lines in view. The keys page the text, "
    u"the bar's arrows move it by a line and its trough by a page; the thumb follows a drag. "
    u"Line after line after line after line after line after line after line after line.\r\n"
    u"The end.";

struct ControlsDialog {
    HBRUSH blue = CreateSolidBrush(RGB(11, 25, 255));
    HFONT font = CreateFontW(24, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"courier new");
    ~ControlsDialog() {
        DeleteObject(blue);
        DeleteObject(font);
    }

    static INT_PTR CALLBACK proc(HWND dlg, UINT m, WPARAM wp, LPARAM lp) {
        static ControlsDialog *self;
        if (m == WM_INITDIALOG) {
            self = reinterpret_cast<ControlsDialog *>(lp);
            self->build(dlg);
            return TRUE;
        }
        if (m == WM_CTLCOLORDLG) return INT_PTR(self->blue);
        if (m == WM_CTLCOLORSTATIC) return INT_PTR(GetStockObject(WHITE_BRUSH));
        if (m != WM_COMMAND) return FALSE;
        HWND text = GetDlgItem(dlg, ID_TEXT);
        if (LOWORD(wp) == ID_ESC) EndDialog(dlg, 7);
        if (LOWORD(wp) == ID_PGUP) SendMessageW(text, WM_VSCROLL, SB_PAGEUP, 0);
        if (LOWORD(wp) == ID_PGDN) SendMessageW(text, WM_VSCROLL, SB_PAGEDOWN, 0);
        return TRUE;
    }

    void build(HWND dlg) {
        MoveWindow(dlg, 0, 37, 800, 443, TRUE);
        const DWORD child = WS_CHILD | WS_VISIBLE;
        HWND text = CreateWindowExW(WS_EX_CLIENTEDGE, u"edit", u"",
                                    child | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0, 690, 443,
                                    dlg, HMENU(ID_TEXT), nullptr, nullptr);
        SendMessageW(text, WM_SETFONT, WPARAM(font), 0);
        std::u16string all = LONG_TEXT;
        for (int n = 1; n <= 60; ++n)
            all += u"\r\nLine " + std::u16string{char16_t(u'0' + n / 10), char16_t(u'0' + n % 10)};
        SetWindowTextW(text, all.c_str());
        const struct {
            int id, y;
            const char16_t *caption;
        } keys[] = {{ID_ESC, 5, u"Esc"}, {ID_PGUP, 335, u"PgUp"}, {ID_PGDN, 390, u"PgDn"}};
        for (const auto &k : keys)
            CreateWindowExW(0, KEY_CLASS, k.caption, child, 695, k.y, 100, 50, dlg,
                            HMENU(INT_PTR(k.id)), nullptr, nullptr);
    }
};

int position(int id) {
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, -1, 0};
    GetScrollInfo(ui_find(id).hwnd, SB_VERT, &si);
    return si.nPos;
}

TEST(ControlsGolden, DialogWithEditScrollBarsAndKeys) {
    MessageLog log; // tears the window manager down at the end
    WNDCLASSW wc = {};
    wc.lpfnWndProc = key_proc;
    wc.lpszClassName = KEY_CLASS;
    ASSERT_TRUE(RegisterClassW(&wc));
    wl_screen_set_background(RGB(0, 0, 0));
    ControlsDialog controls;
    UiDriver ui;
    // The edit shows 18 of its 74 lines. Its bar lies at x 672 to 687, y 39 to 477, its down
    // arrow from y 462; at position 19 the thumb is at y 159 to 257, at 37 from y 258.
    INT_PTR result = ui.run(
        [&] {
            return DialogBoxIndirectParamW(nullptr, (const DLGTEMPLATE *)EMPTY_DIALOG, nullptr,
                                           ControlsDialog::proc, LPARAM(&controls));
        },
        {ui::tap(ID_PGDN), ui::tap(ID_PGDN), ui::tap(ID_PGUP), ui::tap(680, 470), ui::tap(680, 400),
         ui::tap(680, 100), ui::tap(680, 100), ui::tap(680, 470), ui::press(680, 470),
         ui::check([] { EXPECT_EQ(position(ID_TEXT), 3); }, "18 36 18 19 37 19 1 2 3"),
         ui::expect_golden("controls_dialog"), ui::release(680, 470), ui::tap(ID_ESC)});
    EXPECT_EQ(result, 7);
}

// Windows of a class erased with a brush of the colour.
HWND brushed(COLORREF colour, DWORD style, DWORD ex_style, int x, int y, int w, int h,
             HWND parent = nullptr) {
    std::u16string name = u"brushed" + std::u16string(1, char16_t(u'0' + colour % 7));
    WNDCLASSW wc = {0,       DefWindowProcW, 0,       0,       nullptr,
                    nullptr, nullptr,        nullptr, nullptr, name.c_str()};
    wc.hbrBackground = CreateSolidBrush(colour); // one a colour, for the whole test
    if (!RegisterClassW(&wc)) DeleteObject(wc.hbrBackground);
    return CreateWindowExW(ex_style, name.c_str(), u"", style | WS_VISIBLE, x, y, w, h, parent,
                           nullptr, nullptr, nullptr);
}

TEST(ControlsGolden, StillWindowsFramesBarsAndEdits) {
    MessageLog log;
    wl_screen_set_background(RGB(0, 128, 128));
    const COLORREF RED = RGB(255, 0, 0), BLUE = RGB(0, 0, 255);
    brushed(RED, WS_POPUP, 0, 10, 10, 60, 40);
    brushed(BLUE, WS_POPUP, 0, 40, 30, 60, 40);
    brushed(BLUE, WS_CHILD, 0, 30, 20, 60, 40, brushed(RED, WS_POPUP, 0, 120, 10, 60, 40));
    HWND frames = brushed(RED, WS_POPUP, 0, 200, 10, 210, 60);
    const DWORD styles[][2] = {
        {0, 0}, {WS_BORDER, 0}, {0, WS_EX_CLIENTEDGE}, {WS_BORDER, WS_EX_CLIENTEDGE}};
    for (int i = 0; i < 4; ++i)
        brushed(BLUE, WS_CHILD | styles[i][0], styles[i][1], 10 + 50 * i, 10, 40, 40, frames);
    // Bars: a page of 2 at 1 in 0 to 3; nothing to scroll, kept; 0 to 100 at 50 without a page.
    const struct {
        int x, height, max;
        UINT page;
        int pos;
        UINT mask;
    } bars[] = {
        {10, 48, 3, 2, 1, 0}, {40, 40, 0, 0, 0, SIF_DISABLENOSCROLL}, {70, 120, 100, 0, 50, 0}};
    for (const auto &b : bars) {
        HWND bar = log.create("bar", WS_POPUP | WS_VISIBLE | WS_VSCROLL, b.x, 100, 16, b.height);
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | b.mask, 0, b.max, b.page, b.pos,
                      0};
        SetScrollInfo(bar, SB_VERT, &si, TRUE);
    }
    // Edits in the parent's colours (id 1: blue on yellow over red) and in the default ones.
    HBRUSH red = CreateSolidBrush(RED);
    log.handle("parent", [red](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT *r) {
        if (m != WM_CTLCOLORSTATIC || GetDlgCtrlID(HWND(lp)) != 1) return false;
        SetTextColor(HDC(wp), RGB(0, 0, 255));
        SetBkColor(HDC(wp), RGB(255, 255, 0));
        return *r = LRESULT(red), true;
    });
    HWND parent = log.create("parent", WS_POPUP | WS_VISIBLE, 100, 100, 400, 200);
    HFONT font = CreateFontW(24, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"courier new");
    for (int id = 1; id <= 2; ++id) {
        HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, u"edit", u"WWW\r\nW W",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                                    10, 10 + 90 * (id - 1), 200, 80, parent, HMENU(INT_PTR(id)),
                                    nullptr, nullptr);
        SendMessageW(edit, WM_SETFONT, WPARAM(font), 0);
    }
    UiDriver ui;
    ui.run(
        [&] {
            return DialogBoxIndirectParamW(nullptr, (const DLGTEMPLATE *)EMPTY_DIALOG, nullptr,
                                           MessageLog::dialog_proc, 0);
        },
        {ui::check([] { MoveWindow(wl_window_top(), 550, 100, 150, 100, TRUE); }),
         ui::expect_golden("window_parts"), ui::end_dialog(0)});
    DeleteObject(font);
    DeleteObject(red);
}

} // namespace
