// The display set-up's About box, which has no key (its flows are tests/flows/display_*.flow):
// command 111 shows it, a translation longer than the box is cut at its end, and the dialog's
// title comes back after it.
#include <gtest/gtest.h>

#include <string>

#include "reports/display_setup.h"
#include "support/lang_file.h"
#include "support/report_session.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

class DisplaySetup : public ReportSession {};

TEST_F(DisplaySetup, AboutBox) {
    write_result();
    const std::u16string long_text(600, u'a');
    root.write("long.txt", utf16le(u"\uFEFF#Abouttext\r\n<1>" + long_text + u"\r\n"));
    const struct {
        const WCHAR *path;
        std::u16string caption, text;
    } cases[] = {
        {u"\\none.txt", u"About Spectrogram viewer",
         u"Spectrogram viewer for VELMAR test equipments:\r\n\r\nTRX71\r\n\r\nVersion: 2.00"},
        {u"\\long.txt", u"Abouttitle", long_text.substr(0, DISPLAY_ABOUT_CHARS - 1)}};
    for (const auto &c : cases) {
        fake_host_reset();
        language_path = c.path;
        std::u16string cut;
        const auto about = [] { PostMessageW(wl_window_top(), WM_COMMAND, DISPLAY_ID_ABOUT, 0); };
        EXPECT_EQ(view({ui::tap(ID_DISPLAY), ui::check(about), ui::check([&] {
                            WCHAR small[21];
                            display_about_text(small, 21);
                            cut = small;
                        }),
                        ui::tap(ID_ESC), ui::tap(ID_ESC)}),
                  0);
        EXPECT_EQ(cut, c.text.substr(0, 20));
        EXPECT_EQ(fake_host.lines("message-box"),
                  Lines{"message-box 64 " + fake_host_quote(c.caption) + " " +
                        fake_host_quote(c.text) + " -> 1 (no answer queued)"});
        EXPECT_EQ(fake_host.lines("title"),
                  (Lines{"title \"Spectrogram\"", "title \"Display\"", "title \"Spectrogram\""}));
    }
}

} // namespace
