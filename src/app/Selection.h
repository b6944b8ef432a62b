// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>

#include "app/AppState.h"

namespace kardo {

// Which database files are in the directory: bit 1 for "KARDO_e.usb", bit 3 for
// "KARDO_m.usb".
uint8_t DatabaseFlagsIn(const std::filesystem::path& directory);

// After the parameter upload of a connected selection: the erased pattern, the PIC18
// configuration defaults, and, for a different device than before, the step mask and
// option switches from the record and, for a part with fuses, its factory fuse bytes.
void PrepareSelectedDevice(AppState& state, bool differentDevice);

// Every PIC selection ends with the code, data, ID and configuration steps chosen.
inline constexpr uint8_t kPicSelectionSteps = 0x17;

}  // namespace kardo
