// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffertools/EditorRange.h"

#include <algorithm>
#include <cstdint>

namespace kardo {

std::size_t EditorRange(const DeviceRecord& record, bool oddEven, std::size_t bufferSize) {
    // A corrupt record with a negative size reaches nothing of its own; the smallest
    // range still applies.
    const int64_t size = std::max<int64_t>(record.Size(), 0);
    auto range = static_cast<std::size_t>(size);
    if (record.Family() == 'M' && record.EepromSize() != 0) {
        range += record.EepromSize();
    }
    if (oddEven) {
        range *= 2;
    }
    if (record.Family() == 'C') {
        if (record.Variant() == 18) {
            range = 0x100000;
        } else {
            range = record.ConfigCode() < 46 ? 0x10000 : 0x20000;
        }
    }
    range = std::max(range, kSmallestEditorRange);
    return std::min(range, bufferSize);
}

}  // namespace kardo
