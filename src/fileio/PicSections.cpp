// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/PicSections.h"

#include "fileio/PicAreaMap.h"

namespace kardo {

PicSections PicSectionsFor(const DeviceRecord& record) {
    PicSections s;
    const auto last = static_cast<uint32_t>(record.LastAddress());
    const uint8_t variant = record.Variant();
    const uint32_t eepromBytes = record.EepromSize() + 1u;
    s.code = {0, 0, (last | 0xFu) + 1};
    s.config = {0x400E, 0x1FFE, record.ConfigCount()};
    s.id = PicSection{0x4000, s.code.length, 8};
    if (variant == 3 || variant == 8) {
        s.id.reset();
        s.config = {variant == 3 ? 0x400Eu : 0x800Eu, 0xFE00, record.ConfigCount()};
    } else if (variant == 18) {
        // One buffer byte per EEPROM byte, written in order.
        s.eeprom = PicSection{0xF0200, 0xF00000, eepromBytes, true, false};
        s.id = PicSection{0xF0000, 0x200000, 16, true};
        s.config = {0xF0010, 0x300000, 14, true};
    } else if (KeepsAreasAtWord2000(variant)) {
        // The data EEPROM takes a word of the buffer for each of its bytes; the same codes
        // that move these areas above the code on loading (46 to 48) move them here.
        const bool above = record.ConfigCode() >= 46 && record.ConfigCode() <= 48;
        if (variant == 2 || record.EepromSize() != 0) {
            s.eeprom = above ? PicSection{0x10200, 0x1E000, 2 * eepromBytes, true}
                             : PicSection{0x4200, 0x4200, 2 * eepromBytes};
        }
        s.id = above ? PicSection{0x10000, 0x10000, 8, true} : PicSection{0x4000, 0x4000, 8};
        s.config = above ? PicSection{0x1000E, 0x1000E, record.ConfigCount(), true}
                         : PicSection{0x400E, 0x400E, record.ConfigCount()};
    }
    return s;
}

}  // namespace kardo
