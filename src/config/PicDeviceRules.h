// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "config/PicConfigModel.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// What the table's rows do not say alone: the controls that follow another one, the
// groups that read one copy of a field, and everything by which a device's sheets
// differ: controls shown or hidden by size, name or code, item lists, captions, and the
// effects that depend on the part's masks, Variant or ConfigCode.
void ApplyPicControlRules(std::vector<PicPage>& pages, const DeviceRecord& record);

}  // namespace kardo
