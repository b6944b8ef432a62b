// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigBits.h"
#include "config/ConfigSheetTable.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

struct ControlState {
    bool checked = false;  // check boxes
    int index = -1;        // radio groups and combo boxes; -1 = nothing chosen
    std::string caption;
};

struct CalibrationState {
    bool program = false;    // "Program @" ticked; the slots and the offset box enabled
    int slot = -1;           // the CALn button ticked, 0..3; -1 none
    std::string offsetText;  // what the offset boxes show
};

// The whole logic of the configuration dialog for AVR, 8051 and memory parts, which
// only renders it: the sheets a device shows, what every control shows as ConfigBits
// stand, and what a click does to them. Every change is written into ConfigBits at
// once; nothing is kept to undo.
class ConfigSheetModel {
  public:
    ConfigSheetModel(const DeviceRecord& record, ConfigBits& bits);

    // The sheets the device's ConfigCode shows, with the device's captions and items,
    // its tab captions filled in.
    const std::vector<ConfigPage>& pages() const { return pages_; }

    // The opening: restarts what a sheet restarts, then shows the controls from ConfigBits.
    // Opening writes nothing else.
    void Open();

    // The user's clicks.
    void SetTicked(std::string_view control, bool ticked);
    void Choose(std::string_view control, int index);
    void ChooseCalibrationSlot(int slot);
    void SetCalibrationOffset(std::string_view text);
    void SetCalibrationProgram(bool on);

    const ControlState& state(std::string_view control) const;
    const ConfigControl& control(std::string_view control) const;
    std::string DisplayText(const HexDisplay& display) const;
    const CalibrationState& calibration() const { return calibration_; }

  private:
    std::size_t IndexOf(std::string_view name) const;
    uint8_t& Byte(ConfigValue value);
    uint8_t Read(ConfigValue value) const;
    void ShowCheckBoxes(bool opening);
    void ShowCalibration();

    const DeviceRecord record_;
    ConfigBits& bits_;
    std::vector<ConfigPage> pages_;
    std::vector<const ConfigControl*> controls_;  // every control of every sheet shown
    std::vector<ControlState> states_;
    CalibrationState calibration_;
};

// The offset box's text as the offset: each character shifts the value by four bits and
// adds its low four bits, plus 9 above '@'. Nothing is rejected; an empty text is 0.
uint32_t ParseCalibrationOffset(std::string_view text);

}  // namespace kardo
