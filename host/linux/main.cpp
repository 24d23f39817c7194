// wfal-host: the instrument's application for the spectrogram module. It owns the screen, loads
// the module at run time, calls wfalstart with its ten parameters, and answers the host
// services; on the desktop window or headless with a script.
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

#include <acqsim.h>
#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

#include "draw.h"
#include "frame.h"
#include "host.h"
#include "module/entry.h"
#include "script.h"
#include "services.h"
#include "text.h"

namespace {

typedef decltype(&wfalstart) WfalStart;

// The module's parameters as wide strings, valid while the module runs.
struct ModuleArguments {
    std::u16string result_path, operator_name, settings, language_file;
};

[[noreturn]] void fail(const std::string &message) {
    fprintf(stderr, "wfal-host: %s\n", message.c_str());
    exit(1);
}

// Headless, the script is all there is: when it has ended while the module still runs, the
// session can never go on (unless it is closing and a timer will bring the end).
[[noreturn]] void script_ended() {
    fflush(stdout);
    fprintf(stderr, "wfal-host: %s: the script ended while the module was still running\n",
            host.script->file.c_str());
    host_exit(3);
}

WlIdleResult on_idle(void *) {
    if (host_closing_step()) return WL_IDLE_BUSY;
    if (host.script && script_step(host.script)) return WL_IDLE_BUSY;
    ULONGLONG due = 0;
    if (host.options.headless && !(host_is_closing() && wl_timer_next_due(&due))) script_ended();
    return WL_IDLE_WAIT;
}

void set_up_files(const HostOptions &o) {
    std::string error;
    if (!paths_prepare_root(o.device_root, &error)) fail(error);
    wl_fs_set_root(o.device_root.c_str());
    for (const VolumeSize &v : o.volume_sizes)
        wl_fs_set_volume_size(text_from_utf8("\\" + v.volume).c_str(), v.bytes);
}

// Headless runs the virtual clock unless told otherwise. Records are synchronised to the
// storage device on either clock: a recording is the user's data.
void set_up_clock(const HostOptions &o) {
    bool virtual_clock =
        o.clock == HOST_CLOCK_VIRTUAL || (o.clock == HOST_CLOCK_DEFAULT && o.headless);
    if (virtual_clock) {
        wl_clock_use_virtual(&o.start_time);
    } else {
        wl_clock_use_real();
    }
}

void set_up_engine(const HostOptions &o) {
    acqsim_reset();
    acqsim_set_device_name(o.device_name.c_str());
    acqsim_set_serial(o.serial.c_str());
    acqsim_set_options(o.wideband ? ACQSIM_OPTION_WIDEBAND : 0);
    acqsim_set_probe(o.no_probe ? FALSE : TRUE);
    acqsim_set_seed(o.seed);
}

std::u16string instrument_path(const std::string &path) {
    std::string mapped, error;
    if (!paths_to_instrument(path, host.options.device_root, &host.links, &mapped, &error))
        fail(error);
    return text_from_utf8(mapped);
}

ModuleArguments module_arguments(const HostOptions &o) {
    ModuleArguments m;
    m.result_path = instrument_path(o.result_path);
    m.settings = instrument_path(o.settings);
    if (!o.language_file.empty()) m.language_file = instrument_path(o.language_file);
    m.operator_name = text_from_utf8(o.operator_name);
    return m;
}

WfalStart load_module(void **handle) {
    const char *env = getenv("WFAL_MODULE");
    const char *path = env && *env ? env : WFAL_MODULE_PATH;
    *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!*handle) fail(std::string("cannot load the module: ") + dlerror());
    WfalStart start = reinterpret_cast<WfalStart>(dlsym(*handle, "wfalstart"));
    if (!start) fail(std::string(path) + " has no wfalstart");
    return start;
}

void open_screen(const HostOptions &o) {
    if (!o.headless && !wl_screen_open_window(o.scale))
        fail("no desktop window could be opened (no display?); run headless with "
             "--headless --script FILE");
    if (!frame_create()) fail("cannot make the host's windows");
    wl_user_set_idle_hook(on_idle, nullptr);
}

void tear_down(void *module) {
    wl_user_shutdown();
    draw_release();
    wl_gdi_shutdown();
    if (!host.options.headless) wl_screen_close_window();
    dlclose(module);
}

// Answers that no prompt took are worth a word: the script expected a prompt that never came.
void report_unused_answers(const Script &script) {
    static const char *const KINDS[] = {"text", "number", "path", "message box"};
    for (int k = 0; k < ANSWER_KINDS; k++) {
        if (!script.answers[k].empty())
            fprintf(stderr, "wfal-host: %s: %zu %s answer(s) never asked for\n",
                    script.file.c_str(), script.answers[k].size(), KINDS[k]);
    }
}

void load_script(Script *script) {
    std::string error;
    if (!script_load(host.options.script, script, &error)) {
        fprintf(stderr, "wfal-host: %s\n", error.c_str());
        exit(2);
    }
    host.script = script;
}

} // namespace

int main(int argc, char **argv) {
    host.options = options_defaults();
    std::string message;
    switch (options_parse(argc, argv, &host.options, &message)) {
    case OPTIONS_HELP: fputs(message.c_str(), stdout); return 0;
    case OPTIONS_ERROR: fail(message + " (wfal-host --help shows the usage)");
    case OPTIONS_RUN: break;
    }
    const HostOptions &o = host.options;
    static Script script;
    if (!o.script.empty()) load_script(&script);
    set_up_files(o);
    set_up_clock(o);
    set_up_engine(o);
    ModuleArguments m = module_arguments(o);
    void *module = nullptr;
    WfalStart start = load_module(&module);
    open_screen(o);
    int result = start(host.frame, host_service, o.test_mode ? 1 : 0, m.result_path.c_str(),
                       o.memory_reserve, o.language, m.operator_name.c_str(), m.settings.c_str(),
                       m.language_file.c_str(), o.help_mask);
    host_log("done " + std::to_string(result));
    int pending = host.script ? script_pending_line(*host.script) : 0;
    if (host.script) report_unused_answers(*host.script);
    tear_down(module);
    if (pending) host_script_error(pending, "not run: the module had already ended");
    return 0;
}
