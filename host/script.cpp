#include "script.h"

#include <errno.h>
#include <math.h>
#include <stdlib.h>

#include <fstream>

#include "host.h"
#include "platform.h"
#include "title_bar.h"
#include "text.h"

namespace {

// The longest wait a line may ask for, in seconds (ten years).
constexpr double WAIT_LIMIT_SECONDS = 315360000.0;
// On the real clock a wait sleeps in slices, so that the desktop window stays responsive.
constexpr ULONGLONG REAL_WAIT_SLICE_MS = 50;
constexpr int COORDINATE_LIMIT = 100000;

void skip_blanks(const std::string &line, size_t *pos) {
    while (*pos < line.size() && (line[*pos] == ' ' || line[*pos] == '\t' || line[*pos] == '\r'))
        ++*pos;
}

bool at_quote(const std::string &line, size_t pos) {
    skip_blanks(line, &pos);
    return pos < line.size() && line[pos] == '"';
}

std::string read_word(const std::string &line, size_t *pos) {
    skip_blanks(line, pos);
    size_t start = *pos;
    while (*pos < line.size() && line[*pos] != ' ' && line[*pos] != '\t' && line[*pos] != '\r')
        ++*pos;
    return line.substr(start, *pos - start);
}

bool read_string(const std::string &line, size_t *pos, std::string *out, std::string *error) {
    skip_blanks(line, pos);
    return text_unquote(line, pos, out, error);
}

bool read_integer(const std::string &line, size_t *pos, long long low, long long high,
                  long long *out, std::string *error) {
    std::string word = read_word(line, pos);
    errno = 0;
    char *end = nullptr;
    long long v = strtoll(word.c_str(), &end, 10);
    if (word.empty() || *end || errno || v < low || v > high) {
        *error = word.empty() ? "a number expected" : "\"" + word + "\" is no number in range";
        return false;
    }
    *out = v;
    return true;
}

bool read_point(const std::string &line, size_t *pos, ScriptStep *step, std::string *error) {
    long long x = 0, y = 0;
    if (!read_integer(line, pos, -COORDINATE_LIMIT, COORDINATE_LIMIT, &x, error) ||
        !read_integer(line, pos, -COORDINATE_LIMIT, COORDINATE_LIMIT, &y, error))
        return false;
    step->x = int(x);
    step->y = int(y);
    return true;
}

bool read_seconds(const std::string &line, size_t *pos, ULONGLONG *ms, std::string *error) {
    std::string word = read_word(line, pos);
    char *end = nullptr;
    double seconds = strtod(word.c_str(), &end);
    bool digits = !word.empty() && word.find_first_not_of("0123456789.") == std::string::npos;
    if (!digits || *end || !isfinite(seconds) || seconds > WAIT_LIMIT_SECONDS) {
        *error = "\"" + word + "\" is no number of seconds";
        return false;
    }
    *ms = ULONGLONG(llround(seconds * 1000.0));
    return true;
}

// A choice among fixed words; `index` is the position of the word found.
bool read_choice(const std::string &line, size_t *pos, std::initializer_list<const char *> words,
                 int *index, std::string *error) {
    std::string word = read_word(line, pos);
    int i = 0;
    for (const char *w : words) {
        if (word == w) {
            *index = i;
            return true;
        }
        i++;
    }
    *error = "\"" + word + "\" is not one of:";
    for (const char *w : words)
        *error += std::string(" ") + w;
    return false;
}

// "cancel" or the value that `read` reads.
template <typename Read>
bool read_answer_value(const std::string &line, size_t *pos, Answer *a, Read read) {
    size_t at = *pos;
    if (read_word(line, &at) == "cancel") {
        *pos = at;
        a->cancel = true;
        return true;
    }
    return read();
}

bool parse_answer(const std::string &line, size_t *pos, Answer *a, std::string *error) {
    int kind = 0;
    if (!read_choice(line, pos, {"text", "number", "path", "yes", "no", "ok"}, &kind, error))
        return false;
    static const int BUTTONS[] = {6, 7, 1};
    if (kind >= 3) {
        a->kind = ANSWER_BOX;
        a->button = BUTTONS[kind - 3];
        return true;
    }
    a->kind = AnswerKind(kind);
    if (a->kind == ANSWER_NUMBER)
        return read_answer_value(line, pos, a, [&] {
            return read_integer(line, pos, -2147483648LL, 2147483647LL, &a->number, error);
        });
    return read_answer_value(line, pos, a, [&] { return read_string(line, pos, &a->text, error); });
}

bool parse_stop_request(const std::string &line, size_t *pos, ScriptStep *step,
                        std::string *error) {
    int on = 0;
    if (!read_choice(line, pos, {"off", "on"}, &on, error)) return false;
    step->on = on == 1;
    return true;
}

// A shot's file stays inside the screenshots folder: no absolute path, no ".." component.
bool read_shot_file(const std::string &line, size_t *pos, std::string *file, std::string *error) {
    if (!read_string(line, pos, file, error)) return false;
    bool inside = file->empty() || (*file)[0] != '/';
    for (size_t start = 0; inside && start <= file->size();) {
        size_t end = file->find('/', start);
        if (end == std::string::npos) end = file->size();
        inside = file->compare(start, end - start, "..") != 0;
        start = end + 1;
    }
    if (!inside) *error = text_quote(*file) + " is outside the screenshots folder";
    return inside;
}

bool parse_arguments(const std::string &command, const std::string &line, size_t *pos,
                     ScriptStep *step, std::string *error) {
    struct Command {
        const char *name;
        StepKind kind;
    };
    static const Command COMMANDS[] = {
        {"tap", STEP_TAP},     {"press", STEP_PRESS},
        {"move", STEP_MOVE},   {"release", STEP_RELEASE},
        {"wait", STEP_WAIT},   {"answer", STEP_ANSWER},
        {"shot", STEP_SHOT},   {"dump", STEP_DUMP},
        {"close", STEP_CLOSE}, {"stop-request", STEP_STOP_REQUEST},
    };
    step->kind = STEP_NONE;
    for (const Command &c : COMMANDS) {
        if (command == c.name) step->kind = c.kind;
    }
    if (step->kind == STEP_TAP && at_quote(line, *pos)) step->kind = STEP_TAP_TEXT;
    switch (step->kind) {
    case STEP_TAP:
    case STEP_PRESS:
    case STEP_MOVE:
    case STEP_RELEASE: return read_point(line, pos, step, error);
    case STEP_TAP_TEXT: return read_string(line, pos, &step->text, error);
    case STEP_SHOT: return read_shot_file(line, pos, &step->text, error);
    case STEP_WAIT: return read_seconds(line, pos, &step->ms, error);
    case STEP_ANSWER: return parse_answer(line, pos, &step->answer, error);
    case STEP_STOP_REQUEST: return parse_stop_request(line, pos, step, error);
    case STEP_DUMP:
    case STEP_CLOSE: return true;
    case STEP_NONE: break;
    }
    *error = "unknown line \"" + command + "\"";
    return false;
}

// ---- Running ------------------------------------------------------------------------------

// The topmost dialog; a script error when there is none.
HWND top_dialog(int line) {
    HWND dialog = host_top_dialog();
    if (!dialog) host_script_error(line, "no dialog of the module is shown");
    return dialog;
}

void tap_text(const ScriptStep &step) {
    HWND control = host_find_control(top_dialog(step.line), text_from_utf8(step.text));
    if (!control)
        host_script_error(step.line,
                          "no visible control " + text_quote(step.text) + " in the topmost dialog");
    host_tap_control(control);
}

void dump(int line) {
    for (HWND control : host_dialog_controls(top_dialog(line))) {
        PlatformWindow info;
        if (!platform_window_info(control, &info)) continue;
        const RECT &r = info.rect;
        char head[160];
        snprintf(head, sizeof head, "control %d %s %s %s %ld %ld %ld %ld ", info.id,
                 info.class_name.c_str(), info.enabled ? "enabled" : "disabled",
                 info.visible ? "visible" : "hidden", long(r.left), long(r.top),
                 long(r.right - r.left), long(r.bottom - r.top));
        host_log(head + text_quote(text_to_utf8(host_window_text(control))));
    }
}

// One slice of a wait: up to the next timer that falls due before its end, or to its end.
void wait_slice(Script *s) {
    ULONGLONG now = platform_clock_ms(), due = 0;
    if (now >= s->wait_until) {
        s->waiting = false;
        return;
    }
    ULONGLONG to = s->wait_until;
    if (platform_timer_next_due(&due) && due > now && due < to) to = due;
    if (platform_clock_is_virtual()) {
        platform_clock_advance_ms(to - now);
    } else {
        Sleep(DWORD(to - now < REAL_WAIT_SLICE_MS ? to - now : REAL_WAIT_SLICE_MS));
    }
    if (platform_clock_ms() >= s->wait_until) s->waiting = false;
}

void shot(const ScriptStep &step) {
    std::string path = host_screenshot_path(step.text);
    if (!platform_save_png(path)) host_script_error(step.line, "cannot write " + path);
}

void run(Script *s, const ScriptStep &step) {
    switch (step.kind) {
    case STEP_TAP:
        platform_press(step.x, step.y);
        platform_release(step.x, step.y);
        break;
    case STEP_TAP_TEXT: tap_text(step); break;
    case STEP_PRESS: platform_press(step.x, step.y); break;
    case STEP_MOVE: platform_move(step.x, step.y); break;
    case STEP_RELEASE: platform_release(step.x, step.y); break;
    case STEP_WAIT:
        s->waiting = true;
        s->wait_until = platform_clock_ms() + step.ms;
        wait_slice(s);
        break;
    case STEP_ANSWER: s->answers[step.answer.kind].push_back(step.answer); break;
    case STEP_STOP_REQUEST:
        host.stop_script = step.on;
        title_bar_refresh();
        break;
    case STEP_SHOT: shot(step); break;
    case STEP_DUMP: dump(step.line); break;
    // As the desktop window's close button does it.
    case STEP_CLOSE: PostMessageW(host.frame, WM_CLOSE, 0, 0); break;
    case STEP_NONE: break;
    }
}

} // namespace

bool script_parse_line(const std::string &line, ScriptStep *step, std::string *error) {
    size_t pos = 0;
    skip_blanks(line, &pos);
    *step = ScriptStep();
    if (pos >= line.size() || line[pos] == '#') return true;
    std::string command = read_word(line, &pos);
    if (!parse_arguments(command, line, &pos, step, error)) return false;
    skip_blanks(line, &pos);
    if (pos >= line.size()) return true;
    *error = "unexpected \"" + line.substr(pos) + "\" at the end";
    return false;
}

bool script_load(const std::string &file, Script *script, std::string *error) {
    std::ifstream in(file);
    if (!in) {
        *error = "cannot read the script " + file;
        return false;
    }
    script->file = file;
    std::string line;
    for (int number = 1; std::getline(in, line); number++) {
        ScriptStep step;
        std::string why;
        if (!script_parse_line(line, &step, &why)) {
            *error = file + ":" + std::to_string(number) + ": " + why;
            return false;
        }
        step.line = number;
        if (step.kind != STEP_NONE) script->steps.push_back(step);
    }
    return true;
}

bool script_step(Script *script) {
    if (script->waiting) {
        wait_slice(script);
        return true;
    }
    if (script->next >= script->steps.size()) return false;
    const ScriptStep &step = script->steps[script->next++];
    run(script, step);
    return true;
}

bool script_take_answer(Script *script, AnswerKind kind, Answer *answer) {
    if (!script || script->answers[kind].empty()) return false;
    *answer = script->answers[kind].front();
    script->answers[kind].pop_front();
    return true;
}

int script_pending_line(const Script &script) {
    return script.next < script.steps.size() ? script.steps[script.next].line : 0;
}
