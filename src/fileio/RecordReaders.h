// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "fileio/LoadSession.h"
#include "fileio/PicAreaMap.h"

namespace kardo {

// One reader per format. Each reads records until the end record and returns the
// load's result code; `offset` is added to every file address.
uint8_t ReadIntelHex(LoadSession& session, int64_t offset);
uint8_t ReadMotorola(LoadSession& session, int64_t offset);

// The PIC formats move the ID, configuration and EEPROM bytes to their buffer
// positions by the device's map (none outside family 'C') and clear, in `missing`, the
// bits of the areas they meet.
struct PicPlacement {
    std::optional<PicAreaMap> bytes;  // extended-address areas of byte-addressed files
    std::vector<PicFileArea> areas;   // the areas data-record addresses find
    uint8_t variant = 0;
    uint8_t configCode = 0;
};
uint8_t ReadInh8m(LoadSession& session, const PicPlacement& placement, uint8_t& missing);
uint8_t ReadInx16(LoadSession& session, const PicPlacement& placement, uint8_t& missing);

}  // namespace kardo
