// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// The chip in the virtual programmer's socket: the memory areas the programmer can
// read and write for its family, and the ISP parts' signature, fuses and lock byte.
struct VirtualChip {
    char family = 0;
    std::string name;
    uint8_t variant = 0;
    uint8_t configCode = 0;
    uint8_t blankValue = 0xFF;

    std::vector<uint8_t> memory;  // EEPROM array, PIC code area, ISP flash
    std::vector<uint8_t> data;    // PIC data EEPROM as transferred; AVR data EEPROM
    std::vector<uint8_t> id;      // PIC ID bytes
    std::vector<uint8_t> step;    // PIC two-byte step
    std::vector<uint8_t> config;  // PIC configuration bytes

    std::array<uint8_t, 3> signature{};
    uint8_t lockByte = 0x00;  // lock bits read back: 0x04, 0x08, 0x10 set once programmed
    uint8_t fuseLow = 0xFF, fuseHigh = 0xFF, fuseExt = 0xFF, lockBits = 0xFF;

    // A blank chip of the device a record describes.
    static VirtualChip For(const DeviceRecord& record);
    // A blank chip from what a parameter upload tells (when no record was given).
    static VirtualChip FromParameters(uint32_t size, char family, uint8_t variant,
                                      uint16_t dataCount);

    // Every area back to its erased pattern: 0xFF bytes for EEPROMs, BlankValue, 0xFF
    // pairs for PICs and ISP flash (0x0F for 12-bit cores, 0x3F for 14-bit cores, 0xFF
    // for PIC18 and ISP parts); lock bits unprogrammed.
    void Erase();

    // Kept between runs in a file of its own. Save replaces the file in one step and
    // gives the reason when it cannot; empty on success.
    std::string Save(const std::filesystem::path& file) const;
    bool SameDevice(const VirtualChip& other) const;
};

// What a chip file held when it was read.
struct ChipFile {
    enum class Status {
        Missing,        // no file yet: one will be made
        Loaded,         // `chip` holds it
        NotAChipImage,  // some other file, or one of ours cut short: never replaced
        Unreadable,     // a folder, a device, no permission, a failed read
    };
    Status status = Status::Missing;
    std::optional<VirtualChip> chip;
    std::string reason;  // for Unreadable
};

ChipFile LoadChipFile(const std::filesystem::path& file);

}  // namespace kardo
