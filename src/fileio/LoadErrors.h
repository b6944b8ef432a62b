// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kardo {

// The result of a load, left in the error counter: 0 is success.
namespace load {
inline constexpr uint8_t Ok = 0;
inline constexpr uint8_t ReadFailure = 1;    // the file ended inside a record, or no reader
inline constexpr uint8_t ChecksumError = 2;  // a record's checksum is wrong
// The file does not start with the format's record mark: told in the log, no sound.
inline constexpr uint8_t NotThisFormat = 3;
// A two-character field that is not a hexadecimal number: told in a message box.
inline constexpr uint8_t NotHexadecimal = 4;
inline constexpr uint8_t NotIntelHex = 20;    // no end record, a record too long, a bad type
inline constexpr uint8_t NotMotorola = 21;    // no S7, S8 or S9 record
inline constexpr uint8_t NotInh8m = 22;       // no end record
inline constexpr uint8_t NotInx16 = 23;       // no end record
inline constexpr uint8_t OutsideBuffer = 70;  // a byte falls outside the buffer
}  // namespace load

}  // namespace kardo
