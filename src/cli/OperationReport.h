// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "cli/Console.h"

namespace kardo::cli {

// What one device operation came to, for --json, --log and the summary of a --repeat run.
struct OperationOutcome {
    std::string programmer;  // in a gang: the programmer's name
    std::string device;      // MANUFACTURER/DEVICE
    char code = 0;
    std::string file;  // the file programmed, verified or read into, if any
    std::string fileSha256;
    std::optional<uint64_t> serialNumber;
    bool passed = false;
    int errors = 0;
    int64_t durationMs = 0;
    std::string checksum;
    std::vector<std::string> log;  // with --json: the lines the operation logged
    // A chip whose signature did not match the device's made it fail.
    std::optional<std::array<uint8_t, 3>> signature;
    std::string problem;  // in a gang: why it failed, when not in the operation's own lines
};

// The result's JSON object, on one line.
std::string OperationJson(const OperationOutcome& outcome);

// Appends the outcome's production line to `logFile`. A log that cannot be written is a
// failure: a production line must not go on without its record.
void WriteProductionLog(const std::filesystem::path& logFile, const OperationOutcome& outcome,
                        const AppState& state);

// The production log the command writes to: --log, else the ProductionLog setting; empty
// for none.
std::filesystem::path ProductionLogFile(const std::optional<std::string>& option);

// After a chip whose signature differed from the device's: what it was, what the device
// has, and how to go on. Empty when the check did not fail.
std::string SignatureAdvice(const std::optional<std::array<uint8_t, 3>>& found,
                            const DeviceRecord& record, const std::string& device);

}  // namespace kardo::cli
