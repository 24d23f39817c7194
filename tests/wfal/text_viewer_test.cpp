// The text viewer: its keys by report and run state, paging, how it ends, the notes written
// into the viewed file (and what stays untouched when that fails), and its two stored screens.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "support/fault_loop.h"
#include "support/report_session.h"
#include "test/main_dialog.h"
#include "ui/controls.h"

namespace {

constexpr size_t NOTES_AT = 296, NOTES_BYTES = 1024;
const std::u16string OLD_NOTES = u"old notes, longer than the new", NEW_NOTES = u"new notes";

bool shown(int id) {
    return IsWindowVisible(GetDlgItem(report_viewer(), id)) != FALSE;
}
std::string outside_notes(const std::string &file) {
    return file.substr(0, NOTES_AT) + file.substr(NOTES_AT + NOTES_BYTES);
}
SCROLLINFO box_scroll() {
    SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(GetDlgItem(report_viewer(), TEXT_ID_BOX), SB_VERT, &si);
    return si;
}

class TextViewer : public ReportSession {
protected:
    // A file of a few records whose notes already say something.
    void write_noted_result() {
        recipe.records = 20;
        write_result();
        std::string bytes = file_bytes();
        memcpy(&bytes[NOTES_AT], OLD_NOTES.data(), 2 * OLD_NOTES.size());
        root.write("view.res", bytes);
    }
};

// "Notes" and "Section" only for the set-up report of a file that is just loaded; the viewer
// titles itself after its report, and the main dialog's title comes back after it and after the
// section dialog over it (the stored screens show both reports).
TEST_F(TextViewer, KeysByReportAndRunState) {
    const struct {
        int key, run_state;
        bool file_keys;
    } cases[] = {{ID_SETUP, RUN_LOADED, true},
                 {ID_SETUP, RUN_LOADED | RUN_FINDING, false},
                 {ID_LIST, RUN_LOADED, false}};
    write_noted_result();
    std::vector<UiStep> steps;
    for (const auto &c : cases) {
        steps.insert(
            steps.end(),
            {ui::check([&] { wfal.run_state = c.run_state; }), ui::tap(c.key), ui::check([&c] {
                 const bool f = c.file_keys;
                 EXPECT_EQ(std::vector<bool>({shown(TEXT_ID_PAGE_DOWN), shown(TEXT_ID_NOTES),
                                              shown(TEXT_ID_SECTION)}),
                           std::vector<bool>({true, f, f}))
                     << c.key << " " << c.run_state;
                 fake_host.log.clear();
             })});
        if (c.file_keys)
            steps.insert(steps.end(), {ui::tap(TEXT_ID_SECTION),
                                       ui::check([] { EXPECT_EQ(report_viewer(), nullptr); }),
                                       ui::end_dialog(0)});
        steps.push_back(ui::tap(ID_ESC));
        steps.push_back(ui::check([&c] {
            Lines want = {"title \"Spectrogram\""};
            if (c.file_keys)
                want.insert(want.begin(), {"title \"Section\"", "title \"Test setup\""});
            EXPECT_EQ(fake_host.log, want);
            wfal.run_state = RUN_LOADED;
        }));
    }
    steps.push_back(ui::tap(ID_ESC));
    view(steps);
}

// PgDn and PgUp page the text box by the lines it shows, held to the text; PrtScr goes to the
// host. Esc, OK, Cancel and the window's close end the viewer; other commands don't.
TEST_F(TextViewer, PagingPrintScreenAndWaysOut) {
    recipe.records = 2, write_result();
    static SCROLLINFO first;
    const auto at_page = [](int page) {
        return ui::check([=] { EXPECT_EQ(box_scroll().nPos, page * int(first.nPage)); });
    };
    const auto send = [](WPARAM id) {
        return ui::check([=] { SendMessageW(report_viewer(), WM_COMMAND, id, 0); });
    };
    view({ui::tap(ID_LIST), ui::check([] {
              first = box_scroll();
              EXPECT_EQ(first.nPos, 0);
              EXPECT_EQ(first.nMax, 301); // heading, 300 points, and the empty last line
              EXPECT_GT(first.nPage, 10u);
          }),
          ui::tap(TEXT_ID_PAGE_DOWN), at_page(1), ui::tap(TEXT_ID_PAGE_DOWN),
          ui::tap(TEXT_ID_PAGE_UP), at_page(1), ui::tap(TEXT_ID_PAGE_UP), ui::tap(TEXT_ID_PAGE_UP),
          at_page(0), ui::check([] {
              for (int i = 0; i < 40; i++)
                  SendMessageW(report_viewer(), WM_COMMAND, TEXT_ID_PAGE_DOWN, 0);
              EXPECT_EQ(box_scroll().nPos, first.nMax + 1 - int(first.nPage));
              for (int id : {105, 110, 201})
                  SendMessageW(report_viewer(), WM_COMMAND, id, 0);
              EXPECT_NE(report_viewer(), nullptr);
          }),
          ui::tap(TEXT_ID_PRINT_SCREEN), send(IDOK), ui::tap(ID_LIST), send(IDCANCEL),
          ui::tap(ID_LIST), ui::close(), ui::check([] { EXPECT_EQ(report_viewer(), nullptr); }),
          ui::tap(ID_ESC)});
    EXPECT_EQ(fake_host.lines("print-screen").size(), 1u);
}

// notes_write_file writes the notes field and nothing else, whatever else the header passed in
// holds; whatever call fails, every byte outside the field stays and the failure is reported.
TEST_F(TextViewer, NotesFieldWrittenInPlace) {
    write_noted_result();
    const std::string before = file_bytes();
    ResultHeader h;
    memset(&h, 0x5A, sizeof h);
    h.notes[NEW_NOTES.copy(h.notes, NEW_NOTES.size())] = 0;
    const std::string notes(reinterpret_cast<const char *>(h.notes), NOTES_BYTES);
    BOOL written = FALSE;
    fault_loop(
        [&](const std::function<void()> &arm) {
            root.write("view.res", before);
            arm();
            written = notes_write_file(u"\\view.res", h);
        },
        [&](const Fault &f) {
            const std::string after = file_bytes();
            ASSERT_EQ(after.size(), before.size());
            EXPECT_EQ(outside_notes(after), outside_notes(before));
            EXPECT_EQ(bool(written), f.nth == 0);
            if (!f.nth) {
                EXPECT_EQ(after.substr(NOTES_AT, NOTES_BYTES), notes);
            }
        });
}

// A file cut short under the viewer no longer holds a header: the notes are refused and the
// file is not grown back to a header's size.
TEST_F(TextViewer, NotesRefusedByAShortenedFile) {
    write_noted_result();
    const std::string whole = file_bytes();
    const ResultHeader h = result_file_header(recipe);
    for (size_t length : {size_t(0), size_t(100), NOTES_AT + NOTES_BYTES - 1}) {
        SCOPED_TRACE(length);
        root.write("view.res", whole.substr(0, length));
        EXPECT_FALSE(notes_write_file(u"\\view.res", h));
        EXPECT_EQ(file_bytes(), whole.substr(0, length));
    }
}

// From the set-up report: a cancel changes nothing; confirmed notes go into the file, and the
// report and the section's header take them. A file gone since gets the error (failing calls are
// the fault loop's above), is not made again, and the report stays as it was.
TEST_F(TextViewer, NotesFromTheReport) {
    const std::string edit = "edit-text \"Write notes\" -> ";
    const struct {
        bool confirm, gone;
        Lines prompts; // and boxes
    } cases[] = {
        {false, false, {edit + "cancel"}},
        {true, false, {edit + "\"new notes\""}},
        {true,
         true,
         {edit + "\"new notes\"", "message-box 16 \"Write notes\" \"File write error.\" -> 1 "
                                  "(no answer queued)"}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(int(&c - cases));
        const bool written = c.confirm && !c.gone;
        fake_host_reset();
        fake_host.answer_text(c.confirm ? std::optional(NEW_NOTES) : std::nullopt);
        write_noted_result();
        static std::u16string report_before;
        static ResultHeader section_before;
        view({ui::tap(ID_SETUP), ui::check([&] {
                  report_before = report_box_text();
                  section_before = wfal.section_header;
                  if (c.gone) remove((root.dir() + "/view.res").c_str());
              }),
              ui::tap(TEXT_ID_NOTES), ui::check([&] {
                  std::u16string expected = report_before;
                  if (written)
                      expected.replace(expected.find(OLD_NOTES), OLD_NOTES.size(), NEW_NOTES);
                  EXPECT_EQ(report_box_text(), expected);
                  const ResultHeader &header = written ? wfal.header : section_before;
                  EXPECT_EQ(memcmp(&wfal.section_header, &header, sizeof header), 0);
                  EXPECT_EQ(std::u16string(wfal.header.notes), c.confirm ? NEW_NOTES : OLD_NOTES);
              }),
              ui::tap(ID_ESC), ui::tap(ID_ESC)});
        Lines prompts = fake_host.lines("edit-text"), boxes = fake_host.lines("message-box");
        prompts.insert(prompts.end(), boxes.begin(), boxes.end());
        EXPECT_EQ(prompts, c.prompts);
        EXPECT_EQ(root.exists("view.res"), !c.gone) << "made again";
    }
}

// The screens as stored: a set-up report whose notes wrap, and the top of a result list.
TEST_F(TextViewer, MatchTheStoredScreens) {
    recipe.level = [](long long, int point) { return INT16(-9000 + (point % 37) * 113); };
    write_noted_result();
    std::string bytes = file_bytes();
    memset(&bytes[NOTES_AT], 0, NOTES_BYTES);
    const std::u16string notes = u"Bursts every few minutes while the lift runs; the line was "
                                 u"checked again after the repair.";
    const std::pair<size_t, std::u16string> fields[] = {
        {NOTES_AT, notes}, {96, u"SN 4711"}, {128, u"2.00"}, {232, u"Ann"}};
    for (const auto &f : fields)
        memcpy(&bytes[f.first], f.second.data(), 2 * f.second.size());
    root.write("view.res", bytes);
    view({ui::tap(ID_SETUP), ui::expect_golden("text_setup_report"), ui::tap(ID_ESC),
          ui::tap(ID_LIST), ui::expect_golden("text_result_list"), ui::tap(ID_ESC),
          ui::tap(ID_ESC)});
}

} // namespace
