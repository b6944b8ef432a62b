// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The PIC parts whose area maps differ: each input goes through all of them.
#include "LoaderFuzzing.h"

namespace kardo::fuzz {

inline void LoadIntoEveryPicMap(const std::vector<uint8_t>& bytes, uint8_t fileFormat) {
    static const DeviceRecord parts[] = {
        Device('C', 0x3FF, 6, 0x0F),       // 12-bit: areas above the code
        Device('C', 0x7FF, 2, 0x09, 63),   // 14-bit with data EEPROM at 0x4200
        Device('C', 0x3FFF, 2, 46, 0x7F),  // areas at 0x10000 and EEPROM at 0x1E000
        Device('C', 0x7FF, 8, 0),          // configuration at 0xFE00 to 0x800E
        Device('C', 0x7FFF, 18, 47, 255),  // PIC18: areas by extended address
    };
    for (const DeviceRecord& part : parts) {
        LoadAndCheck(bytes, part, fileFormat);
    }
}

}  // namespace kardo::fuzz
