// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "algorithms/OperationHost.h"
#include "config/ConfigBits.h"
#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"
#include "link/ProgrammerLink.h"

namespace kardo {

// What the options and the configuration dialog chose for the operation. ProgBits is the
// program's own: a family may change it (an empty choice becomes the code area).
struct OperationChoices {
    uint8_t& ProgBits;
    bool Id_flag = false;  // compare the chip's signature first
    ConfigBits configBits;
};

// Everything one device operation works with: the device, the buffer, the link, the
// shared counters, and the user interface through its host. Built by the operation
// control for one run of one worker.
class OperationContext {
public:
    OperationContext(const DeviceRecord& record, DeviceBuffer& buffer, char& operationCode,
                     std::atomic<uint8_t>& errorCount, std::atomic<bool>& running,
                     ProgrammerLink& link, uint32_t firmwareVersion, OperationHost& host,
                     OperationChoices choices)
        : record(record),
          buffer(buffer),
          OperationCode(operationCode),
          link(link),
          FirmwareVersion(firmwareVersion),
          host(host),
          choices(choices),
          errorCount_(errorCount),
          running_(running) {}

    const DeviceRecord& record;
    DeviceBuffer& buffer;
    char& OperationCode;
    ProgrammerLink& link;
    const uint32_t FirmwareVersion;
    OperationHost& host;
    OperationChoices choices;
    // The signature of a chip that did not match the device's, once one has been read;
    // only the worker writes it, and it is read after the worker has ended.
    std::optional<std::array<uint8_t, 3>> foreignSignature;

    // The error counter: 0 means no failure so far.
    uint8_t Errors() const { return errorCount_.load(); }
    void ClearErrors() { errorCount_.store(0); }
    void CountError() { errorCount_.fetch_add(1); }
    // False once the user pressed Abort.
    bool Running() const { return running_.load(); }

    void Log(const std::string& line) { host.Log(line); }
    void Caption(const std::string& caption) { host.SetCaption(caption); }

    // The gauge, kept here and handed to the host as it moves.
    void GaugeMaximum(int64_t maximum);
    void GaugePosition(int64_t position);
    void Advance(int64_t by) { GaugePosition(gaugePosition_ + by); }

    // The catalogue: an error sets the counter to 1 and is logged unless aborted; for a
    // compare error the line names the buffer position and the byte there.
    void ReportError(unsigned code, uint8_t value);
    void ReportResult(unsigned code);

    // The Abort / Retry / Ignore question; Abort once the user has aborted.
    OperationHost::Answer AskAbortRetryIgnore(const std::string& text, const std::string& caption) {
        return host.AskAbortRetryIgnore(text, caption, running_);
    }

    // Shows the checksum of the buffer as it is now.
    void RefreshChecksum();

private:
    std::atomic<uint8_t>& errorCount_;
    std::atomic<bool>& running_;
    int64_t gaugeMaximum_ = 0;
    int64_t gaugePosition_ = 0;
};

}  // namespace kardo
