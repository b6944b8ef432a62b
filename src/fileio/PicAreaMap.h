// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

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

// One area of a PIC file that the buffer keeps somewhere else: the byte at file byte
// address A, fileStart <= A < fileEnd, goes to buffer + (A - fileStart). Word-addressed
// files count in bytes too, twice the word address.
struct PicFileArea {
    int64_t fileStart = 0;
    int64_t fileEnd = 0;
    int64_t buffer = 0;
    uint8_t bit = 0;  // the MissingAreas bit it clears
};

// The areas of a byte-addressed file that data-record addresses find (none for the
// PIC18-style parts, whose areas are opened by extended-address records), and of a
// word-addressed file.
std::vector<PicFileArea> Inh8mAreasFor(const DeviceRecord& record);
std::vector<PicFileArea> Inx16AreasFor(const DeviceRecord& record);

// Where the byte at file byte address `address` of a record that begins at
// `recordStart` goes: by its own address, so that a file loads the same however its
// records are cut. A byte past the end of an area in a record that begins inside it
// follows the area, as such records have always been read. Clears, in `missing`, the
// bit of the area the byte lands in.
int64_t PicBytePosition(const std::vector<PicFileArea>& areas, int64_t recordStart, int64_t address,
                        uint8_t& missing);

}  // namespace kardo
