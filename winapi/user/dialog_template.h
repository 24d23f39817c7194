// Dialog templates in memory: the DLGTEMPLATE form and the extended DLGTEMPLATEEX form, read
// into one plain description.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

// A field that is absent, a 16-bit ordinal, or a text.
struct TemplateName {
    bool present = false;
    bool is_ordinal = false;
    WORD ordinal = 0;
    std::u16string text;
};

struct TemplateItem {
    DWORD style;
    DWORD ex_style;
    short x, y, cx, cy; // dialog units
    DWORD id;
    TemplateName class_name;
    TemplateName title;
    const void *creation_data; // the creation data's size word, or null
};

struct DialogTemplate {
    bool extended;
    DWORD style;
    DWORD ex_style;
    short x, y, cx, cy; // dialog units
    TemplateName menu;
    TemplateName class_name;
    std::u16string title;
    bool has_font;
    WORD point_size;
    WORD weight;
    bool italic;
    BYTE charset;
    std::u16string face;
    std::vector<TemplateItem> items;
};

// Reads the template at `data`; at most `size` bytes. False if it is malformed or longer.
bool template_parse(const void *data, size_t size, DialogTemplate *out);
