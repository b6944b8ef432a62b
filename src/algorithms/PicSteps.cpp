// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/PicSteps.h"

#include <algorithm>
#include <cstdint>

#include "devicedb/BufferRules.h"

namespace kardo {

uint8_t SelectPicStep(uint8_t mask, char& operationCode, PicStepState& state) {
    if ((mask & picstep::EraseFirst) != 0 && operationCode == 'P') {
        operationCode = 'E';
        state.eraseBeforeProgram = true;
        return static_cast<uint8_t>(mask & ~picstep::EraseFirst);
    }
    mask &= static_cast<uint8_t>(~picstep::EraseFirst);
    static constexpr struct {
        uint8_t bit;
        char letter;
    } kSteps[] = {{picstep::Code, 'P'},
                  {picstep::Data, '1'},
                  {picstep::Id, '2'},
                  {picstep::TwoByte, '3'},
                  {picstep::Config, '4'}};
    for (const auto& step : kSteps) {
        if ((mask & step.bit) != 0) {
            state.StepLetter = step.letter;
            // The bit and every lower one.
            return static_cast<uint8_t>(mask & ~(step.bit | (step.bit - 1)));
        }
    }
    return 0;
}

PicArea PicAreaSetup(const DeviceRecord& record, char stepLetter, char operationCode,
                     bool wholeArea) {
    const PicBufferAreas at = PicBufferAreasFor(record);
    const bool pic18 = record.Variant() == 18;
    const int32_t eepromBytes = int32_t{record.EepromSize()} + 1;
    PicArea area;
    switch (stepLetter) {
        case '1':
            area.areaByte = record.ConfigCode() == 0x28 ? 0x00 : 'd';
            area.position = at.data;
            area.count = pic18 ? eepromBytes : eepromBytes * 2;
            break;
        case '2':
            area.areaByte = 'i';
            area.position = at.id;
            area.count = 8;
            break;
        case '3':
            area.areaByte = 'k';
            area.count = 2;
            break;
        case '4':
            area.areaByte = 'c';
            area.position = at.config;
            area.count = record.ConfigCount();
            area.isConfig = true;
            break;
        default: {
            area.areaByte = 'p';
            area.position = 0;
            int64_t count = record.Size();
            if (operationCode == 'B' && record.Variant() == 5) {
                count -= 2;
            }
            const uint8_t v = record.Variant();
            if (!wholeArea && (record.ConfigCode() == 0x20 || v == 11 || v == 6)) {
                count -= 2;
            }
            area.count = static_cast<int32_t>(std::min<int64_t>(count, INT32_MAX));
            break;
        }
    }
    return area;
}

const char* PicCompletionLine(char stepLetter, PicDone done) {
    static constexpr struct {
        char letter;
        const char* lines[4];
    } kLines[] = {
        {'P',
         {" Code Area Read", " Code Area Verified", " Code Area Programmed", " Code Area Blank"}},
        {'1',
         {" Data Area Read", " Data Area Verified", " Data Area Programmed", " Data Area Blank"}},
        {'2', {" ID Bytes Read", " ID Bytes Verified", " ID Bytes Programmed", " ID Bytes Blank"}},
        {'4',
         {" Config Bytes Read", " Config Bytes Verified", " Config Bytes Programmed",
          " Config Bytes Blank"}},
    };
    for (const auto& row : kLines) {
        if (row.letter == stepLetter) {
            return row.lines[static_cast<int>(done)];
        }
    }
    return nullptr;
}

}  // namespace kardo
