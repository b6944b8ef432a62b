// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "app/SettingsStore.h"

namespace kardo {

// The settings key of this system: the registry key on Windows, the settings file
// elsewhere. Each system's build compiles the one of its own.
std::unique_ptr<SettingsStore> MakeSettingsStore();

}  // namespace kardo
