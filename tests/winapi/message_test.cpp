// The message queue: sending against posting, the order of retrieval, failures, WM_QUIT and a
// loop with nothing to wait for; the modal dialog loop and its owner. (The idle hook: every driven
// flow and the host; dialogs from resources, nested dialogs and their results: the module's flows.)
#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/ui_driver.h"

namespace {

constexpr DWORD POPUP = WS_POPUP | WS_VISIBLE;

class Message : public ::testing::Test {
protected:
    void SetUp() override {
        SYSTEMTIME start = {2024, 1, 1, 1, 0, 0, 0, 0};
        wl_clock_use_virtual(&start);
        w = log.create("w", POPUP, 0, 0, 20, 20);
        c = log.create("c", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, w);
        pump_pending(); // the first paints
        log.clear();
    }
    void TearDown() override { wl_clock_use_real(); }

    MessageLog log;
    HWND w = nullptr, c = nullptr;
};

TEST_F(Message, SendRunsAtOncePostWaitsForTheLoop) {
    log.handle("w", [](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT *r) {
        *r = LRESULT(wp + lp);
        return m >= WM_USER;
    });
    EXPECT_EQ(SendMessageW(w, WM_USER + 5, 40, 2), 42);
    EXPECT_TRUE(PostMessageW(w, WM_USER + 1, 1, 2));
    EXPECT_EQ(log.take(), (Lines{"w WM_USER+5 40,2"}));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageW(&msg), 3); // the procedure's answer
    EXPECT_EQ(log.take(), (Lines{"w WM_USER+1 1,2"}));
    SendMessageW(c, WM_CLOSE, 0, 0); // the default closes by destroying
    EXPECT_FALSE(IsWindow(c));
}

TEST_F(Message, RetrievalOrderPostedInputPaintTimer) {
    SetTimer(w, 9, 100, nullptr);
    wl_clock_advance_ms(100);
    InvalidateRect(w, nullptr, FALSE);
    wl_input_press(2, 2);
    PostMessageW(w, WM_USER, 0, 0);
    log.ignore({WM_ERASEBKGND, WM_NCPAINT});
    MSG msg;
    for (int i = 0; i < 5; ++i)
        if (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
    EXPECT_EQ(log.take(), (Lines{"w WM_USER+0 0,0", "c WM_LBUTTONDOWN 2,2 down", "w WM_PAINT",
                                 "c WM_PAINT", "w WM_TIMER 9"}));
}

TEST_F(Message, FailuresTheQuitMessageAndAnEndlessWait) {
    HWND gone = log.create("gone", POPUP, 0, 0, 5, 5);
    log.clear();
    PostMessageW(gone, WM_USER, 0, 0);
    DestroyWindow(gone);
    MSG msg;
    pump_pending();
    EXPECT_FALSE(PostMessageW(gone, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(gone, WM_USER, 0, 0), 0);
    PostMessageW(nullptr, WM_QUIT, 3, 0);
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 3u);
    // The destroyed window's posted message went with it.
    EXPECT_EQ(log.take(), (Lines{"gone WM_DESTROY", "gone WM_NCDESTROY"}));
    EXPECT_DEATH(GetMessageW(&msg, nullptr, 0, 0), "waits for ever");
}

// A visible pop-up dialog of 100 x 50 units without title, font or controls, owned by a window
// that is disabled while the dialog runs; a handled message answers through DWLP_MSGRESULT.
TEST_F(Message, ADialogDisablesItsOwnerAndTurnsCloseIntoCancel) {
    const WORD plain[] = {0, 0x9000, 0, 0, 0, 0, 0, 100, 50, 0, 0, 0};
    log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_CTLCOLORDLG, WM_SETFONT, WM_NULL,
                WM_SHOWWINDOW, WM_GETTEXT});
    log.handle("dlg", [=](HWND h, UINT m, WPARAM w, LPARAM, LRESULT *r) {
        if (m == WM_USER) SetWindowLongPtrW(h, DWLP_MSGRESULT, 1234);
        if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) EndDialog(h, 5);
        return *r = TRUE, m == WM_USER || m == WM_COMMAND;
    });
    log.name_next_dialog("dlg");
    UiDriver ui;
    INT_PTR r = ui.run(
        [&] {
            return DialogBoxIndirectParamW(nullptr, (const DLGTEMPLATE *)plain, w,
                                           MessageLog::dialog_proc, 77);
        },
        {ui::check([&] {
             EXPECT_FALSE(IsWindowEnabled(w));
             EXPECT_EQ(SendMessageW(wl_window_top(), WM_USER, 0, 0), 1234);
         }),
         ui::close()});
    EXPECT_EQ(r, 5);
    EXPECT_EQ(log.take(), (Lines{"dlg WM_INITDIALOG 77", "w WM_CANCELMODE", "w WM_ENABLE 0",
                                 "dlg WM_USER+0 0,0", "dlg WM_CLOSE", "dlg WM_COMMAND 2,0 0",
                                 "w WM_ENABLE 1", "dlg WM_DESTROY", "dlg WM_NCDESTROY"}));
    EXPECT_EQ(wl_window_top(), w);
}

} // namespace
