// wfal-host: the instrument's application for the spectrogram module. It owns the screen, loads
// the module at run time, calls wfalstart with its ten parameters, and answers the host
// services; on the desktop window or headless with a script.
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

#include <winlayer.h>
#include <wlgdi.h>
#include <wluser.h>

#include "draw.h"
#include "frame.h"
#include "host.h"
#include "script.h"
#include "session.h"
#include "text.h"

namespace {

WlIdleResult on_idle(void *) {
    if (host_closing_step()) return WL_IDLE_BUSY;
    if (host.script && script_step(host.script)) return WL_IDLE_BUSY;
    ULONGLONG due = 0;
    if (host.options.headless && !(host_is_closing() && wl_timer_next_due(&due)))
        session_script_ended();
    return WL_IDLE_WAIT;
}

void set_up_files(const HostOptions &o) {
    std::string error;
    if (!paths_prepare_root(o.device_root, &error)) session_fail(error);
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

WfalStart load_module(void **handle) {
    const char *env = getenv("WFAL_MODULE");
    const char *path = env && *env ? env : WFAL_MODULE_PATH;
    *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!*handle) session_fail(std::string("cannot load the module: ") + dlerror());
    WfalStart start = reinterpret_cast<WfalStart>(dlsym(*handle, "wfalstart"));
    if (!start) session_fail(std::string(path) + " has no wfalstart");
    return start;
}

void open_screen(const HostOptions &o) {
    if (!o.headless && !wl_screen_open_window(o.scale))
        session_fail("no desktop window could be opened (no display?); run headless with "
                     "--headless --script FILE");
    if (!frame_create()) session_fail("cannot make the host's windows");
    wl_user_set_idle_hook(on_idle, nullptr);
}

void tear_down(void *module) {
    wl_user_shutdown();
    draw_release();
    wl_gdi_shutdown();
    if (!host.options.headless) wl_screen_close_window();
    dlclose(module);
}

} // namespace

int main(int argc, char **argv) {
    host.options = options_defaults();
    std::string message;
    switch (options_parse(argc, argv, &host.options, &message)) {
    case OPTIONS_HELP: fputs(message.c_str(), stdout); return 0;
    case OPTIONS_ERROR: session_fail(message + " (wfal-host --help shows the usage)");
    case OPTIONS_RUN: break;
    }
    const HostOptions &o = host.options;
    static Script script;
    if (!o.script.empty()) session_load_script(&script);
    set_up_files(o);
    set_up_clock(o);
    session_set_up_engine(o);
    ModuleArguments m = session_module_arguments(o);
    void *module = nullptr;
    WfalStart start = load_module(&module);
    open_screen(o);
    int pending = session_run_module(start, m);
    tear_down(module);
    if (pending) host_script_error(pending, "not run: the module had already ended");
    return 0;
}
