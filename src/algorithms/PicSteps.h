// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// The ProgBits of a PIC operation: one bit per area, and the erase before programming.
namespace picstep {
inline constexpr uint8_t Code = 0x01;     // 'P'
inline constexpr uint8_t Data = 0x02;     // '1'
inline constexpr uint8_t Id = 0x04;       // '2'
inline constexpr uint8_t TwoByte = 0x08;  // '3'
inline constexpr uint8_t Config = 0x10;   // '4'
inline constexpr uint8_t EraseFirst = 0x40;
}  // namespace picstep

// Where one PIC operation stands between its passes.
struct PicStepState {
    char StepLetter = 'P';  // 'P' code, '1' data, '2' ID, '3' two-byte step, '4' configuration
    bool eraseBeforeProgram = false;
    // Set at the start of every pass; blank check, program and verify clear it, read and
    // erase keep it. Only the code area's length depends on it.
    bool wholeArea = true;
};

// Takes the next step from the mask and returns what is left. A program operation with
// the erase bit first turns into an erase pass (the area stays as it was); otherwise the
// lowest area bit names the area, and it and every lower bit are cleared. A mask with
// no area bit left gives 0 and keeps the area.
uint8_t SelectPicStep(uint8_t mask, char& operationCode, PicStepState& state);

// One area of the chip as the programmer transfers it.
struct PicArea {
    uint8_t areaByte = 'p';
    std::optional<std::size_t> position;  // none: the routine's position stays
    int32_t count = 0;                    // bytes; may come out at or below zero
    bool isConfig = false;                // bytes compared and stored through ConfigMask
};

// The area byte, buffer position and byte count of the step's area. The code area of a
// blank check loses two bytes for Variant 5; blank check, program and verify keep two
// more bytes away from its end for ConfigCode 0x20 and Variants 6 and 11 (the factory
// calibration word), while a read covers it whole.
PicArea PicAreaSetup(const DeviceRecord& record, char stepLetter, char operationCode,
                     bool wholeArea);

// What a pass logs when it succeeded; nullptr for the two-byte step.
enum class PicDone { Read, Verified, Programmed, Blank };
const char* PicCompletionLine(char stepLetter, PicDone done);

}  // namespace kardo
