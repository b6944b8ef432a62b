// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// Serial numbers for production runs: before each Program the next number is written
// into the buffer as `digits` ASCII characters ('0'-'9', and 'A'-'F' in hex), one byte
// each, at `address`, most significant digit first unless `msdFirst` is false; after a
// successful program and verify the number advances by `increment`.
struct SerialNumberSettings {
    bool enabled = false;  // "Serial Number Insertion"
    uint8_t digits = 2;    // 2, 4 ... 16
    uint32_t increment = 1;
    uint64_t next = 0;  // the number the next Program writes
    uint32_t address = 0;
    bool hex = true;
    bool msdFirst = true;
};

// The number as text of exactly `digits` digits, most significant first; nullopt when
// it needs more digits than that.
std::optional<std::string> SerialNumberText(uint64_t number, uint8_t digits, bool hex);
// The text of a starting number in hex or decimal; nullopt when it is not one (empty
// text is 0).
std::optional<uint64_t> ParseSerialNumber(const std::string& text, bool hex);

// Whether Program writes a serial number for this device: ticked, and offered by it.
bool WritesSerialNumber(const DeviceRecord& record, const SerialNumberSettings& serial);

// Writes the next number into the buffer before a Program. The line says what was
// written and where, or why nothing was: a number with more digits than chosen, or one
// that would not fit the device. Only `written` lets the operation go on.
struct SerialInsertion {
    bool written = false;
    std::string line;
};
SerialInsertion InsertSerialNumber(DeviceBuffer& buffer, const DeviceRecord& record,
                                   const SerialNumberSettings& serial);

// After a Program and Verify that succeeded.
void AdvanceSerialNumber(SerialNumberSettings& serial);

}  // namespace kardo
