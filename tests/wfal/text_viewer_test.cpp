// The text viewer: its keys by report and run state, how it ends, paging and print screen, the
// notes written into the viewed file (and what stays untouched when that fails), the section
// key, and its two stored screens.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <tuple>
#include <vector>

#include "lang/lang.h"
#include "reports/result_list.h"
#include "reports/setup_report.h"
#include "support/module_ui.h"
#include "support/report_session.h"
#include "test/main_dialog.h"

namespace {

constexpr size_t NOTES_AT = 296, NOTES_BYTES = 1024;
const std::u16string OLD_NOTES = u"old notes, longer than the new", NEW_NOTES = u"new notes";

bool shown(int id) {
    return IsWindowVisible(GetDlgItem(report_viewer(), id)) != FALSE;
}

// The file's bytes outside the notes field, and the notes in it.
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

std::vector<ReportHostCall> calls_of(int code) {
    std::vector<ReportHostCall> out;
    for (const ReportHostCall &call : report_host_calls)
        if (call.code == code) out.push_back(call);
    return out;
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
    std::string path() { return root.dir() + "/view.res"; }
};

// "Notes" and "Section" only for the set-up report of a file that is just loaded; the dialog
// takes the whole area below the title bar and titles itself after its report.
TEST_F(TextViewer, KeysByReportAndRunState) {
    const int L = RUN_LOADED, FROZEN = RUN_LOADED | RUN_TESTING | RUN_FROZEN;
    const struct {
        int key, run_state;
        bool file_keys;
    } cases[] = {{ID_SETUP, L, true},
                 {ID_SETUP, FROZEN, false},
                 {ID_SETUP, L | RUN_FINDING, false},
                 {ID_LIST, L, false},
                 {ID_LIST, FROZEN, false}};
    write_noted_result();
    std::vector<UiStep> steps;
    for (const auto &c : cases) {
        steps.push_back(ui::check([&] { wfal.run_state = c.run_state; }));
        steps.push_back(ui::tap(c.key));
        steps.push_back(ui::check([&] {
            SCOPED_TRACE(testing::Message() << c.key << " " << c.run_state);
            HWND viewer = report_viewer();
            ASSERT_NE(viewer, nullptr);
            RECT r;
            GetWindowRect(viewer, &r);
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                      std::vector<LONG>({0, 37, 800, 480}));
            const bool f = c.file_keys; // Esc, PrtScr, PgUp, PgDn, Notes, Section
            EXPECT_EQ(std::vector<bool>({shown(ID_ESC), shown(TEXT_ID_PRINT_SCREEN),
                                         shown(TEXT_ID_PAGE_UP), shown(TEXT_ID_PAGE_DOWN),
                                         shown(TEXT_ID_NOTES), shown(TEXT_ID_SECTION)}),
                      std::vector<bool>({true, true, true, true, f, f}));
            const std::u16string title = c.key == ID_SETUP ? u"Test setup" : u"Result list";
            EXPECT_EQ(ui_control(viewer).text, title);
            EXPECT_EQ(report_titles().back(), title);
            EXPECT_FALSE(report_box_text().empty());
        }));
        if (c.file_keys) { // Section runs its dialog over the viewer, then the title comes back
            steps.push_back(ui::tap(TEXT_ID_SECTION));
            steps.push_back(ui::check([] {
                EXPECT_EQ(report_viewer(), nullptr);
                EXPECT_NE(wl_window_top(), wfal.main_dialog);
                report_host_calls.clear();
            }));
            steps.push_back(ui::end_dialog(0));
            steps.push_back(ui::check(
                [] { EXPECT_EQ(report_titles(), (std::vector<std::u16string>{u"Test setup"})); }));
        }
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
    const auto at_page = [](int page) {
        return ui::check([=] { EXPECT_EQ(box_scroll().nPos, page * int(first.nPage)); });
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
          }),
          ui::tap(TEXT_ID_PRINT_SCREEN), ui::tap(ID_ESC), ui::tap(ID_ESC)});
    const std::vector<ReportHostCall> prints = calls_of(HOST_PRINT_SCREEN);
    ASSERT_EQ(prints.size(), 1u);
    EXPECT_FALSE(prints[0].viewer_enabled);
}

// A cancel changes nothing; confirmed notes go into the file's notes field and nowhere else, and
// the report and the section's header take them. A file that can't be written (read-only, gone,
// or a step of the write failing through the layer's fault seam) gets the error, keeps every
// byte outside the notes field and still opens; the report stays as it was.
TEST_F(TextViewer, NotesIntoTheFile) {
    enum Fault { NONE, READ_ONLY, GONE, OPEN, WRITE, FLUSH, SHORT_WRITE };
    const struct {
        const char *what;
        bool confirm;
        Fault fault;
    } cases[] = {{"cancel", false, NONE},        {"confirm", true, NONE},
                 {"read-only", true, READ_ONLY}, {"removed", true, GONE},
                 {"open fails", true, OPEN},     {"write fails", true, WRITE},
                 {"flush fails", true, FLUSH},   {"short write", true, SHORT_WRITE}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const bool written = c.confirm && c.fault == NONE;
        report_host_calls.clear();
        if (c.confirm) report_notes_answer = NEW_NOTES;
        write_noted_result();
        const std::string before = file_bytes();
        if (c.fault == READ_ONLY) chmod(path().c_str(), 0444);
        static std::u16string report_before, report_after;
        static ResultHeader section_before;
        view({ui::tap(ID_SETUP), ui::check([&] {
                  report_before = report_box_text();
                  section_before = wfal.section_header;
                  if (c.fault == GONE) remove(path().c_str());
                  if (c.fault == OPEN) wl_fault_fail(WL_FAULT_OPEN, 1, FALSE);
                  if (c.fault == WRITE) wl_fault_fail(WL_FAULT_WRITE, 1, FALSE);
                  if (c.fault == FLUSH) wl_fault_fail(WL_FAULT_FLUSH, 1, FALSE);
                  if (c.fault == SHORT_WRITE) wl_fault_short_write(1, 100);
              }),
              ui::tap(TEXT_ID_NOTES), ui::check([&] {
                  report_after = report_box_text();
                  const ResultHeader &expected = written ? wfal.header : section_before;
                  EXPECT_EQ(memcmp(&wfal.section_header, &expected, sizeof expected), 0);
                  EXPECT_EQ(std::u16string(wfal.header.notes), c.confirm ? NEW_NOTES : OLD_NOTES);
              }),
              ui::tap(ID_ESC), ui::tap(ID_ESC)});
        const std::vector<ReportHostCall> edits = calls_of(HOST_EDIT_TEXT);
        ASSERT_EQ(edits.size(), 1u);
        EXPECT_EQ(std::make_tuple(edits[0].a, edits[0].c, edits[0].viewer_enabled),
                  std::make_tuple(std::u16string(u"Write notes"), INT_PTR(511), false));
        EXPECT_EQ(report_boxes(), std::vector<std::u16string>(c.confirm && !written,
                                                              u"Write notes|File write error.|16"));
        std::u16string expected_report = report_before;
        if (written)
            expected_report.replace(report_before.find(OLD_NOTES), OLD_NOTES.size(), NEW_NOTES);
        EXPECT_EQ(report_after, expected_report);
        if (c.fault == GONE) { // and not made again
            EXPECT_FALSE(root.exists("view.res"));
            continue;
        }
        chmod(path().c_str(), 0644);
        const std::string after = file_bytes();
        ASSERT_EQ(after.size(), before.size());
        EXPECT_EQ(outside_notes(after), outside_notes(before));
        if (c.fault <= READ_ONLY) { // a failing write may leave some of the new notes
            EXPECT_EQ(notes_in(after), written ? NEW_NOTES : OLD_NOTES);
        }
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
    h.notes[std::u16string(u"only these").copy(h.notes, 10)] = 0;
    EXPECT_TRUE(notes_write_file(u"\\view.res", h));
    const std::string after = file_bytes();
    EXPECT_EQ(outside_notes(after), outside_notes(before));
    EXPECT_EQ(after.substr(NOTES_AT, NOTES_BYTES),
              std::string(reinterpret_cast<const char *>(h.notes), NOTES_BYTES));
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

// The viewer run alone from "DLG2" (the main dialog ignores its result): Esc, OK, Cancel and the
// window's close end it with 0, other commands don't; the dialog's and the text box's brushes.
using TextViewerAlone = ModuleUiTest;

TEST_F(TextViewerAlone, EndsOnEscOkCancelAndClose) {
    wfal.dialog_brush = CreateSolidBrush(RGB(11, 25, 255));
    wfal.host = report_host;
    wfal.language_path[0] = 0;
    wfal.language_number = 1;
    lang_load();
    memset(&wfal.view, 0, sizeof wfal.view);
    memset(&wfal.header, 0, sizeof wfal.header);
    const auto send = [](WPARAM id, const char *what) {
        return ui::check([=] { SendMessageW(report_viewer(), WM_COMMAND, id, 0); }, what);
    };
    for (const UiStep &ender :
         {ui::tap(ID_ESC), send(IDOK, "OK"), send(IDCANCEL, "Cancel"), ui::close()}) {
        SCOPED_TRACE(ender.what);
        UiDriver ui;
        INT_PTR result = ui.run(
            [] {
                return DialogBoxParamW(wfal.instance, u"DLG2", nullptr, text_viewer_proc,
                                       (LPARAM)report_fill_list);
            },
            {ui::check([] {
                 HWND viewer = report_viewer(), box = GetDlgItem(viewer, TEXT_ID_BOX);
                 ASSERT_NE(viewer, nullptr);
                 for (int id : {105, 110, 201})
                     SendMessageW(viewer, WM_COMMAND, id, 0);
                 EXPECT_EQ(report_viewer(), viewer);
                 HDC dc = GetDC(viewer);
                 EXPECT_EQ(SendMessageW(viewer, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)box),
                           (LRESULT)GetStockObject(WHITE_BRUSH));
                 EXPECT_EQ(SendMessageW(viewer, WM_CTLCOLORDLG, (WPARAM)dc, (LPARAM)viewer),
                           (LRESULT)wfal.dialog_brush);
                 ReleaseDC(viewer, dc);
                 EXPECT_FALSE(shown(TEXT_ID_NOTES));
             }),
             ender});
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ui.steps_done(), 2u);
    }
    lang_free();
    DeleteObject(wfal.dialog_brush);
}

} // namespace
