// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "app/AppState.h"
#include "app/SettingsStore.h"

namespace kardo {

// Shows one settings message to the user (the window: an information box with OK).
using InformFn = std::function<void(const std::string& text)>;

// The revision the defaults carry. It is not the program's own, so a key that holds only
// defaults is reset at every start until the program has once been closed normally.
inline constexpr int64_t kDefaultsRevision = 1002;
inline constexpr const char* kDefaultDatabaseFile = "KARDO_e.usb";

// When the key holds no `RevNo`: writes the in-memory option switches and step mask, the
// defaults revision, the first database file and device, and `workingDir` as both
// directories. A key that cannot be opened is reported as " RootDir Registry Error".
void WriteDefaultSettings(SettingsStore& store, const AppState& state,
                          const std::filesystem::path& workingDir, const InformFn& inform);

// Reads the stored values into `state`. They are kept only when they were written by
// this revision and for `workingDir` as the default directory; otherwise the key is
// reset to the defaults first. A value that cannot be read is reported with the store's
// text and ends the load there: what was read before it stays in effect. The serial
// number values are read last; one that is missing or unusable (an older store, a hand
// edit) silently leaves the value in memory as it was.
void LoadSettings(SettingsStore& store, AppState& state, const std::filesystem::path& workingDir,
                  const InformFn& inform);

// Only the serial number values, as LoadSettings reads them: for a reader of the settings
// that must not change them.
void ReadSerialValues(const SettingsStore& store, SerialNumberSettings& serial);

// Writes every value with this program's revision, the serial number values last.
void SaveSettings(SettingsStore& store, const AppState& state, const InformFn& inform);

}  // namespace kardo
