// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/PicAreaMap.h"

#include <algorithm>

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
        // Words 0x4200 (EEPROM) and 0x7F00 (configuration) lie above the code and the
        // eight ID words after it for parts of up to 0x83F0 bytes. Larger code would
        // reach them: there the configuration and the EEPROM follow the ID instead.
        const uint32_t codeWords = map.idWord;
        const bool aboveCode = codeWords + 8 > kPic18Inx16EepromWord;
        map.configWord = aboveCode ? codeWords + 8 : 0x7F00;
        map.eepromWord = aboveCode ? codeWords + 16 : kPic18Inx16EepromWord;
        map.eepromWordEnd = map.eepromWord + (record.EepromSize() + 2u) / 2;
    }
    return map;
}

namespace {

// The configuration bytes a part keeps, whole words.
int64_t ConfigBytes(const DeviceRecord& record) {
    if (record.Variant() == 18) {
        return 14;
    }
    return std::max<int64_t>(2, (record.ConfigCount() + 1) & ~1);
}

int64_t IdBytes(const DeviceRecord& record) {
    return record.Variant() == 18 ? 16 : 8;
}

}  // namespace

std::vector<PicFileArea> Inh8mAreasFor(const DeviceRecord& record) {
    const PicAreaMap map = PicAreaMapFor(record);
    if (map.byExtendedAddress) {
        return {};
    }
    std::vector<PicFileArea> areas = {
        {map.idFile, map.idFile + IdBytes(record), map.idBuffer, area::Id},
        {map.configFile, map.configFile + ConfigBytes(record), map.configBuffer, area::Config},
    };
    if (map.eepromFile) {
        areas.push_back({*map.eepromFile, map.eepromFileEnd, map.eepromBuffer, area::Data});
    }
    return areas;
}

std::vector<PicFileArea> Inx16AreasFor(const DeviceRecord& record) {
    const PicAreaMap bytes = PicAreaMapFor(record);
    const PicWordMap words = PicWordMapFor(record);
    std::vector<PicFileArea> areas = {
        {2 * int64_t{words.idWord}, 2 * int64_t{words.idWord} + IdBytes(record), bytes.idBuffer,
         area::Id},
        {2 * int64_t{words.configWord}, 2 * int64_t{words.configWord} + ConfigBytes(record),
         bytes.configBuffer, area::Config},
    };
    if (words.eepromWordEnd > words.eepromWord) {
        areas.push_back({2 * int64_t{words.eepromWord}, 2 * int64_t{words.eepromWordEnd},
                         bytes.eepromBuffer, area::Data});
    }
    return areas;
}

int64_t PicBytePosition(const std::vector<PicFileArea>& areas, int64_t recordStart, int64_t address,
                        uint8_t& missing) {
    for (const PicFileArea& a : areas) {
        if (address >= a.fileStart && address < a.fileEnd) {
            missing &= static_cast<uint8_t>(~a.bit);
            return a.buffer + (address - a.fileStart);
        }
    }
    for (const PicFileArea& a : areas) {
        if (recordStart >= a.fileStart && recordStart < a.fileEnd) {
            return a.buffer + (address - a.fileStart);
        }
    }
    return address;
}

}  // namespace kardo
