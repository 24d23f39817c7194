// Module sessions as the host runs them: wfalstart headless under a fresh device root with the
// fake host, on the result file "\view.res" (viewer) or from the defaults (test mode); and the
// text viewer's box as the tests read it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <acqsim.h>
#include <windows.h>
#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

#include "module/entry.h"
#include "module/state.h"
#include "reports/text_viewer.h"
#include "support/fake_host.h"
#include "support/result_file.h"
#include "support/temp_root.h"
#include "support/ui_driver.h"

// The text viewer when it is the topmost window (the main dialog's 201 is its splitter).
inline HWND report_viewer() {
    HWND top = wl_window_top();
    return top != wfal.main_dialog && GetDlgItem(top, TEXT_ID_BOX) ? top : nullptr;
}

// The viewer's text, whole.
inline std::u16string report_box_text() {
    static WCHAR text[30000];
    text[0] = 0;
    GetWindowTextW(GetDlgItem(report_viewer(), TEXT_ID_BOX), text, 30000);
    return text;
}

class ReportSession : public ::testing::Test {
protected:
    TempDeviceRoot root;
    UiDriver ui;
    ResultFileRecipe recipe;
    // wfalstart's parameters. No result path: "\view.res" viewing, "\Internal\line.res" testing;
    // the language file is missing, so the text is the built-in one.
    HostService host = fake_host_service;
    std::u16string result_path, settings_path = u"\\settings.dat";
    std::u16string language_path = u"\\none.txt", operator_name = u"Ann";
    int language = 1, help_mask = 7, memory_reserve = 0;

    void SetUp() override { acqsim_reset(), wl_fault_reset(), fake_host_reset(); }
    void TearDown() override {
        wl_fault_reset(), acqsim_reset(), wl_user_shutdown(), wl_gdi_shutdown();
    }

    // The file the viewer shows, "\view.res".
    void write_result() { result_file_write(root.dir() + "/view.res", recipe); }
    std::string file_bytes() { return root.read("view.res"); }

    // Runs wfalstart (the viewer on "\view.res", or test mode) through the steps, every one of
    // which must run; returns its result.
    INT_PTR view(std::vector<UiStep> steps, int test_mode = 0) {
        const std::u16string path = !result_path.empty() ? result_path
                                    : test_mode          ? u"\\Internal\\line.res"
                                                         : u"\\view.res";
        return ui.run(
            [&] {
                return INT_PTR(wfalstart(nullptr, host, test_mode, path.c_str(), memory_reserve,
                                         language, operator_name.c_str(), settings_path.c_str(),
                                         language_path.c_str(), help_mask));
            },
            std::move(steps));
    }
};
