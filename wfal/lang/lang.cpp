// Language text loader and lookup. The text is read once into a pool of zero-terminated keys and
// texts beside an index of pool offsets sorted by key, so that a lookup is a binary search that
// hands out the text in place, with no allocation and no copy.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strsafe.h>

#include "lang/lang.h"
#include "module/state.h"

namespace {

constexpr int LINE_CHARS = 4094;   // characters of a line that are kept
constexpr INT32 POOL_STEP = 16384; // bytes: 8192 characters, more than two longest lines
constexpr INT32 INDEX_STEP = 4096; // bytes: 512 entries
constexpr INT32 CAPACITY_MAX = 0x7FFFFFFF;
constexpr int CHUNK_UNITS = 512; // 16-bit units fetched from the file per read
constexpr WCHAR BYTE_ORDER_MARK = 0xFEFF;
constexpr int NAME_CHARS = 32; // an offered language's name with its terminator

// The language text as a stream of little-endian 16-bit units, from the file or from the
// resource. A last odd byte is never part of a unit.
struct UnitSource {
    FILE *file;       // null when the resource is read
    const BYTE *next; // next unread byte
    const BYTE *end;  // end of the whole units at hand
    BOOL ended;       // once the data ended, a later read must not resume past a failure
    BYTE chunk[CHUNK_UNITS * 2];
};

// State of one pass over the text.
struct LangLoader {
    DWORD end; // pool position just past the last stored string
    int held;  // language of the current key's text, 0 while it has none
    BOOL in_langdef;
    BOOL failed; // a growth failed: the table is empty and reading stops
};

BOOL source_next(UnitSource *src, WCHAR *unit) {
    if (src->end - src->next < 2) {
        size_t units = 0;
        if (src->file && !src->ended) units = fread(src->chunk, 2, CHUNK_UNITS, src->file);
        if (units == 0) {
            src->ended = TRUE;
            return FALSE;
        }
        src->next = src->chunk;
        src->end = src->chunk + units * 2;
    }
    *unit = (WCHAR)(src->next[0] | (src->next[1] << 8));
    src->next += 2;
    return TRUE;
}

// The external file when it opens, whatever it holds; otherwise the module's "TXT" resource.
BOOL source_open(UnitSource *src) {
    src->next = src->end = src->chunk;
    src->ended = FALSE;
    src->file = _wfopen(wfal.language_path, TEXT("rb"));
    if (src->file) return TRUE;
    HMODULE module = GetModuleHandleW(TEXT("wfal.dll"));
    HRSRC resource = module ? FindResourceW(module, TEXT("TXT"), RT_RCDATA) : NULL;
    if (!resource) return FALSE;
    DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = size ? LoadResource(module, resource) : NULL;
    const BYTE *data = loaded ? (const BYTE *)LockResource(loaded) : NULL;
    if (!data) return FALSE;
    src->next = data;
    src->end = data + (size & ~(DWORD)1);
    return TRUE;
}

BOOL is_blank(WCHAR c) {
    return c == ' ' || c == '\t';
}

// Reads the next line, blanks trimmed, escapes applied and cut to LINE_CHARS characters; CR and
// LF each end a line. FALSE when the data ended before the line had any unit.
BOOL line_read(UnitSource *src, WCHAR *line) {
    int length = 0;
    BOOL escape = FALSE;
    BOOL seen = FALSE;
    WCHAR c;
    while (source_next(src, &c)) {
        seen = TRUE;
        if (c == '\r' || c == '\n') break;
        if (escape) {
            escape = FALSE;
            if (c == 'n')
                c = '\n';
            else if (c != '\\')
                continue; // an unknown escape drops both characters
        } else if (c == '\\') {
            escape = TRUE;
            continue;
        } else if (length == 0 && is_blank(c)) {
            continue;
        }
        if (length < LINE_CHARS) line[length++] = c;
    }
    while (length > 0 && is_blank(line[length - 1]))
        length--;
    line[length] = 0;
    return seen;
}

// Reading stops on a failed growth and the table stays empty; the failed part is released.
void load_fail(LangLoader *ld, void **block, INT32 *capacity) {
    free(*block);
    *block = NULL;
    *capacity = 0;
    wfal.lang.entry_count = 0;
    ld->failed = TRUE;
}

// Grows `block` by `step` bytes; FALSE (and the table emptied) when it can't.
BOOL block_grow(LangLoader *ld, void **block, INT32 *capacity, INT32 step) {
    void *grown = NULL;
    if (*capacity <= CAPACITY_MAX - step) grown = realloc(*block, (size_t)*capacity + step);
    if (!grown) {
        load_fail(ld, block, capacity);
        return FALSE;
    }
    *block = grown;
    *capacity += step;
    return TRUE;
}

// Stores `s` with its terminator at pool position `at`. No line is longer than a quarter of a
// growth step, so one step always makes room.
BOOL pool_store(LangLoader *ld, DWORD at, const WCHAR *s) {
    LangTable *t = &wfal.lang;
    size_t length = wcslen(s);
    DWORD past = at + (DWORD)length + 1;
    if ((ULONGLONG)t->pool_capacity <= 2 * (ULONGLONG)past) {
        void *pool = t->pool;
        BOOL grown = block_grow(ld, &pool, &t->pool_capacity, POOL_STEP);
        t->pool = (WCHAR *)pool;
        if (!grown) return FALSE;
    }
    memcpy(t->pool + at, s, (length + 1) * sizeof(WCHAR));
    ld->end = past;
    return TRUE;
}

void on_key(LangLoader *ld, const WCHAR *key) {
    LangTable *t = &wfal.lang;
    ld->in_langdef = FALSE;
    ld->held = 0;
    if ((LONGLONG)t->index_capacity <= 8 * (LONGLONG)t->entry_count) {
        void *index = t->index;
        BOOL grown = block_grow(ld, &index, &t->index_capacity, INDEX_STEP);
        t->index = (LangEntry *)index;
        if (!grown) return;
    }
    DWORD at = ld->end;
    if (!pool_store(ld, at, key)) return;
    t->index[t->entry_count].key = at;
    t->index[t->entry_count].text = 0;
    t->entry_count++;
}

// A LANGDEF line declares a language; with no language given, the first one whose name the
// preferred name begins with is chosen.
void on_offer(int number, const WCHAR *name) {
    LangTable *t = &wfal.lang;
    if (t->selected_language == 0 && wcsncmp(t->preferred_name, name, wcslen(name)) == 0)
        t->selected_language = number;
    if (t->offer_count >= LANG_MAX_OFFERS) return;
    LangOffer *offer = &t->offers[t->offer_count++];
    offer->number = (WORD)number;
    StringCchCopyNW(offer->name, NAME_CHARS, name, NAME_CHARS - 1);
}

// A translation of the current key. The selected language wins over language 1 whatever the
// order of the lines; lines of the kept language are joined.
void on_translation(LangLoader *ld, int number, const WCHAR *text) {
    LangTable *t = &wfal.lang;
    if (t->entry_count == 0) return;
    int held = ld->held;
    BOOL fallback = number == 1 && (held == 0 || held == 1);
    if (number != t->selected_language && !fallback) return;
    LangEntry *entry = &t->index[t->entry_count - 1];
    if (held != 0 && number != held) ld->end = entry->text; // the held text is the last stored
    if (number == held) {
        if (!pool_store(ld, ld->end - 1, text)) return; // overwrites the held terminator
    } else {
        DWORD at = ld->end;
        if (!pool_store(ld, at, text)) return;
        entry->text = at;
    }
    ld->held = number;
}

// The decimal number after '<': leading white space and a sign allowed, stops at a non-digit,
// saturates instead of overflowing.
int language_number(const WCHAR *s) {
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        s++;
    BOOL negative = *s == '-';
    if (*s == '-' || *s == '+') s++;
    LONGLONG value = 0;
    for (; *s >= '0' && *s <= '9'; s++) {
        if (value <= CAPACITY_MAX) value = value * 10 + (*s - '0');
    }
    if (negative) value = -value;
    if (value > CAPACITY_MAX) return CAPACITY_MAX;
    if (value < -(LONGLONG)CAPACITY_MAX - 1) return -CAPACITY_MAX - 1;
    return (int)value;
}

void load_line(LangLoader *ld, const WCHAR *line) {
    if (line[0] == '#') {
        if (wcscmp(line, TEXT("#LANGDEF")) == 0)
            ld->in_langdef = TRUE;
        else
            on_key(ld, line + 1);
        return;
    }
    if (line[0] != '<') return;
    const WCHAR *close = wcschr(line, '>');
    int number = language_number(line + 1);
    if (!close || number < 1) return;
    if (ld->in_langdef)
        on_offer(number, close + 1);
    else
        on_translation(ld, number, close + 1);
}

void load_lines(UnitSource *src) {
    WCHAR line[LINE_CHARS + 1];
    LangLoader ld = {0, 0, FALSE, FALSE};
    while (!ld.failed && line_read(src, line))
        load_line(&ld, line);
}

int key_compare(const WCHAR *a, const WCHAR *b) {
    while (*a != 0 && *a == *b) {
        a++;
        b++;
    }
    return (int)(WORD)*a - (int)(WORD)*b;
}

int entry_order(const void *a, const void *b) {
    const WCHAR *pool = wfal.lang.pool;
    return key_compare(pool + ((const LangEntry *)a)->key, pool + ((const LangEntry *)b)->key);
}

int key_order(const void *key, const void *entry) {
    return key_compare((const WCHAR *)key, wfal.lang.pool + ((const LangEntry *)entry)->key);
}

// Offered languages are shown by their name in the selected language.
void offers_rename() {
    LangTable *t = &wfal.lang;
    for (int i = 0; i < t->offer_count; i++) {
        WCHAR key[NAME_CHARS];
        StringCchPrintfW(key, NAME_CHARS, TEXT("LANGNAME%d"), (int)t->offers[i].number);
        const WCHAR *name = lang_lookup(key);
        if (name != key) StringCchCopyNW(t->offers[i].name, NAME_CHARS, name, NAME_CHARS - 1);
    }
}

} // namespace

void lang_load() {
    LangTable *t = &wfal.lang;
    t->entry_count = 0;
    t->offer_count = 0;
    t->selected_language = wfal.language_number;
    t->preferred_name[sizeof t->preferred_name / sizeof(WCHAR) - 1] = 0;
    UnitSource src;
    if (!source_open(&src)) return;
    WCHAR mark;
    if (source_next(&src, &mark) && mark == BYTE_ORDER_MARK) load_lines(&src);
    if (src.file) fclose(src.file);
    if (t->entry_count > 0) qsort(t->index, t->entry_count, sizeof(LangEntry), entry_order);
    offers_rename();
}

const WCHAR *lang_lookup(const WCHAR *key) {
    const LangTable *t = &wfal.lang;
    if (!key || t->entry_count <= 0) return key;
    const LangEntry *found =
        (const LangEntry *)bsearch(key, t->index, t->entry_count, sizeof(LangEntry), key_order);
    if (!found || found->text == 0) return key;
    return t->pool + found->text;
}

void lang_free() {
    LangTable *t = &wfal.lang;
    free(t->pool);
    free(t->index);
    t->pool = NULL;
    t->index = NULL;
    t->pool_capacity = 0;
    t->index_capacity = 0;
    t->entry_count = 0;
    t->offer_count = 0;
}
