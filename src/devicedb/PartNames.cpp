// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/PartNames.h"

namespace kardo {

bool SamePartUnderAnotherName(const DeviceRecord& part, const DeviceRecord& later) {
    if (part.Family() != 'M' || part.ManufId() == 0 || part.Name() == later.Name()) {
        return false;
    }
    DeviceRecord renamed = part;
    renamed.SetText(field::Name, later.Name());
    return renamed.bytes() == later.bytes();
}

}  // namespace kardo
