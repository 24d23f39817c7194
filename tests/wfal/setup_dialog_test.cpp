// What the flows (tests/flows/test_*.flow, display_setup.flow) cannot see from the host: the
// set-up dialog's path split, its field while the host is asked, the parameters cut to their
// buffers, nothing left behind in the process, and the About box, which has no key.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "reports/display_setup.h"
#include "support/lang_file.h"
#include "support/report_session.h"
#include "test/main_dialog.h"
#include "test/setup_dialog.h"
#include "ui/controls.h"

namespace {

// The destination's folder and name without its extension (the longest test's units are
// test_setup_destination.flow's).
TEST(SetupText, PathSplit) {
    for (const auto &p : {std::array<std::u16string, 2>{u"\\USB\\a.b.res", u"\\USB|a.b"},
                          {u"\\USB\\d.x\\name", u"\\USB\\d.x|name"},
                          {u"\\t.res", u"|t"}}) {
        WCHAR directory[MAX_PATH], name[MAX_PATH];
        setup_split_path(p[0].c_str(), directory, name);
        EXPECT_EQ(std::u16string(directory) + u"|" + name, p[1]);
    }
}

class SetupDialog : public ReportSession {};

// The old destination is gone while the host asks for the new name; paths are cut to their
// buffers (the operator's name in test_settings.flow).
TEST_F(SetupDialog, NameEntryAndParameters) {
    const std::u16string long_path = u"\\" + std::u16string(299, u'p');
    result_path = settings_path = language_path = long_path;
    std::u16string field_when_asked = u"-", result;
    fake_host.on_call = [&](int code) {
        if (code == HOST_EDIT_PATH) field_when_asked = ui_find(SETUP_ID_DESTINATION).text;
    };
    fake_host.answer_path(u"\\Internal\\a.res", 1);
    EXPECT_EQ(view({ui::check([&] { result = wfal.result_path; }), ui::tap(SETUP_ID_NAME),
                    ui::tap(SETUP_ID_NAME), ui::tap(ID_ESC)},
                   1),
              0);
    EXPECT_EQ(field_when_asked, u"");
    for (const std::u16string &path :
         {result, std::u16string(wfal.settings_path), std::u16string(wfal.language_path)})
        EXPECT_EQ(path, long_path.substr(0, 259));
}

// Twice in each mode in one process, and without a host: everything made is released again.
TEST_F(SetupDialog, WfalstartLeavesNothingBehind) {
    const int objects = wl_gdi_object_count();
    for (HostService h : {fake_host_service, fake_host_service, HostService(nullptr)}) {
        for (int mode : {1, 0}) {
            fake_host_reset();
            host = h;
            EXPECT_EQ(view({ui::tap(ID_ESC)}, mode), 0);
            EXPECT_EQ(fake_host.log.empty(), h == nullptr);
            EXPECT_EQ(wl_window_list(nullptr, 0), 0);
            for (const WCHAR *name : {u"btn", u"splt", u"graph", u"wfaw"})
                EXPECT_FALSE(UnregisterClassW(name, GetModuleHandleW(u"wfal.dll")));
            EXPECT_EQ(wl_gdi_object_count(), objects);
            ULONGLONG due;
            EXPECT_FALSE(wl_timer_next_due(&due));
            EXPECT_TRUE(wfal.dialog_brush == nullptr && wfal.lang.pool == nullptr);
            EXPECT_EQ(wfal.lang.entry_count, 0);
        }
    }
}

// The display set-up's About box has no key: command 111 shows it with the language's texts (the
// title's key has none here), one longer than the box cut at its end; the box sets no title.
TEST_F(SetupDialog, DisplayAboutBox) {
    write_result();
    const std::u16string long_text(600, u'a');
    root.write("long.txt", utf16le(u"\uFEFF#Abouttext\r\n<1>" + long_text + u"\r\n"));
    language_path = u"\\long.txt";
    const auto about = [] { PostMessageW(wl_window_top(), WM_COMMAND, DISPLAY_ID_ABOUT, 0); };
    EXPECT_EQ(view({ui::tap(ID_DISPLAY), ui::check(about), ui::tap(ID_ESC), ui::tap(ID_ESC)}), 0);
    EXPECT_EQ(fake_host.log,
              (Lines{"title \"Spectrogram\"", "title \"Display\"",
                     "message-box 64 \"Abouttitle\" " +
                         fake_host_quote(long_text.substr(0, DISPLAY_ABOUT_CHARS - 1)) +
                         " -> 1 (no answer queued)",
                     "title \"Spectrogram\""}));
}

} // namespace
