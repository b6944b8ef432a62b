// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace kardo::test {

// Small database files for tests, with values chosen to make each rule visible.
//   KARDO_e.usb: ATMEL {AT28C16, AT28C256}, XICOR {X28C64}
//   KARDO_m.usb: MICROCHIP {PIC16F84A, PIC18F452}, ATMEL {ATmega8}
void WriteTestDatabases(const std::filesystem::path& directory, bool eeprom = true,
                        bool micro = true);

}  // namespace kardo::test
