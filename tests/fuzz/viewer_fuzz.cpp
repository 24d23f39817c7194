// The whole viewer: wfalstart on an arbitrary result file, then taps taken from the input on the
// keys of whatever dialog is on top (main, text viewer, section, display set-up), with the host
// answering paths, notes, numbers and message boxes from the input too, then Esc until wfalstart
// returns. The source must keep every byte outside its notes field, a saved section must hold the
// source's records from the section's start, and no window or drawing object may outlive the run.
//
// Input: the result file, then the taps, then one byte that says how many taps there are.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include <acqsim.h>
#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

#include "fuzz_dir.h"
#include "module/entry.h"
#include "module/state.h"
#include "support/fake_host.h"
#include "ui/controls.h"

namespace {

const WCHAR SOURCE[] = u"\\view.res";
// Where the host puts a section; "\view.res" itself and a folder that does not exist too.
const char16_t *const SECTION_PATHS[] = {
    u"\\sec.res",  u"\\Internal\\sec.res",  u"\\USB\\sec.res",
    u"\\view.res", u"\\USB\\none\\sec.res", u"\\Internal\\..\\view.res"};
const char *const SECTION_FILES[] = {"sec.res", "Internal/sec.res", "USB/sec.res"};
constexpr size_t NOTES_AT = offsetof(ResultHeader, notes);
constexpr size_t NOTES_END = NOTES_AT + sizeof(ResultHeader::notes);
// Esc taps that the module gets to return once the input's taps are used up.
constexpr int ESC_LIMIT = 32;

struct Run {
    const uint8_t *taps = nullptr;
    size_t count = 0, next = 0;
    bool release_pending = false;
    POINT held = {0, 0};
    int escapes = 0;
    // The section each section file was last asked for: first and last record.
    std::map<std::string, std::pair<LONGLONG, LONGLONG>> sections;

    bool more() const { return next < count; }
    uint8_t take() { return more() ? taps[next++] : 0; }
};

Run run;

// The visible controls of the topmost dialog, in the window manager's order; disabled ones too,
// so that an input taps the same key whatever the others' states.
std::vector<HWND> top_controls() {
    std::vector<HWND> list(size_t(wl_window_list(nullptr, 0)));
    list.resize(size_t(wl_window_list(list.data(), int(list.size()))));
    const HWND top = wl_window_top();
    std::vector<HWND> controls;
    bool inside = false;
    for (HWND hwnd : list) {
        WlWindowInfo info;
        if (!wl_window_info(hwnd, &info)) continue;
        if (!info.parent) inside = hwnd == top;
        if (inside && info.parent && info.visible) controls.push_back(hwnd);
    }
    return controls;
}

POINT centre(HWND hwnd) {
    WlWindowInfo info;
    wl_window_info(hwnd, &info);
    return POINT{(info.rect.left + info.rect.right) / 2, (info.rect.top + info.rect.bottom) / 2};
}

void tap(POINT p) {
    wl_input_press(int(p.x), int(p.y));
    wl_input_release(int(p.x), int(p.y));
}

// One step from the input: a tap on one of the top dialog's controls, a tap anywhere, the clock
// moved on, or a control held down while time passes (the keys that repeat).
void play(uint8_t op) {
    std::vector<HWND> controls = top_controls();
    if (op < 0xE0 && !controls.empty()) {
        tap(centre(controls[op % controls.size()]));
    } else if (op < 0xF0) {
        tap(POINT{run.take() * WL_SCREEN_WIDTH / 256, run.take() * WL_SCREEN_HEIGHT / 256});
    } else if (op < 0xF8) {
        wl_clock_advance_ms(250u * (op - 0xEF));
    } else if (!controls.empty()) {
        run.held = centre(controls[run.take() % controls.size()]);
        wl_input_press(int(run.held.x), int(run.held.y));
        wl_clock_advance_ms(300u * (op - 0xF7));
        run.release_pending = true;
    }
}

// Esc of the top dialog; a module that does not end its dialogs on Esc is a failure.
void escape() {
    if (++run.escapes > ESC_LIMIT) {
        fprintf(stderr, "the module did not return after %d Esc taps\n", ESC_LIMIT);
        abort();
    }
    for (HWND control : top_controls()) {
        WlWindowInfo info;
        if (wl_window_info(control, &info) && info.id == ID_ESC) return tap(centre(control));
    }
}

WlIdleResult on_idle(void *) {
    if (run.release_pending) {
        wl_input_release(int(run.held.x), int(run.held.y));
        run.release_pending = false;
    } else if (run.more()) {
        play(run.take());
    } else {
        escape();
    }
    return WL_IDLE_BUSY;
}

std::u16string notes_text(uint8_t seed) {
    std::u16string text(size_t(seed) * 3, u'x');
    for (size_t i = 0; i < text.size(); i++)
        text[i] = char16_t(i % 61 == 60 ? u'\n' : 0x20 + (seed * 31 + i * 7) % 0xFFE0);
    return text;
}

// The host's answer to each prompt comes from the input as it is asked.
void answer(int code) {
    if (code < HOST_EDIT_TEXT || code > HOST_MESSAGE_BOX) return;
    const uint8_t b = run.take();
    const int NUMBERS[] = {INT32_MIN, INT32_MAX, 0, -1, b - 128, 1000000};
    switch (code) {
    case HOST_MESSAGE_BOX: fake_host.answer_box(b % 3 == 0 ? 1 : b % 3 == 1 ? 6 : 7); break;
    case HOST_EDIT_TEXT:
        fake_host.answer_text(b % 8 ? std::optional(notes_text(b)) : std::nullopt);
        break;
    case HOST_ENTER_NUMBER:
        fake_host.answer_number(b % 7 < 6 ? std::optional(NUMBERS[b % 7]) : std::nullopt);
        break;
    case HOST_EDIT_PATH: {
        const size_t n = sizeof SECTION_PATHS / sizeof *SECTION_PATHS;
        if (b % (n + 1) == n) return fake_host.cancel_path();
        fake_host.answer_path(SECTION_PATHS[b % (n + 1)]);
        if (b % (n + 1) < 3)
            run.sections[SECTION_FILES[b % (n + 1)]] = {wfal.section_start, wfal.section_end};
        break;
    }
    }
}

void check(bool ok, const char *what) {
    if (ok) return;
    fprintf(stderr, "viewer_fuzz: %s\n", what);
    abort();
}

// A section file holds whole records of the source, from the section's first record on.
void check_section(const std::string &source, const std::string &file,
                   std::pair<LONGLONG, LONGLONG> section) {
    if (!fuzz_root().exists(file)) return;
    const std::string bytes = fuzz_root().read(file);
    if (bytes.empty()) return;
    ResultHeader header;
    check(bytes.size() >= sizeof header, "a section file without a whole header");
    memcpy(&header, source.data(), sizeof header);
    const size_t record = 2 * size_t(header.points);
    const size_t records = (bytes.size() - sizeof header) / record;
    check((bytes.size() - sizeof header) % record == 0, "a section file ends in a partial record");
    check(LONGLONG(records) <= section.second - section.first + 1, "a section longer than asked");
    const size_t from = sizeof header + size_t(section.first) * record;
    check(from + records * record <= source.size(), "a section reaches past the source");
    check(bytes.compare(sizeof header, std::string::npos, source, from, records * record) == 0,
          "a section's records differ from the source's");
}

void check_source(const std::string &before, const std::string &after) {
    check(after.size() == before.size(), "the source changed its size");
    const size_t notes_end = std::min(NOTES_END, before.size());
    check(before.compare(0, NOTES_AT, after, 0, NOTES_AT) == 0 &&
              before.compare(notes_end, std::string::npos, after, notes_end) == 0,
          "the source changed outside its notes");
}

void reset_files(const std::string &source) {
    fuzz_dir_write("view.res", reinterpret_cast<const uint8_t *>(source.data()), source.size());
    for (const char *file : SECTION_FILES)
        remove((fuzz_root().dir() + "/" + file).c_str());
    remove((fuzz_root().dir() + "/wfal.set").c_str());
}

} // namespace

// Fontconfig keeps a few bytes of its configuration to the end of the process.
extern "C" const char *__lsan_default_suppressions() {
    return "leak:libfontconfig";
}
extern "C" const char *__lsan_default_options() {
    return "print_suppressions=0";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_dir_make();
    wl_screen_set_composing(FALSE);
    for (const char *volume : {"/Internal", "/USB"})
        mkdir((fuzz_root().dir() + volume).c_str(), 0755);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    const size_t taps = std::min(size_t(data[size - 1]), size - 1);
    const std::string source(reinterpret_cast<const char *>(data), size - 1 - taps);
    reset_files(source);
    run = Run{};
    run.taps = data + source.size(), run.count = taps;

    fake_host_reset();
    fake_host.on_call = answer;
    acqsim_reset();
    acqsim_set_options(source.size() % 2 ? ACQSIM_OPTION_WIDEBAND : 0);
    const SYSTEMTIME start = {2024, 3, 0, 14, 10, 0, 0, 0};
    wl_clock_use_virtual(&start);
    const int objects = wl_gdi_object_count();
    wl_user_set_idle_hook(on_idle, nullptr);
    wfalstart(nullptr, fake_host_service, 0, SOURCE, 0, 1, u"Fuzz", u"\\wfal.set", u"\\none.txt",
              7);
    wl_user_set_idle_hook(nullptr, nullptr);

    check(wl_window_top() == nullptr, "a window outlived wfalstart");
    check(wl_screen_frames() == 0, "the screen was composed");
    check(wl_gdi_object_count() == objects, "drawing objects outlived wfalstart");
    const std::string after = fuzz_root().read("view.res");
    check_source(source, after);
    for (const auto &[file, section] : run.sections)
        check_section(source, file, section);
    // What the run allocated goes with it, so that libFuzzer sees no leak to look into.
    fake_host_reset();
    run = Run{};
    return 0;
}
