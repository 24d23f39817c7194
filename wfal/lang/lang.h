// The language text: every shown text is an English key looked up in a table of the texts of
// the language selected for this run.
#pragma once

#include <windows.h>

struct LangEntry {
    DWORD key;  // offset of the key in the text pool, in wide characters
    DWORD text; // offset of the key's chosen text, 0 when it has none
};
static_assert(sizeof(LangEntry) == 8, "language index entry");

struct LangOffer {
    WORD number;
    WCHAR name[32];
};

constexpr int LANG_MAX_OFFERS = 32;

struct LangTable {
    WCHAR *pool;          // keys and chosen texts, each zero-terminated, in reading order
    INT32 pool_capacity;  // bytes
    LangEntry *index;     // one entry per key line, sorted by key after loading
    INT32 index_capacity; // bytes
    INT32 entry_count;
    INT32 selected_language;           // given by the host; 0 means choose by preferred name
    WCHAR preferred_name[64];          // compared with the offered names when no language is given
    LangOffer offers[LANG_MAX_OFFERS]; // languages declared in the LANGDEF section
    INT32 offer_count;
};

// Builds the table from the file at wfal.language_path, or from the built-in "TXT" resource when
// that file can't be opened, keeping the texts of wfal.language_number (language 1 as fall-back).
void lang_load();
// The key's text in the loaded language, or the key pointer itself when there is none. The text
// stays valid until lang_free.
const WCHAR *lang_lookup(const WCHAR *key);
// Releases the pool and the index; counts and capacities become 0.
void lang_free();
