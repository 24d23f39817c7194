// Dialog templates for tests, built in memory in the plain DLGTEMPLATE form.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TemplateBuilder {
public:
    TemplateBuilder(DWORD style, short x, short y, short cx, short cy,
                    const std::u16string &title = u"") {
        dword(style);
        dword(0); // extended style
        count_at_ = words_.size();
        words_.push_back(0);
        for (short v : {x, y, cx, cy})
            words_.push_back(uint16_t(v));
        words_.push_back(0); // no menu
        words_.push_back(0); // the dialog class
        text(title);
    }

    // The dialog's font (DS_SETFONT); before the first item.
    TemplateBuilder &font(WORD points, const std::u16string &face) {
        words_[0] |= uint16_t(DS_SETFONT);
        words_.push_back(points);
        text(face);
        return *this;
    }

    // A control of a named class.
    TemplateBuilder &item(DWORD style, short x, short y, short cx, short cy, WORD id,
                          const std::u16string &class_name, const std::u16string &title = u"") {
        item_start(style, x, y, cx, cy, id);
        text(class_name);
        return item_end(title);
    }

    // A control of a predefined class given by its ordinal (0x80 button ... 0x85 combo box).
    TemplateBuilder &item(DWORD style, short x, short y, short cx, short cy, WORD id,
                          WORD class_ordinal, const std::u16string &title = u"") {
        item_start(style, x, y, cx, cy, id);
        words_.push_back(0xFFFF);
        words_.push_back(class_ordinal);
        return item_end(title);
    }

    const DLGTEMPLATE *get() const { return reinterpret_cast<const DLGTEMPLATE *>(words_.data()); }
    const void *data() const { return words_.data(); }
    DWORD size() const { return DWORD(words_.size() * 2); }

private:
    void item_start(DWORD style, short x, short y, short cx, short cy, WORD id) {
        while (words_.size() % 2)
            words_.push_back(0); // items start on a DWORD boundary
        dword(style);
        dword(0);
        for (short v : {x, y, cx, cy})
            words_.push_back(uint16_t(v));
        words_.push_back(id);
    }
    TemplateBuilder &item_end(const std::u16string &title) {
        text(title);
        words_.push_back(0); // no creation data
        ++words_[count_at_];
        return *this;
    }
    void dword(DWORD v) {
        words_.push_back(uint16_t(v & 0xFFFF));
        words_.push_back(uint16_t(v >> 16));
    }
    void text(const std::u16string &s) {
        for (char16_t c : s)
            words_.push_back(c);
        words_.push_back(0);
    }

    std::vector<uint16_t> words_;
    size_t count_at_;
};
