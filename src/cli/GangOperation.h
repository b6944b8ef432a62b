// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "app/AppState.h"
#include "cli/Commands.h"
#include "cli/OperationSteps.h"

namespace kardo::cli {

// --all: refuses what a gang cannot do (a chosen programmer, --repeat, a read to standard
// output) before anything is loaded.
void CheckGangOptions(std::string_view command, const Invocation& invocation);

// Runs the planned operation on every programmer attached at once, one worker thread
// each, every log line headed by its programmer's name, and ends with a table of how each
// went. With serial numbers each chip gets the next one in the programmers' order. A
// read writes FILE with the programmer's name added before its extension. Returns 1 when
// any programmer failed; the others still finish.
int RunGang(const CommandContext& context, const OperationPlan& plan, const AppState& planned);

}  // namespace kardo::cli
