// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "algorithms/OperationDispatch.h"
#include "devicedb/BufferRules.h"
#include "link/SimulatedLink.h"
#include "link/TraceLink.h"
#include "support/RecordingHost.h"
#include "support/SimOptions.h"

namespace kardo::test {

// One device with its chip in the virtual programmer's socket, an erased buffer, and
// everything an operation needs; every call on the link is traced.
class OperationBench {
  public:
    explicit OperationBench(DeviceRecord device, uint32_t firmware = 3,
                            SimulatedLink::Options options = SimOptions())
        : record(std::move(device)),
          buffer(*BufferSizeFor(record)),
          sim(options),
          firmwareVersion(firmware) {
        sim.OpenEx("Q6K USB");
        sim.SetTimeouts(1000, 1000);  // as the version query at connection leaves them
        sim.programmer().firmwareVersion = static_cast<uint8_t>(firmware);
        sim.programmer().InsertChip(record);
        FillErased(buffer, record);
    }

    // Runs one operation as the worker does, from the dispatch, after the purge that
    // precedes every operation (not traced: the tests trace the operation alone).
    void Run(char operation) {
        sim.Purge(kPurgeRxTx);
        code = operation;
        OperationContext context(record, buffer, code, errors, running, trace, firmwareVersion,
                                 host, OperationChoices{progBits, idCheck, configBits});
        RunOperation(context);
    }
    // A fresh start for the next operation: the log, the trace and the questions.
    void Clear() {
        host.lines.clear();
        host.captions.clear();
        host.questions.clear();
        trace.Clear();
    }

    VirtualChip& chip() { return sim.programmer().chip(); }
    std::vector<uint8_t> Bytes(std::size_t at, std::size_t n) const {
        return std::vector<uint8_t>(buffer.data() + at, buffer.data() + at + n);
    }
    void Put(std::size_t at, const std::vector<uint8_t>& bytes) {
        std::copy(bytes.begin(), bytes.end(), buffer.data() + at);
    }
    int Count(const std::string& traceLine) const {
        const auto lines = trace.Lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), traceLine));
    }
    // The trace events of one kind, with the byte count a read asked for (0: any).
    int Reads(std::size_t requested) const {
        const auto& events = trace.events();
        return static_cast<int>(
            std::count_if(events.begin(), events.end(), [&](const TraceEvent& e) {
                return e.kind == TraceEvent::Kind::Read &&
                       (requested == 0 || e.requested == requested);
            }));
    }
    // Every byte written, in order.
    std::vector<uint8_t> Written() const {
        std::vector<uint8_t> all;
        for (const TraceEvent& e : trace.events()) {
            if (e.kind == TraceEvent::Kind::Write) {
                all.insert(all.end(), e.bytes.begin(), e.bytes.end());
            }
        }
        return all;
    }

    DeviceRecord record;
    DeviceBuffer buffer;
    SimulatedLink sim;
    TraceLink trace{sim};
    RecordingHost host;
    char code = 0;
    std::atomic<uint8_t> errors{0};
    std::atomic<bool> running{true};
    uint32_t firmwareVersion = 3;
    uint8_t progBits = 0;
    bool idCheck = false;
    ConfigBits configBits;
};

// A pattern of n bytes that differs from every erased fill.
inline std::vector<uint8_t> PatternOf(std::size_t n, uint8_t seed = 0) {
    std::vector<uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<uint8_t>((i * 29 + seed) ^ (i >> 8));
    }
    return bytes;
}

}  // namespace kardo::test
