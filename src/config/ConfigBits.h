// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace kardo {

// The fuse, lock and calibration values edited for AVR and 8051 parts (and the status
// register and write protection of the serial and parallel memories). One set for the
// whole run, all zero at start. Selecting another part with fuses puts that part's
// factory bytes into the four fuse and lock bytes; the rest is kept. The ISP fuse step
// programs FuseLow, FuseHigh, FuseExt and LockBits from it.
struct ConfigBits {
    uint8_t FuseLow = 0;
    uint8_t FuseHigh = 0;
    uint8_t FuseExt = 0;
    uint8_t LockBits = 0;
    uint8_t SdpOn = 0;         // parallel EEPROM software data protection: 1 on
    uint8_t SecurityByte = 0;  // 8051 security register
    bool CalProgram = false;   // "Program @" of the calibration group
    uint8_t CalIndex = 0;      // 1..4 for CAL0..CAL3, 0 none
    uint8_t CalValue = 0;
    std::array<uint8_t, 4> CalSlots{};
    uint32_t CalOffset = 0;  // buffer offset of the calibration byte; 0 until set
};

}  // namespace kardo
