// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// The fourteen configuration bytes of a PIC18 part as it leaves the factory, in buffer
// order (CONFIG1H, CONFIG1L, ... CONFIG7H, CONFIG7L), placed in the buffer when the part
// is selected. For most parts every implemented bit is erased to 1, and the record's
// mask bytes are those defaults. Some newer parts have bits whose erased state is 0 -
// the extended instruction set, the USB clock dividers, the fail-safe clock monitor,
// the internal/external switch-over - and for them the mask would program a chip whose
// file carries no configuration with the extended instruction set on and a clock it was
// not built for. Those bits are the same for every part of one configuration layout,
// so they are kept by sheet (ConfigCode): a new part of a known layout needs no entry.
std::array<uint8_t, 14> Pic18ErasedConfig(const DeviceRecord& record);

}  // namespace kardo
