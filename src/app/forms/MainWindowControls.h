// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// data table: the main window's controls, their texts, hints, order and first state.
#include <array>

#include "app/ButtonMasks.h"

namespace kardo {

struct SpeedButton {
    const char* name;
    const char* text;
    const char* hint;
    bool enabled;
    int width;
};

// The top row, left to right.
inline constexpr std::array<SpeedButton, 12> kSpeedButtons{{
    {"SB_Select", "Select", "Select Device", true, 66},
    {"SB_Load", "Load", "Load File to Buffer", false, 66},
    {"SB_Save", "Save", "Save Buffer to File", false, 66},
    {"SB_Edit", "Edit", "Edit Buffer", false, 66},
    {"SB_Config", "Config", "Set Device Configuration Bits", false, 66},
    {"SB_Blank", "Blank", "Check If Device Blank", false, 66},
    {"SB_Read", "Read", "Read Device", false, 66},
    {"SB_Prog", "Program", "Program Device", false, 66},
    {"SB_Verify", "Verify", "Verify Device", false, 66},
    {"SB_Erase", "Erase", "Erase Device ", false, 66},
    {"SB_Option", "Options", "Set Options", false, 66},
    {"SB_Test", "Self Test", "Test KARDO hardware", true, 76},
}};
inline constexpr int kButtonHeight = 57;
inline constexpr int kButtonRowTop = 2;
inline constexpr int kButtonRowLeft = 2;

// Device buttons in DeviceButton order: the speed buttons after Select.
inline constexpr std::array<const char*, kDeviceButtonCount> kDeviceButtonNames{
    "SB_Load", "SB_Save", "SB_Edit",   "SB_Config", "SB_Blank",
    "SB_Read", "SB_Prog", "SB_Verify", "SB_Erase",  "SB_Option"};

struct PanelField {
    const char* caption;
    const char* value;
    int column;
    int row;
};

inline constexpr std::array<PanelField, 8> kPanel1Fields{{
    {"Manuf:", "ManuL", 0, 0},
    {"Manuf ID:", "ManIDL", 0, 1},
    {"Device ID:", "DevIDL", 0, 2},
    {"Device:", "DevL", 0, 3},
    {"Size:", "SizeL", 1, 0},
    {"Checksum:", "CheckL", 1, 1},
    {"Vcc:", "VccL", 1, 2},
    {"Vpp:", "VppL", 1, 3},
}};
inline constexpr std::array<PanelField, 3> kPanel2Fields{{
    {"Adapter:", "AdapL", 0, 0},
    {"File:", "FileL", 0, 1},
    {"Comments:", "ComL", 0, 2},
}};

// The operation buttons: the code the algorithms see and the progress window's caption.
struct OperationButton {
    const char* name;
    char code;
    const char* caption;
};
inline constexpr std::array<OperationButton, 5> kOperationButtons{{
    {"SB_Read", 'R', "Read"},
    {"SB_Blank", 'B', "Blank Check"},
    {"SB_Prog", 'P', "Program"},
    {"SB_Verify", 'V', "Verify"},
    {"SB_Erase", 'E', "Erase"},
}};

}  // namespace kardo
