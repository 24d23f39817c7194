// Calling the host around a dialog: the window is disabled while the host shows the user
// something, and enabled again afterwards. (The controls a dialog builds from its table, with
// their captions and styles, show in the flows' dumps and screens.)
#include <gtest/gtest.h>

#include <vector>

#include "support/module_ui.h"

namespace {

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

using DialogBuilder = ModuleUiTest;

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
