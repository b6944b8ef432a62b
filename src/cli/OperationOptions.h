// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "app/AppState.h"
#include "cli/CliArguments.h"

namespace kardo::cli {

// The options of the device operations that change what the operation does.
inline constexpr std::string_view kOperationOptionNames[] = {"--steps", "--id-check", "--fuses",
                                                             "--serial", "--allow-truncate"};

// Applies --steps, --id-check, --fuses and --serial to the selected device's state, after
// the file was loaded. For a Program that writes a serial number, the number goes into
// the buffer here and the log line is returned. Refuses a Program that would write fuse
// bytes nobody chose: the parts with a fuse step always write them after the code.
std::optional<std::string> ApplyOperationOptions(AppState& state, const Invocation& invocation,
                                                 char code, bool fusesFromFile);

}  // namespace kardo::cli
