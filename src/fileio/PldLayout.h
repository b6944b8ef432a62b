// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace kardo {

// The fuse layout of a fuse-map device kind, by its Variant: the total fuse count, the
// package's pins, the main array as rows, and where the user electronic signature (UES)
// lies. The main array of variants 8 and 9 has two kinds of row.
struct PldLayout {
    uint8_t variant;
    uint32_t fuses;
    uint8_t pins;
    uint16_t fusesPerRow;
    uint16_t rows;
    uint32_t uesStart;
    uint8_t uesBytes;
    uint16_t pesBits;
    // Rows of a second length after the first ones; 0 for none.
    uint16_t fusesPerLaterRow = 0;
    uint16_t laterRows = 0;
};

// data table
inline constexpr PldLayout kPldLayouts[] = {
    {0, 0, 0, 0, 0, 0, 0, 64},
    {1, 2194, 20, 32, 64, 2056, 8, 64},
    {2, 3540, 20, 36, 96, 3476, 8, 80},
    {3, 2706, 24, 40, 64, 2568, 8, 64},
    {4, 3274, 24, 40, 80, 3210, 8, 80},
    {5, 1671, 24, 40, 40, 1631, 5, 40},
    {6, 5892, 24, 44, 132, 5828, 8, 80},
    {7, 6432, 28, 52, 122, 6368, 8, 96},
    {8, 8294, 24, 114, 64, 8222, 9, 64, 78, 11},
    {9, 8330, 24, 114, 64, 8258, 9, 64, 78, 11},
    {10, 2194, 20, 32, 64, 2056, 8, 64},
    {11, 2706, 24, 40, 64, 2568, 8, 64},
    {12, 5892, 24, 44, 132, 5828, 8, 132},
    {13, 5892, 24, 44, 132, 5828, 8, 132},
};

// The layout of a Variant; nullopt beyond the table.
inline std::optional<PldLayout> PldLayoutFor(uint8_t variant) {
    for (const PldLayout& layout : kPldLayouts) {
        if (layout.variant == variant)
            return layout;
    }
    return std::nullopt;
}

}  // namespace kardo
