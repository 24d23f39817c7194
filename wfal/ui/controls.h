// Control tables and the dialog builder: every dialog of the module is an empty template whose
// controls are made at run time from a constant table, and the looks (font and colours) those
// controls are drawn with. Also host_call, through which the dialogs use the host's services.
#pragma once

#include <windows.h>

// One of a control's three looks: the colours of its face, its caption and its two bevels.
struct ControlLook {
    COLORREF face_colour;
    COLORREF text_colour;
    DWORD outer_edge; // 1: the outer bevel is drawn
    COLORREF outer_light;
    COLORREF outer_dark;
    DWORD inner_edge; // 1: the inner bevel is drawn
    COLORREF inner_light;
    COLORREF inner_dark;
};

constexpr int LOOK_NORMAL = 0;
constexpr int LOOK_PRESSED = 1;
constexpr int LOOK_DISABLED = 2;

constexpr int TEXT_MODE_CENTRED = 0;
constexpr int TEXT_MODE_LEFT = 1;
constexpr int TEXT_MODE_RIGHT = 2;
constexpr int TEXT_MODE_WRAP_LEFT = 3;
constexpr int TEXT_MODE_TWO_FONTS = 4;
constexpr int TEXT_MODE_WRAP_CENTRED = 5;

// Font and colours of a control, shared by every control that points to it. The fonts are made
// on first use and kept for the run (ui_release_fonts).
struct ControlStyle {
    INT32 text_mode; // TEXT_MODE_*
    HFONT font;      // 0 until made
    INT32 font_height;
    INT32 font_width;  // 0: the face's own
    INT32 font_weight; // 0: default, 700: bold
    WCHAR font_face[32];
    HFONT font2; // the second font of TEXT_MODE_TWO_FONTS
    INT32 font2_height;
    INT32 font2_width;
    INT32 font2_weight;
    WCHAR font2_face[32];
    ControlLook looks[3]; // LOOK_NORMAL, LOOK_PRESSED, LOOK_DISABLED
};

extern ControlStyle style_normal;     // soft keys, unselected option buttons
extern ControlStyle style_selected;   // the selected option, a switched-on toggle
extern ControlStyle style_alarm;      // the stop key while a test records
extern ControlStyle style_header;     // headings and value fields, centred
extern ControlStyle style_field;      // title bars and value fields, left-aligned
extern ControlStyle style_header_dim; // style_header while its function is off
extern ControlStyle style_field_dim;  // style_field while its function is off
extern ControlStyle style_text;       // the report text box
extern ControlStyle style_notice;     // the "Saving section..." notice

// One control of a dialog's table; a zero id ends the table.
struct ControlDesc {
    UINT32 id;
    WCHAR class_name[16];
    DWORD ex_style;
    DWORD style; // WS_CHILD and WS_VISIBLE are added
    INT32 x, y, w, h;
    ControlStyle *look; // may be null
    WCHAR bitmap_up[16];
    WCHAR bitmap_down[16];
    const WCHAR *caption; // language key; empty for none
};

extern const ControlDesc main_dialog_controls[];
extern const ControlDesc setup_dialog_controls[];
extern const ControlDesc text_dialog_controls[];
extern const ControlDesc section_dialog_controls[];
extern const ControlDesc display_dialog_controls[];

// Where every dialog of the module lies on the screen, below the host's title bar.
constexpr int DIALOG_X = 0;
constexpr int DIALOG_Y = 37;
constexpr int DIALOG_WIDTH = 800;
constexpr int DIALOG_HEIGHT = 443;

// Ids of the keys that every secondary dialog has.
constexpr int ID_ESC = 100;
constexpr int ID_HELP = 110;

// Creates the table's controls as children of the dialog, last entry first, with translated
// captions and their looks.
void ui_build_controls(HWND dialog, const ControlDesc *table);
// The opening of a side dialog: its controls built from the table, its "?" key dropped unless
// help_mask has `help_topic` (0: the dialog has none), the host's title set to the text of
// `title_key` (null: the dialog sets it itself) and the dialog placed below the title bar.
void ui_open_side_dialog(HWND dialog, const ControlDesc *table, int help_topic,
                         const WCHAR *title_key);
// Makes the record's fonts that are not made yet, the second one too (even with empty fields).
void style_make_fonts(ControlStyle *style);
// Deletes the fonts the nine looks made during the run.
void ui_release_fonts();
// Calls the host's service; around the services that show something the window (if given) is
// disabled, so that it takes no input meanwhile. 0 without a host callback.
DWORD host_call(HWND window, int code, INT_PTR a, INT_PTR b, INT_PTR c);
