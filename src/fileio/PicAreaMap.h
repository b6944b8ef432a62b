// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// The areas of a PIC file that the loader looks for, as bits of MissingAreas.
namespace area {
inline constexpr uint8_t Data = 1u << 0;
inline constexpr uint8_t Config = 1u << 1;
inline constexpr uint8_t Id = 1u << 2;
}  // namespace area

// Where a PIC's ID, configuration and data-EEPROM records sit in a byte-addressed
// (Inh8m) file, and where they go in the buffer. The file keeps them at addresses
// beyond the code that depend on the core; the buffer keeps them at fixed positions.
struct PicAreaMap {
    // File byte addresses. For PIC18-style parts (byExtendedAddress) they are the
    // values of the extended-address records that open each area instead.
    uint32_t idFile = 0;
    uint32_t idBuffer = 0x4000;
    uint32_t configFile = 0x1FFE;
    uint32_t configBuffer = 0x400E;
    std::optional<uint32_t> eepromFile;  // first address; the range ends before eepromFileEnd
    uint32_t eepromFileEnd = 0;
    uint32_t eepromBuffer = 0;
    bool byExtendedAddress = false;
    uint8_t missingPreset = area::Config | area::Id;  // areas the file must bring

    bool InEepromRange(uint64_t address) const {
        return eepromFile && address >= *eepromFile && address < eepromFileEnd;
    }
};

PicAreaMap PicAreaMapFor(const DeviceRecord& record);

// The 14-bit parts (variants 1, 2, 4, 5, 7, 9, 10) whose files keep the ID and
// configuration words at word 0x2000 and 0x2007 and the data EEPROM at word 0x2100, or
// above 64 KiB for configuration codes 46 to 48.
bool KeepsAreasAtWord2000(uint8_t variant);

// The word addresses of the ID and configuration records of a word-addressed (Inx16)
// file; their buffer positions are those of the byte-addressed map.
struct PicWordMap {
    uint32_t idWord = 0;
    uint32_t configWord = 0x0FFF;
    // PIC18-style parts: their data EEPROM, one byte per EEPROM byte from this word on,
    // goes back to the EEPROM position of the buffer.
    uint32_t eepromWord = 0;
    uint32_t eepromWordEnd = 0;  // exclusive; no range when equal
};

// Where a PIC18-style part's data EEPROM is kept in a word-addressed file.
inline constexpr uint32_t kPic18Inx16EepromWord = 0x4200;

PicWordMap PicWordMapFor(const DeviceRecord& record);

}  // namespace kardo
