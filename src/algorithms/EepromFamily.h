// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "algorithms/OperationContext.h"

namespace kardo {

// Parallel 28C-type EEPROMs over the programmer's EEPROM mode: Read, Program (followed
// by Verify) and Verify of the whole device. Blank check and erase do nothing here.
void RunEepromOperation(OperationContext& context);

}  // namespace kardo
