// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// The buffer at start-up, before any device is selected.
inline constexpr std::size_t kStartupBufferSize = 0x200000;

// The largest image we allocate for one device. No part we know of comes near it; a
// record asking for more is corrupt, and we refuse it rather than exhaust memory.
inline constexpr std::size_t kLargestBufferSize = 0x4000000;

// Buffer size for a device: the device size rounded up to 64 KiB; to 128 KiB for 'C'
// and 'M'; 1 MiB for PIC18-style parts ('C', Variant 18); doubled for 'O'.
// nullopt for a record whose size is negative or beyond kLargestBufferSize.
std::optional<std::size_t> BufferSizeFor(const DeviceRecord& record);

// True for the families whose buffer holds 16-bit words as byte pairs.
bool HoldsWordPairs(char family);

// Fills the whole buffer with the device's erased pattern: BlankValue, 0xFF pairs for
// the word families, BlankValue bytes otherwise. The position returns to the start.
void FillErased(DeviceBuffer& buffer, const DeviceRecord& record);

// PIC18-style parts get their erased configuration bytes (see Pic18ErasedConfig: the
// record's mask bytes for most) at the configuration position after the erase fill.
inline constexpr std::size_t kPic18ConfigPosition = 0xF0010;
void PlacePic18ConfigDefaults(DeviceBuffer& buffer, const DeviceRecord& record);

// "Odd && Even programming": the buffer becomes the image of the two devices of a pair,
// 2 x (LastAddress + 1) bytes of BlankValue, position at the start. False, and the buffer
// as it was, for a size beyond what we allocate.
bool AllocateOddEvenBuffer(DeviceBuffer& buffer, const DeviceRecord& record);

// Where a PIC keeps its ID bytes, its configuration bytes and its data EEPROM in the
// buffer: above 0xF0000 for PIC18-style parts (Variant 18); above the code at 64 KiB for
// configuration codes 46 to 48, whose code reaches past 0x4000 and where the file
// loader and writer keep these areas; at 0x4000, 0x400E and 0x4200 for every other PIC.
// The device operations and the checksum use the same positions.
struct PicBufferAreas {
    std::size_t id = 0x4000;
    std::size_t config = 0x400E;
    std::size_t data = 0x4200;
};
PicBufferAreas PicBufferAreasFor(const DeviceRecord& record);

}  // namespace kardo
