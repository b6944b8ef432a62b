// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "algorithms/OperationContext.h"

namespace kardo {

// Compares the chip's three signature bytes with the record when the ID check is on.
// On a difference the user chooses: Ignore goes on, Retry asks the chip again, Abort
// fails the operation. True when the operation may go on.
bool CheckChipIdentity(OperationContext& context);

// AT89S and AVR parts in-system over the programmer's ISP mode: read (with the lock
// bits of the parts that report them), verify, blank check, erase with a blank check,
// and program of the code area with verify, then the lock bits chosen in ProgBits or,
// for the AVRs with fuses, the fuse and lock bytes of the configuration dialog.
void RunIspOperation(OperationContext& context);

}  // namespace kardo
