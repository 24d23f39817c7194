// The byte layouts of the command blocks and results that pass through acqcmd and acqres.
#pragma once

#include <stddef.h>

#include <windows.h>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the blocks are copied as they lie");

enum : UINT16 {
    ACQ_CMD_RESET = 0,
    ACQ_CMD_STOP = 1,
    ACQ_CMD_MEASURE = 8,
    ACQ_CMD_IDENTIFY = 9,
    ACQ_CMD_PROBE_STATUS = 17,
};

enum : INT16 {
    ACQ_RES_MEASURE = 8,
    ACQ_RES_IDENTIFY = 9,
    ACQ_RES_PROBE = 17,
};

#pragma pack(push, 1)

struct AcqCommandHead {
    UINT16 length; // bytes of the whole block
    UINT16 code;
};
static_assert(sizeof(AcqCommandHead) == 4, "command head");

struct AcqMeasureCommand {
    UINT16 length;
    UINT16 code;
    UINT16 sequence;  // echoed in every result of this measurement
    UINT16 mode;      // the module sends 2; the simulator has one mode only
    UINT16 impedance; // Ohm
    UINT16 reserved1;
    UINT32 start; // half-hertz
    UINT32 step;  // half-hertz
    UINT16 points;
    UINT16 reserved2;
    UINT16 dwell; // the module sends 990; the simulator's pace is its result interval
    INT16 gain;   // dB, -1 automatic; levels are clamped to 16 bits whatever the gain
};
static_assert(sizeof(AcqMeasureCommand) == 28, "the fields a measure command must carry");
static_assert(offsetof(AcqMeasureCommand, sequence) == 4, "sequence");
static_assert(offsetof(AcqMeasureCommand, mode) == 6, "mode");
static_assert(offsetof(AcqMeasureCommand, impedance) == 8, "impedance");
static_assert(offsetof(AcqMeasureCommand, start) == 12, "start");
static_assert(offsetof(AcqMeasureCommand, step) == 16, "step");
static_assert(offsetof(AcqMeasureCommand, points) == 20, "points");
static_assert(offsetof(AcqMeasureCommand, dwell) == 24, "dwell");
static_assert(offsetof(AcqMeasureCommand, gain) == 26, "gain");

struct AcqMeasureResult {
    UINT16 length; // bytes of the result, levels included
    INT16 code;
    UINT16 points;
    UINT16 reserved;
    INT16 sequence;
    // `points` INT16 levels follow
};
static_assert(sizeof(AcqMeasureResult) == 10, "the levels start at byte 10");
static_assert(offsetof(AcqMeasureResult, points) == 4, "points");
static_assert(offsetof(AcqMeasureResult, sequence) == 8, "sequence");

struct AcqIdentifyResult {
    UINT16 length;
    INT16 code;
    UINT32 reserved1;
    INT16 options;
    UINT16 reserved2;
    char device[16]; // ASCII, zero-terminated
    char serial[16]; // ASCII, zero-terminated
};
static_assert(sizeof(AcqIdentifyResult) == 44, "identify result");
static_assert(offsetof(AcqIdentifyResult, options) == 8, "options");
static_assert(offsetof(AcqIdentifyResult, device) == 12, "device");
static_assert(offsetof(AcqIdentifyResult, serial) == 28, "serial");

struct AcqProbeResult {
    UINT16 length;
    INT16 code;
    INT16 connected;
    UINT16 reserved;
};
static_assert(sizeof(AcqProbeResult) == 8, "probe result");
static_assert(offsetof(AcqProbeResult, connected) == 4, "connected");

#pragma pack(pop)
