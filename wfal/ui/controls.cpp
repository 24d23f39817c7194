// The looks, the control tables of the module's dialogs, the dialog builder and host_call.
#include <windows.h>

#include "lang/lang.h"
#include "module/state.h"
#include "ui/button.h"
#include "ui/controls.h"

namespace {

constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF BLACK = 0x000000;
constexpr COLORREF GREY = 0xD0D0D0;
constexpr COLORREF SHADOW = 0x808080;
constexpr COLORREF GREEN = 0x00C000;
constexpr COLORREF RED = 0x0000FF;
constexpr COLORREF BLUE = 0xFF190B;
constexpr COLORREF YELLOW = 0x78FFFF;

constexpr ControlLook raised(COLORREF face, COLORREF text) {
    return ControlLook{face, text, 1, WHITE, BLACK, 1, GREY, SHADOW};
}
// The pressed key swaps light and dark, so that it looks sunk in.
constexpr ControlLook sunken(COLORREF face, COLORREF text) {
    return ControlLook{face, text, 1, BLACK, WHITE, 1, SHADOW, GREY};
}
constexpr ControlLook flat(COLORREF face, COLORREF text) {
    return ControlLook{face, text, 0, 0, 0, 0, 0, 0};
}

constexpr int FONT_HEIGHT = 24;

} // namespace

#define STYLE(mode, face, weight, normal, pressed, disabled)                                       \
    {                                                                                              \
        mode, nullptr, FONT_HEIGHT, 0, weight, TEXT(face), nullptr, 0, 0, 0, {}, {                 \
            normal, pressed, disabled                                                              \
        }                                                                                          \
    }

ControlStyle style_normal = STYLE(TEXT_MODE_CENTRED, "arial", 0, raised(GREY, BLACK),
                                  sunken(GREY, BLACK), raised(GREY, SHADOW));
ControlStyle style_selected = STYLE(TEXT_MODE_CENTRED, "arial", 0, raised(GREEN, BLACK),
                                    sunken(GREEN, BLACK), raised(GREY, SHADOW));
ControlStyle style_alarm = STYLE(TEXT_MODE_CENTRED, "arial", 0, raised(RED, WHITE),
                                 sunken(RED, WHITE), raised(GREY, SHADOW));
ControlStyle style_header =
    STYLE(TEXT_MODE_CENTRED, "arial", 0, flat(BLUE, WHITE), flat(BLUE, WHITE), flat(BLUE, WHITE));
ControlStyle style_field =
    STYLE(TEXT_MODE_LEFT, "arial", 0, flat(BLUE, WHITE), flat(BLUE, WHITE), flat(BLUE, WHITE));
ControlStyle style_header_dim = STYLE(TEXT_MODE_CENTRED, "arial", 0, flat(BLUE, SHADOW),
                                      flat(BLUE, SHADOW), flat(BLUE, SHADOW));
ControlStyle style_field_dim =
    STYLE(TEXT_MODE_LEFT, "arial", 0, flat(BLUE, SHADOW), flat(BLUE, SHADOW), flat(BLUE, SHADOW));
ControlStyle style_text = STYLE(TEXT_MODE_LEFT, "courier new", FW_BOLD, flat(GREY, BLACK),
                                flat(GREY, BLACK), flat(GREY, BLACK));
ControlStyle style_notice = STYLE(TEXT_MODE_CENTRED, "arial", 0, flat(YELLOW, BLACK),
                                  flat(YELLOW, BLACK), flat(YELLOW, BLACK));

#undef STYLE

// A control at its place; a soft key of the right-hand column; one laid out by its dialog.
#define CONTROL(id, cls, caption, x, y, w, h, style, ex_style, look)                               \
    { id, TEXT(cls), ex_style, style, x, y, w, h, look, {}, {}, TEXT(caption) }
#define KEY(id, caption, y) CONTROL(id, "btn", caption, 695, y, 100, 50, 0, 0, &style_normal)
#define LABEL(id, caption, x, y, w, h, look)                                                       \
    CONTROL(id, "btn", caption, x, y, w, h, WS_DISABLED, 0, look)
#define PLACED_LATER(id, cls, caption, style, look)                                                \
    CONTROL(id, cls, caption, 0, 0, 0, 0, style, 0, look)
#define TABLE_END                                                                                  \
    { 0, {}, 0, 0, 0, 0, 0, 0, nullptr, {}, {}, nullptr }

const ControlDesc main_dialog_controls[] = {
    PLACED_LATER(202, "graph", "", 0, nullptr),
    PLACED_LATER(203, "wfaw", "", WS_VSCROLL, nullptr),
    PLACED_LATER(201, "splt", "", 0, nullptr),
    PLACED_LATER(100, "btn", "Esc", 0, &style_normal),
    PLACED_LATER(101, "btn", "\u00F7", 0, &style_normal),
    PLACED_LATER(102, "btn", "\u02C2", 0, &style_normal),
    PLACED_LATER(103, "btn", "\u02C3", 0, &style_normal),
    PLACED_LATER(104, "btn", "\u02C4", 0, &style_normal),
    PLACED_LATER(105, "btn", "\u02C5", 0, &style_normal),
    PLACED_LATER(106, "btn", "Top", 0, &style_normal),
    PLACED_LATER(107, "btn", "PgUp", 0, &style_normal),
    PLACED_LATER(108, "btn", "PgDn", 0, &style_normal),
    PLACED_LATER(109, "btn", "PrtScr", 0, &style_normal),
    PLACED_LATER(110, "btn", "List", 0, &style_normal),
    PLACED_LATER(111, "btn", "Setup", 0, &style_normal),
    PLACED_LATER(112, "btn", "Display", 0, &style_normal),
    PLACED_LATER(113, "btn", "Find", 0, &style_normal),
    PLACED_LATER(114, "btn", "Freeze", 0, &style_normal),
    PLACED_LATER(115, "btn", "Stop", 0, &style_normal),
    TABLE_END,
};

const ControlDesc setup_dialog_controls[] = {
    KEY(100, "Esc", 5),
    KEY(109, "PrtScr", 60),
    KEY(101, "Start", 115),
    KEY(110, "?", 170),
    CONTROL(103, "btn", "Name", 20, 385, 100, 50, 0, 0, &style_normal),
    LABEL(102, "", 130, 385, 670, 50, &style_field),
    LABEL(200, "Range", 20, 5, 205, 30, &style_header),
    LABEL(300, "Imped", 250, 5, 100, 30, &style_header),
    LABEL(400, "Input", 370, 5, 150, 30, &style_header),
    LABEL(500, "Gain", 540, 5, 100, 30, &style_header),
    TABLE_END,
};

const ControlDesc text_dialog_controls[] = {
    KEY(100, "Esc", 5),
    KEY(109, "PrtScr", 60),
    KEY(103, "Notes", 115),
    KEY(104, "Section", 170),
    KEY(101, "PgUp", 335),
    KEY(102, "PgDn", 390),
    CONTROL(201, "edit", "", 0, 0, 690, 443, WS_VSCROLL | ES_READONLY | ES_MULTILINE,
            WS_EX_CLIENTEDGE, &style_text),
    TABLE_END,
};

const ControlDesc section_dialog_controls[] = {
    KEY(100, "Esc", 5),
    LABEL(101, "Section", 20, 10, 100, 50, &style_field),
    LABEL(102, "Section start", 20, 65, 100, 50, &style_field),
    LABEL(103, "", 130, 65, 200, 50, &style_field),
    CONTROL(104, "btn", "Section start at marker", 350, 65, 250, 50, 0, 0, &style_normal),
    LABEL(105, "Section end", 20, 120, 100, 50, &style_field),
    LABEL(106, "", 130, 120, 200, 50, &style_field),
    CONTROL(107, "btn", "Section end at marker", 350, 120, 250, 50, 0, 0, &style_normal),
    KEY(112, "PrtScr", 60),
    KEY(110, "?", 225),
    KEY(108, "Notes", 115),
    KEY(109, "Save", 170),
    CONTROL(111, "btn", "Saving section...", 220, 200, 360, 100, WS_DISABLED | WS_BORDER, 0,
            &style_notice),
    TABLE_END,
};

const ControlDesc display_dialog_controls[] = {
    KEY(100, "Esc", 5),
    KEY(109, "PrtScr", 60),
    KEY(110, "?", 115),
    LABEL(200, "Scale", 20, 5, 100, 30, &style_header),
    LABEL(300, "Level display range", 340, 5, 250, 30, &style_field),
    CONTROL(301, "btn", "White level", 340, 40, 150, 50, 0, 0, &style_normal),
    LABEL(302, "", 495, 40, 80, 50, &style_header),
    LABEL(303, "", 580, 40, 80, 50, &style_field),
    CONTROL(304, "btn", "Black level", 340, 95, 150, 50, 0, 0, &style_normal),
    LABEL(305, "", 495, 95, 80, 50, &style_header),
    LABEL(306, "", 580, 95, 80, 50, &style_field),
    LABEL(400, "Find", 180, 175, 150, 30, &style_header),
    CONTROL(401, "btn", "Find thr", 20, 320, 150, 50, 0, 0, &style_normal),
    LABEL(402, "", 175, 320, 80, 50, &style_header),
    LABEL(403, "", 260, 320, 80, 50, &style_field),
    CONTROL(404, "btn", "Find chg thr", 20, 375, 150, 50, 0, 0, &style_normal),
    LABEL(405, "", 175, 375, 80, 50, &style_header),
    LABEL(406, "dB", 260, 375, 70, 50, &style_field),
    CONTROL(407, "btn", "Use", 340, 375, 80, 50, 0, 0, &style_normal),
    TABLE_END,
};

#undef CONTROL
#undef KEY
#undef LABEL
#undef PLACED_LATER
#undef TABLE_END

namespace {

ControlStyle *const ALL_STYLES[] = {
    &style_normal,     &style_selected,  &style_alarm, &style_header, &style_field,
    &style_header_dim, &style_field_dim, &style_text,  &style_notice,
};

HFONT make_font(INT32 height, INT32 width, INT32 weight, const WCHAR *face) {
    return CreateFontW(height, width, 0, 0, weight, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, face);
}

void build_control(HWND dialog, const ControlDesc &d) {
    HWND control = CreateWindowExW(d.ex_style, d.class_name, lang_lookup(d.caption),
                                   d.style | WS_CHILD | WS_VISIBLE, d.x, d.y, d.w, d.h, dialog,
                                   (HMENU)(UINT_PTR)d.id, wfal.instance, NULL);
    if (wcscmp(d.class_name, BUTTON_CLASS) == 0) {
        SendMessageW(control, BTN_SET_LOOK, 0, (LPARAM)d.look);
        SendMessageW(control, BTN_SET_BITMAPS, (WPARAM)d.bitmap_up, (LPARAM)d.bitmap_down);
    } else if (d.look) {
        // A record's font, once made, serves every control built with it.
        if (!d.look->font)
            d.look->font = make_font(d.look->font_height, d.look->font_width, d.look->font_weight,
                                     d.look->font_face);
        SendMessageW(control, WM_SETFONT, (WPARAM)d.look->font, FALSE);
    }
}

// The services that show something to the user, during which the dialog must take no input.
BOOL shows_something(int code) {
    return (code >= HOST_EDIT_TEXT && code <= HOST_PRINT_SCREEN) || code == HOST_HELP;
}

} // namespace

void style_make_fonts(ControlStyle *style) {
    if (!style->font)
        style->font =
            make_font(style->font_height, style->font_width, style->font_weight, style->font_face);
    if (!style->font2)
        style->font2 = make_font(style->font2_height, style->font2_width, style->font2_weight,
                                 style->font2_face);
}

void ui_build_controls(HWND dialog, const ControlDesc *table) {
    int count = 0;
    while (table[count].id != 0)
        count++;
    // Last entry first: the first entry ends up on top.
    for (int i = count - 1; i >= 0; i--)
        build_control(dialog, table[i]);
}

void ui_open_side_dialog(HWND dialog, const ControlDesc *table, int help_topic,
                         const WCHAR *title_key) {
    ui_build_controls(dialog, table);
    if (help_topic && !(wfal.help_mask & help_topic)) DestroyWindow(GetDlgItem(dialog, ID_HELP));
    if (title_key) host_call(NULL, HOST_SET_TITLE, (INT_PTR)lang_lookup(title_key), 0, 0);
    MoveWindow(dialog, DIALOG_X, DIALOG_Y, DIALOG_WIDTH, DIALOG_HEIGHT, TRUE);
}

void ui_release_fonts() {
    for (ControlStyle *style : ALL_STYLES) {
        if (style->font) DeleteObject(style->font);
        if (style->font2) DeleteObject(style->font2);
        style->font = NULL;
        style->font2 = NULL;
    }
}

DWORD host_call(HWND window, int code, INT_PTR a, INT_PTR b, INT_PTR c) {
    if (!wfal.host) return 0;
    if (!window || !shows_something(code)) return (DWORD)wfal.host(code, a, b, c);
    EnableWindow(window, FALSE);
    DWORD result = (DWORD)wfal.host(code, a, b, c);
    EnableWindow(window, TRUE);
    return result;
}
