// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the checks of a database against a toolchain's own data share: running the
// toolchain, and reading the records of a database file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devicedb/DeviceRecord.h"

namespace kardo::dbsource {

// Runs a shell command and gives its standard output; nullopt when it did not exit 0.
// Callers put only names they have checked to be letters and digits into it.
std::optional<std::string> CommandOutput(const std::string& command);

// True for a name that may go into a command line: letters and digits only.
bool PlainName(const std::string& name);

struct ToolchainCheckReport {
    int checked = 0;                    // records read from the toolchain
    std::vector<std::string> problems;  // "NAME: what differs", or why a part was not read
    std::vector<std::string> unknown;   // parts the toolchain lists without data for them
};

// Every record of a database file, aliases included; none, and the reason among the
// report's problems, when the file cannot be read as a database.
std::vector<DeviceRecord> RecordsOf(const std::vector<uint8_t>& databaseFile,
                                    ToolchainCheckReport& report);

}  // namespace kardo::dbsource
