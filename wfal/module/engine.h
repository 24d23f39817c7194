// The measurement engine, reached through the instrument's measurement library: command blocks
// go out with acqcmd, results are polled with acqres.
#pragma once

#include <windows.h>

constexpr WORD CMD_RESET = 0;
constexpr WORD CMD_STOP = 1;
constexpr WORD CMD_MEASURE = 8;
constexpr WORD CMD_IDENTIFY = 9;
constexpr WORD CMD_PROBE_STATUS = 17;

// Result codes: the answers to the commands of the same number.
constexpr INT16 RESULT_MEASURE = 8;
constexpr INT16 RESULT_IDENTIFY = 9;
constexpr INT16 RESULT_PROBE_STATUS = 17;

constexpr WORD ENGINE_SHORT_COMMAND = 4; // reset, identify, probe status
constexpr WORD ENGINE_LONG_COMMAND = 34; // stop, measure
constexpr int ENGINE_RESULT_BYTES = 4096;
constexpr WORD ENGINE_OPTION_WIDEBAND = 4; // option word bit of the wideband hardware

// The header's input field.
constexpr INT32 INPUT_TERMINATED = 0;
constexpr INT32 INPUT_UNTERMINATED = 1;
constexpr INT32 INPUT_PROBE = 2; // the high-impedance probe

// Empty polls before an expected answer is given up, with a 1 ms pause after each: a missing
// or silent engine costs the module about three seconds instead of hanging it.
constexpr int ENGINE_POLL_LIMIT = 3000;

#pragma pack(push, 1)
struct EngineCommand {
    WORD length; // bytes of the block
    WORD code;   // CMD_*
    // CMD_MEASURE parameters; zero in every other command.
    WORD sequence;  // command_sequence after its increment
    WORD mode;      // 2
    WORD impedance; // Ohm
    WORD reserved_10;
    DWORD start_frequency; // half-hertz
    DWORD frequency_step;  // half-hertz
    WORD points;
    WORD reserved_22;
    WORD dwell; // 990
    INT16 gain; // dB, -1 automatic
    BYTE reserved_28[6];
};

struct EngineMeasureBody {
    INT16 sequence;     // of the measure command that made the result
    INT16 levels[2043]; // `points` levels in hundredths of a dB
};

struct EngineIdentifyBody {
    INT16 options; // ENGINE_OPTION_* bits
    WORD reserved_10;
    char device[16]; // ASCII, zero-terminated
    char serial[16];
};

union EngineResultBody {
    EngineMeasureBody measure;   // RESULT_MEASURE
    EngineIdentifyBody identify; // RESULT_IDENTIFY
};

struct EngineResult {
    WORD length;
    INT16 code;            // RESULT_*
    INT16 probe_connected; // RESULT_PROBE_STATUS: non-zero when the probe is connected
    WORD reserved_6;
    EngineResultBody body;
};
#pragma pack(pop)

static_assert(sizeof(EngineCommand) == 34, "engine command layout");
static_assert(offsetof(EngineCommand, code) == 2, "engine command layout");
static_assert(offsetof(EngineCommand, sequence) == 4, "engine command layout");
static_assert(offsetof(EngineCommand, mode) == 6, "engine command layout");
static_assert(offsetof(EngineCommand, impedance) == 8, "engine command layout");
static_assert(offsetof(EngineCommand, reserved_10) == 10, "engine command layout");
static_assert(offsetof(EngineCommand, start_frequency) == 12, "engine command layout");
static_assert(offsetof(EngineCommand, frequency_step) == 16, "engine command layout");
static_assert(offsetof(EngineCommand, points) == 20, "engine command layout");
static_assert(offsetof(EngineCommand, reserved_22) == 22, "engine command layout");
static_assert(offsetof(EngineCommand, dwell) == 24, "engine command layout");
static_assert(offsetof(EngineCommand, gain) == 26, "engine command layout");
static_assert(offsetof(EngineCommand, reserved_28) == 28, "engine command layout");

static_assert(sizeof(EngineResult) == ENGINE_RESULT_BYTES, "engine result layout");
static_assert(offsetof(EngineResult, code) == 2, "engine result layout");
static_assert(offsetof(EngineResult, probe_connected) == 4, "engine result layout");
static_assert(offsetof(EngineResult, reserved_6) == 6, "engine result layout");
static_assert(offsetof(EngineResult, body) == 8, "engine result layout");
static_assert(offsetof(EngineMeasureBody, levels) == 2, "levels at byte 10 of the result");
static_assert(offsetof(EngineIdentifyBody, reserved_10) == 2, "engine result layout");
static_assert(offsetof(EngineIdentifyBody, device) == 4, "device name at byte 12");
static_assert(offsetof(EngineIdentifyBody, serial) == 20, "serial number at byte 28");

// Resets the engine, drops what it still held, and asks who it is: device name and serial
// number go into the current header, the wideband option into the module state. Without an
// answer both stay as they were.
void engine_identify();
// Whether a measurement on the set-up input can start: true at once unless the input is the
// high-impedance probe, else the engine's probe status (false when it does not answer).
BOOL engine_probe_connected();
// Starts measuring the current header's set-up under the next command_sequence. Results of
// older measure commands that still wait carry an older number.
void engine_start_measure();
// Ends the running measurement.
void engine_stop();
// The impedance a measure command names for the set-up's input.
WORD engine_impedance(INT32 input, INT32 header_impedance, BOOL wideband);
