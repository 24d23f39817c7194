// Modal dialogs: templates, the modal loop and its owner, WM_CLOSE as Cancel, nested dialogs,
// dialogs from resources. (Their background: the controls' stored screens.)
#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>
#include <wluser.h>

#include "support/dialog_template.h"
#include "support/message_log.h"
#include "support/ui_driver.h"
#include "user/dialog_template.h"

namespace {

constexpr DWORD DIALOG = WS_POPUP | WS_VISIBLE;

TEST(DialogTemplate, PlainFormWithFontAndItems) {
    TemplateBuilder b(DIALOG, 1, 2, 30, 40, u"Title");
    b.font(9, u"arial")
        .item(WS_CHILD | WS_TABSTOP, 3, 4, 5, 6, 101, 0x80, u"OK")
        .item(WS_CHILD, 7, 8, 9, 10, 102, u"record", u"x");
    DialogTemplate t;
    ASSERT_TRUE(template_parse(b.data(), b.size(), &t));
    EXPECT_FALSE(t.extended || t.menu.present);
    EXPECT_EQ(t.style, DIALOG | DS_SETFONT);
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.cx, t.cy, t.has_font, t.point_size}),
              (std::vector<int>{1, 2, 30, 40, 1, 9}));
    EXPECT_EQ(t.title + u"," + t.face, u"Title,arial");
    ASSERT_EQ(t.items.size(), 2u);
    const TemplateItem &ok = t.items[0], &x = t.items[1];
    EXPECT_EQ((std::vector<int>{ok.class_name.is_ordinal, ok.class_name.ordinal, int(ok.id), x.x,
                                x.y, x.cx, x.cy}),
              (std::vector<int>{1, 0x80, 101, 7, 8, 9, 10}));
    EXPECT_EQ(ok.title.text + u"," + x.class_name.text, u"OK,record");
    for (DWORD n = 0; n < b.size(); ++n) // every shorter piece of it is refused
        EXPECT_FALSE(template_parse(b.data(), n, &t)) << n << " bytes";
}

TEST(DialogTemplate, ExtendedForm) {
    const uint16_t words[] = {
        1,      0xFFFF, 0,      0,    0x0200, 0,
        0x0040, 0x9000,                               // version, signature, help, ex, style
        1,      5,      6,      70,   80,             // items, x, y, cx, cy
        0,      0,      u'T',   0,                    // menu, class, title
        10,     700,    0x0101, u'a', 0,              // points, weight, italic+charset, face
        0,      0,      0,      0,    0,      0x5000, // help, ex style, style
        1,      2,      3,      4,    0x1234, 0x0001, // x, y, cx, cy, id (DWORD)
        0xFFFF, 0x0081, u'e',   0,    2,      0xABCD, // class, title, 2 bytes of data
    };
    DialogTemplate t;
    ASSERT_TRUE(template_parse(words, sizeof words, &t));
    EXPECT_TRUE(t.extended && t.italic);
    EXPECT_EQ((std::vector<DWORD>{t.style, t.ex_style, t.weight, t.charset}),
              (std::vector<DWORD>{0x90000040u, 0x200u, 700, 1}));
    ASSERT_EQ(t.items.size(), 1u);
    EXPECT_EQ(t.title, u"T");
    EXPECT_EQ(t.items[0].id, 0x11234u);
    EXPECT_EQ(t.items[0].class_name.ordinal, 0x81);
    ASSERT_NE(t.items[0].creation_data, nullptr);
    EXPECT_EQ(static_cast<const uint16_t *>(t.items[0].creation_data)[1], 0xABCD);
}

class Dialog : public ::testing::Test {
protected:
    void SetUp() override {
        owner = log.create("owner", DIALOG, 0, 0, 800, 480);
        pump_pending();
        log.ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_CTLCOLORDLG, WM_SETFONT, WM_LBUTTONDOWN,
                    WM_LBUTTONUP, WM_CAPTURECHANGED, WM_NULL, WM_SHOWWINDOW, WM_GETTEXT});
        log.clear();
    }
    INT_PTR run(const TemplateBuilder &b, LPARAM param, std::vector<UiStep> steps,
                const std::string &name = "dlg", HWND parent = nullptr) {
        log.name_next_dialog(name);
        return ui.run(
            [&] {
                return DialogBoxIndirectParamW(nullptr, b.get(), parent ? parent : owner,
                                               MessageLog::dialog_proc, param);
            },
            std::move(steps));
    }
    // The dialog ends with `result` on the command `id`.
    void end_on_command(const std::string &name, WORD id, INT_PTR result) {
        log.handle(name, [=](HWND h, UINT m, WPARAM w, LPARAM, LRESULT *r) {
            if (m != WM_COMMAND || LOWORD(w) != id) return false;
            EndDialog(h, result);
            return *r = TRUE, true;
        });
    }

    MessageLog log;
    UiDriver ui;
    HWND owner = nullptr;
    const TemplateBuilder plain{DIALOG, 0, 0, 100, 50};
};

TEST_F(Dialog, CloseBecomesCancelAndTheOwnerIsDisabledMeanwhile) {
    end_on_command("dlg", IDCANCEL, 5);
    INT_PTR r =
        run(plain, 77, {ui::check([&] { EXPECT_FALSE(IsWindowEnabled(owner)); }), ui::close()});
    EXPECT_EQ(r, 5);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(log.take(), (Lines{"dlg WM_INITDIALOG 77", "owner WM_CANCELMODE", "owner WM_ENABLE 0",
                                 "dlg WM_CLOSE", "dlg WM_COMMAND 2,0 0", "owner WM_ENABLE 1",
                                 "dlg WM_DESTROY", "dlg WM_NCDESTROY"}));
    EXPECT_EQ(wl_window_top(), owner);
    // A disabled Cancel control refuses the close.
    TemplateBuilder b(DIALOG, 0, 0, 100, 50);
    b.item(WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0, 10, 10, IDCANCEL, u"record");
    EXPECT_EQ(run(b, 0, {ui::close(), ui::end_dialog(9)}), 9);
    Lines lines = log.take();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "dlg WM_COMMAND 2,0 #2"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "dlg WM_CLOSE"), 1);
}

TEST_F(Dialog, EndedWhileInitialisingItIsNeverShown) {
    log.handle("dlg", [](HWND h, UINT m, WPARAM, LPARAM, LRESULT *r) {
        if (m == WM_INITDIALOG) EndDialog(h, 3);
        return *r = TRUE, m == WM_INITDIALOG;
    });
    log.ignore({});
    EXPECT_EQ(run(plain, 0, {}), 3);
    EXPECT_EQ(log.take(), (Lines{"dlg WM_INITDIALOG 0", "dlg WM_DESTROY", "dlg WM_NCDESTROY"}));
}

TEST_F(Dialog, NestedDialogsReturnTheirResults) {
    TemplateBuilder inner(DIALOG, 10, 10, 100, 50);
    inner.item(WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, 50, u"record", u"Go");
    log.handle("#50", button_behaviour());
    end_on_command("inner", 50, 7);
    log.handle("outer", [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT *r) {
        if (m == WM_INITDIALOG) PostMessageW(h, WM_USER + 1, 0, 0);
        if (m != WM_USER + 1) return false;
        log.name_next_dialog("inner");
        EndDialog(h,
                  DialogBoxIndirectParamW(nullptr, inner.get(), h, MessageLog::dialog_proc, 2) + 1);
        return *r = TRUE, true;
    });
    HWND outer = nullptr;
    INT_PTR r = run(plain, 1,
                    {ui::check([&] {
                         outer = GetParent(wl_window_top());
                         EXPECT_FALSE(IsWindowEnabled(outer) || IsWindowEnabled(owner));
                     }),
                     ui::tap(50)},
                    "outer");
    EXPECT_EQ(r, 8);
    EXPECT_FALSE(IsWindow(outer));
    EXPECT_TRUE(IsWindowEnabled(owner));
    // The inner dialog's control is made before its WM_INITDIALOG.
    EXPECT_EQ(log.take(),
              (Lines{"outer WM_INITDIALOG 1", "owner WM_CANCELMODE", "owner WM_ENABLE 0",
                     "outer WM_USER+1 0,0",   "#50 WM_NCCREATE",     "#50 WM_CREATE",
                     "#50 WM_SIZE 80x40",     "#50 WM_MOVE 0,0",     "inner WM_INITDIALOG 2",
                     "outer WM_CANCELMODE",   "outer WM_ENABLE 0",   "inner WM_COMMAND 50,0 #50",
                     "outer WM_ENABLE 1",     "inner WM_DESTROY",    "#50 WM_DESTROY",
                     "#50 WM_NCDESTROY",      "inner WM_NCDESTROY",  "owner WM_ENABLE 1",
                     "outer WM_DESTROY",      "outer WM_NCDESTROY"}));
}

TEST_F(Dialog, ControlsArePlacedInDialogUnitsOrFailTheDialog) {
    TemplateBuilder b(DIALOG, 0, 0, 100, 100);
    b.item(WS_CHILD | WS_VISIBLE, 0, 0, 4, 8, 11, u"record", u"one")
        .item(WS_CHILD | WS_VISIBLE, 8, 16, 4, 8, 12, u"record", u"two");
    run(b, 0,
        {ui::check([] {
             UiControl one = ui_find(11), two = ui_find(12);
             EXPECT_EQ(one.text + one.class_name, u"onerecord");
             LONG bx = one.rect.right - one.rect.left, by = one.rect.bottom - one.rect.top;
             EXPECT_GT(by, bx);
             EXPECT_GT(bx, 0);
             EXPECT_EQ(two.rect.left - one.rect.left, 2 * bx);
             EXPECT_EQ(two.rect.top - one.rect.top, 2 * by);
         }),
         ui::end_dialog(0)});
    TemplateBuilder failing(DIALOG, 0, 0, 100, 100), tolerant(DIALOG | DS_NOFAILCREATE, 0, 0, 9, 9);
    failing.item(WS_CHILD | WS_VISIBLE, 0, 0, 4, 8, 11, u"nosuchclass");
    tolerant.item(WS_CHILD | WS_VISIBLE, 0, 0, 4, 8, 11, u"nosuchclass");
    EXPECT_EQ(run(failing, 0, {}), -1);
    EXPECT_EQ(wl_window_list(nullptr, 0), 1); // the owner alone
    EXPECT_EQ(run(tolerant, 0, {ui::end_dialog(4)}), 4);
}

TEST_F(Dialog, HandledMessagesAnswerThroughTheMessageResult) {
    log.handle("dlg", [](HWND h, UINT m, WPARAM, LPARAM, LRESULT *r) {
        if (m != WM_USER + 3) return false;
        SetWindowLongPtrW(h, DWLP_MSGRESULT, 1234);
        return *r = TRUE, true;
    });
    run(plain, 0,
        {ui::check([] {
             EXPECT_EQ(SendMessageW(wl_window_top(), WM_USER + 3, 0, 0), 1234);
             EXPECT_EQ(SendMessageW(wl_window_top(), WM_USER + 4, 0, 0), 0);
         }),
         ui::end_dialog(0)});
}

TEST_F(Dialog, FromTheModulesResources) {
    static int anchor;
    HMODULE module = wl_module_register(u"dlgtest.dll", &anchor);
    ASSERT_TRUE(wl_resource_register(module, RT_DIALOG, u"DLG1", plain.data(), plain.size()));
    end_on_command("dlg", IDCANCEL, 6);
    log.name_next_dialog("dlg");
    EXPECT_EQ(
        ui.run([&] { return DialogBoxParamW(module, u"dlg1", owner, MessageLog::dialog_proc, 0); },
               {ui::close()}),
        6);
    EXPECT_EQ(DialogBoxParamW(module, u"DLG2", owner, MessageLog::dialog_proc, 0), -1);
    HWND gone = log.create("gone", DIALOG, 0, 0, 5, 5);
    DestroyWindow(gone);
    EXPECT_EQ(DialogBoxParamW(module, u"DLG1", gone, MessageLog::dialog_proc, 0), 0);
    EXPECT_FALSE(EndDialog(owner, 0)); // not a dialog
    wl_module_unregister(u"dlgtest.dll");
}

} // namespace
