// Arbitrary bytes as the external language file: loading must stay in bounds and end, and the
// table must answer lookups and keep its offered names terminated.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "fuzz_dir.h"
#include "module/state.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_dir_make();
    memcpy(wfal.language_path, u"\\lang.txt", sizeof u"\\lang.txt");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_dir_write("lang.txt", data, size);
    // The language comes from the input's length, so that every byte is read as the file.
    wfal.language_number = (int)(size % 5);
    lang_load();
    const WCHAR *keys[] = {u"K", u"Stop", u"LANGNAME1", u"",
                           u"Max test time reached.\nTest stopped."};
    for (const WCHAR *key : keys) {
        if (!lang_lookup(key)) abort();
    }
    if (wfal.lang.offer_count < 0 || wfal.lang.offer_count > LANG_MAX_OFFERS) abort();
    for (int i = 0; i < wfal.lang.offer_count; i++) {
        if (wfal.lang.offers[i].name[31] != 0) abort(); // names stay terminated
    }
    lang_free();
    return 0;
}
