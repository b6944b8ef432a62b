// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kardo {

// The file formats of the load and save paths, as the format dialog numbers them.
namespace format {
inline constexpr uint8_t IntelHex = 0;
inline constexpr uint8_t Motorola = 1;
inline constexpr uint8_t Binary = 2;
inline constexpr uint8_t Inh8m = 3;
inline constexpr uint8_t Inx16 = 4;
inline constexpr uint8_t Jedec = 5;
inline constexpr uint8_t Cancelled = 255;  // the dialog was cancelled: nothing is done
}  // namespace format

// How the loader fills the buffer before it reads the file.
namespace fill {
inline constexpr uint8_t Disable = 0;  // the bytes the file does not cover keep what they held
inline constexpr uint8_t DeviceDefault = 1;
inline constexpr uint8_t Zero = 2;
inline constexpr uint8_t FF = 3;
}  // namespace fill

// The choices the load and save paths share, set by the format dialog. They outlive a
// load, so the automatic reload of a changed file repeats them.
struct FileSettings {
    uint8_t format = format::IntelHex;
    uint8_t fill = fill::DeviceDefault;
    // Added to every file address on a load: the dialog's value, negated for
    // "Subtract". Wide enough that no typed value wraps.
    int64_t offset = 0;
    // The dialog's direction, kept between its uses: "Subtract" at program start.
    bool offsetAdd = false;
};

}  // namespace kardo
