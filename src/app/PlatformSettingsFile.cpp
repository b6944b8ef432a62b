// SPDX-License-Identifier: GPL-3.0-or-later
// Systems without a registry keep the settings key as a file.
#include "app/IniSettingsStore.h"
#include "app/PlatformSettings.h"

namespace kardo {

std::unique_ptr<SettingsStore> MakeSettingsStore() {
    return std::make_unique<IniSettingsStore>(DefaultSettingsPath());
}

}  // namespace kardo
