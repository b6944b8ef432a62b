// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kardo {

// The option switches that the device selection and the options dialog set.
struct OptionFlags {
    bool Id_flag = true;      // "ID Check"
    bool Test_flag = true;    // "Insertion Test"
    bool MaxMin_flag = true;  // "Verify @ Vmax and Vmin"
    bool OddEven = false;     // "Odd && Even programming": the two halves of a pair, not stored
};

}  // namespace kardo
