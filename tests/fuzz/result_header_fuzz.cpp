// Arbitrary bytes as a result file: the check must refuse or accept without harm, leave the
// caller's header alone when it refuses, and count only whole records when it accepts.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "fuzz_dir.h"
#include "module/state.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_dir_make();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_dir_write("fuzz.res", data, size);
    ResultHeader header;
    memset(&header, 0xEE, sizeof header);
    const ResultHeader untouched = header;
    LONGLONG file_size = -1;
    if (!header_check_file(u"\\fuzz.res", &header, &file_size)) {
        if (file_size != -1 || memcmp(&header, &untouched, sizeof header) != 0) abort();
        return 0;
    }
    if (size < sizeof header || file_size != (LONGLONG)size) abort();
    if (memcmp(&header, data, sizeof header) != 0 || !header_accepted(header)) abort();
    LONGLONG count = result_record_count(file_size, header);
    LONGLONG record_bytes = 2LL * header.points;
    if (count < 0 || RESULT_HEADER_SIZE + count * record_bytes > file_size) abort();
    if (RESULT_HEADER_SIZE + (count + 1) * record_bytes <= file_size) abort();
    LONGLONG last = result_last_record(file_size, header);
    if (last != (count > 0 ? count - 1 : 0)) abort();
    return 0;
}
