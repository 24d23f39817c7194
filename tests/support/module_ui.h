// The module's toolkit as its tests need it: the module's window classes registered by
// wfalstart's own registration, a visible parent window that logs what its children tell it, and a
// tear-down that leaves no font, window, class or GDI object behind for the next test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <windows.h>
#include <wlgdi.h>
#include <wluser.h>

#include "module/classes.h"
#include "module/state.h"
#include "support/message_log.h"
#include "support/ui_driver.h"
#include "ui/button.h"
#include "ui/controls.h"
#include "ui/splitter.h"

inline void module_ui_register_classes() {
    wfal.instance = GetModuleHandleW(u"wfal.dll");
    classes_register();
}

// A fixture with a visible top-level "parent" window of the recording class at (0, 0).
class ModuleUiTest : public ::testing::Test {
protected:
    MessageLog log;
    HWND parent = nullptr;

    void SetUp() override {
        module_ui_register_classes();
        wl_screen_set_background(RGB(0, 0, 0));
        parent = log.create("parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300);
        // Moves and captures are not what these tests look at.
        log.ignore({WM_NCPAINT, WM_ERASEBKGND, WM_PAINT, WM_MOUSEMOVE, WM_CAPTURECHANGED});
    }
    // The log's destructor tears the window manager and GDI down; the looks' fonts go first.
    void TearDown() override { ui_release_fonts(); }
};
