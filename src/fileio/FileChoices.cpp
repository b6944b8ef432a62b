// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/FileChoices.h"

#include "common/Format.h"
#include "fileio/FileSettings.h"
#include "fileio/LoadBuffer.h"

#include <algorithm>
#include <cctype>

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

int LoadFilterIndexFor(char family, const std::filesystem::path& file) {
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    };
    std::string wanted = "*";  // in steps: GCC 12 warns of "*" + a temporary as overlapping
    wanted += lower(file.extension().string());
    const std::string filter = FileDialogFilterFor(family);
    // "description|pattern|description|pattern": every second field is a pattern.
    int index = 0;
    for (std::size_t at = 0, field = 0; at <= filter.size(); ++field) {
        const std::size_t end = std::min(filter.find('|', at), filter.size());
        if (field % 2 == 1) {
            ++index;
            if (lower(filter.substr(at, end - at)) == wanted)
                return index;
        }
        at = end + 1;
    }
    return index;  // the last filter, "All Files"
}

std::string DefaultSaveStopText(const DeviceRecord& record, bool oddEven) {
    const auto last = static_cast<uint32_t>(std::max<int64_t>(0, record.LastAddress()));
    uint32_t stop = last;
    if (record.Family() == 'M') {
        // What the buffer holds past the code: the part's extra bytes, or its data
        // EEPROM, so that a save with the dialog's values keeps all of the part. Tested
        // in this order; the last rule that applies wins.
        if (record.Variant() == 35)
            stop = last + 0x20;
        if (record.ManufId() == 0xBF && record.DeviceId() == 0x91)
            stop = last + 0x2000;
        if (ConfigCodeKeepsDataEeprom(record) && record.EepromSize() != 0)
            stop = last + record.EepromSize();
    }
    if (record.Family() == 'R' && oddEven) {
        stop = 2 * last + 1;
    }
    return Format("%08X", stop);
}

}  // namespace kardo
