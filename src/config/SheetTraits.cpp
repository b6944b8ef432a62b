// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/SheetTraits.h"

#include <algorithm>
#include <array>

#include "config/ConfigSheetTable.h"

namespace kardo {
namespace {

struct CodeTraits {
    bool extendedFuse = false;
    bool highFuse = false;
    bool dataEeprom = false;
};

bool Edits(const ConfigPage& page, ConfigValue value) {
    return std::any_of(page.controls.begin(), page.controls.end(),
                       [value](const ConfigControl& c) { return c.value == value; });
}

std::array<CodeTraits, 256> TraitsOfEveryCode() {
    std::array<CodeTraits, 256> traits{};
    for (const ConfigPage& page : ConfigPages()) {
        for (uint8_t code : page.codes) {
            CodeTraits& t = traits[code];
            t.extendedFuse = t.extendedFuse || Edits(page, ConfigValue::FuseExt);
            t.highFuse = t.highFuse || Edits(page, ConfigValue::FuseHigh);
            t.dataEeprom = t.dataEeprom || page.keepsDataEeprom;
        }
    }
    return traits;
}

const CodeTraits& TraitsOf(uint8_t code) {
    static const std::array<CodeTraits, 256> traits = TraitsOfEveryCode();
    return traits[code];
}

}  // namespace

bool HasExtendedFuse(uint8_t configCode) {
    return TraitsOf(configCode).extendedFuse;
}

bool HasHighFuse(uint8_t configCode) {
    return TraitsOf(configCode).highFuse;
}

bool KeepsDataEeprom(uint8_t configCode) {
    return TraitsOf(configCode).dataEeprom;
}

}  // namespace kardo
