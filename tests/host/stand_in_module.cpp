// A stand-in for the spectrogram module that the host tests load instead of libwfal.so: its
// wfalstart reports its ten parameters in a title, then runs a dialog whose keys call the host's
// text prompt (with a buffer of the module's size) and the free-space service and report
// in a title what came back, with a 250 ms timer that counts ticks. The real module's use of the
// other services is shown by the flows.
#include <string>

#include <windows.h>

namespace {

typedef INT_PTR(CALLBACK *HostService)(int code, INT_PTR a, INT_PTR b, INT_PTR c);

const WCHAR KEY_CLASS[] = u"standin-key";
constexpr UINT_PTR TICK_TIMER = 1;

struct StandIn {
    HostService host;
    int ticks;
} g;

// The keys' captions; key i has the id 100 + i.
const char16_t *const KEYS[] = {u"Esc", u"Text", u"Ticks", u"Free"};

std::u16string number(long long v) {
    std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

INT_PTR call(int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    return g.host ? g.host(code, a, b, c) : 0;
}

void report(const std::u16string &text) {
    call(1, INT_PTR(text.c_str()), 0, 0);
}

// The text prompt on the module's buffer of 511 characters and a terminator, holding old notes;
// the guard just past it must stay unwritten.
void on_text() {
    WCHAR buffer[512 + 8] = u"old notes";
    buffer[512] = u'#';
    INT_PTR r = call(2, INT_PTR(u"Write notes"), INT_PTR(buffer), 511);
    std::u16string text(buffer);
    report(u"text: " + number(r) + u" " + number(long(text.size())) + u" " + text +
           (buffer[512] == u'#' ? u"" : u" overrun"));
}

void on_free() {
    ULARGE_INTEGER free_to_caller = {}, total = {}, free_total = {};
    BOOL ok = GetDiskFreeSpaceExW(u"\\USB\\", &free_to_caller, &total, &free_total);
    report(u"free: " + number(ok) + u" " + number((long long)free_to_caller.QuadPart));
}

void on_command(HWND dialog, int id) {
    switch (id) {
    case 100: EndDialog(dialog, 0); break;
    case 101: on_text(); break;
    case 102: report(u"ticks: " + number(g.ticks)); break;
    case 103: on_free(); break;
    }
}

void on_tick() {
    g.ticks++;
}

LRESULT CALLBACK key_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LBUTTONUP)
        SendMessageW(GetParent(hwnd), WM_COMMAND, WPARAM(GetDlgCtrlID(hwnd)), LPARAM(hwnd));
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

void build(HWND dialog) {
    MoveWindow(dialog, 0, 37, 800, 443, TRUE);
    for (int i = 0; i < int(sizeof KEYS / sizeof *KEYS); i++) {
        CreateWindowExW(0, KEY_CLASS, KEYS[i], WS_CHILD | WS_VISIBLE, 10 + (i % 6) * 110,
                        10 + (i / 6) * 60, 100, 50, dialog, HMENU(INT_PTR(100 + i)), NULL, NULL);
    }
    SetTimer(dialog, TICK_TIMER, 250, NULL);
}

INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: build(dialog); return TRUE;
    case WM_COMMAND: on_command(dialog, LOWORD(wparam)); return TRUE;
    case WM_TIMER: on_tick(); return TRUE;
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

struct EmptyTemplate {
    DLGTEMPLATE head;
    WORD menu, cls, title;
};

} // namespace

// The parameters in one title, so that a test sees each as the module received it.
extern "C" int wfalstart(HWND parent, HostService host, int test_mode, const WCHAR *result_path,
                         int memory_reserve, int language_number, const WCHAR *operator_name,
                         const WCHAR *settings_path, const WCHAR *language_path, int help_mask) {
    g = StandIn{host, 0};
    report(u"args: parent " + number(parent != NULL) + u" mode " + number(test_mode) + u" result " +
           result_path + u" reserve " + number(memory_reserve) + u" language " +
           number(language_number) + u" operator " + operator_name + u" settings " + settings_path +
           u" language-file " + language_path + u" help " + number(help_mask));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = key_proc;
    wc.lpszClassName = KEY_CLASS;
    RegisterClassW(&wc);
    EmptyTemplate t = {{WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0, 0}, 0, 0, 0};
    DialogBoxIndirectParamW(NULL, &t.head, parent, dialog_proc, 0);
    UnregisterClassW(KEY_CLASS, NULL);
    return 42;
}
