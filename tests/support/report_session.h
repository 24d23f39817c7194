// The text viewer's tests: the module run headless through wfalstart on a result file under a
// fresh device root, with a host that records its calls and answers the notes editor as the
// test says, and access to the viewer's text box.
#pragma once

#include <gtest/gtest.h>

#include <optional>
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
#include "support/result_file.h"
#include "support/temp_root.h"
#include "support/ui_driver.h"

struct ReportHostCall {
    int code;
    std::u16string a, b; // the texts passed: title or caption, and a message box's text
    INT_PTR c;
    bool viewer_enabled; // whether the viewer (if open) took input during the call
};

// What the host did and will do; reset by each test.
inline std::vector<ReportHostCall> report_host_calls;
// The notes editor's answer: the text the user confirms, or none for a cancel.
inline std::optional<std::u16string> report_notes_answer;

// The text viewer when it is the topmost window (the main dialog's 201 is its splitter).
inline HWND report_viewer() {
    HWND top = wl_window_top();
    return top != wfal.main_dialog && GetDlgItem(top, TEXT_ID_BOX) ? top : nullptr;
}

inline std::u16string report_text_of(INT_PTR text) {
    return text ? std::u16string((const WCHAR *)text) : std::u16string();
}

inline INT_PTR CALLBACK report_host(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    HWND viewer = report_viewer();
    std::u16string second = code == HOST_MESSAGE_BOX ? report_text_of(b) : std::u16string();
    report_host_calls.push_back(
        {code, report_text_of(a), second, c, viewer && IsWindowEnabled(viewer) != FALSE});
    if (code != HOST_EDIT_TEXT || !report_notes_answer) return 0;
    std::u16string answer = report_notes_answer->substr(0, size_t(c));
    WCHAR *buffer = (WCHAR *)b;
    buffer[answer.copy(buffer, answer.size())] = 0;
    return 1;
}

// The viewer's text, whole.
inline std::u16string report_box_text() {
    static WCHAR text[30000];
    text[0] = 0;
    GetWindowTextW(GetDlgItem(report_viewer(), TEXT_ID_BOX), text, 30000);
    return text;
}

// The text's lines, split at CR LF (the last one empty when the text ends with CR LF).
inline std::vector<std::u16string> report_lines(const std::u16string &text) {
    std::vector<std::u16string> lines;
    size_t from = 0;
    for (size_t at; (at = text.find(u"\r\n", from)) != std::u16string::npos; from = at + 2)
        lines.push_back(text.substr(from, at - from));
    lines.push_back(text.substr(from));
    return lines;
}

// The titles the host was given, in order.
inline std::vector<std::u16string> report_titles() {
    std::vector<std::u16string> titles;
    for (const ReportHostCall &call : report_host_calls)
        if (call.code == HOST_SET_TITLE) titles.push_back(call.a);
    return titles;
}

// Message boxes as "caption|text|flags".
inline std::vector<std::u16string> report_boxes() {
    std::vector<std::u16string> boxes;
    for (const ReportHostCall &call : report_host_calls) {
        std::string flags = std::to_string(call.c);
        if (call.code == HOST_MESSAGE_BOX)
            boxes.push_back(call.a + u"|" + call.b + u"|" +
                            std::u16string(flags.begin(), flags.end()));
    }
    return boxes;
}

class ReportSession : public ::testing::Test {
protected:
    TempDeviceRoot root;
    UiDriver ui;
    ResultFileRecipe recipe;
    std::u16string language_path = u"\\none.txt"; // missing: the built-in text

    void SetUp() override {
        acqsim_reset();
        wl_fault_reset();
        report_host_calls.clear();
        report_notes_answer.reset();
    }
    void TearDown() override {
        wl_fault_reset();
        wl_user_shutdown();
        wl_gdi_shutdown();
    }

    // The file the session views, "\view.res".
    void write_result() { result_file_write(root.dir() + "/view.res", recipe); }
    std::string file_bytes() { return root.read("view.res"); }

    // Views "\view.res" with English texts (or the language file) and runs the steps.
    INT_PTR view(std::vector<UiStep> steps) {
        return ui.run(
            [this] {
                return INT_PTR(wfalstart(nullptr, report_host, 0, u"\\view.res", 0, 1, u"Ann",
                                         u"\\settings.dat", language_path.c_str(), 0));
            },
            std::move(steps));
    }
};
