// Arbitrary text as script lines, one line per input line: each is accepted or refused with a
// reason; an accepted line has a kind and values in their ranges, and written out again in the
// script's own form it reads back as the same step.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "script.h"

namespace {

constexpr long long COORDINATE_LIMIT = 100000;
constexpr ULONGLONG WAIT_LIMIT_MS = 315360000000ULL;

void check(bool ok, const std::string &line, const char *what) {
    if (ok) return;
    fprintf(stderr, "script_line_fuzz: %s: \"%s\"\n", what, line.c_str());
    abort();
}

std::string quoted(const std::string &text) {
    std::string out = "\"";
    char hex[5];
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c < 0x20 || c == 0x7F) snprintf(hex, sizeof hex, "\\x%02X", c);
        out += c < 0x20 || c == 0x7F ? hex : std::string(1, char(c));
    }
    return out + "\"";
}

std::string answer_line(const Answer &a) {
    static const char *const KINDS[] = {"text", "number", "path"};
    if (a.kind == ANSWER_BOX) return a.button == 6 ? "yes" : a.button == 7 ? "no" : "ok";
    std::string value = a.cancel                  ? "cancel"
                        : a.kind == ANSWER_NUMBER ? std::to_string(a.number)
                                                  : quoted(a.text);
    return std::string(KINDS[a.kind]) + " " + value;
}

// The step in the script's own form.
std::string line_of(const ScriptStep &s) {
    const std::string point = std::to_string(s.x) + " " + std::to_string(s.y);
    char seconds[32];
    snprintf(seconds, sizeof seconds, "%llu.%03llu", (unsigned long long)(s.ms / 1000),
             (unsigned long long)(s.ms % 1000));
    switch (s.kind) {
    case STEP_TAP: return "tap " + point;
    case STEP_PRESS: return "press " + point;
    case STEP_MOVE: return "move " + point;
    case STEP_RELEASE: return "release " + point;
    case STEP_TAP_TEXT: return "tap " + quoted(s.text);
    case STEP_WAIT: return std::string("wait ") + seconds;
    case STEP_ANSWER: return "answer " + answer_line(s.answer);
    case STEP_STOP_REQUEST: return s.on ? "stop-request on" : "stop-request off";
    case STEP_SHOT: return "shot " + quoted(s.text);
    case STEP_DUMP: return "dump";
    case STEP_CLOSE: return "close";
    case STEP_NONE: break;
    }
    return "";
}

bool in_range(long long v, long long limit) {
    return v >= -limit && v <= limit;
}

// A shot's file stays in the screenshots folder.
bool inside(const std::string &file) {
    if (!file.empty() && file[0] == '/') return false;
    return ("/" + file + "/").find("/../") == std::string::npos;
}

void check_values(const std::string &line, const ScriptStep &s) {
    const size_t first = line.find_first_not_of(" \t\r");
    const bool blank = first == std::string::npos || line[first] == '#';
    check(s.kind <= STEP_CLOSE && (s.kind == STEP_NONE) == blank, line,
          "a kind that is not the line's");
    check(in_range(s.x, COORDINATE_LIMIT) && in_range(s.y, COORDINATE_LIMIT), line,
          "a point off the limits");
    check(s.ms <= WAIT_LIMIT_MS, line, "a wait past its limit");
    check(s.kind != STEP_SHOT || inside(s.text), line, "a shot outside its folder");
    const Answer &a = s.answer;
    check(a.kind < ANSWER_KINDS && in_range(a.number, 2147483648LL), line,
          "an answer off its range");
    check(a.kind != ANSWER_BOX || a.button == 1 || a.button == 6 || a.button == 7, line,
          "no such button");
}

bool same(const ScriptStep &a, const ScriptStep &b) {
    const Answer &p = a.answer, &q = b.answer;
    return a.kind == b.kind && a.x == b.x && a.y == b.y && a.text == b.text && a.ms == b.ms &&
           a.on == b.on && p.kind == q.kind && p.cancel == q.cancel && p.text == q.text &&
           p.number == q.number && p.button == q.button;
}

void check_line(const std::string &line) {
    ScriptStep step, again;
    std::string error;
    if (!script_parse_line(line, &step, &error)) {
        check(!error.empty(), line, "refused without a reason");
        return;
    }
    check_values(line, step);
    if (step.kind == STEP_NONE) return;
    const std::string written = line_of(step);
    check(script_parse_line(written, &again, &error), written, "its own form is refused");
    check(same(step, again), written, "its own form reads back as another step");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        check_line(text.substr(start, end - start));
        start = end + 1;
    }
    return 0;
}
