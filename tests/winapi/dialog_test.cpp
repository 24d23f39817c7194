// Modal dialogs: templates, the modal loop and its owner, WM_CLOSE as Cancel, nested dialogs,
// the background from WM_CTLCOLORDLG, dialogs from resources.
#include <gtest/gtest.h>

#include <windows.h>
#include <winlayer.h>
#include <wluser.h>

#include "support/dialog_template.h"
#include "support/message_log.h"
#include "support/test_bitmap.h"
#include "support/ui_driver.h"
#include "user/dialog_template.h"

namespace {

constexpr DWORD DIALOG = WS_POPUP | WS_VISIBLE;
const std::set<UINT> NOISE = {WM_PAINT,   WM_ERASEBKGND,  WM_NCPAINT,   WM_CTLCOLORDLG,
                              WM_SETFONT, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_CAPTURECHANGED,
                              WM_NULL,    WM_SHOWWINDOW};

// ---- Templates -------------------------------------------------------------------------------

TEST(DialogTemplate, PlainFormWithFontAndItems) {
    TemplateBuilder b(DIALOG, 1, 2, 30, 40, u"Title");
    b.font(9, u"arial")
        .item(WS_CHILD | WS_TABSTOP, 3, 4, 5, 6, 101, 0x80, u"OK")
        .item(WS_CHILD, 7, 8, 9, 10, 102, u"record", u"x");
    DialogTemplate t;
    ASSERT_TRUE(template_parse(b.data(), b.size(), &t));
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(t.style, DIALOG | DS_SETFONT);
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.cx, t.cy}), (std::vector<int>{1, 2, 30, 40}));
    EXPECT_EQ(t.title, u"Title");
    EXPECT_FALSE(t.menu.present);
    EXPECT_TRUE(t.has_font);
    EXPECT_EQ(t.point_size, 9);
    EXPECT_EQ(t.face, u"arial");
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_TRUE(t.items[0].class_name.is_ordinal);
    EXPECT_EQ(t.items[0].class_name.ordinal, 0x80);
    EXPECT_EQ(t.items[0].title.text, u"OK");
    EXPECT_EQ(t.items[0].id, 101u);
    EXPECT_EQ(t.items[1].class_name.text, u"record");
    EXPECT_EQ((std::vector<int>{t.items[1].x, t.items[1].y, t.items[1].cx, t.items[1].cy}),
              (std::vector<int>{7, 8, 9, 10}));
    // Every shorter piece of it is refused.
    for (DWORD n = 0; n < b.size(); ++n)
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
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.style, 0x90000040u);
    EXPECT_EQ(t.ex_style, 0x200u);
    EXPECT_EQ(t.title, u"T");
    EXPECT_EQ(t.weight, 700);
    EXPECT_TRUE(t.italic);
    EXPECT_EQ(t.charset, 1);
    ASSERT_EQ(t.items.size(), 1u);
    EXPECT_EQ(t.items[0].id, 0x11234u);
    EXPECT_EQ(t.items[0].class_name.ordinal, 0x81);
    ASSERT_NE(t.items[0].creation_data, nullptr);
    EXPECT_EQ(static_cast<const uint16_t *>(t.items[0].creation_data)[1], 0xABCD);
}

// ---- Running dialogs -------------------------------------------------------------------------

class Dialog : public ::testing::Test {
protected:
    void SetUp() override {
        wl_screen_set_background(RGB(1, 2, 3));
        owner = log.create("owner", DIALOG, 0, 0, 800, 480);
        pump_pending();
        log.ignore(NOISE);
        log.clear();
    }
    INT_PTR run(const TemplateBuilder &b, LPARAM param, std::vector<UiStep> steps) {
        log.name_next_dialog("dlg");
        return ui.run(
            [&] {
                return DialogBoxIndirectParamW(nullptr, b.get(), owner, MessageLog::dialog_proc,
                                               param);
            },
            std::move(steps));
    }
    // The dialog ends with `result` on the command `id`.
    void end_on_command(const std::string &name, WORD id, INT_PTR result) {
        log.handle(name, [=](HWND h, UINT m, WPARAM w, LPARAM, LRESULT *r) {
            if (m != WM_COMMAND || LOWORD(w) != id) return false;
            EndDialog(h, result);
            *r = TRUE;
            return true;
        });
    }

    MessageLog log;
    UiDriver ui;
    HWND owner = nullptr;
};

TEST_F(Dialog, CloseBecomesCancelAndTheOwnerIsDisabledMeanwhile) {
    end_on_command("dlg", IDCANCEL, 5);
    TemplateBuilder b(DIALOG, 0, 0, 100, 50);
    INT_PTR r = run(b, 77, {ui::check([&] { EXPECT_FALSE(IsWindowEnabled(owner)); }), ui::close()});
    EXPECT_EQ(r, 5);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(log.take(), (Lines{"dlg WM_INITDIALOG 77", "owner WM_CANCELMODE", "owner WM_ENABLE 0",
                                 "dlg WM_CLOSE", "dlg WM_COMMAND 2,0 0", "owner WM_ENABLE 1",
                                 "dlg WM_DESTROY", "dlg WM_NCDESTROY"}));
    EXPECT_EQ(wl_window_top(), owner);
}

TEST_F(Dialog, ADisabledCancelControlRefusesTheClose) {
    TemplateBuilder b(DIALOG, 0, 0, 100, 50);
    b.item(WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0, 10, 10, IDCANCEL, u"record");
    INT_PTR r = run(b, 0, {ui::close(), ui::check([] { EndDialog(wl_window_top(), 9); }, "end")});
    EXPECT_EQ(r, 9);
    Lines lines = log.take();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "dlg WM_COMMAND 2,0 #2"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "dlg WM_CLOSE"), 1);
}

TEST_F(Dialog, EndedWhileInitialisingItIsNeverShown) {
    log.handle("dlg", [](HWND h, UINT m, WPARAM, LPARAM, LRESULT *r) {
        if (m == WM_INITDIALOG) EndDialog(h, 3);
        *r = TRUE;
        return m == WM_INITDIALOG;
    });
    log.ignore({});
    TemplateBuilder b(DIALOG, 0, 0, 100, 50);
    EXPECT_EQ(run(b, 0, {}), 3);
    EXPECT_EQ(log.take(), (Lines{"dlg WM_INITDIALOG 0", "dlg WM_DESTROY", "dlg WM_NCDESTROY"}));
}

TEST_F(Dialog, NestedDialogsReturnTheirResults) {
    TemplateBuilder inner_template(DIALOG, 10, 10, 100, 50);
    inner_template.item(WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, 50, u"record", u"Go");
    log.handle("#50", button_behaviour());
    end_on_command("inner", 50, 7);
    log.handle("outer", [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT *r) {
        if (m == WM_INITDIALOG) PostMessageW(h, WM_USER + 1, 0, 0);
        if (m != WM_USER + 1) return false;
        log.name_next_dialog("inner");
        INT_PTR got =
            DialogBoxIndirectParamW(nullptr, inner_template.get(), h, MessageLog::dialog_proc, 2);
        EndDialog(h, got + 1);
        *r = TRUE;
        return true;
    });
    TemplateBuilder outer_template(DIALOG, 0, 0, 200, 100);
    log.name_next_dialog("outer");
    log.ignore({WM_GETTEXT, WM_SHOWWINDOW, WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_CTLCOLORDLG,
                WM_LBUTTONDOWN, WM_LBUTTONUP, WM_CAPTURECHANGED, WM_NULL});
    HWND outer = nullptr;
    INT_PTR r = ui.run(
        [&] {
            return DialogBoxIndirectParamW(nullptr, outer_template.get(), owner,
                                           MessageLog::dialog_proc, 1);
        },
        {ui::check([&] {
             outer = GetParent(wl_window_top());
             EXPECT_FALSE(IsWindowEnabled(outer));
             EXPECT_FALSE(IsWindowEnabled(owner));
             EXPECT_EQ(ui_find_text(u"Go").id, 50);
         }),
         ui::tap_text(u"Go")});
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

// A dialog moved to (10, 37), 30 x 20, all of it in its background ('b').
std::string dialog_picture() {
    std::vector<std::string> rows{std::string(32, '?')};
    for (int i = 0; i < 20; ++i)
        rows.push_back("?" + std::string(30, 'b') + "?");
    rows.push_back(std::string(32, '?'));
    return picture_rows(rows);
}

UiStep move_dialog() {
    return ui::check([] { MoveWindow(wl_window_top(), 10, 37, 30, 20, TRUE); }, "move");
}

TEST_F(Dialog, BackgroundComesFromCtlColorDlg) {
    const COLORREF blue = RGB(11, 25, 255);
    HBRUSH brush = CreateSolidBrush(blue);
    log.handle("dlg", [brush](HWND h, UINT m, WPARAM w, LPARAM, LRESULT *r) {
        if (m == WM_COMMAND && w == IDCANCEL) EndDialog(h, 0);
        *r = LRESULT(brush);
        return m == WM_CTLCOLORDLG;
    });
    TemplateBuilder b(DIALOG, 0, 0, 40, 40);
    run(b, 0,
        {move_dialog(), ui::check([blue] {
             EXPECT_EQ(ui_picture(RECT{9, 36, 41, 58}, {{blue, 'b'}}), dialog_picture());
         }),
         ui::close()});
    DeleteObject(brush);
}

TEST_F(Dialog, WithoutABrushTheFaceColourIsUsed) {
    end_on_command("dlg", IDCANCEL, 0);
    TemplateBuilder b(DIALOG, 0, 0, 40, 40);
    run(b, 0,
        {move_dialog(), ui::check([] {
             EXPECT_EQ(ui_picture(RECT{9, 36, 41, 58}, {{RGB(192, 192, 192), 'b'}}),
                       dialog_picture());
         }),
         ui::close()});
}

TEST_F(Dialog, ControlsArePlacedInDialogUnits) {
    TemplateBuilder b(DIALOG, 0, 0, 100, 100);
    b.item(WS_CHILD | WS_VISIBLE, 0, 0, 4, 8, 11, u"record", u"one")
        .item(WS_CHILD | WS_VISIBLE, 8, 16, 4, 8, 12, u"record", u"two");
    end_on_command("dlg", IDCANCEL, 0);
    run(b, 0,
        {ui::check([] {
             UiControl one = ui_find(11), two = ui_find(12);
             EXPECT_EQ(one.text, u"one");
             EXPECT_EQ(one.class_name, u"record");
             LONG bx = one.rect.right - one.rect.left, by = one.rect.bottom - one.rect.top;
             EXPECT_GT(bx, 0);
             EXPECT_GT(by, bx);
             EXPECT_EQ(two.rect.left - one.rect.left, 2 * bx);
             EXPECT_EQ(two.rect.top - one.rect.top, 2 * by);
         }),
         ui::close()});
}

TEST_F(Dialog, AControlThatCantBeMadeFailsTheDialogUnlessAllowed) {
    TemplateBuilder b(DIALOG, 0, 0, 100, 100);
    b.item(WS_CHILD | WS_VISIBLE, 0, 0, 4, 8, 11, u"nosuchclass");
    EXPECT_EQ(run(b, 0, {}), -1);
    EXPECT_EQ(wl_window_list(nullptr, 0), 1); // the owner alone
    TemplateBuilder tolerant(DIALOG | DS_NOFAILCREATE, 0, 0, 100, 100);
    tolerant.item(WS_CHILD | WS_VISIBLE, 0, 0, 4, 8, 11, u"nosuchclass");
    end_on_command("dlg", IDCANCEL, 4);
    EXPECT_EQ(run(tolerant, 0, {ui::close()}), 4);
}

TEST_F(Dialog, HandledMessagesAnswerThroughTheMessageResult) {
    log.handle("dlg", [](HWND h, UINT m, WPARAM, LPARAM, LRESULT *r) {
        if (m != WM_USER + 3) return false;
        SetWindowLongPtrW(h, DWLP_MSGRESULT, 1234);
        *r = TRUE;
        return true;
    });
    TemplateBuilder b(DIALOG, 0, 0, 40, 40);
    run(b, 0, {ui::check([] {
            HWND d = wl_window_top();
            EXPECT_EQ(SendMessageW(d, WM_USER + 3, 0, 0), 1234);
            EXPECT_EQ(SendMessageW(d, WM_USER + 4, 0, 0), 0);
            EndDialog(d, 0);
        })});
}

TEST_F(Dialog, FromTheModulesResources) {
    TemplateBuilder b(DIALOG, 0, 0, 40, 40);
    static int anchor;
    HMODULE module = wl_module_register(u"dlgtest.dll", &anchor);
    ASSERT_TRUE(wl_resource_register(module, RT_DIALOG, u"DLG1", b.data(), b.size()));
    end_on_command("dlg", IDCANCEL, 6);
    log.name_next_dialog("dlg");
    INT_PTR r =
        ui.run([&] { return DialogBoxParamW(module, u"dlg1", owner, MessageLog::dialog_proc, 0); },
               {ui::close()});
    EXPECT_EQ(r, 6);
    EXPECT_EQ(DialogBoxParamW(module, u"DLG2", owner, MessageLog::dialog_proc, 0), -1);
    HWND gone = log.create("gone", DIALOG, 0, 0, 5, 5);
    DestroyWindow(gone);
    EXPECT_EQ(DialogBoxParamW(module, u"DLG1", gone, MessageLog::dialog_proc, 0), 0);
    EXPECT_FALSE(EndDialog(owner, 0)); // not a dialog
    wl_module_unregister(u"dlgtest.dll");
}

} // namespace
