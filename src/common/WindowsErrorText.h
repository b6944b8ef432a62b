// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kardo {

// The system's own text for a Windows error code, without its line end; "system error N"
// when the system has none. Only Windows builds have it.
std::string WindowsErrorText(uint32_t code);

}  // namespace kardo
