// The simulated measurement engine behind acqnotify, acqcmd and acqres. Results are made when
// they are asked for: a fetch first adds every measure result that the clock says is due, so
// the pace follows the platform's clock (clock.h: on Linux the layer's, real or virtual) without a
// thread of its own.
#include <string.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <vector>

#include "clock.h"

#include "acq.h"
#include "acqsim.h"
#include "field.h"
#include "protocol.h"
#include "spectrum.h"

namespace {

struct Settings {
    char device[ACQSIM_NAME_CHARS + 1];
    char serial[ACQSIM_NAME_CHARS + 1];
    WORD options;
    BOOL probe;
    UINT32 seed;
    DWORD interval_ms;
    int scenario;
};

const Settings DEFAULT_SETTINGS = {"SIMULATOR", "SIM0000001",          0, TRUE, 1,
                                   1000,        ACQSIM_SCENARIO_STEADY};

struct Measurement {
    bool running;
    INT16 sequence;
    std::shared_ptr<const Synth> synth;
    std::shared_ptr<const FieldSynth> field; // the field line's part; none on the steady line
    ULONGLONG start_ms;
    LONGLONG start_local_ms; // local time of the measure command, the field line's time
    DWORD interval_ms;
    ULONGLONG made; // results made so far; the next one has this index
};

// A result waiting to be fetched. Measure results keep what makes their levels and are drawn
// when fetched, so a long backlog costs little.
struct Pending {
    INT16 code;
    INT16 value; // measure: sequence; identify: option word; probe: connected
    char device[ACQSIM_NAME_CHARS + 1];
    char serial[ACQSIM_NAME_CHARS + 1];
    std::shared_ptr<const Synth> synth;
    std::shared_ptr<const FieldSynth> field;
    ULONGLONG index;
    LONGLONG local_ms;
    std::vector<INT16> fed;
};

struct Engine {
    Settings settings = DEFAULT_SETTINGS;
    Measurement measurement = {};
    std::deque<Pending> queue;
    std::deque<std::vector<INT16>> feed;
};

Engine g_engine;

void queue_push(Pending &&result) {
    if (g_engine.queue.size() >= ACQSIM_BACKLOG_MAX) g_engine.queue.pop_front();
    g_engine.queue.push_back(std::move(result));
}

Pending measure_result(ULONGLONG index) {
    Measurement &m = g_engine.measurement;
    Pending p = {};
    p.code = ACQ_RES_MEASURE;
    p.value = m.sequence;
    p.synth = m.synth;
    p.field = m.field;
    p.index = index;
    p.local_ms = m.start_local_ms + LONGLONG(index * m.interval_ms);
    if (!g_engine.feed.empty()) {
        p.fed = std::move(g_engine.feed.front());
        g_engine.feed.pop_front();
    }
    return p;
}

// Adds the results that are due by `now_ms`. After a jump of the clock only the newest
// ACQSIM_BACKLOG_MAX of them are made: the older ones would be dropped from the queue anyway.
void produce_due(ULONGLONG now_ms) {
    Measurement &m = g_engine.measurement;
    if (!m.running || now_ms < m.start_ms) return;
    ULONGLONG due = (now_ms - m.start_ms) / m.interval_ms;
    if (due <= m.made) return;
    if (due - m.made > ACQSIM_BACKLOG_MAX) m.made = due - ACQSIM_BACKLOG_MAX;
    for (; m.made < due; ++m.made)
        queue_push(measure_result(m.made));
}

bool start_measure(const AcqMeasureCommand &cmd) {
    AcqSimMeasure params = {g_engine.settings.seed, cmd.impedance, cmd.start, cmd.step, cmd.points};
    if (!synth_valid(params)) return false;
    auto synth = std::make_shared<Synth>();
    synth_prepare(synth.get(), params);
    Measurement &m = g_engine.measurement;
    m.running = true;
    m.sequence = INT16(cmd.sequence);
    m.synth = std::move(synth);
    m.field = nullptr;
    if (g_engine.settings.scenario == ACQSIM_SCENARIO_FIELD) {
        auto field = std::make_shared<FieldSynth>();
        field_prepare(field.get(), params);
        m.field = std::move(field);
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    m.start_local_ms = field_local_ms(now);
    m.start_ms = acq_clock_ms();
    m.interval_ms = g_engine.settings.interval_ms;
    m.made = 0;
    return true;
}

void stop_measure() {
    g_engine.measurement = Measurement{};
}

void queue_identify() {
    Pending p = {};
    p.code = ACQ_RES_IDENTIFY;
    p.value = INT16(g_engine.settings.options);
    memcpy(p.device, g_engine.settings.device, sizeof p.device);
    memcpy(p.serial, g_engine.settings.serial, sizeof p.serial);
    queue_push(std::move(p));
}

void queue_probe() {
    Pending p = {};
    p.code = ACQ_RES_PROBE;
    p.value = g_engine.settings.probe ? 1 : 0;
    queue_push(std::move(p));
}

// Results already due belong before whatever this command brings: they are made first. A reset
// throws them away with the rest.
bool run_command(const BYTE *block, const AcqCommandHead &head) {
    if (head.code != ACQ_CMD_RESET) produce_due(acq_clock_ms());
    switch (head.code) {
    case ACQ_CMD_RESET:
        g_engine.queue.clear();
        stop_measure();
        return true;
    case ACQ_CMD_STOP: stop_measure(); return true;
    case ACQ_CMD_IDENTIFY: queue_identify(); return true;
    case ACQ_CMD_PROBE_STATUS: queue_probe(); return true;
    case ACQ_CMD_MEASURE: {
        AcqMeasureCommand cmd;
        memcpy(&cmd, block, sizeof cmd);
        return start_measure(cmd);
    }
    default: return false;
    }
}

void write_measure(const Pending &p, BYTE *buffer) {
    const Synth &synth = *p.synth;
    UINT16 points = synth.measure.points;
    AcqMeasureResult head = {};
    head.length = UINT16(sizeof head + 2 * points);
    head.code = ACQ_RES_MEASURE;
    head.points = points;
    head.sequence = p.value;
    memcpy(buffer, &head, sizeof head);
    INT16 levels[ACQSIM_MAX_POINTS];
    if (p.field) {
        field_record(synth, *p.field, p.local_ms, levels);
    } else {
        synth_record(synth, p.index, levels);
    }
    size_t fed = std::min(p.fed.size(), size_t(points));
    if (fed > 0) memcpy(levels, p.fed.data(), fed * sizeof(INT16));
    memcpy(buffer + sizeof head, levels, points * sizeof(INT16));
}

void write_identify(const Pending &p, BYTE *buffer) {
    AcqIdentifyResult r = {};
    r.length = sizeof r;
    r.code = ACQ_RES_IDENTIFY;
    r.options = p.value;
    memcpy(r.device, p.device, sizeof r.device);
    memcpy(r.serial, p.serial, sizeof r.serial);
    memcpy(buffer, &r, sizeof r);
}

void write_probe(const Pending &p, BYTE *buffer) {
    AcqProbeResult r = {};
    r.length = sizeof r;
    r.code = ACQ_RES_PROBE;
    r.connected = p.value;
    memcpy(buffer, &r, sizeof r);
}

bool set_name(char *field, const char *name) {
    if (!name) return false;
    size_t length = strlen(name);
    if (length > ACQSIM_NAME_CHARS) return false;
    for (size_t i = 0; i < length; ++i)
        if (name[i] < 0x20 || name[i] > 0x7e) return false;
    memset(field, 0, ACQSIM_NAME_CHARS + 1);
    memcpy(field, name, length);
    return true;
}

// Smallest block each command needs, in bytes.
size_t command_bytes(UINT16 code) {
    return code == ACQ_CMD_MEASURE ? sizeof(AcqMeasureCommand) : sizeof(AcqCommandHead);
}

} // namespace

int WINAPI acqnotify(INT_PTR window, INT_PTR message, INT_PTR wparam, INT_PTR lparam) {
    return window == 0 && message == 0 && wparam == 0 && lparam == 0;
}

int WINAPI acqcmd(LPCVOID command) {
    if (!command) return 0;
    const BYTE *block = static_cast<const BYTE *>(command);
    AcqCommandHead head;
    memcpy(&head, block, sizeof head);
    if (head.length < command_bytes(head.code)) return 0;
    return run_command(block, head) ? 1 : 0;
}

int WINAPI acqres(LPVOID buffer) {
    if (!buffer) return 0;
    produce_due(acq_clock_ms());
    if (g_engine.queue.empty()) return 0;
    Pending p = std::move(g_engine.queue.front());
    g_engine.queue.pop_front();
    BYTE *out = static_cast<BYTE *>(buffer);
    memset(out, 0, ACQ_RESULT_BYTES);
    switch (p.code) {
    case ACQ_RES_MEASURE: write_measure(p, out); break;
    case ACQ_RES_IDENTIFY: write_identify(p, out); break;
    default: write_probe(p, out); break;
    }
    return 1;
}

void acqsim_reset(void) {
    g_engine.settings = DEFAULT_SETTINGS;
    g_engine.queue.clear();
    g_engine.feed.clear();
    stop_measure();
}

BOOL acqsim_set_device_name(const char *name) {
    return set_name(g_engine.settings.device, name);
}

BOOL acqsim_set_serial(const char *serial) {
    return set_name(g_engine.settings.serial, serial);
}

void acqsim_set_options(WORD options) {
    g_engine.settings.options = options;
}

void acqsim_set_probe(BOOL connected) {
    g_engine.settings.probe = connected;
}

void acqsim_set_seed(UINT32 seed) {
    g_engine.settings.seed = seed;
}

BOOL acqsim_set_interval_ms(DWORD interval_ms) {
    if (interval_ms == 0) return FALSE;
    g_engine.settings.interval_ms = interval_ms;
    return TRUE;
}

BOOL acqsim_set_scenario(int scenario) {
    if (scenario != ACQSIM_SCENARIO_STEADY && scenario != ACQSIM_SCENARIO_FIELD) return FALSE;
    g_engine.settings.scenario = scenario;
    return TRUE;
}

BOOL acqsim_feed_spectrum(const INT16 *levels, UINT count) {
    if (!levels || count == 0 || count > ACQSIM_MAX_POINTS ||
        g_engine.feed.size() >= ACQSIM_FEED_MAX)
        return FALSE;
    g_engine.feed.emplace_back(levels, levels + count);
    return TRUE;
}
