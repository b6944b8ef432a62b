// SPDX-License-Identifier: GPL-3.0-or-later
// On Windows the settings live where the installation made their key, in the registry.
#include "app/PlatformSettings.h"
#include "app/RegistrySettingsStore.h"

namespace kardo {

std::unique_ptr<SettingsStore> MakeSettingsStore() {
    return std::make_unique<RegistrySettingsStore>(MakeWindowsRegistry());
}

}  // namespace kardo
