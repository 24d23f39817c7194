// wfal-host.exe: the instrument's application on Windows. The same command line, script lines
// and log lines as the Linux host; the module is wfal.dll beside the program (WFAL_MODULE in the
// environment names another), the screen is the desktop's top-left 800 x 480 pixels, and the
// clock is the real one.
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "draw.h"
#include "drive.h"
#include "frame.h"
#include "host.h"
#include "script.h"
#include "session.h"
#include "text.h"

namespace {

// What only the layer's platform has: a virtual clock and simulated volume sizes.
void refuse_layer_options(const HostOptions &o) {
    if (o.clock == HOST_CLOCK_VIRTUAL)
        session_fail("--clock virtual: the Windows host runs the real clock only");
    if (!o.volume_sizes.empty())
        session_fail("--volume-size: the Windows host reports the real free space only");
}

void set_up_files(const HostOptions &o) {
    std::string error;
    if (!paths_prepare_root(o.device_root, &error) ||
        !drive_enter_device_root(o.device_root, &error))
        session_fail(error);
}

WideText program_folder() {
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(NULL, path, MAX_PATH);
    WideText folder(path, n);
    size_t slash = folder.find_last_of(L"\\/");
    return slash == WideText::npos ? L"." : folder.substr(0, slash);
}

WfalStart load_module() {
    const WCHAR *env = _wgetenv(L"WFAL_MODULE");
    WideText path = env && *env ? WideText(env) : program_folder() + L"\\wfal.dll";
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module)
        session_fail("cannot load the module " + text_to_utf8(path) + " (error " +
                     std::to_string(GetLastError()) + ")");
    FARPROC start = GetProcAddress(module, "wfalstart");
    if (!start) session_fail(text_to_utf8(path) + " has no wfalstart");
    return reinterpret_cast<WfalStart>(reinterpret_cast<void *>(start));
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    // The log's lines end in "\n" as on Linux, not in the C runtime's text-mode "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; i++)
        arguments.push_back(text_to_utf8(argv[i]));
    std::vector<char *> pointers;
    for (std::string &a : arguments)
        pointers.push_back(&a[0]);
    host.options = options_defaults();
    std::string message;
    switch (options_parse(argc, pointers.data(), &host.options, &message)) {
    case OPTIONS_HELP: fputs(message.c_str(), stdout); return 0;
    case OPTIONS_ERROR: session_fail(message + " (wfal-host --help shows the usage)");
    case OPTIONS_RUN: break;
    }
    const HostOptions &o = host.options;
    refuse_layer_options(o);
    static Script script;
    if (!o.script.empty()) session_load_script(&script);
    set_up_files(o);
    session_set_up_engine(o);
    ModuleArguments m = session_module_arguments(o);
    WfalStart start = load_module();
    if (FAILED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED)) || !frame_create())
        session_fail("cannot make the host's windows");
    int pending = session_run_module(start, m);
    if (pending) host_script_error(pending, "not run: the module had already ended");
    return 0;
}
