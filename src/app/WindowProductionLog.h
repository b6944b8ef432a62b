// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/AppState.h"

namespace kardo {

// The window's line in the production log after an operation, the same as kardo-cli's:
// the device by manufacturer and name, the file last loaded for program and verify with
// its SHA-256 as it is on disk now. Returns the reason the line could not be written, or
// empty (also when no log is set).
std::string WriteWindowProductionLine(const AppState& state, char code, bool passed,
                                      int64_t durationMs, std::optional<uint64_t> serialNumber);

}  // namespace kardo
