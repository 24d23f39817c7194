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
        lang_file_set_path(u"\\lang.txt"), wfal.language_number = 1, lang_load();
        test_look = style_text;
        test_look.font = test_look.font2 = nullptr;
        probe_seen.clear();
        WNDCLASSW probe = {0, probe_proc, 0, 0, wfal.instance, 0, 0, 0, nullptr, u"probe"};
        RegisterClassW(&probe);
    }
    void TearDown() override { lang_free(), ModuleUiTest::TearDown(); }

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

// Created from the last entry to the first, so that the first is on top; captions translated
// (none: the key's own), styles as given, buttons holding their looks (a null one too), and other
// classes getting the look's font.
TEST_F(DialogBuilder, CreatesBackwardsWithCaptionsStylesAndLooks) {
    ui_build_controls(parent, TABLE);
    EXPECT_EQ(probe_seen, (Lines{"8 created", "7 created", "7 font"}));
    const struct {
        int id;
        std::u16string text;
        DWORD style, ex_style;
        LONG left, bottom; // screen; the parent's client area starts at (0, 0)
        LONG_PTR look;
    } expected[] = {
        {100, u"Back", 0, 0, 10, 70, LONG_PTR(&style_normal)},
        {7, u"File name", WS_DISABLED, WS_EX_CLIENTEDGE, 1, 6, -1},
        {8, u"PrtScr", 0, 0, 0, 0, -1},
        {101, u"", WS_DISABLED, 0, 0, 0, 0},
    };
    const std::vector<HWND> order = children();
    ASSERT_EQ(order.size(), 4u);
    for (const auto &e : expected) {
        SCOPED_TRACE(e.id);
        UiControl c = ui_control(order[size_t(&e - expected)]);
        WlWindowInfo info;
        ASSERT_TRUE(wl_window_info(c.hwnd, &info));
        EXPECT_EQ(c.text, e.text);
        EXPECT_EQ(std::vector<LONG>(
                      {LONG(info.style), LONG(info.ex_style), info.rect.left, info.rect.bottom}),
                  std::vector<LONG>(
                      {LONG(WS_CHILD | WS_VISIBLE | e.style), LONG(e.ex_style), e.left, e.bottom}));
        if (e.look >= 0) {
            EXPECT_EQ(GetWindowLongPtrW(c.hwnd, sizeof(LONG_PTR)), e.look);
        }
    }
    DeleteObject(test_look.font), test_look.font = nullptr;
}

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
        SCOPED_TRACE(code);
        host_seen.clear();
        DWORD result = host_call(parent, code, 11, 22, 33);
        bool shows =
            code != HOST_SET_TITLE && code != HOST_TEST_RUNNING && code != HOST_STOP_REQUESTED;
        ASSERT_EQ(host_seen.size(), 1u);
        EXPECT_EQ(host_seen[0].enabled_during_call, !shows);
        EXPECT_EQ(host_seen[0].a + host_seen[0].b + host_seen[0].c, 66);
        EXPECT_TRUE(IsWindowEnabled(parent));
        EXPECT_EQ(INT32(result), code == HOST_ENTER_NUMBER ? -80 : code * 10);
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
