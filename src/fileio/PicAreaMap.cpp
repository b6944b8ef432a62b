// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/PicAreaMap.h"

namespace kardo {

bool KeepsAreasAtWord2000(uint8_t variant) {
    switch (variant) {
        case 1:
        case 2:
        case 4:
        case 5:
        case 7:
        case 9:
        case 10:
            return true;
        default:
            return false;
    }
}

PicAreaMap PicAreaMapFor(const DeviceRecord& record) {
    PicAreaMap map;
    const auto last = static_cast<uint32_t>(record.LastAddress());
    map.idFile = (last | 0xFu) + 1;
    const uint8_t variant = record.Variant();
    const uint8_t withData = record.EepromSize() != 0 ? area::Data : 0;
    if (variant == 3) {
        map.configFile = 0xFE00;
        map.missingPreset = area::Config;
    } else if (variant == 8) {
        map.configFile = 0xFE00;
        map.configBuffer = 0x800E;
        map.missingPreset = area::Config;
    } else if (KeepsAreasAtWord2000(variant) && record.ConfigCode() < 46) {
        map.idFile = 0x4000;
        map.configFile = 0x400E;
        map.missingPreset = area::Config | area::Id | withData;
    } else if (KeepsAreasAtWord2000(variant)) {
        map.idFile = map.idBuffer = 0x10000;
        map.configFile = map.configBuffer = 0x1000E;
        map.eepromFile = 0x1E000;
        // One word for each EEPROM byte; EepromSize counts the bytes less one.
        map.eepromFileEnd = 0x1E000 + 2u * (record.EepromSize() + 1u);
        map.eepromBuffer = 0x10200;
        map.missingPreset = area::Config | area::Id | withData;
    } else if (variant == 18) {
        map.byExtendedAddress = true;
        map.idFile = 0x0020;
        map.idBuffer = 0xF0000;
        map.configFile = 0x0030;
        map.configBuffer = 0xF0010;
        map.eepromFile = 0x00F0;
        map.eepromFileEnd = 0x00F1;
        map.eepromBuffer = 0xF0200;
        map.missingPreset = area::Config | area::Id | withData;
    }
    return map;
}

PicWordMap PicWordMapFor(const DeviceRecord& record) {
    PicWordMap map;
    map.idWord = static_cast<uint32_t>((static_cast<int64_t>(record.LastAddress()) + 1) / 2);
    const uint8_t variant = record.Variant();
    if (variant == 1 || variant == 2 || variant == 4 || variant == 5 || variant == 7 ||
        variant == 9) {
        map.idWord = 0x2000;
        map.configWord = 0x2007;
    } else if (variant == 3 || variant == 8) {
        map.configWord = 0xFE00;
    } else if (variant == 18) {
        map.configWord = 0x7F00;
        map.eepromWord = kPic18Inx16EepromWord;
        map.eepromWordEnd = kPic18Inx16EepromWord + (record.EepromSize() + 2u) / 2;
    }
    return map;
}

}  // namespace kardo
