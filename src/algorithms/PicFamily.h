// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "algorithms/OperationContext.h"

namespace kardo {

// PIC microcontrollers over the programmer's PIC mode: one pass per area that ProgBits
// chooses (code, data EEPROM, ID bytes, the two-byte step, configuration), each a read,
// verify, program with verify, or blank check of that area; an erase is one chip erase
// with the blank checks of the areas the device offers.
void RunPicOperation(OperationContext& context);

}  // namespace kardo
