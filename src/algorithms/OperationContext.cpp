// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/OperationContext.h"

#include "common/MessageCatalogue.h"
#include "devicedb/Checksum.h"

namespace kardo {

void OperationContext::GaugeMaximum(int64_t maximum) {
    gaugeMaximum_ = maximum;
    host.SetGauge(gaugeMaximum_, gaugePosition_);
}

void OperationContext::GaugePosition(int64_t position) {
    gaugePosition_ = position;
    host.SetGauge(gaugeMaximum_, gaugePosition_);
}

void OperationContext::ReportError(unsigned code, uint8_t value) {
    errorCount_.store(1);
    if (Running()) {
        const std::size_t at = buffer.BufferPos;
        const uint8_t inBuffer = at < buffer.BufferSize() ? buffer[at] : 0;
        Log(ErrorLine(code, record.Name(), at, inBuffer, value));
    }
}

void OperationContext::ReportResult(unsigned code) {
    if (Running()) {
        if (const std::string line = ResultLine(code, record.Name()); !line.empty()) {
            Log(line);
        }
    }
}

void OperationContext::RefreshChecksum() {
    // Computed here, on the worker, so the window never reads a buffer being written.
    host.ShowChecksum(ChecksumText(ComputeChecksum(record, buffer)));
}

}  // namespace kardo
