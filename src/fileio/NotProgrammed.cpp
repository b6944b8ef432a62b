// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/NotProgrammed.h"

#include <algorithm>

#include "common/Format.h"
#include "fileio/LoadBuffer.h"

namespace kardo {

std::string NotProgrammedText(const DeviceRecord& record, const DeviceBuffer& buffer) {
    if (record.Family() == 'C') {
        return {};
    }
    const int64_t last = std::max<int64_t>(0, record.LastAddress());
    auto above = static_cast<std::size_t>(last);  // the highest position programming writes
    if (const auto eeprom = IspDataEepromArea(record)) {
        // Anything but the erased value there was meant for the chip.
        const std::size_t end = std::min(eeprom->start + eeprom->size, buffer.BufferSize());
        const uint8_t* bytes = buffer.data();
        const uint8_t erased = record.BlankValue();
        const auto isData = [erased](uint8_t b) { return b != erased; };
        const uint8_t* first =
            std::find_if(bytes + std::min(eeprom->start, end), bytes + end, isData);
        if (first != bytes + end) {
            const auto rlast = std::find_if(std::reverse_iterator(bytes + end),
                                            std::reverse_iterator(first), isData);
            return Format("data EEPROM bytes 0x%zX to 0x%zX",
                          static_cast<std::size_t>(first - bytes),
                          static_cast<std::size_t>(rlast.base() - 1 - bytes));
        }
        above = end == 0 ? 0 : end - 1;
    }
    if (buffer.HighestWritten > above) {
        return Format("data up to 0x%zX, above the device's last address 0x%zX",
                      buffer.HighestWritten, static_cast<std::size_t>(last));
    }
    return {};
}

}  // namespace kardo
