// Reading dialog templates. All fields are little-endian; variable-length fields are WORD
// aligned, each item starts on a DWORD boundary counted from the start of the template.
#include "user/dialog_template.h"

#include <string.h>

namespace {

// The extended form starts with its version 1 and the signature 0xFFFF.
constexpr WORD EXTENDED_VERSION = 1;
constexpr WORD EXTENDED_SIGNATURE = 0xFFFF;

struct Reader {
    const uint8_t *base;
    size_t size;
    size_t pos = 0;
    bool ok = true;

    bool has(size_t n) {
        ok = ok && n <= size && pos <= size - n;
        return ok;
    }
    WORD word() {
        if (!has(2)) return 0;
        WORD v = WORD(base[pos] | base[pos + 1] << 8);
        pos += 2;
        return v;
    }
    DWORD dword() {
        DWORD lo = word();
        return lo | DWORD(word()) << 16;
    }
    short sword() { return short(word()); }
    BYTE byte() {
        if (!has(1)) return 0;
        return base[pos++];
    }
    void align(size_t n) { pos = (pos + n - 1) / n * n; }
    std::u16string text() {
        std::u16string s;
        for (WORD c = word(); ok && c != 0; c = word())
            s.push_back(char16_t(c));
        return s;
    }
    // 0x0000: none; 0xFFFF: an ordinal follows; otherwise a text starts here.
    TemplateName name() {
        TemplateName n;
        if (!has(2)) return n;
        WORD first = WORD(base[pos] | base[pos + 1] << 8);
        if (first == 0) {
            pos += 2;
        } else if (first == 0xFFFF) {
            pos += 2;
            n.present = n.is_ordinal = true;
            n.ordinal = word();
        } else {
            n.present = true;
            n.text = text();
        }
        return n;
    }
};

void read_header(Reader &r, DialogTemplate *t, WORD *count) {
    if (t->extended) {
        r.dword(); // version and signature, checked by the caller
        r.dword(); // help id
        t->ex_style = r.dword();
        t->style = r.dword();
    } else {
        t->style = r.dword();
        t->ex_style = r.dword();
    }
    *count = r.word();
    t->x = r.sword();
    t->y = r.sword();
    t->cx = r.sword();
    t->cy = r.sword();
    t->menu = r.name();
    t->class_name = r.name();
    t->title = r.text();
}

void read_font(Reader &r, DialogTemplate *t) {
    t->has_font = (t->style & DS_SETFONT) != 0;
    if (!t->has_font) return;
    t->point_size = r.word();
    t->weight = FW_NORMAL;
    if (t->extended) {
        t->weight = r.word();
        t->italic = r.byte() != 0;
        t->charset = r.byte();
    }
    t->face = r.text();
}

// The creation data: in the plain form its size word counts itself, in the extended form it
// counts the bytes after it.
void read_creation_data(Reader &r, bool extended, TemplateItem *item) {
    size_t at = r.pos;
    WORD n = r.word();
    item->creation_data = n ? r.base + at : nullptr;
    size_t skip = extended ? n : (n >= 2 ? n - 2u : 0u);
    if (r.has(skip)) r.pos += skip;
}

TemplateItem read_item(Reader &r, bool extended) {
    TemplateItem item{};
    r.align(4);
    if (extended) {
        r.dword(); // help id
        item.ex_style = r.dword();
        item.style = r.dword();
    } else {
        item.style = r.dword();
        item.ex_style = r.dword();
    }
    item.x = r.sword();
    item.y = r.sword();
    item.cx = r.sword();
    item.cy = r.sword();
    item.id = extended ? r.dword() : r.word();
    item.class_name = r.name();
    item.title = r.name();
    read_creation_data(r, extended, &item);
    return item;
}

} // namespace

bool template_parse(const void *data, size_t size, DialogTemplate *out) {
    if (!data || !out) return false;
    Reader r{static_cast<const uint8_t *>(data), size};
    *out = DialogTemplate{};
    WORD version = r.word(), signature = r.word();
    out->extended = r.ok && version == EXTENDED_VERSION && signature == EXTENDED_SIGNATURE;
    r.pos = 0;
    WORD count = 0;
    read_header(r, out, &count);
    read_font(r, out);
    for (WORD i = 0; i < count && r.ok; ++i)
        out->items.push_back(read_item(r, out->extended));
    return r.ok;
}
