// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "devicedb/DeviceRecord.h"

namespace kardo {

// Whether `later` is `part` under another name: alike in every byte but the name, and
// an ISP part, which the identity check knows by its signature, so that both names are
// one chip to the programmer (the ATmega8A of the ATmega8). The database compiler
// writes a part's further names right after it. Records of the other families can be
// alike in every byte and still be different chips (a PIC16F676 programs as a
// PIC16F630 does): those count as parts of their own.
bool SamePartUnderAnotherName(const DeviceRecord& part, const DeviceRecord& later);

}  // namespace kardo
