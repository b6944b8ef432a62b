// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "config/ConfigSheetTable.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// The captions, items and hidden controls by which a device's sheets differ from the
// table: the parts that share a sheet but name or lack some of its bits.
void ApplyDeviceRules(std::vector<ConfigPage>& pages, const DeviceRecord& record);

}  // namespace kardo
