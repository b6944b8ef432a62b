// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devicedb/DeviceRecord.h"

namespace kardo::test {

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
    std::string problem;  // why there is no part: gputils missing, or no data for the part
};

// gputils' name of a record's part: "PIC16F877A" -> "16f877a".
std::string GputilsName(const DeviceRecord& record);
GputilsLookup LookUpGputilsPart(const std::string& name);

// Every way in which a PIC record disagrees with gputils, one line each: the core and
// layout against Variant and BlankValue, program memory against LastAddress, data
// EEPROM against EepromSize, the ID and configuration addresses against the layout,
// the implemented bits against ConfigMask, and for PIC18 the erased configuration
// that selection puts in the buffer against gputils' defaults.
std::vector<std::string> GputilsDisagreements(const DeviceRecord& record, const GputilsPart& part);

}  // namespace kardo::test
