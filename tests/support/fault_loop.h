// The fault loop: an operation run once clean while the layer counts its file calls, then once
// for every way one of those calls can fail (the nth open, read, write or flush failing once,
// failing for good from there on, or a write storing only part of its bytes), each outcome handed
// to a check.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <winlayer.h>

struct Fault {
    WlFaultOp op = WL_FAULT_OPEN;
    int nth = 0; // 0: the clean run
    bool persistent = false;
    size_t keep = 0; // a short write that stores these bytes, when not 0

    std::string name() const {
        static const char *const OPS[] = {"open", "write", "flush", "read"};
        if (!nth) return "clean";
        return std::string(OPS[op]) + " " + std::to_string(nth) +
               (keep         ? " short"
                : persistent ? " for good"
                             : " once");
    }
};

// `operation(arm)` must call arm() right before the part whose file calls count; the loop runs
// it clean and then with each fault, calling check(fault) after each run.
inline void fault_loop(const std::function<void(const std::function<void()> &arm)> &operation,
                       const std::function<void(const Fault &)> &check, size_t short_keep = 100) {
    Fault fault;
    operation(wl_fault_reset);
    int calls[4];
    for (WlFaultOp op : {WL_FAULT_OPEN, WL_FAULT_WRITE, WL_FAULT_FLUSH, WL_FAULT_READ})
        calls[op] = wl_fault_calls(op);
    wl_fault_reset();
    check(fault);
    std::vector<Fault> faults;
    for (WlFaultOp op : {WL_FAULT_OPEN, WL_FAULT_WRITE, WL_FAULT_FLUSH, WL_FAULT_READ})
        for (int n = 1; n <= calls[op]; n++) {
            faults.push_back({op, n, false, 0});
            faults.push_back({op, n, true, 0});
            if (op == WL_FAULT_WRITE) faults.push_back({op, n, false, short_keep});
        }
    for (const Fault &f : faults) {
        SCOPED_TRACE(f.name());
        operation([&f] {
            wl_fault_reset();
            if (f.keep)
                wl_fault_short_write(f.nth, f.keep);
            else
                wl_fault_fail(f.op, f.nth, f.persistent);
        });
        wl_fault_reset();
        check(f);
    }
}
