// The host's script: lines that tap, answer the host's prompts, advance the clock and save
// screenshots, run one step at each idle moment of the module's modal loops.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include <windows.h>

enum AnswerKind { ANSWER_TEXT, ANSWER_NUMBER, ANSWER_PATH, ANSWER_BOX, ANSWER_KINDS };

// A queued answer to one of the host's prompts.
struct Answer {
    AnswerKind kind = ANSWER_TEXT;
    bool cancel = false;
    std::string text; // text and path answers
    long long number = 0;
    int button = 0; // message boxes: 1 OK, 6 yes, 7 no
};

enum StepKind {
    STEP_NONE, // a blank line or a comment
    STEP_TAP,
    STEP_TAP_TEXT,
    STEP_PRESS,
    STEP_MOVE,
    STEP_RELEASE,
    STEP_WAIT,
    STEP_ANSWER,
    STEP_STOP_REQUEST,
    STEP_SHOT,
    STEP_DUMP,
    STEP_CLOSE,
};

struct ScriptStep {
    int line = 0;
    StepKind kind = STEP_NONE;
    int x = 0, y = 0;
    std::string text; // tap's control text, shot's file
    ULONGLONG ms = 0; // wait
    bool on = false;  // stop-request
    Answer answer;
};

struct Script {
    std::string file;
    std::vector<ScriptStep> steps;
    size_t next = 0;          // the first step not yet started
    bool waiting = false;     // a wait is in progress
    ULONGLONG wait_until = 0; // clock time at which it ends
    std::deque<Answer> answers[ANSWER_KINDS];
};

// One line; false with `error` saying what is wrong.
bool script_parse_line(const std::string &line, ScriptStep *step, std::string *error);
// Reads the whole file; a bad line is reported as "FILE:LINE: ..." in `error`.
bool script_load(const std::string &file, Script *script, std::string *error);

// Runs one step (or one part of a wait). False when the script has no more steps.
bool script_step(Script *script);
// The oldest queued answer of its kind; false if none is queued.
bool script_take_answer(Script *script, AnswerKind kind, Answer *answer);
// The first line not yet started, or 0 when every line has run.
int script_pending_line(const Script &script);
