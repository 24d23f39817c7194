// Dialog templates for tests, built in memory in the plain DLGTEMPLATE form.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TemplateBuilder {
public:
    TemplateBuilder(DWORD style, short x, short y, short cx, short cy,
                    const std::u16string &title = u"") {
        words({LOWORD(style), HIWORD(style), 0, 0, 0});      // no extended style, no items yet
        words({WORD(x), WORD(y), WORD(cx), WORD(cy), 0, 0}); // no menu, the dialog class
        text(title);
    }
    // The dialog's font (DS_SETFONT); before the first item.
    TemplateBuilder &font(WORD points, const std::u16string &face) {
        words_[0] |= WORD(DS_SETFONT);
        words({points});
        return text(face);
    }
    // A control of a named class.
    TemplateBuilder &item(DWORD style, short x, short y, short cx, short cy, WORD id,
                          const std::u16string &class_name, const std::u16string &title = u"") {
        item_start(style, x, y, cx, cy, id).text(class_name);
        return item_end(title);
    }
    // A control of a predefined class given by its ordinal (0x80 button ... 0x85 combo box).
    TemplateBuilder &item(DWORD style, short x, short y, short cx, short cy, WORD id,
                          WORD class_ordinal, const std::u16string &title = u"") {
        item_start(style, x, y, cx, cy, id).words({0xFFFF, class_ordinal});
        return item_end(title);
    }

    const DLGTEMPLATE *get() const { return reinterpret_cast<const DLGTEMPLATE *>(words_.data()); }
    const void *data() const { return words_.data(); }
    DWORD size() const { return DWORD(words_.size() * 2); }

private:
    TemplateBuilder &item_start(DWORD style, short x, short y, short cx, short cy, WORD id) {
        if (words_.size() % 2) words({0}); // items start on a DWORD boundary
        words({LOWORD(style), HIWORD(style), 0, 0, WORD(x), WORD(y), WORD(cx), WORD(cy), id});
        return *this;
    }
    TemplateBuilder &item_end(const std::u16string &title) {
        text(title).words({0}); // no creation data
        ++words_[4];            // the item count
        return *this;
    }
    TemplateBuilder &words(std::initializer_list<WORD> list) {
        words_.insert(words_.end(), list);
        return *this;
    }
    TemplateBuilder &text(const std::u16string &s) {
        words_.insert(words_.end(), s.begin(), s.end());
        return words({0});
    }

    std::vector<WORD> words_;
};
