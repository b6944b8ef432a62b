// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "config/OptionFlags.h"
#include "config/SerialNumber.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// The check boxes of the options dialog.
enum class OptionBox {
    CheckBox1,  // "Insertion Test"
    CheckBox2,  // "Bit Testing"
    CheckBox3,  // "ID Check"
    CheckBox4,  // "Verify @ Vmax and Vmin"
    CheckBox5,  // "Memory Fill on Device Change"
    CheckBox6,  // "Production Mode"
    CheckBox8,  // "Serial Number Insertion"
    ChSoundON,
    OddEvenBox,
    ProgStep0,  // 0x40, erase before program
    ProgStep1,  // 0x01
    ProgStep2,  // 0x02
    ProgStep3,  // 0x04
    ProgStep4,  // 0x08
    ProgStep5,  // 0x10
    ProgStep6,  // 0x20
};
inline constexpr std::size_t kOptionBoxCount = 16;

struct OptionBoxState {
    std::string caption;
    bool enabled = false;
    bool visible = true;
    bool checked = false;
};

// The option values the dialog edits in place, all of them the program's own.
struct OptionTargets {
    uint8_t& ProgBits;
    OptionFlags& flags;
    bool& SoundON;
    SerialNumberSettings& serial;
    // "Odd && Even programming" turned on: the buffer becomes the image of the pair.
    std::function<void()> oddEvenTurnedOn;
};

// What the options dialog offers for a device, and what each of its check boxes does:
// the whole logic of the dialog, which only renders it. A box set from here runs its
// handler exactly as a click does, and only when its state changes, as a click always
// does; the opening relies on that to bring ProgBits into line with the boxes.
class OptionSheet {
  public:
    OptionSheet(const DeviceRecord& record, uint8_t hardwareModel, bool eraseButtonEnabled,
                OptionTargets targets);

    // The opening: what is offered, enabled, shown, captioned and checked.
    void Open();
    // The user clicks a box (only an enabled one can be clicked).
    void Click(OptionBox box);
    // Sets a box's state; its handler runs when the state changes.
    void Set(OptionBox box, bool checked);

    const OptionBoxState& box(OptionBox b) const { return boxes_[static_cast<std::size_t>(b)]; }
    bool stepsGroupEnabled() const { return stepsEnabled_; }
    bool stepsGroupVisible() const { return stepsVisible_; }
    bool epromLabelVisible() const { return epromLabel_; }
    // The serial-number group: shown for devices that offer it, enabled while ticked.
    bool serialGroupVisible() const { return serialOffered_; }
    bool serialGroupEnabled() const { return serialOffered_ && box(OptionBox::CheckBox8).checked; }

  private:
    OptionBoxState& state(OptionBox b) { return boxes_[static_cast<std::size_t>(b)]; }
    void Offer(OptionBox b, bool checked);
    void Handle(OptionBox b, bool checked);
    void SetBits(uint8_t bits, bool on);
    void OpenGeneralOptions();
    void OpenSteps();

    const DeviceRecord record_;  // a copy: a sheet may outlive the record it was made for
    const uint8_t hardwareModel_;
    const bool eraseButtonEnabled_;
    OptionTargets t_;
    std::array<OptionBoxState, kOptionBoxCount> boxes_;
    bool stepsEnabled_ = false;
    bool stepsVisible_ = false;
    bool epromLabel_ = false;
    bool serialOffered_ = false;
};

// The ProgBits bit of a step box; 0 for the other boxes.
uint8_t StepBit(OptionBox box);

}  // namespace kardo
