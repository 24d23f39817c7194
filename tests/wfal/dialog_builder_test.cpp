// Calling the host around a dialog: the window is disabled while the host shows the user
// something, enabled again afterwards, and the host's answer comes back. (The controls a dialog
// builds from its table show in the flows' dumps and screens.)
#include <gtest/gtest.h>

#include <string>

#include "support/module_ui.h"

namespace {

std::string host_seen; // the last call's code and arguments, and whether the window was enabled
HWND host_window = nullptr;

INT_PTR CALLBACK recording_host(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    host_seen += std::to_string(code) + " " + std::to_string(a) + " " + std::to_string(b) + " " +
                 std::to_string(c) + (IsWindowEnabled(host_window) ? " on" : " off");
    return code == HOST_ENTER_NUMBER ? -80 : code * 10;
}

TEST_F(ModuleUiTest, HostCallDisablesTheWindowAroundWhatTheUserSees) {
    host_window = parent, wfal.host = recording_host;
    for (int code = HOST_SET_TITLE; code <= HOST_HELP; ++code) {
        host_seen.clear();
        const DWORD result = host_call(parent, code, 11, 22, 33);
        const bool quiet =
            code == HOST_SET_TITLE || code == HOST_TEST_RUNNING || code == HOST_STOP_REQUESTED;
        EXPECT_EQ(host_seen, std::to_string(code) + " 11 22 33" + (quiet ? " on" : " off"));
        EXPECT_TRUE(IsWindowEnabled(parent)) << code;
        EXPECT_EQ(INT32(result), code == HOST_ENTER_NUMBER ? -80 : code * 10) << code;
    }
}

} // namespace
