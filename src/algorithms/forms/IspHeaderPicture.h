// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace kardo {

// The ISP header picture as a JPEG, drawn at build time and carried in the program.
extern const unsigned char kIspHeaderJpeg[];
extern const std::size_t kIspHeaderJpegSize;

}  // namespace kardo
