// Calling the host around a dialog: the window is disabled while the host shows the user
// something, and enabled again afterwards. (The controls a dialog builds from its table, with
// their captions and styles, show in the flows' dumps and screens; a module without a host runs
// in setup_dialog_test.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/module_ui.h"

namespace {

// Each call as "code a b c" and whether the window was enabled during it.
std::vector<std::string> host_seen;
HWND host_window = nullptr;

INT_PTR CALLBACK recording_host(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    host_seen.push_back(std::to_string(code) + " " + std::to_string(a) + " " + std::to_string(b) +
                        " " + std::to_string(c) + (IsWindowEnabled(host_window) ? " on" : " off"));
    return code == HOST_ENTER_NUMBER ? -80 : code * 10;
}

using DialogBuilder = ModuleUiTest;

TEST_F(DialogBuilder, HostCallDisablesTheWindowAroundWhatTheUserSees) {
    host_window = parent;
    wfal.host = recording_host;
    for (int code = HOST_SET_TITLE; code <= HOST_HELP; ++code) {
        host_seen.clear();
        const DWORD result = host_call(parent, code, 11, 22, 33);
        const bool shows =
            code != HOST_SET_TITLE && code != HOST_TEST_RUNNING && code != HOST_STOP_REQUESTED;
        EXPECT_EQ(host_seen, Lines{std::to_string(code) + " 11 22 33" + (shows ? " off" : " on")});
        EXPECT_TRUE(IsWindowEnabled(parent)) << code;
        EXPECT_EQ(INT32(result), code == HOST_ENTER_NUMBER ? -80 : code * 10) << code;
    }
}

} // namespace
