// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// The smallest stretch the editor ever shows: sixteen pages, so paging always has room.
inline constexpr std::size_t kSmallestEditorRange = 4096;

// How many buffer bytes the hex editor and its dialogs can reach for this device: the
// device's bytes (with an AVR's data EEPROM after the code, and both devices of an odd and
// even pair); for a PIC the whole area the loader fills, up to the ID, configuration and
// data bytes kept above the code. Never more than the buffer holds.
std::size_t EditorRange(const DeviceRecord& record, bool oddEven, std::size_t bufferSize);

}  // namespace kardo
