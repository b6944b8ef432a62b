// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ToolchainCheck.h"
#include "devicedb/DeviceRecord.h"

namespace kardo::dbsource {

// What gputils knows of one PIC: its processor table and configuration data as
// `gpasm -s -p PART` prints them.
struct GputilsPart {
    struct Range {
        uint32_t first = 0, last = 0;
        uint32_t Count() const { return last - first + 1; }
    };
    struct ConfigWord {
        uint32_t address = 0;
        uint32_t mask = 0;    // the implemented bits
        uint32_t erased = 0;  // gputils' default, the unprogrammed value (PIC18)
    };
    std::string core;          // "PIC12", "PIC14" or "PIC16E"
    uint32_t programSize = 0;  // words (PIC12, PIC14) or bytes (PIC16E)
    std::optional<Range> id, config, eeprom;
    std::vector<ConfigWord> words;  // empty when gputils has no configuration entries
};

struct GputilsLookup {
    std::optional<GputilsPart> part;
    std::string problem;  // why there is no part; empty when gpasm lists it without data
};

// gputils' name of a record's part: "PIC16F877A" -> "16f877a"; empty when the name is
// not one that may go into gpasm's command line.
std::string GputilsName(const DeviceRecord& record);
GputilsLookup LookUpGputilsPart(const std::string& name);

// Every way in which a PIC record disagrees with gputils, one line each: the core and
// layout against Variant and BlankValue, program memory against LastAddress, data
// EEPROM against EepromSize, the ID and configuration addresses against the layout,
// the implemented bits against ConfigMask, and for PIC18 the erased configuration
// that selection puts in the buffer against gputils' defaults.
std::vector<std::string> GputilsDisagreements(const DeviceRecord& record, const GputilsPart& part);

// Every PIC record (Family 'C') of a database file, each read from gpasm by its own name.
// A part gpasm lists but has no data for is named in `unknown`; a file that cannot be
// read, a part gpasm does not know, or a gpasm that cannot be run, is a problem.
ToolchainCheckReport CheckPicRecords(const std::vector<uint8_t>& databaseFile);

}  // namespace kardo::dbsource
