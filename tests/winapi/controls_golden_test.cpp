// A stored screen of the window manager's own drawing: overlapping and clipped windows erased
// with their class brush inside their frames, scroll bars (one with its down arrow held), edit
// controls in their parent's colours or the default ones, and a dialog on the face colour. The
// edit control with a long text, its bar and keys at work: the module's text viewer screens.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/ui_driver.h"

namespace {

// A visible pop-up dialog of no size and no controls, in the plain template form.
const WORD EMPTY_DIALOG[] = {0, 0x9000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

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
         ui::press(77, 212), ui::expect_golden("window_parts"), ui::release(77, 212),
         ui::end_dialog(0)});
    DeleteObject(font);
    DeleteObject(red);
}

} // namespace
