// Modal dialogs: the template, the modal loop and its owner, WM_CLOSE as Cancel. (Dialogs from
// resources, nested dialogs and their results: the module's flows.)
#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/ui_driver.h"
#include "user/dialog_template.h"

namespace {

constexpr DWORD DIALOG = WS_POPUP | WS_VISIBLE;

// The module's form: a visible pop-up of 100 x 50 units without title, font or controls.
const std::vector<WORD> PLAIN = {0, 0x9000, 0, 0, 0, 0, 0, 100, 50, 0, 0, 0};

TEST(DialogTemplate, PlainFormAndNoShorterPiece) {
    DialogTemplate t;
    ASSERT_TRUE(template_parse(PLAIN.data(), PLAIN.size() * 2, &t));
    EXPECT_EQ((std::vector<int>{int(t.style), t.cx, t.cy, t.has_font, int(t.items.size())}),
              (std::vector<int>{int(DIALOG), 100, 50, 0, 0}));
    for (size_t n = 0; n < PLAIN.size() * 2; ++n)
        EXPECT_FALSE(template_parse(PLAIN.data(), n, &t)) << n << " bytes";
}

class Dialog : public ::testing::Test {
protected:
    void SetUp() override {
        owner = log.create("owner", DIALOG, 0, 0, 800, 480);
        pump_pending();
        log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_CTLCOLORDLG, WM_SETFONT, WM_NULL,
                    WM_SHOWWINDOW, WM_GETTEXT});
        log.clear();
    }
    INT_PTR run(const std::vector<WORD> &words, std::vector<UiStep> steps) {
        log.name_next_dialog("dlg");
        return ui.run(
            [&] {
                return DialogBoxIndirectParamW(nullptr, (const DLGTEMPLATE *)words.data(), owner,
                                               MessageLog::dialog_proc, 77);
            },
            std::move(steps));
    }

    MessageLog log;
    UiDriver ui;
    HWND owner = nullptr;
};

// A handled message answers through DWLP_MSGRESULT, not the dialog procedure's TRUE.
TEST_F(Dialog, CloseBecomesCancelAndTheOwnerIsDisabledMeanwhile) {
    log.handle("dlg", [=](HWND h, UINT m, WPARAM w, LPARAM, LRESULT *r) {
        if (m == WM_USER) SetWindowLongPtrW(h, DWLP_MSGRESULT, 1234);
        if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) EndDialog(h, 5);
        return *r = TRUE, m == WM_USER || m == WM_COMMAND;
    });
    INT_PTR r = run(PLAIN, {ui::check([&] {
                                EXPECT_FALSE(IsWindowEnabled(owner));
                                EXPECT_EQ(SendMessageW(wl_window_top(), WM_USER, 0, 0), 1234);
                            }),
                            ui::close()});
    EXPECT_EQ(r, 5);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(log.take(), (Lines{"dlg WM_INITDIALOG 77", "owner WM_CANCELMODE", "owner WM_ENABLE 0",
                                 "dlg WM_USER+0 0,0", "dlg WM_CLOSE", "dlg WM_COMMAND 2,0 0",
                                 "owner WM_ENABLE 1", "dlg WM_DESTROY", "dlg WM_NCDESTROY"}));
    EXPECT_EQ(wl_window_top(), owner);
}

} // namespace
