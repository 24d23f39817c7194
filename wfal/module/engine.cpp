// The module's side of the measurement engine: reset and identification at start-up, the probe
// check before a test, and the measure and stop commands. Commands are fire-and-forget; the
// answers the module waits for are polled, with a bound, and every other result met on the way
// is dropped.
#include <windows.h>
#include <string.h>

#include <acq.h>

#include "module/engine.h"
#include "module/state.h"

namespace {

constexpr WORD MEASURE_MODE = 2;
constexpr WORD MEASURE_DWELL = 990;
constexpr WORD UNTERMINATED_IMPEDANCE = 4000;
constexpr WORD PROBE_IMPEDANCE = 150;
constexpr WORD PROBE_IMPEDANCE_WIDEBAND = 100;
// Results fetched while waiting for one answer: more than the engine can hold, so that a
// backlog is drained, but an engine that never stops answering can't hold the module.
constexpr int ENGINE_FETCH_LIMIT = 65536;

// One result buffer for the module: 4 KB is better kept off the stack.
EngineResult engine_result;

void send_short(WORD code) {
    EngineCommand command = {};
    command.length = ENGINE_SHORT_COMMAND;
    command.code = code;
    acqcmd(&command);
}

// Fetches until a result of `code` arrives (TRUE) or the engine stays silent too long (FALSE).
BOOL poll_for(INT16 code) {
    int empty = 0;
    for (int fetched = 0; fetched < ENGINE_FETCH_LIMIT && empty < ENGINE_POLL_LIMIT;) {
        if (!acqres(&engine_result)) {
            ++empty;
            Sleep(1);
            continue;
        }
        ++fetched;
        if (engine_result.code == code) return TRUE;
    }
    return FALSE;
}

void drain() {
    for (int fetched = 0; fetched < ENGINE_FETCH_LIMIT && acqres(&engine_result); ++fetched) {
    }
}

// At most 15 characters, the rest of the field zero.
template <size_t N>
void name_to_header(WCHAR (&field)[N], const char (&name)[16]) {
    size_t i = 0;
    for (; i < 15 && i < N - 1 && name[i]; ++i)
        field[i] = (WCHAR)(BYTE)name[i];
    for (; i < N; ++i)
        field[i] = 0;
}

} // namespace

void engine_identify() {
    acqnotify(0, 0, 0, 0);
    send_short(CMD_RESET);
    drain();
    send_short(CMD_IDENTIFY);
    if (!poll_for(RESULT_IDENTIFY)) return;
    const EngineIdentifyBody &id = engine_result.body.identify;
    name_to_header(wfal.header.device, id.device);
    name_to_header(wfal.header.serial, id.serial);
    wfal.wideband = (id.options & ENGINE_OPTION_WIDEBAND) ? TRUE : FALSE;
}

BOOL engine_probe_connected() {
    if (wfal.header.input != INPUT_PROBE) return TRUE;
    send_short(CMD_PROBE_STATUS);
    if (!poll_for(RESULT_PROBE_STATUS)) return FALSE;
    return engine_result.probe_connected != 0;
}

WORD engine_impedance(INT32 input, INT32 header_impedance, BOOL wideband) {
    if (input == INPUT_UNTERMINATED) return UNTERMINATED_IMPEDANCE;
    if (input == INPUT_PROBE) return wideband ? PROBE_IMPEDANCE_WIDEBAND : PROBE_IMPEDANCE;
    return (WORD)header_impedance;
}

void engine_start_measure() {
    const ResultHeader &h = wfal.header;
    wfal.command_sequence++;
    EngineCommand command = {};
    command.length = ENGINE_LONG_COMMAND;
    command.code = CMD_MEASURE;
    command.sequence = wfal.command_sequence;
    command.mode = MEASURE_MODE;
    command.impedance = engine_impedance(h.input, h.impedance, wfal.wideband);
    command.start_frequency = (DWORD)h.start_frequency;
    command.frequency_step = (DWORD)h.frequency_step;
    command.points = (WORD)h.points;
    command.dwell = MEASURE_DWELL;
    command.gain = (INT16)h.gain;
    acqcmd(&command);
}

void engine_stop() {
    EngineCommand command = {};
    command.length = ENGINE_LONG_COMMAND;
    command.code = CMD_STOP;
    acqcmd(&command);
}
