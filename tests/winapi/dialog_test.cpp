// Modal dialogs: the template's controls in dialog units, the modal loop and its owner, WM_CLOSE
// as Cancel. (Dialogs from resources, nested dialogs and their results: the module's flows.)
#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>
#include <wluser.h>

#include "support/message_log.h"
#include "support/ui_driver.h"
#include "user/dialog_template.h"

namespace {

constexpr DWORD DIALOG = WS_POPUP | WS_VISIBLE;

// A dialog with a font, an edit by its class ordinal at (0, 0) and a recording window at (8, 16),
// both 4 x 8 units, in the plain template form.
std::vector<WORD> two_controls() {
    return {0x0040, 0x9000, 0, 0, 2, 0,  0, 100, 100, 0,      0,      u'T', 0,    9,    u'a',
            0,                                                                       // DS_SETFONT
            0,      0x5000, 0, 0, 0, 0,  4, 8,   11,  0xFFFF, 0x0081, u'1', 0,    0, // at a DWORD
            0,      0x5000, 0, 0, 8, 16, 4, 8,   12,  u'r',   u'e',   u'c', u'o', u'r', u'd',
            0,      u'2',   0, 0};
}

TEST(DialogTemplate, PlainFormAndNoShorterPiece) {
    std::vector<WORD> words = two_controls();
    DialogTemplate t;
    ASSERT_TRUE(template_parse(words.data(), words.size() * 2, &t));
    EXPECT_EQ((std::vector<int>{int(t.style), t.cy, t.point_size, int(t.items.size())}),
              (std::vector<int>{int(DIALOG | DS_SETFONT), 100, 9, 2}));
    EXPECT_EQ(t.title + t.face + t.items[0].title.text + t.items[1].class_name.text, u"Ta1record");
    EXPECT_EQ((std::vector<int>{t.items[0].class_name.ordinal, t.items[1].x, t.items[1].y,
                                t.items[1].cx, t.items[1].cy, int(t.items[1].id)}),
              (std::vector<int>{0x81, 8, 16, 4, 8, 12}));
    for (size_t n = 0; n < words.size() * 2; ++n)
        EXPECT_FALSE(template_parse(words.data(), n, &t)) << n << " bytes";
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
    std::vector<WORD> plain = {0, 0x9000, 0, 0, 0, 0, 0, 100, 50, 0, 0, 0};
    INT_PTR r = run(plain, {ui::check([&] {
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

TEST_F(Dialog, ControlsArePlacedInDialogUnitsOrFailTheDialog) {
    std::vector<WORD> words = two_controls();
    run(words, {ui::check([] {
                    UiControl one = ui_find(11), two = ui_find(12);
                    EXPECT_EQ(one.text + one.class_name + two.text, u"1Edit2");
                    LONG bx = one.rect.right - one.rect.left, by = one.rect.bottom - one.rect.top;
                    EXPECT_GT(by, bx);
                    EXPECT_GT(bx, 0);
                    EXPECT_EQ(two.rect.left - one.rect.left, 2 * bx);
                    EXPECT_EQ(two.rect.top - one.rect.top, 2 * by);
                }),
                ui::end_dialog(0)});
    words[39] = u'x'; // a class of no such name
    EXPECT_EQ(run(words, {}), -1);
    EXPECT_EQ(wl_window_list(nullptr, 0), 1); // the owner alone
    words[0] |= DS_NOFAILCREATE;
    EXPECT_EQ(run(words, {ui::end_dialog(4)}), 4);
}

} // namespace
