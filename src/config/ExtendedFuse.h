// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kardo {

// Whether the configuration sheet of this ConfigCode edits an extended fuse byte. The
// fuse step sends that byte after the high fuse exactly for these parts, and the virtual
// programmer waits for it for the same parts, so that a choice the sheet offers is never
// shown without being programmed. Read from the sheet table, not listed again.
bool HasExtendedFuse(uint8_t configCode);

}  // namespace kardo
