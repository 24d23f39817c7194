#include "session.h"

#include <stdio.h>
#include <stdlib.h>

#include <acqsim.h>

#include "host.h"
#include "services.h"

void session_fail(const std::string &message) {
    fprintf(stderr, "wfal-host: %s\n", message.c_str());
    exit(1);
}

void session_script_ended() {
    fflush(stdout);
    fprintf(stderr, "wfal-host: %s: the script ended while the module was still running\n",
            host.script->file.c_str());
    host_exit(3);
}

void session_set_up_engine(const HostOptions &o) {
    acqsim_reset();
    acqsim_set_device_name(o.device_name.c_str());
    acqsim_set_serial(o.serial.c_str());
    acqsim_set_options(o.wideband ? ACQSIM_OPTION_WIDEBAND : 0);
    acqsim_set_probe(o.no_probe ? FALSE : TRUE);
    acqsim_set_seed(o.seed);
    // Headless runs are scripted and compared with stored screens: they keep the steady line
    // unless asked for the field.
    bool field =
        o.scenario == HOST_SCENARIO_FIELD || (o.scenario == HOST_SCENARIO_DEFAULT && !o.headless);
    acqsim_set_scenario(field ? ACQSIM_SCENARIO_FIELD : ACQSIM_SCENARIO_STEADY);
}

namespace {

WideText instrument_path(const std::string &path) {
    std::string mapped, error;
    if (!paths_to_instrument(path, host.options.device_root, &host.links, &mapped, &error))
        session_fail(error);
    return text_from_utf8(mapped);
}

} // namespace

ModuleArguments session_module_arguments(const HostOptions &o) {
    ModuleArguments m;
    m.result_path = instrument_path(o.result_path);
    m.settings = instrument_path(o.settings);
    if (!o.language_file.empty()) m.language_file = instrument_path(o.language_file);
    m.operator_name = text_from_utf8(o.operator_name);
    return m;
}

void session_load_script(Script *script) {
    std::string error;
    if (!script_load(host.options.script, script, &error)) {
        fprintf(stderr, "wfal-host: %s\n", error.c_str());
        exit(2);
    }
    host.script = script;
}

void session_report_unused_answers(const Script &script) {
    static const char *const KINDS[] = {"text", "number", "path", "message box"};
    for (int k = 0; k < ANSWER_KINDS; k++) {
        if (!script.answers[k].empty())
            fprintf(stderr, "wfal-host: %s: %zu %s answer(s) never asked for\n",
                    script.file.c_str(), script.answers[k].size(), KINDS[k]);
    }
}

int session_run_module(WfalStart start, const ModuleArguments &m) {
    const HostOptions &o = host.options;
    int result = start(host.frame, host_service, o.test_mode ? 1 : 0, m.result_path.c_str(),
                       o.memory_reserve, o.language, m.operator_name.c_str(), m.settings.c_str(),
                       m.language_file.c_str(), o.help_mask);
    host_log("done " + std::to_string(result));
    if (!host.script) return 0;
    session_report_unused_answers(*host.script);
    return script_pending_line(*host.script);
}
