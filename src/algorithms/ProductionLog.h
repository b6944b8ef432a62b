// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "link/Connection.h"
#include "link/ProgrammerLink.h"

namespace kardo {

// One line of a production log: what happened to one chip, as JSON on one line (JSON
// Lines), for the window and kardo-cli alike.
struct ProductionRecord {
    std::string time;  // ISO 8601 with the zone: TimeNowIso8601()
    std::string host;
    uint8_t programmerModel = 0;
    uint32_t firmware = 0;
    std::string programmerSerial;  // the USB bridge's, when it has one
    std::string programmerName;    // when several are attached and it is not the serial
    std::string device;            // MANUFACTURER/DEVICE
    std::string operation;         // blank, read, program, verify, erase
    std::string file;              // empty when the operation used none
    std::string fileSha256;
    std::string checksum;  // the buffer's, as the window shows it
    std::optional<uint64_t> serialNumber;
    bool passed = false;
    int errors = 0;
    int64_t durationMs = 0;
};

// A record of now, this computer and the programmer behind `link`; the rest is the
// caller's.
ProductionRecord NewProductionRecord(const ConnectionState& connection, const ProgrammerLink* link);

std::string ProductionLine(const ProductionRecord& record);

// Appends `line` and a line feed to `file` in one write to a file opened for appending,
// so that programs sharing the file never mix their lines; the file is made when it is
// missing. Returns the reason of a failure, with the system's text.
std::string AppendProductionLine(const std::filesystem::path& file, const std::string& line);

// The local time now, as 2026-12-10T14:03:27+01:00.
std::string TimeNowIso8601();
// This computer's name.
std::string HostName();

// The operation's name in the log, from its code ('B', 'R', 'P', 'V', 'E').
const char* OperationName(char code);

}  // namespace kardo
