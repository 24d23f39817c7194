// The text viewer: its keys by report and run state, how it ends, paging and print screen, the
// notes written into the viewed file (and what stays untouched when that fails), the section
// key, and its two stored screens.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "lang/lang.h"
#include "reports/result_list.h"
#include "reports/setup_report.h"
#include "support/module_ui.h"
#include "support/report_session.h"
#include "test/main_dialog.h"

namespace {

constexpr size_t NOTES_AT = 296, NOTES_BYTES = 1024;

bool shown(int id) {
    return IsWindowVisible(GetDlgItem(report_viewer(), id)) != FALSE;
}

// The file's bytes outside the notes field.
std::string outside_notes(const std::string &file) {
    return file.substr(0, NOTES_AT) + file.substr(NOTES_AT + NOTES_BYTES);
}

std::u16string notes_in(const std::string &file) {
    std::u16string notes(NOTES_BYTES / 2, u'\0');
    memcpy(notes.data(), file.data() + NOTES_AT, NOTES_BYTES);
    return notes.substr(0, notes.find(u'\0'));
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
        const std::u16string old = u"old notes, longer than the new";
        memcpy(&bytes[NOTES_AT], old.data(), 2 * old.size());
        root.write("view.res", bytes);
    }
};

// "Notes" and "Section" only for the set-up report of a file that is just loaded; the dialog
// takes the whole area below the title bar and titles itself after its report.
TEST_F(TextViewer, KeysByReportAndRunState) {
    struct Case {
        int key, run_state;
        bool file_keys;
        std::u16string title;
    };
    const int L = RUN_LOADED;
    const Case cases[] = {
        {ID_SETUP, L, true, u"Test setup"},
        {ID_SETUP, L | RUN_TESTING | RUN_FROZEN, false, u"Test setup"},
        {ID_SETUP, L | RUN_FINDING, false, u"Test setup"},
        {ID_LIST, L, false, u"Result list"},
        {ID_LIST, L | RUN_TESTING | RUN_FROZEN, false, u"Result list"},
    };
    write_noted_result();
    std::vector<UiStep> steps;
    for (const Case &c : cases) {
        steps.push_back(ui::check([&] { wfal.run_state = c.run_state; }));
        steps.push_back(ui::tap(c.key));
        steps.push_back(ui::check([&] {
            HWND viewer = report_viewer();
            ASSERT_NE(viewer, nullptr);
            RECT r;
            GetWindowRect(viewer, &r);
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                      std::vector<LONG>({0, 37, 800, 480}));
            EXPECT_EQ(shown(TEXT_ID_NOTES), c.file_keys) << c.key << " " << c.run_state;
            EXPECT_EQ(shown(TEXT_ID_SECTION), c.file_keys) << c.key << " " << c.run_state;
            for (int id : {ID_ESC, TEXT_ID_PRINT_SCREEN, TEXT_ID_PAGE_UP, TEXT_ID_PAGE_DOWN})
                EXPECT_TRUE(shown(id)) << id;
            EXPECT_EQ(ui_control(viewer).text, c.title);
            EXPECT_EQ(report_titles().back(), c.title);
            EXPECT_FALSE(report_box_text().empty());
        }));
        steps.push_back(ui::tap(ID_ESC));
        steps.push_back(ui::check([] {
            EXPECT_EQ(report_viewer(), nullptr);
            EXPECT_EQ(report_titles().back(), u"Spectrogram");
            wfal.run_state = RUN_LOADED;
        }));
    }
    steps.push_back(ui::tap(ID_ESC));
    view(steps);
}

// PgDn and PgUp page the text box by the lines it shows, held to the text; PrtScr goes to the
// host while the viewer takes no input.
TEST_F(TextViewer, PagingAndPrintScreen) {
    recipe.records = 2;
    write_result();
    static SCROLLINFO first;
    view({ui::tap(ID_LIST), ui::check([] {
              first = box_scroll();
              EXPECT_EQ(first.nPos, 0);
              EXPECT_EQ(first.nMax, 301); // heading, 300 points, and the empty last line
              EXPECT_GT(first.nPage, 10u);
          }),
          ui::tap(TEXT_ID_PAGE_DOWN),
          ui::check([] { EXPECT_EQ(box_scroll().nPos, int(first.nPage)); }),
          ui::tap(TEXT_ID_PAGE_DOWN), ui::tap(TEXT_ID_PAGE_UP),
          ui::check([] { EXPECT_EQ(box_scroll().nPos, int(first.nPage)); }),
          ui::tap(TEXT_ID_PAGE_UP), ui::tap(TEXT_ID_PAGE_UP),
          ui::check([] { EXPECT_EQ(box_scroll().nPos, 0); }), ui::check([] {
              for (int i = 0; i < 40; i++)
                  SendMessageW(report_viewer(), WM_COMMAND, TEXT_ID_PAGE_DOWN, 0);
              EXPECT_EQ(box_scroll().nPos, first.nMax + 1 - int(first.nPage));
          }),
          ui::tap(TEXT_ID_PRINT_SCREEN), ui::tap(ID_ESC), ui::tap(ID_ESC)});
    int prints = 0;
    for (const ReportHostCall &call : report_host_calls) {
        if (call.code != HOST_PRINT_SCREEN) continue;
        prints++;
        EXPECT_FALSE(call.viewer_enabled);
    }
    EXPECT_EQ(prints, 1);
}

// Writing notes: a cancel changes nothing; confirmed notes go into the file's notes field and
// nowhere else, and the report shows them; a file that can't be written (read-only, or gone)
// gets the error and keeps every byte, and the report stays as it was.
TEST_F(TextViewer, NotesIntoTheFile) {
    enum File { WRITABLE, READ_ONLY, GONE };
    struct Case {
        const char *what;
        bool confirm;
        File file;
        bool written;
    };
    const Case cases[] = {{"cancel", false, WRITABLE, false},
                          {"confirm", true, WRITABLE, true},
                          {"read-only", true, READ_ONLY, false},
                          {"removed", true, GONE, false}};
    const std::u16string fresh = u"new notes";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        report_host_calls.clear();
        write_noted_result();
        const std::string before = file_bytes();
        if (c.file == READ_ONLY) chmod((root.dir() + "/view.res").c_str(), 0444);
        if (c.confirm) report_notes_answer = fresh;
        static std::u16string report_before, report_after;
        static ResultHeader section_before;
        view({ui::tap(ID_SETUP), ui::check([&] {
                  report_before = report_box_text();
                  section_before = wfal.section_header;
                  if (c.file == GONE) remove((root.dir() + "/view.res").c_str());
              }),
              ui::tap(TEXT_ID_NOTES), ui::check([] { report_after = report_box_text(); }),
              ui::check([&] {
                  const bool same =
                      !memcmp(&wfal.section_header, &section_before, sizeof section_before);
                  EXPECT_EQ(same, !c.written);
                  if (c.written) {
                      EXPECT_FALSE(memcmp(&wfal.section_header, &wfal.header, sizeof wfal.header));
                  }
                  EXPECT_EQ(std::u16string(wfal.header.notes),
                            c.confirm ? fresh : u"old notes, longer than the new");
              }),
              ui::tap(ID_ESC), ui::tap(ID_ESC)});
        std::vector<ReportHostCall> edits;
        for (const ReportHostCall &call : report_host_calls)
            if (call.code == HOST_EDIT_TEXT) edits.push_back(call);
        ASSERT_EQ(edits.size(), 1u);
        EXPECT_EQ(edits[0].a, u"Write notes");
        EXPECT_EQ(edits[0].c, 511);
        EXPECT_FALSE(edits[0].viewer_enabled);
        const bool failed = c.confirm && !c.written;
        EXPECT_EQ(report_boxes(), failed ? std::vector<std::u16string>{u"Write notes|File write "
                                                                       u"error.|16"}
                                         : std::vector<std::u16string>{});
        if (c.written) {
            std::vector<std::u16string> lines = report_lines(report_after);
            ASSERT_GE(lines.size(), 2u);
            EXPECT_EQ(lines[lines.size() - 2], fresh);
            EXPECT_EQ(report_after.substr(0, 200), report_before.substr(0, 200));
        } else {
            EXPECT_EQ(report_after, report_before);
        }
        if (c.file == GONE) continue;
        const std::string after = file_bytes();
        ASSERT_EQ(after.size(), before.size());
        EXPECT_EQ(outside_notes(after), outside_notes(before));
        EXPECT_EQ(notes_in(after), c.written ? fresh : u"old notes, longer than the new");
        chmod((root.dir() + "/view.res").c_str(), 0644);
    }
}

// Every failing step of the write, through the layer's fault seam: the error, the report as it
// was, and a file that still opens with all its bytes outside the notes field.
TEST_F(TextViewer, WriteFaultsLeaveAReadableFile) {
    struct Case {
        const char *what;
        WlFaultOp op;
        size_t short_keep; // a short write keeping these bytes, instead of a failing call
    };
    const Case cases[] = {{"open", WL_FAULT_OPEN, 0},
                          {"write", WL_FAULT_WRITE, 0},
                          {"flush", WL_FAULT_FLUSH, 0},
                          {"short write", WL_FAULT_WRITE, 100}};
    report_notes_answer = u"new notes";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        report_host_calls.clear();
        write_noted_result();
        const std::string before = file_bytes();
        static std::u16string report_before;
        view({ui::tap(ID_SETUP), ui::check([&] {
                  report_before = report_box_text();
                  if (c.short_keep)
                      wl_fault_short_write(1, c.short_keep);
                  else
                      wl_fault_fail(c.op, 1, FALSE);
              }),
              ui::tap(TEXT_ID_NOTES),
              ui::check([] { EXPECT_EQ(report_box_text(), report_before); }), ui::tap(ID_ESC),
              ui::tap(ID_ESC)});
        EXPECT_EQ(report_boxes(), std::vector<std::u16string>{u"Write notes|File write error.|16"});
        const std::string after = file_bytes();
        ASSERT_EQ(after.size(), before.size());
        EXPECT_EQ(outside_notes(after), outside_notes(before));
        ResultHeader check;
        LONGLONG size = 0;
        EXPECT_TRUE(header_check_file(u"\\view.res", &check, &size));
        EXPECT_EQ(size, LONGLONG(before.size()));
    }
}

// Only the notes field is written, whatever else the header passed in holds.
TEST_F(TextViewer, OnlyTheNotesFieldIsWritten) {
    write_noted_result();
    const std::string before = file_bytes();
    ResultHeader h;
    memset(&h, 0x5A, sizeof h);
    const std::u16string notes = u"only these";
    memcpy(h.notes, notes.data(), 2 * notes.size());
    h.notes[notes.size()] = 0;
    EXPECT_TRUE(notes_write_file(u"\\view.res", h));
    const std::string after = file_bytes();
    EXPECT_EQ(outside_notes(after), outside_notes(before));
    EXPECT_EQ(after.substr(NOTES_AT, NOTES_BYTES),
              std::string(reinterpret_cast<const char *>(h.notes), NOTES_BYTES));
    EXPECT_FALSE(notes_write_file(u"\\missing.res", h));
    EXPECT_FALSE(root.exists("missing.res"));
}

// Section runs its dialog over the viewer; the report's title comes back when it ends.
TEST_F(TextViewer, SectionKeyRestoresTheTitle) {
    write_noted_result();
    static size_t titles_before;
    view({ui::tap(ID_SETUP), ui::check([] { titles_before = report_titles().size(); }),
          ui::tap(TEXT_ID_SECTION), ui::check([] {
              EXPECT_EQ(report_viewer(), nullptr);
              EXPECT_NE(wl_window_top(), wfal.main_dialog);
          }),
          ui::end_dialog(0), ui::check([] {
              EXPECT_NE(report_viewer(), nullptr);
              EXPECT_GT(report_titles().size(), titles_before);
              EXPECT_EQ(report_titles().back(), u"Test setup");
          }),
          ui::tap(ID_ESC), ui::tap(ID_ESC)});
}

// The screens as stored: a set-up report whose notes wrap, and the top of a result list.
TEST_F(TextViewer, MatchTheStoredScreens) {
    recipe.level = [](long long, int point) { return INT16(-9000 + (point % 37) * 113); };
    write_noted_result();
    std::string bytes = file_bytes();
    const std::u16string notes = u"Bursts every few minutes while the lift runs; the line was "
                                 u"checked again after the repair.";
    memset(&bytes[NOTES_AT], 0, NOTES_BYTES);
    memcpy(&bytes[NOTES_AT], notes.data(), 2 * notes.size());
    const std::pair<size_t, std::u16string> fields[] = {
        {96, u"SN 4711"}, {128, u"2.00"}, {232, u"Ann"}};
    for (const auto &f : fields)
        memcpy(&bytes[f.first], f.second.data(), 2 * f.second.size());
    root.write("view.res", bytes);
    view({ui::tap(ID_SETUP), ui::expect_golden("text_setup_report"), ui::tap(ID_ESC),
          ui::tap(ID_LIST), ui::expect_golden("text_result_list"), ui::tap(ID_ESC),
          ui::tap(ID_ESC)});
}

// The viewer run alone from "DLG2": Esc, OK, Cancel and the window's close end it with 0,
// other commands don't; the dialog's and the text box's brushes.
class TextViewerAlone : public ModuleUiTest {
protected:
    void SetUp() override {
        ModuleUiTest::SetUp();
        wfal.dialog_brush = CreateSolidBrush(RGB(11, 25, 255));
        wfal.host = report_host;
        wfal.language_path[0] = 0;
        wfal.language_number = 1;
        lang_load();
        memset(&wfal.view, 0, sizeof wfal.view);
        memset(&wfal.header, 0, sizeof wfal.header);
    }
    void TearDown() override {
        lang_free();
        DeleteObject(wfal.dialog_brush);
        ModuleUiTest::TearDown();
    }
};

TEST_F(TextViewerAlone, EndsOnEscOkCancelAndClose) {
    const UiStep enders[] = {
        ui::tap(ID_ESC),
        ui::check([] { SendMessageW(report_viewer(), WM_COMMAND, IDOK, 0); }, "OK"),
        ui::check([] { SendMessageW(report_viewer(), WM_COMMAND, IDCANCEL, 0); }, "Cancel"),
        ui::close()};
    for (const UiStep &ender : enders) {
        UiDriver ui;
        INT_PTR result = ui.run(
            [] {
                return DialogBoxParamW(wfal.instance, u"DLG2", nullptr, text_viewer_proc,
                                       (LPARAM)report_fill_list);
            },
            {ui::check([] {
                 HWND viewer = report_viewer();
                 ASSERT_NE(viewer, nullptr);
                 for (int id : {105, 110, 201})
                     SendMessageW(viewer, WM_COMMAND, id, 0);
                 EXPECT_EQ(report_viewer(), viewer);
                 HDC dc = GetDC(viewer);
                 HWND box = GetDlgItem(viewer, TEXT_ID_BOX);
                 EXPECT_EQ(SendMessageW(viewer, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)box),
                           (LRESULT)GetStockObject(WHITE_BRUSH));
                 EXPECT_EQ(SendMessageW(viewer, WM_CTLCOLORDLG, (WPARAM)dc, (LPARAM)viewer),
                           (LRESULT)wfal.dialog_brush);
                 ReleaseDC(viewer, dc);
                 EXPECT_FALSE(shown(TEXT_ID_NOTES));
             }),
             ender});
        EXPECT_EQ(result, 0) << ender.what;
        EXPECT_EQ(ui.steps_done(), 2u) << ender.what;
    }
}

} // namespace
