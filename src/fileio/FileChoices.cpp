// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/FileChoices.h"

#include "common/Format.h"
#include "fileio/FileSettings.h"

namespace kardo {

std::string FileDialogFilterFor(char family) {
    switch (family) {
        case 'C':
            return "Inh8m (*.HEX)|*.hex|All Files (*.*)|*.*";
        case 'P':
            return "Jedec (*.JED)|*.jed|All Files (*.*)|*.*";
        default:
            return "Intel Hex (*.HEX)|*.hex|Motorola (*.MOT)|*.MOT|Binary (*.BIN)|*.bin|All Files "
                   "(*.*)|*.*";
    }
}

uint8_t LoadFormatFor(char family, int filterIndex) {
    if (family == 'C')
        return format::Inh8m;
    if (family == 'P')
        return format::Jedec;
    return static_cast<uint8_t>(filterIndex - 1);
}

std::string DefaultSaveStopText(const DeviceRecord& record, bool oddEven) {
    const auto last = static_cast<uint32_t>(record.LastAddress());
    uint32_t stop = last;
    bool known = true;
    if (record.Family() == 'M') {
        // Tested in this order; the last rule that applies wins.
        known = false;
        const auto take = [&](uint32_t value) {
            stop = value;
            known = true;
        };
        if (record.Variant() == 35) take(last + 0x20);
        if (record.ManufId() == 0xBF && record.DeviceId() == 0x91) take(last + 0x2000);
        if (record.ConfigCode() == 0xCB || record.ConfigCode() == 0xD1) take(last + record.EepromSize());
    }
    if (record.Family() == 'R' && oddEven) {
        stop = 2 * last + 1;
    }
    return known ? Format("%08X", stop) : std::string();
}

}  // namespace kardo
