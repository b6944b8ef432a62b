// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/AppState.h"
#include "cli/Console.h"
#include "cli/OperationReport.h"

namespace kardo::cli {

// program --repeat: one chip after another on one open programmer, each after the
// user's Enter ('q' stops), the serial number moving on after every chip that passed and
// kept in the settings only then; at the end a summary. Refuses to start without a
// terminal on standard input, where nobody could answer and a script would hang.
// `programOne` programs the chip in the socket with the buffer as it is, the serial
// number's log line given. Returns the exit status: 1 when any chip failed.
int RunRepeated(
    AppState& state, bool serialNumbers, const std::function<void(AppState&)>& open,
    const std::function<OperationOutcome(AppState&, std::optional<std::string>)>& programOne,
    Console& console);

}  // namespace kardo::cli
