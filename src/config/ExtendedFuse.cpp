// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ExtendedFuse.h"

#include <algorithm>
#include <array>

#include "config/ConfigSheetTable.h"

namespace kardo {
namespace {

std::array<bool, 256> CodesWithExtendedFuse() {
    std::array<bool, 256> codes{};
    for (const ConfigPage& page : ConfigPages()) {
        const bool edits =
            std::any_of(page.controls.begin(), page.controls.end(),
                        [](const ConfigControl& c) { return c.value == ConfigValue::FuseExt; });
        for (uint8_t code : page.codes) {
            codes[code] = codes[code] || edits;
        }
    }
    return codes;
}

}  // namespace

bool HasExtendedFuse(uint8_t configCode) {
    static const std::array<bool, 256> codes = CodesWithExtendedFuse();
    return codes[configCode];
}

}  // namespace kardo
