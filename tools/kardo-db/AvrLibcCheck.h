// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Holds the AVR records of a database against avr-libc, the data the AVR toolchain
// builds programs with: signature, flash and EEPROM size, flash page size, the factory
// fuse bytes selection loads, and the name and position of every fuse bit the part's
// configuration sheet shows.
#include <cstdint>
#include <string>
#include <vector>

#include "AvrLibcData.h"
#include "devicedb/DeviceRecord.h"

namespace kardo::dbsource {

// The records the check applies to: ISP parts programmed with their fuses (Family 'M',
// Variant 30 or 32). The AT89S parts (Variant 0) are not AVRs.
bool IsAvrRecord(const DeviceRecord& record);

// What differs between a record (with its factory fuses and its sheet after the device
// rules) and avr-libc's data for it, one line a difference.
std::vector<std::string> CompareWithAvrLibc(const DeviceRecord& record, const AvrLibcPart& part);

struct AvrCheckReport {
    int checked = 0;                    // AVR records read from the toolchain
    std::vector<std::string> problems;  // "NAME: what differs", or why a part was not read
};

// Every AVR record of a database file, each read from the toolchain by its own name.
// A file that cannot be read, or a toolchain that cannot be run, is a problem too.
AvrCheckReport CheckAvrRecords(const std::vector<uint8_t>& databaseFile);

}  // namespace kardo::dbsource
