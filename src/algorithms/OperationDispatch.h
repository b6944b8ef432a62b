// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "algorithms/OperationContext.h"

namespace kardo {

// The worker's whole run: the algorithm of the device's family, the progress window
// closed on failure, and the window handed back to the user.
void RunOperation(OperationContext& context);

}  // namespace kardo
