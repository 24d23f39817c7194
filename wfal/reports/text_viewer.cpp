// The text viewer dialog and the notes it writes into the shown result file.
#include <windows.h>
#include <stddef.h>
#include <stdio.h>

#include "lang/lang.h"
#include "module/state.h"
#include "reports/save_section.h"
#include "reports/setup_report.h"
#include "reports/text_viewer.h"
#include "ui/controls.h"

namespace {

// Notes and a section only make sense for a file that nothing else is writing or searching.
BOOL offers_file_keys(TextFiller filler) {
    return filler == report_fill_setup && wfal.run_state == RUN_LOADED;
}

BOOL viewer_on_init(HWND dialog, LPARAM filler_param) {
    TextFiller filler = (TextFiller)filler_param;
    // The filler sets the title.
    ui_open_side_dialog(dialog, text_dialog_controls, 0, NULL);
    if (filler) filler(dialog);
    if (!offers_file_keys(filler)) {
        ShowWindow(GetDlgItem(dialog, TEXT_ID_NOTES), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, TEXT_ID_SECTION), SW_HIDE);
    }
    return TRUE;
}

void page(HWND dialog, WORD direction) {
    SendMessageW(GetDlgItem(dialog, TEXT_ID_BOX), WM_VSCROLL, MAKEWPARAM(direction, 0), 0);
}

// The notes stay in the current header even when the file refuses them; the report keeps
// showing what the file holds.
void viewer_on_notes(HWND dialog) {
    const WCHAR *title = lang_lookup(TEXT("Write notes"));
    if (!host_call(dialog, HOST_EDIT_TEXT, (INT_PTR)title, (INT_PTR)wfal.header.notes,
                   NOTES_CAPACITY))
        return;
    // The host is trusted with the capacity, not with the terminator.
    wfal.header.notes[NOTES_CAPACITY] = 0;
    if (!notes_write_file(wfal.result_path, wfal.header)) {
        host_call(dialog, HOST_MESSAGE_BOX, (INT_PTR)title,
                  (INT_PTR)lang_lookup(TEXT("File write error.")), HOST_MB_ERROR);
        return;
    }
    report_fill_setup(dialog);
    wfal.section_header = wfal.header;
}

// The section dialog sets its own title; the report's comes back afterwards.
void viewer_on_section(HWND dialog) {
    DialogBoxParamW(wfal.instance, TEXT("DLG2"), dialog, section_dialog_proc, 0);
    host_call(NULL, HOST_SET_TITLE, (INT_PTR)lang_lookup(TEXT("Test setup")), 0, 0);
}

BOOL viewer_on_command(HWND dialog, int id) {
    switch (id) {
    case ID_ESC:
    case IDOK:
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case TEXT_ID_PAGE_UP: page(dialog, SB_PAGEUP); return TRUE;
    case TEXT_ID_PAGE_DOWN: page(dialog, SB_PAGEDOWN); return TRUE;
    case TEXT_ID_PRINT_SCREEN: host_call(dialog, HOST_PRINT_SCREEN, 0, 0, 0); return TRUE;
    case TEXT_ID_NOTES: viewer_on_notes(dialog); return TRUE;
    case TEXT_ID_SECTION: viewer_on_section(dialog); return TRUE;
    default: return FALSE;
    }
}

// Win32's dialog manager gives the dialog's first control, the report box, the focus, and an edit
// box focused that way selects all its text and scrolls to its end. A report opens at its top,
// with nothing selected.
void viewer_on_box_focus(HWND dialog) {
    HWND box = GetDlgItem(dialog, TEXT_ID_BOX);
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

} // namespace

// Only the notes field is written. The rest of the current header is the file's own, so the file
// ends up as a rewrite of the whole header would leave it, and a failure part way can damage
// nothing the file needs to be read again: magic, size and set-up are never touched. A file
// that no longer holds a header (cut short since it was loaded) is left as it is rather than
// grown into a headerless one.
BOOL notes_write_file(const WCHAR *path, const ResultHeader &header) {
    FILE *file = _wfopen(path, TEXT("r+b"));
    if (!file) return FALSE;
    ResultHeader held;
    const size_t size = sizeof header.notes;
    BOOL written = fread(&held, sizeof held, 1, file) == 1 && header_accepted(held) &&
                   fseek(file, (long)offsetof(ResultHeader, notes), SEEK_SET) == 0 &&
                   fwrite(header.notes, 1, size, file) == size && fflush(file) == 0;
    if (fclose(file) != 0) written = FALSE;
    return written;
}

INT_PTR CALLBACK text_viewer_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: return viewer_on_init(dialog, lparam);
    case WM_COMMAND:
        if (LOWORD(wparam) == TEXT_ID_BOX && HIWORD(wparam) == EN_SETFOCUS) {
            viewer_on_box_focus(dialog);
            return TRUE;
        }
        return viewer_on_command(dialog, LOWORD(wparam));
    case WM_CTLCOLORDLG: return (INT_PTR)wfal.dialog_brush;
    case WM_CTLCOLORSTATIC: return (INT_PTR)GetStockObject(WHITE_BRUSH);
    default: return FALSE;
    }
}
