// Building a dialog's controls from its table, and calling the host around a dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/lang_file.h"
#include "support/module_ui.h"
#include "support/temp_root.h"

namespace {

ControlStyle test_look; // a copy of style_text, with a font of its own

// A class of the module's instance whose windows note their creation and the fonts they get.
std::vector<std::string> probe_seen;

LRESULT CALLBACK probe_proc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
    std::string id = std::to_string(GetDlgCtrlID(hwnd));
    if (m == WM_CREATE) probe_seen.push_back(id + " created");
    if (m == WM_SETFONT)
        probe_seen.push_back(id + (HFONT(w) == test_look.font ? " font" : " other font"));
    return DefWindowProcW(hwnd, m, w, l);
}

class DialogBuilder : public ModuleUiTest {
protected:
    TempDeviceRoot root;

    void SetUp() override {
        ModuleUiTest::SetUp();
        root.write("lang.txt", utf16le(u"\uFEFF#Esc\r\n<1>Back\r\n#Name\r\n<1>File name\r\n"));
        lang_file_set_path(u"\\lang.txt");
        wfal.language_number = 1;
        lang_load();
        test_look = style_text;
        test_look.font = test_look.font2 = nullptr;
        probe_seen.clear();
        WNDCLASSW probe = {};
        probe.lpfnWndProc = probe_proc;
        probe.hInstance = wfal.instance;
        probe.lpszClassName = u"probe";
        RegisterClassW(&probe);
    }
    void TearDown() override {
        lang_free();
        ModuleUiTest::TearDown();
    }

    // The dialog's children, topmost first.
    std::vector<HWND> children() {
        std::vector<HWND> all(64);
        all.resize(size_t(wl_window_list(all.data(), int(all.size()))));
        std::vector<HWND> out;
        for (HWND h : all)
            if (GetParent(h) == parent) out.push_back(h);
        return out;
    }
};

const ControlDesc TABLE[] = {
    {100, u"btn", 0, 0, 10, 20, 100, 50, &style_normal, {}, {}, u"Esc"},
    {7, u"probe", WS_EX_CLIENTEDGE, WS_DISABLED, 1, 2, 3, 4, &test_look, {}, {}, u"Name"},
    {8, u"probe", 0, 0, 0, 0, 0, 0, nullptr, {}, {}, u"PrtScr"},
    {101, u"btn", 0, WS_DISABLED, 0, 0, 0, 0, nullptr, {}, {}, u""},
    {0, {}, 0, 0, 0, 0, 0, 0, nullptr, {}, {}, nullptr},
};

TEST_F(DialogBuilder, CreatesBackwardsSoThatTheFirstEntryIsOnTop) {
    ui_build_controls(parent, TABLE);
    EXPECT_EQ(probe_seen, (Lines{"8 created", "7 created", "7 font"}));
    std::vector<int> ids;
    for (HWND h : children())
        ids.push_back(GetDlgCtrlID(h));
    EXPECT_EQ(ids, (std::vector<int>{100, 7, 8, 101}));
}

TEST_F(DialogBuilder, CaptionsStylesAndLooks) {
    ui_build_controls(parent, TABLE);
    struct Expected {
        int id;
        std::u16string text;
        DWORD style;
        DWORD ex_style;
        RECT rect; // screen; the parent's client area starts at (0, 0)
    };
    const Expected expected[] = {
        {100, u"Back", WS_CHILD | WS_VISIBLE, 0, {10, 20, 110, 70}},
        {7, u"File name", WS_CHILD | WS_VISIBLE | WS_DISABLED, WS_EX_CLIENTEDGE, {1, 2, 4, 6}},
        {8, u"PrtScr", WS_CHILD | WS_VISIBLE, 0, {0, 0, 0, 0}}, // no text: the key itself
        {101, u"", WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, {0, 0, 0, 0}},
    };
    for (const Expected &e : expected) {
        UiControl c = ui_control(GetDlgItem(parent, e.id));
        WlWindowInfo info;
        ASSERT_TRUE(wl_window_info(c.hwnd, &info)) << e.id;
        EXPECT_EQ(c.text, e.text) << e.id;
        EXPECT_EQ(info.style, e.style) << e.id;
        EXPECT_EQ(info.ex_style, e.ex_style) << e.id;
        EXPECT_EQ(info.rect.left, e.rect.left) << e.id;
        EXPECT_EQ(info.rect.bottom, e.rect.bottom) << e.id;
    }
    // The buttons hold their looks, a null one included; other classes get the look's font.
    EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(parent, 100), sizeof(LONG_PTR)),
              (LONG_PTR)&style_normal);
    EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(parent, 101), sizeof(LONG_PTR)), 0);
    ASSERT_NE(test_look.font, nullptr);
    LOGFONTW made;
    ASSERT_EQ(GetObjectW(test_look.font, sizeof made, &made), int(sizeof made));
    EXPECT_EQ(made.lfHeight, 24);
    EXPECT_EQ(made.lfWeight, 700);
    EXPECT_EQ(std::u16string(made.lfFaceName), u"courier new");
    DeleteObject(test_look.font);
    test_look.font = nullptr;
}

// ---- host_call -------------------------------------------------------------------------------

struct HostSeen {
    int code;
    INT_PTR a, b, c;
    bool enabled_during_call;
};
std::vector<HostSeen> host_seen;
HWND host_window = nullptr;

INT_PTR CALLBACK recording_host(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    host_seen.push_back({code, a, b, c, IsWindowEnabled(host_window) != FALSE});
    return code == HOST_ENTER_NUMBER ? -80 : code * 10;
}

TEST_F(DialogBuilder, HostCallDisablesTheWindowAroundWhatTheUserSees) {
    host_window = parent;
    wfal.host = recording_host;
    for (int code = HOST_SET_TITLE; code <= HOST_HELP; ++code) {
        host_seen.clear();
        DWORD result = host_call(parent, code, 11, 22, 33);
        bool shows =
            code != HOST_SET_TITLE && code != HOST_TEST_RUNNING && code != HOST_STOP_REQUESTED;
        ASSERT_EQ(host_seen.size(), 1u) << code;
        EXPECT_EQ(host_seen[0].enabled_during_call, !shows) << code;
        EXPECT_EQ(host_seen[0].a + host_seen[0].b + host_seen[0].c, 66) << code;
        EXPECT_TRUE(IsWindowEnabled(parent)) << code;
        EXPECT_EQ(INT32(result), code == HOST_ENTER_NUMBER ? -80 : code * 10) << code;
    }
    // Without a window the call is made all the same; without a host, every service yields 0.
    host_seen.clear();
    EXPECT_EQ(host_call(nullptr, HOST_MESSAGE_BOX, 1, 2, HOST_MB_ERROR), 50u);
    EXPECT_EQ(host_seen.size(), 1u);
    wfal.host = nullptr;
    for (int code = HOST_SET_TITLE; code <= HOST_HELP; ++code) {
        EXPECT_EQ(host_call(parent, code, 0, 0, 0), 0u) << code;
        EXPECT_TRUE(IsWindowEnabled(parent)) << code;
    }
}

} // namespace
