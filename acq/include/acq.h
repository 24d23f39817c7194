// The instrument's measurement library (acq.dll; libacq.so here): three calls through which the
// application drives the measurement engine. Commands are fire-and-forget; answers wait in the
// engine, oldest first, until they are fetched.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Size of the buffer that acqres fills: every result fits in it.
#define ACQ_RESULT_BYTES 4096

// Says where the library announces new results: a window, a message and the message's two
// values. Four zeros ask for no announcement; results are then only polled with acqres, which is
// all the simulated engine offers. Returns non-zero when the request was accepted, 0 when it
// asked for an announcement.
int WINAPI acqnotify(INT_PTR window, INT_PTR message, INT_PTR wparam, INT_PTR lparam);

// Sends one command block to the engine: a u16 length in bytes, a u16 command code, then the
// command's parameters (little-endian). The engine acts on it at once and queues any answer.
// Returns non-zero when the command was taken, 0 when it was refused (a null pointer, an unknown
// code, a block too short for its code, a measure command with out-of-range points or a zero
// impedance); a refused command changes nothing.
int WINAPI acqcmd(LPCVOID command);

// Copies the oldest waiting result into `buffer`, which must hold ACQ_RESULT_BYTES bytes: a u16
// length in bytes, an i16 result code, then the result's fields; the rest of the buffer is
// zeroed. Returns non-zero when a result was copied in, 0 when none is waiting (the buffer is
// then untouched).
int WINAPI acqres(LPVOID buffer);

#ifdef __cplusplus
}
#endif
