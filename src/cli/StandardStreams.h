// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/FileBytes.h"

namespace kardo::cli {

// The file name that stands for standard input or output.
inline constexpr const char* kStandardStream = "-";

// All of standard input, in binary; more than `limit` bytes is refused.
FileBytes ReadStandardInput(uint64_t limit);

// Writes `bytes` to standard output, in binary. Returns the reason of a failure.
std::string WriteStandardOutput(const std::vector<uint8_t>& bytes);

}  // namespace kardo::cli
