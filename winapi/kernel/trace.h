// Trace channels: what a call did, printed to stderr when a test needs explaining. Switched on
// by the environment, WFAL_TRACE=user,msg (or "all"); a disabled channel costs one test of a
// bit.
#pragma once

enum TraceChannel : unsigned {
    TRACE_USER = 1u << 0,   // windows and classes
    TRACE_MSG = 1u << 1,    // messages sent, posted and retrieved
    TRACE_PAINT = 1u << 2,  // invalidation and painting
    TRACE_INPUT = 1u << 3,  // touch and keyboard input
    TRACE_TIMER = 1u << 4,  // timers
    TRACE_DIALOG = 1u << 5, // dialogs
    TRACE_SCREEN = 1u << 6, // composition and presentation
    TRACE_LOOP = 1u << 7,   // the message loop's idle and waits
    TRACE_GDI = 1u << 8,    // device contexts and drawing objects: made, selected, deleted
    TRACE_FILE = 1u << 9,   // the module's file calls and the fault seam's answers to them
};

extern unsigned g_trace_mask;

void trace_print(TraceChannel channel, const char *format, ...)
    __attribute__((format(printf, 2, 3)));

#define TRACE(channel, ...)                                                                        \
    do {                                                                                           \
        if (g_trace_mask & (channel)) trace_print((channel), __VA_ARGS__);                         \
    } while (0)
