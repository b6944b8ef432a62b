// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kardo {

// What the configuration sheets of a ConfigCode tell the rest of the program, read from
// the sheet table rather than listed again, so that a new sheet brings them along.

// Whether the sheet edits an extended fuse byte. The fuse step sends that byte after the
// high fuse exactly for these parts, and the virtual programmer waits for it for the same
// parts, so that a choice the sheet offers is never shown without being programmed.
bool HasExtendedFuse(uint8_t configCode);

// Whether the sheet edits a high fuse byte: the AVRs whose fuse step sends one.
bool HasHighFuse(uint8_t configCode);

// Whether the buffer of the ISP parts of this sheet keeps their data EEPROM after the
// code: file loads are sized for code and EEPROM, and a save's default stop takes both.
bool KeepsDataEeprom(uint8_t configCode);

}  // namespace kardo
