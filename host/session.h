// The steps of a session that every host takes the same way: the engine set up from the
// options, the module's parameters, the script loaded, and the report of unused answers.
#pragma once

#include <string>

#include "module/entry.h"
#include "options.h"
#include "script.h"
#include "text.h"

// The module's parameters as wide strings, valid while the module runs.
struct ModuleArguments {
    WideText result_path, operator_name, settings, language_file;
};

typedef decltype(&wfalstart) WfalStart;

// A start-up failure: the message on the error output, exit status 1.
[[noreturn]] void session_fail(const std::string &message);
// Headless, the script is all there is: when it has ended while the module still runs, the
// session can never go on. Exit status 3.
[[noreturn]] void session_script_ended();
void session_set_up_engine(const HostOptions &o);
ModuleArguments session_module_arguments(const HostOptions &o);
// Loads host.options.script into `script` (exit status 2 for a bad line) and makes it the host's.
void session_load_script(Script *script);
// Answers that no prompt took are worth a word: the script expected a prompt that never came.
void session_report_unused_answers(const Script &script);
// Runs the module in host.frame with the options' parameters, logs its result and reports the
// answers no prompt took. The first script line left unrun, or 0.
int session_run_module(WfalStart start, const ModuleArguments &m);
