// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kardo {

// The log line after an operation: " hh:mm:ss.cc" of the milliseconds it took, within
// one day.
std::string ElapsedTimeLine(int64_t milliseconds);

}  // namespace kardo
