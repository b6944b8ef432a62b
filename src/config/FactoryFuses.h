// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "config/ConfigBits.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// The fuse and lock bytes a part leaves the factory with, as the configuration dialog
// holds them: the lock byte as its sheet writes "Lock Bits off".
struct FuseBytes {
    uint8_t FuseLow, FuseHigh, FuseExt, LockBits;
};

// The factory bytes of an ISP part whose programming ends with its fuses (Variant 30
// and 32), found by its signature; none for every other part.
std::optional<FuseBytes> FactoryFuses(const DeviceRecord& record);

// A newly selected part with fuses starts from its factory bytes, so that programming it
// without opening Config writes no fuse or lock bit the user did not choose: the bytes
// chosen for another part could disable its reset pin or lock it. Returns whether it did.
bool StartFromFactoryFuses(ConfigBits& bits, const DeviceRecord& record);

}  // namespace kardo
