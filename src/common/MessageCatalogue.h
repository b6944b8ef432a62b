// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kardo {

// The lines through which device operations report results and errors. `name` is the
// device name; for the compare errors, `index` is the buffer index of the failing byte,
// `bufferByte` the byte the buffer holds there and `value` the byte the device gave.
std::string ErrorLine(unsigned code, const std::string& name, std::size_t index,
                      uint8_t bufferByte, uint8_t value);

// Empty for codes that have no line.
std::string ResultLine(unsigned code, const std::string& name);

// Codes the program uses by name.
namespace report {
inline constexpr unsigned EraseError = 0;
inline constexpr unsigned CompareError = 11;
inline constexpr unsigned NotBlank = 12;
inline constexpr unsigned ParametersSent = 10;
}  // namespace report

}  // namespace kardo
