// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/OptionSheet.h"

namespace kardo {
namespace {

// The general options: the OptionMask bit that offers each box and its caption. A box
// not offered is disabled and unticked, and the flag behind it is cleared.
struct GeneralOption {
    OptionBox box;
    uint8_t bit;
    const char* caption;
};
constexpr GeneralOption kGeneralOptions[] = {
    {OptionBox::CheckBox1, 0x01, "Insertion Test"},
    {OptionBox::CheckBox2, 0x02, "Bit Testing"},
    {OptionBox::CheckBox3, 0x04, "ID Check"},
    {OptionBox::CheckBox4, 0x08, "Verify @ Vmax and Vmin"},
    {OptionBox::CheckBox5, 0x10, "Memory Fill on Device Change"},
    {OptionBox::CheckBox6, 0x20, "Production Mode"},
    {OptionBox::CheckBox8, 0x80, "Serial Number Insertion"},
};

// The programming steps in the order the opening offers them, with their ProgBits bit
// and the caption they have unless a device rule gives another.
struct StepOption {
    OptionBox box;
    uint8_t bit;
    const char* caption;
};
constexpr StepOption kSteps[] = {
    {OptionBox::ProgStep1, 0x01, "Code Mem"},
    {OptionBox::ProgStep2, 0x02, "Lockbit 1"},
    {OptionBox::ProgStep3, 0x04, "Lockbit 2"},
    {OptionBox::ProgStep4, 0x08, "Lockbit 3"},
    {OptionBox::ProgStep5, 0x10, "Encryption"},
    {OptionBox::ProgStep6, 0x20, "RB1"},
    {OptionBox::ProgStep0, 0x40, "Erase before Program"},
};

}  // namespace

uint8_t StepBit(OptionBox box) {
    for (const StepOption& step : kSteps) {
        if (step.box == box) {
            return step.bit;
        }
    }
    return 0;
}

OptionSheet::OptionSheet(const DeviceRecord& record, uint8_t hardwareModel, bool eraseButtonEnabled,
                         OptionTargets targets)
    : record_(record),
      hardwareModel_(hardwareModel),
      eraseButtonEnabled_(eraseButtonEnabled),
      t_(std::move(targets)) {
    for (const GeneralOption& option : kGeneralOptions) {
        state(option.box).caption = option.caption;
    }
    state(OptionBox::ChSoundON) = {"Sound ON", true, true, true};
    state(OptionBox::OddEvenBox) = {"Odd && Even programming", false, true, false};
    for (const StepOption& step : kSteps) {
        state(step.box) = {step.caption, false, false, false};
    }
}

void OptionSheet::SetBits(uint8_t bits, bool on) {
    t_.ProgBits = static_cast<uint8_t>(on ? (t_.ProgBits | bits) : (t_.ProgBits & ~bits));
}

void OptionSheet::Set(OptionBox b, bool checked) {
    if (box(b).checked == checked) {
        return;
    }
    state(b).checked = checked;
    Handle(b, checked);
}

void OptionSheet::Click(OptionBox b) {
    if (box(b).enabled) {
        Set(b, !box(b).checked);
    }
}

// The handlers. For the ISP family the lock bits are cumulative: a higher lock bit
// brings the lower ones, and removing a lower one removes the higher ones.
void OptionSheet::Handle(OptionBox b, bool checked) {
    const bool isp = record_.Family() == 'M';
    const bool pic12 = record_.Family() == 'C' && record_.Variant() == 0;
    switch (b) {
        case OptionBox::CheckBox1:
            t_.flags.Test_flag = checked;
            break;
        case OptionBox::CheckBox3:
            t_.flags.Id_flag = checked;
            break;
        case OptionBox::CheckBox4:
            t_.flags.MaxMin_flag = checked;
            break;
        case OptionBox::CheckBox8:
            t_.serial.enabled = checked;
            break;
        case OptionBox::ChSoundON:
            t_.SoundON = checked;
            break;
        case OptionBox::OddEvenBox:
            // Only turning it on makes the new buffer: ticking the box for a flag that is
            // already on (as every opening does) must not wipe the buffer.
            if (checked && !t_.flags.OddEven) {
                t_.flags.OddEven = true;
                if (t_.oddEvenTurnedOn) {
                    t_.oddEvenTurnedOn();
                }
            } else if (!checked) {
                t_.flags.OddEven = false;
            }
            break;
        case OptionBox::ProgStep1:
            if (!checked && pic12) {
                // The ID step of a 12-bit core needs the code step.
                SetBits(0x04, false);
                Set(OptionBox::ProgStep3, false);
            }
            SetBits(0x01, checked);
            break;
        case OptionBox::ProgStep2:
            SetBits(0x02, checked);
            if (!checked && isp) {
                SetBits(0x04 | 0x08, false);
                Set(OptionBox::ProgStep3, false);
                Set(OptionBox::ProgStep4, false);
            }
            break;
        case OptionBox::ProgStep3:
            SetBits(0x04, checked);
            if (checked && isp) {
                SetBits(0x02, true);
                Set(OptionBox::ProgStep2, true);
            } else if (checked && pic12) {
                SetBits(0x01, true);
                Set(OptionBox::ProgStep1, true);
            } else if (!checked && isp) {
                SetBits(0x08, false);
                Set(OptionBox::ProgStep4, false);
            }
            break;
        case OptionBox::ProgStep4:
            SetBits(0x08, checked);
            if (checked && isp) {
                SetBits(0x02 | 0x04, true);
                Set(OptionBox::ProgStep2, true);
                Set(OptionBox::ProgStep3, true);
            }
            break;
        case OptionBox::ProgStep0:
        case OptionBox::ProgStep5:
        case OptionBox::ProgStep6:
            SetBits(StepBit(b), checked);
            break;
        default:
            break;  // "Bit Testing", "Memory Fill on Device Change", "Production Mode"
    }
}

void OptionSheet::Offer(OptionBox b, bool checked) {
    state(b).enabled = true;
    state(b).visible = true;
    Set(b, checked);
}

void OptionSheet::OpenGeneralOptions() {
    const uint8_t mask = record_.OptionMask();
    for (const GeneralOption& option : kGeneralOptions) {
        const bool offered = (mask & option.bit) != 0;
        bool checked = false;
        switch (option.box) {
            case OptionBox::CheckBox1:
                checked = t_.flags.Test_flag;
                t_.flags.Test_flag = offered && checked;
                break;
            case OptionBox::CheckBox3:
                checked = t_.flags.Id_flag;
                t_.flags.Id_flag = offered && checked;
                break;
            case OptionBox::CheckBox4:
                checked = t_.flags.MaxMin_flag;
                t_.flags.MaxMin_flag = offered && checked;
                break;
            case OptionBox::CheckBox8:
                // Kept between openings, unlike the other boxes without a flag: a
                // production run should not lose its serial numbers to an opening.
                checked = t_.serial.enabled;
                serialOffered_ = offered;
                break;
            default:
                break;
        }
        state(option.box).enabled = offered;
        Set(option.box, offered && checked);
    }
}

void OptionSheet::OpenSteps() {
    const char family = record_.Family();
    const uint8_t variant = record_.Variant();
    if (family == 'C') {
        stepsEnabled_ = stepsVisible_ = true;
        state(OptionBox::ProgStep0).enabled = true;
        state(OptionBox::ProgStep1).caption = "Code Area";
        state(OptionBox::ProgStep2) = {"Data Area", false, true, false};
        state(OptionBox::ProgStep3).caption = "ID Bytes";
        state(OptionBox::ProgStep4) = {"Calibration", false, true, false};
        state(OptionBox::ProgStep5).caption = "Config Bytes";
    }
    if (family == 'M' && record_.ProgStepMask() != 0) {
        stepsEnabled_ = stepsVisible_ = true;
    }
    if (family == 'M' && variant == 14) {
        state(OptionBox::ProgStep6).caption = "Disable WDT";
    }
    if (family == 'M' && variant == 25) {
        const uint8_t id = record_.DeviceId();
        if (id == 0xE2 || id == 0xE4) {
            state(OptionBox::ProgStep5).caption = "RB0";
        }
        if (id == 0x90 || id == 0x91) {
            state(OptionBox::ProgStep5).caption = "Clock Double";
            state(OptionBox::ProgStep6).caption = "SC0";
        }
    }

    const uint8_t offered = record_.ProgStepMask();
    for (const StepOption& step : kSteps) {
        if ((offered & step.bit) == 0) {
            continue;
        }
        if (step.box == OptionBox::ProgStep1) {
            Offer(step.box, true);  // the code step is ticked at every opening
        } else if (step.box == OptionBox::ProgStep2) {
            state(step.box).enabled = state(step.box).visible = true;
            if (variant == 35) {
                // The fuses always go with these parts.
                state(OptionBox::ProgStep1).enabled = false;
                state(OptionBox::ProgStep2).enabled = false;
                SetBits(0x02, true);
                state(step.box).caption = "Fuses";
            }
            if (variant == 29 || variant == 33) {
                state(step.box).caption = "Protect Mode Enable";
            }
            Set(step.box, (t_.ProgBits & 0x02) != 0);
        } else {
            Offer(step.box, (t_.ProgBits & step.bit) != 0);
        }
    }

    if (record_.ConfigCode() == 0xD0) {
        state(OptionBox::ProgStep2).caption = "Lock Bit";
        state(OptionBox::ProgStep3).caption = "MOVC inhibit";
        state(OptionBox::ProgStep4).caption = "Encryption Feature";
    }
    if (family == 'R' && hardwareModel_ == 65) {
        state(OptionBox::OddEvenBox).enabled = true;
        if (eraseButtonEnabled_) {
            stepsEnabled_ = stepsVisible_ = true;
            state(OptionBox::ProgStep1).caption = "Blank Check Before Program";
            state(OptionBox::ProgStep1).enabled = state(OptionBox::ProgStep1).visible = true;
            epromLabel_ = true;
            state(OptionBox::ProgStep2).caption = "Auto Erase If Not Blank";
            state(OptionBox::ProgStep2).enabled = state(OptionBox::ProgStep2).visible = true;
        }
    }
}

void OptionSheet::Open() {
    OpenGeneralOptions();
    OpenSteps();
    Set(OptionBox::ChSoundON, t_.SoundON);
    Set(OptionBox::OddEvenBox, t_.flags.OddEven);
}

}  // namespace kardo
