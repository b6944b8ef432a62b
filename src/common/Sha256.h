// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kardo {

// The SHA-256 of `n` bytes as 64 lower-case hexadecimal digits, as sha256sum prints it:
// a production record names the exact file each chip was programmed with.
std::string Sha256Hex(const uint8_t* bytes, std::size_t n);

}  // namespace kardo
