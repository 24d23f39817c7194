#include "services.h"

#include <stdio.h>
#include <stdlib.h>
#include <strings.h>
#include <unistd.h>

#include "boxes.h"
#include "host.h"
#include "module/host_services.h"
#include "platform.h"
#include "script.h"
#include "text.h"
#include "title_bar.h"

namespace {

// What the log adds to a prompt that took its default answer.
std::string default_note(bool by_default) {
    if (!by_default) return "";
    return host_is_closing() ? " (session closing)" : " (no answer queued)";
}

WideText wide(INT_PTR text) {
    const WCHAR *w = reinterpret_cast<const WCHAR *>(text);
    return w ? WideText(w) : WideText();
}

std::string quoted(INT_PTR text) {
    return text_quote(text_to_utf8(reinterpret_cast<const WCHAR *>(text)));
}

// Writes `text` into the module's buffer of `capacity` characters and a terminator.
void put_text(INT_PTR buffer, INT_PTR capacity, const WideText &text) {
    WCHAR *out = reinterpret_cast<WCHAR *>(buffer);
    if (!out || capacity < 0) return;
    size_t n = text.size() < size_t(capacity) ? text.size() : size_t(capacity);
    text.copy(out, n);
    out[n] = 0;
}

// Where the answer comes from: the script's queue, else the box on the desktop; headless
// without a queued answer the prompt takes its default, and the log says so.
enum Source { FROM_SCRIPT, FROM_BOX, FROM_DEFAULT };

Source answer_source(AnswerKind kind, Answer *answer) {
    if (script_take_answer(host.script, kind, answer)) return FROM_SCRIPT;
    return host.options.headless || host_is_closing() ? FROM_DEFAULT : FROM_BOX;
}

INT_PTR set_title(INT_PTR title) {
    host.title = wide(title);
    title_bar_refresh();
    host_log("title " + quoted(title));
    return 0;
}

INT_PTR message_box(INT_PTR caption, INT_PTR text, INT_PTR flags) {
    Answer answer;
    Source source = answer_source(ANSWER_BOX, &answer);
    int result = box_is_question(int(flags)) ? BOX_NO : IDOK;
    if (source == FROM_SCRIPT) result = answer.button;
    if (source == FROM_BOX) {
        BoxRequest r;
        r.caption = wide(caption);
        r.text = wide(text);
        r.flags = int(flags);
        result = box_run(&r);
    }
    host_log("message-box " + std::to_string(flags) + " " + quoted(caption) + " " + quoted(text) +
             " -> " + std::to_string(result) + default_note(source == FROM_DEFAULT));
    return result;
}

INT_PTR edit_text(INT_PTR title, INT_PTR buffer, INT_PTR capacity) {
    Answer answer;
    Source source = answer_source(ANSWER_TEXT, &answer);
    bool confirmed = source == FROM_SCRIPT && !answer.cancel;
    WideText text = text_from_utf8(answer.text);
    if (source == FROM_BOX) {
        BoxRequest r;
        r.kind = BOX_TEXT;
        r.caption = wide(title);
        r.field = wide(buffer);
        r.capacity = size_t(capacity > 0 ? capacity : 0);
        confirmed = box_run(&r) == IDOK;
        text = r.field;
    }
    if (confirmed) put_text(buffer, capacity, text);
    host_log("edit-text " + quoted(title) + " -> " + (confirmed ? quoted(buffer) : "cancel") +
             default_note(source == FROM_DEFAULT));
    return confirmed ? 1 : 0;
}

INT_PTR enter_number(INT_PTR title, INT_PTR unit, INT_PTR current) {
    Answer answer;
    Source source = answer_source(ANSWER_NUMBER, &answer);
    bool confirmed = source == FROM_SCRIPT && !answer.cancel;
    long long value = confirmed ? answer.number : int(current);
    if (source == FROM_BOX) {
        BoxRequest r;
        r.kind = BOX_NUMBER;
        r.caption = wide(title);
        r.text = wide(unit);
        r.field = text_from_utf8(std::to_string(int(current)));
        r.capacity = 11;
        confirmed = box_run(&r) == IDOK;
        value = confirmed ? strtoll(text_to_utf8(r.field).c_str(), nullptr, 10) : int(current);
        if (value < -2147483647LL - 1 || value > 2147483647LL) value = int(current);
    }
    host_log("enter-number " + quoted(title) + " " + quoted(unit) + " " +
             std::to_string(int(current)) + " -> " +
             (confirmed ? std::to_string(value) : "cancel") + default_note(source == FROM_DEFAULT));
    return INT_PTR(value);
}

// The volume of an instrument path: 1 for "\Internal", 2 for anything else (the USB stick).
int path_volume(const WideText &path) {
    std::string p = text_to_utf8(path);
    bool internal =
        strncasecmp(p.c_str(), "\\Internal\\", 10) == 0 || strcasecmp(p.c_str(), "\\Internal") == 0;
    return internal ? BOX_VOLUME_INTERNAL : BOX_VOLUME_USB;
}

// The path entry on the desktop: a volume and the part after it.
bool path_box(INT_PTR title, INT_PTR buffer, INT_PTR capacity, WideText *path) {
    BoxRequest r;
    r.kind = BOX_PATH;
    r.caption = wide(title);
    WideText initial = wide(buffer);
    r.volume = path_volume(initial);
    size_t at = initial.find(WCHAR('\\'), 1);
    bool on_volume = initial.size() > 1 && initial[0] == WCHAR('\\') && at != WideText::npos;
    r.field = on_volume ? initial.substr(at + 1) : initial.substr(initial.rfind(WCHAR('\\')) + 1);
    r.capacity = size_t(capacity > 10 ? capacity - 10 : 0);
    if (box_run(&r) != IDOK || r.field.empty()) return false;
    *path = (r.volume == BOX_VOLUME_INTERNAL ? TEXT("\\Internal\\") : TEXT("\\USB\\")) + r.field;
    return true;
}

INT_PTR edit_path(INT_PTR title, INT_PTR buffer, INT_PTR capacity) {
    Answer answer;
    Source source = answer_source(ANSWER_PATH, &answer);
    std::string initial = quoted(buffer);
    bool confirmed = source == FROM_SCRIPT && !answer.cancel;
    WideText path = text_from_utf8(answer.text);
    if (source == FROM_BOX) confirmed = path_box(title, buffer, capacity, &path);
    int result = 0;
    if (confirmed) {
        put_text(buffer, capacity, path);
        result = path_volume(wide(buffer));
    }
    host_log("edit-path " + quoted(title) + " " + initial + " -> " +
             (confirmed ? quoted(buffer) + " " + std::to_string(result) : "cancel") +
             default_note(source == FROM_DEFAULT));
    return result;
}

INT_PTR print_screen() {
    char name[32];
    std::string path;
    do {
        snprintf(name, sizeof name, "prtscr-%04d.png", ++host.screenshot_number);
        path = host_screenshot_path(name);
    } while (access(path.c_str(), F_OK) == 0);
    bool written = platform_save_png(path);
    host_log("print-screen " + text_quote(path) + (written ? "" : " (not written)"));
    return 0;
}

const WCHAR *help_topic(int topic) {
    switch (topic) {
    case HELP_TEST_SETUP: return TEXT("Help on the test set-up.");
    case HELP_DISPLAY_SETUP: return TEXT("Help on the Display set-up.");
    case HELP_SAVE_SECTION: return TEXT("Help on saving a section.");
    default: return TEXT("Help on a topic of its own.");
    }
}

INT_PTR help(INT_PTR topic) {
    host_log("help " + std::to_string(topic));
    if (host.options.headless || host_is_closing()) return 0;
    BoxRequest r;
    r.caption = TEXT("Help");
    r.text = WideText(help_topic(int(topic))) + TEXT("\n\nTopic ") +
             text_from_utf8(std::to_string(topic));
    r.flags = HOST_MB_INFORMATION;
    box_run(&r);
    return 0;
}

INT_PTR test_running(INT_PTR running) {
    host.test_running = running != 0;
    // A test starts with no stop request left over from before it.
    if (host.test_running) host.stop_key = false;
    title_bar_refresh();
    host_log("test-running " + std::to_string(running));
    return 0;
}

INT_PTR stop_requested() {
    bool stop = host.stop_key || host.stop_script || host_is_closing();
    host.stop_key = false;
    if (stop) {
        title_bar_refresh();
        host_log("stop-requested -> 1");
    }
    return stop ? 1 : 0;
}

} // namespace

INT_PTR CALLBACK host_service(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    switch (code) {
    case HOST_SET_TITLE: return set_title(a);
    case HOST_EDIT_TEXT: return edit_text(a, b, c);
    case HOST_ENTER_NUMBER: return enter_number(a, b, c);
    case HOST_EDIT_PATH: return edit_path(a, b, c);
    case HOST_MESSAGE_BOX: return message_box(a, b, c);
    case HOST_PRINT_SCREEN: return print_screen();
    case HOST_TEST_RUNNING: return test_running(c);
    case HOST_STOP_REQUESTED: return stop_requested();
    case HOST_HELP: return help(c);
    default: return 0;
    }
}
