// The host's boxes on Windows: message boxes are Win32's own; the text, number and path entries
// are a small dialog made from a template in memory.
#include "boxes.h"

#include <vector>

#include "host.h"

namespace {

enum { ID_FIELD = 100, ID_UNIT, ID_INTERNAL, ID_USB };

// A dialog template in memory: DLGTEMPLATE, then its items, each on a DWORD boundary.
class Template {
public:
    Template(const WideText &caption, short cx, short cy) {
        DLGTEMPLATE head = {};
        head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
        head.cdit = 0;
        head.cx = cx;
        head.cy = cy;
        put(&head, sizeof head);
        words({0, 0}); // no menu, the standard class
        text(caption);
        words({9});
        text(L"MS Shell Dlg");
    }

    void item(const WCHAR *window_class, const WideText &caption, DWORD style, short x, short y,
              short cx, short cy, WORD id) {
        align();
        DLGITEMTEMPLATE i = {};
        i.style = style | WS_CHILD | WS_VISIBLE;
        i.x = x;
        i.y = y;
        i.cx = cx;
        i.cy = cy;
        i.id = id;
        put(&i, sizeof i);
        text(window_class);
        text(caption);
        words({0}); // no creation data
        reinterpret_cast<DLGTEMPLATE *>(bytes.data())->cdit++;
    }

    const DLGTEMPLATE *get() const { return reinterpret_cast<const DLGTEMPLATE *>(bytes.data()); }

private:
    std::vector<BYTE> bytes;

    void put(const void *p, size_t n) {
        const BYTE *b = static_cast<const BYTE *>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    void words(std::initializer_list<WORD> w) {
        for (WORD x : w)
            put(&x, sizeof x);
    }
    void text(const WideText &t) { put(t.c_str(), (t.size() + 1) * sizeof(WCHAR)); }
    void align() {
        while (bytes.size() % 4)
            bytes.push_back(0);
    }
};

Template entry_template(const BoxRequest &r) {
    Template t(r.caption, 240, 80);
    DWORD field = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    if (r.kind == BOX_PATH) {
        t.item(L"BUTTON", L"\\Internal", BS_AUTORADIOBUTTON | WS_GROUP, 8, 8, 70, 12, ID_INTERNAL);
        t.item(L"BUTTON", L"\\USB", BS_AUTORADIOBUTTON, 84, 8, 70, 12, ID_USB);
    }
    short width = r.kind == BOX_NUMBER ? 150 : 224;
    t.item(L"EDIT", L"", field | WS_GROUP, 8, 26, width, 14, ID_FIELD);
    if (r.kind == BOX_NUMBER) t.item(L"STATIC", r.text, SS_LEFT, 164, 28, 68, 12, ID_UNIT);
    t.item(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 122, 58, 54, 16, IDOK);
    t.item(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 180, 58, 54, 16, IDCANCEL);
    return t;
}

WideText field_text(HWND dialog) {
    HWND field = GetDlgItem(dialog, ID_FIELD);
    WideText text(size_t(GetWindowTextLengthW(field)) + 1, 0);
    text.resize(size_t(GetWindowTextW(field, &text[0], int(text.size()))));
    return text;
}

INT_PTR CALLBACK entry_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    BoxRequest *r = reinterpret_cast<BoxRequest *>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        r = reinterpret_cast<BoxRequest *>(lparam);
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        host.box = dialog;
        SetDlgItemTextW(dialog, ID_FIELD, r->field.c_str());
        SendDlgItemMessageW(dialog, ID_FIELD, EM_LIMITTEXT, r->capacity, 0);
        if (r->kind == BOX_PATH)
            CheckDlgButton(dialog, r->volume == BOX_VOLUME_INTERNAL ? ID_INTERNAL : ID_USB,
                           BST_CHECKED);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) {
            r->field = field_text(dialog);
            bool internal = IsDlgButtonChecked(dialog, ID_INTERNAL) == BST_CHECKED;
            r->volume = internal ? BOX_VOLUME_INTERNAL : BOX_VOLUME_USB;
        }
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) EndDialog(dialog, LOWORD(wparam));
        return TRUE;
    default: return FALSE;
    }
}

} // namespace

// While a box is open, host.box is set: the closing of the session and the script's steps
// leave it alone (a message box's own window is not known: the frame stands for it).
int box_run(BoxRequest *request) {
    int result = IDCANCEL;
    if (request->kind == BOX_MESSAGE) {
        host.box = host.frame;
        result = MessageBoxW(host.frame, request->text.c_str(), request->caption.c_str(),
                             UINT(request->flags));
    } else {
        Template t = entry_template(*request);
        result = int(DialogBoxIndirectParamW(GetModuleHandleW(NULL), t.get(), host.frame,
                                             entry_proc, reinterpret_cast<LPARAM>(request)));
    }
    host.box = NULL;
    return result == -1 ? IDCANCEL : result;
}
