// A dialog's modal loop sends WM_ENTERIDLE (MSGF_DIALOGBOX) each time it finds its queue empty,
// before it waits: to the dialog's owner, which is the host's frame for the module's outer
// dialog but the module's own dialog for a nested one. A WH_CALLWNDPROC hook sees the message
// whoever receives it. (Under Wine 8 a WH_FOREGROUNDIDLE hook is never called, and a thread
// timer cannot tell a loop that waits from one that polls.) Find's and the section save's
// polling loops send no WM_ENTERIDLE, so no step runs inside them.
#include "idle.h"

#include "host.h"
#include "script.h"
#include "session.h"

namespace {

HHOOK g_hook = NULL;

// One step at an idle moment of `dialog`'s loop. After a step the loop is woken with a null
// message, so that the next idle moment comes once what the step started has been handled.
void on_idle(HWND dialog) {
    // An open box of the host runs its own loop: nothing runs inside it.
    if (host.box) return;
    if (host_closing_step() || (host.script && script_step(host.script))) {
        PostMessageW(dialog, WM_NULL, 0, 0);
        return;
    }
    if (host.options.headless && !host_is_closing()) session_script_ended();
}

LRESULT CALLBACK on_sent_message(int code, WPARAM wparam, LPARAM lparam) {
    const CWPSTRUCT *sent = reinterpret_cast<const CWPSTRUCT *>(lparam);
    if (code == HC_ACTION && sent->message == WM_ENTERIDLE && sent->wParam == MSGF_DIALOGBOX)
        on_idle(reinterpret_cast<HWND>(sent->lParam));
    return CallNextHookEx(g_hook, code, wparam, lparam);
}

} // namespace

bool idle_start() {
    g_hook = SetWindowsHookExW(WH_CALLWNDPROC, on_sent_message, NULL, GetCurrentThreadId());
    return g_hook != NULL;
}
