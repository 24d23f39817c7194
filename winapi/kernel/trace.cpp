// The trace channels, read from WFAL_TRACE once when the layer is loaded.
#include "kernel/trace.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct ChannelName {
    const char *name;
    unsigned bit;
};

const ChannelName CHANNELS[] = {
    {"user", TRACE_USER},     {"msg", TRACE_MSG},     {"paint", TRACE_PAINT},
    {"input", TRACE_INPUT},   {"timer", TRACE_TIMER}, {"dialog", TRACE_DIALOG},
    {"screen", TRACE_SCREEN}, {"loop", TRACE_LOOP},   {"gdi", TRACE_GDI},
    {"file", TRACE_FILE},     {"all", ~0u},
};

const char *channel_name(unsigned bit) {
    for (const ChannelName &c : CHANNELS) {
        if (c.bit == bit) return c.name;
    }
    return "?";
}

// A comma-separated list of channel names; unknown names are ignored.
unsigned mask_from(const char *list) {
    unsigned mask = 0;
    while (list && *list) {
        size_t n = strcspn(list, ",");
        for (const ChannelName &c : CHANNELS) {
            if (strlen(c.name) == n && strncmp(c.name, list, n) == 0) mask |= c.bit;
        }
        list += n + (list[n] == ',');
    }
    return mask;
}

} // namespace

unsigned g_trace_mask = mask_from(getenv("WFAL_TRACE"));

void trace_print(TraceChannel channel, const char *format, ...) {
    fprintf(stderr, "[%s] ", channel_name(channel));
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
}
