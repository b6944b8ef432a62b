// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// One section of a saved PIC file: where it is read in the buffer, the byte address it
// is written at, how many bytes, whether an extended-address record must open it, and
// whether its byte pairs are exchanged (buffer words are high byte first, Inh8m files
// low byte first).
struct PicSection {
    uint32_t buffer = 0;
    uint32_t file = 0;
    uint32_t length = 0;
    bool extendedAddress = false;
    bool exchanged = true;
};

// The sections a PIC file is written in, in order: code, data EEPROM, ID, configuration.
struct PicSections {
    PicSection code;
    std::optional<PicSection> eeprom;
    std::optional<PicSection> id;
    PicSection config;
};

PicSections PicSectionsFor(const DeviceRecord& record);

}  // namespace kardo
