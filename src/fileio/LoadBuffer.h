// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"
#include "fileio/FileSettings.h"

namespace kardo {

// The sizes one load works with.
struct LoadSizes {
    // The device size of the bigger-than-device test and of the progress bar: a byte
    // stored above it marks the file as bigger than the device.
    int64_t capacity = 0;
    // The size the buffer is re-created at: the positions a load may write.
    std::size_t bufferSize = 0;
};

// The data EEPROM of the ISP parts whose buffer holds it after the code: its first
// buffer position and its size. No program step writes it.
struct BufferArea {
    std::size_t start = 0;
    std::size_t size = 0;
};
std::optional<BufferArea> IspDataEepromArea(const DeviceRecord& record);
// The ISP configuration codes whose buffer keeps the data EEPROM after the code: a
// property of their configuration sheet.
bool ConfigCodeKeepsDataEeprom(const DeviceRecord& record);

// `oddEven` is the "Odd && Even programming" option, which only matters for family 'R'.
// A buffer is never smaller than the device, and a PIC18-style part always gets the
// 1 MiB that its ID, configuration and EEPROM positions need.
LoadSizes LoadSizesFor(const DeviceRecord& record, bool oddEven);

// Re-creates the buffer for a load at `size` and fills it as `fillOption` says: the
// device's erased pattern, 0x00 or 0xFF, as byte pairs for the word families (so that
// 0xFF gives 0x00, 0xFF pairs there). A PIC18-style part then gets its configuration
// defaults. With no fill, the bytes the old buffer had at the same positions stay.
void PrepareLoadBuffer(DeviceBuffer& buffer, const DeviceRecord& record, std::size_t size,
                       uint8_t fillOption);

}  // namespace kardo
