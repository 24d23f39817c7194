// The text viewer's notes when the file calls fail, and what its flows cannot show: the saved
// section's notice kept up for its second.
#include <gtest/gtest.h>

#include <string>

#include "reports/save_section.h"
#include "support/fault_loop.h"
#include "support/report_session.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

constexpr size_t NOTES_AT = 296, NOTES_BYTES = 1024;
const std::u16string NEW_NOTES = u"new notes";

std::string outside_notes(const std::string &file) {
    return file.substr(0, NOTES_AT) + file.substr(NOTES_AT + NOTES_BYTES);
}

using TextViewer = ReportSession;

// Notes from the set-up report, whichever file call fails: only the notes field changes; a
// refusal is reported and leaves the report and the section's header as the file has them.
// A file cut short under the viewer no longer holds a header: refused, and not grown back.
TEST_F(TextViewer, NotesWrittenInPlaceOrReported) {
    recipe.records = 20, write_result();
    const std::string before = file_bytes();
    std::string notes(NOTES_BYTES, '\0');
    NEW_NOTES.copy(reinterpret_cast<char16_t *>(&notes[0]), NEW_NOTES.size());
    static std::u16string report, section;
    fault_loop(
        [&](const std::function<void()> &arm) {
            fake_host_reset(), root.write("view.res", before);
            fake_host.answer_text(NEW_NOTES);
            view({ui::tap(ID_SETUP), ui::check(arm), ui::tap(TEXT_ID_NOTES), ui::check([] {
                      report = report_box_text(), section = wfal.section_header.notes;
                  }),
                  ui::tap(ID_ESC), ui::tap(ID_ESC)});
        },
        [&](const Fault &f) {
            const std::string after = file_bytes();
            const bool refused = !fake_host.lines("message-box 16 \"Write notes\"").empty();
            EXPECT_EQ(outside_notes(after), outside_notes(before));
            // The notes' calls are the first of each kind; the settings are saved after them.
            EXPECT_EQ(refused, f.nth == 1) << f.name();
            EXPECT_EQ(report.find(NEW_NOTES) == std::u16string::npos, refused);
            EXPECT_EQ(section, refused ? u"" : NEW_NOTES);
            if (!refused) {
                EXPECT_EQ(after.substr(NOTES_AT, NOTES_BYTES), notes);
            }
        });
    for (size_t length : {size_t(0), size_t(100), NOTES_AT + NOTES_BYTES - 1}) {
        root.write("view.res", before.substr(0, length));
        EXPECT_FALSE(notes_write_file(u"\\view.res", result_file_header(recipe))) << length;
        EXPECT_EQ(file_bytes(), before.substr(0, length));
    }
}

// A saved section keeps the notice up for a second at least (the virtual clock shows it).
TEST_F(TextViewer, TheSavedSectionsNoticeStaysASecond) {
    recipe.records = 20, write_result();
    fake_host.answer_path(u"\\part.res");
    static ULONGLONG before;
    view({ui::tap(ID_SETUP), ui::tap(TEXT_ID_SECTION), ui::check([] { before = wl_clock_ms(); }),
          ui::tap(SECTION_ID_SAVE), ui::check([] { EXPECT_GE(wl_clock_ms() - before, 1000u); }),
          ui::tap(ID_ESC), ui::tap(ID_ESC), ui::tap(ID_ESC)});
    EXPECT_TRUE(root.exists("part.res"));
}

} // namespace
