// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigSheetModel.h"

#include <algorithm>
#include <stdexcept>

#include "common/Format.h"
#include "config/ConfigDeviceRules.h"

namespace kardo {
namespace {

bool Shows(const ConfigPage& page, uint8_t code) {
    return std::find(page.codes.begin(), page.codes.end(), code) != page.codes.end();
}

std::vector<ConfigPage> PagesFor(const DeviceRecord& record) {
    std::vector<ConfigPage> pages;
    for (const ConfigPage& page : ConfigPages()) {
        if (Shows(page, record.ConfigCode())) {
            pages.push_back(page);
            if (pages.back().caption.empty() && page.showTab) {
                pages.back().caption = record.Name();
            }
        }
    }
    ApplyDeviceRules(pages, record);
    return pages;
}

// The item an item group shows for its byte; -1 for none.
int ItemFor(const ConfigControl& c, uint8_t value) {
    const int field = (value >> c.open.shift) & c.open.mask;
    const int count = static_cast<int>(c.items.size());
    switch (c.open.mode) {
        case OpenRule::Mode::None:
            return -1;
        case OpenRule::Mode::Offset: {
            const int index = field - c.open.offset;
            if (index < 0) {
                return c.open.belowShowsFirst ? 0 : -1;
            }
            return std::min(index, count - 1);
        }
        case OpenRule::Mode::Match: {
            const auto& m = c.open.matches;
            const auto at = std::find(m.begin(), m.end(), field);
            return at == m.end() ? -1 : static_cast<int>(at - m.begin());
        }
    }
    return -1;
}

uint8_t ConfigBits::*MemberFor(ConfigValue value) {
    switch (value) {
        case ConfigValue::FuseLow:
            return &ConfigBits::FuseLow;
        case ConfigValue::FuseHigh:
            return &ConfigBits::FuseHigh;
        case ConfigValue::FuseExt:
            return &ConfigBits::FuseExt;
        case ConfigValue::LockBits:
            return &ConfigBits::LockBits;
        case ConfigValue::SdpOn:
            return &ConfigBits::SdpOn;
        case ConfigValue::SecurityByte:
            return &ConfigBits::SecurityByte;
        case ConfigValue::CalValue:
            return &ConfigBits::CalValue;
    }
    return &ConfigBits::FuseLow;
}

const std::string& CaptionFor(const ConfigControl& c, bool checked) {
    if (c.captionTicked.empty()) {
        return c.caption;
    }
    return checked ? c.captionTicked : c.captionUnticked;
}

}  // namespace

ConfigSheetModel::ConfigSheetModel(const DeviceRecord& record, ConfigBits& bits)
    : record_(record), bits_(bits), pages_(PagesFor(record)) {
    for (const ConfigPage& page : pages_) {
        for (const ConfigControl& c : page.controls) {
            controls_.push_back(&c);
            states_.push_back({false, -1, c.caption});
        }
    }
}

void ConfigSheetModel::Open() {
    for (const ConfigPage& page : pages_) {
        if (page.resetOnOpen) {
            Byte(page.resetOnOpen->first) = page.resetOnOpen->second;
        }
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ConfigControl& c = *controls_[i];
        if (c.kind != ControlKind::CheckBox) {
            const bool shown = !c.onlyAt128KiB || record_.LastAddress() == 0x1FFFF;
            states_[i].index = shown ? ItemFor(c, Read(c.value)) : -1;
        }
    }
    ShowCheckBoxes(true);
    calibration_.slot = bits_.CalIndex >= 1 && bits_.CalIndex <= 4 ? bits_.CalIndex - 1 : -1;
    ShowCalibration();
}

void ConfigSheetModel::SetTicked(std::string_view name, bool ticked) {
    const std::size_t i = IndexOf(name);
    const ConfigControl& c = *controls_[i];
    uint8_t& byte = Byte(c.value);
    byte &= c.andMask;
    if (ticked == c.tickedIsOne) {
        byte |= c.setBits;
    }
    states_[i].checked = ticked;
    states_[i].caption = CaptionFor(c, ticked);
    ShowCheckBoxes(false);
}

void ConfigSheetModel::Choose(std::string_view name, int index) {
    const std::size_t i = IndexOf(name);
    const ConfigControl& c = *controls_[i];
    if (index < 0 || index >= static_cast<int>(c.itemValues.size())) {
        return;
    }
    uint8_t& byte = Byte(c.value);
    byte &= c.andMask;
    if (c.highNibbleSetForVariant34 && record_.Variant() == 34) {
        byte |= 0xF0;
    }
    if (!c.onlyAt128KiB || record_.LastAddress() == 0x1FFFF) {
        byte |= c.itemValues[static_cast<std::size_t>(index)];
    }
    states_[i].index = index;
    ShowCheckBoxes(false);
}

void ConfigSheetModel::ChooseCalibrationSlot(int slot) {
    if (slot < 0 || slot > 3) {
        return;
    }
    bits_.CalValue = bits_.CalSlots[static_cast<std::size_t>(slot)];
    calibration_.slot = slot;
    ShowCalibration();
}

void ConfigSheetModel::SetCalibrationOffset(std::string_view text) {
    bits_.CalOffset = ParseCalibrationOffset(text);
}

void ConfigSheetModel::SetCalibrationProgram(bool on) {
    bits_.CalProgram = on;
    ShowCalibration();
}

const ControlState& ConfigSheetModel::state(std::string_view name) const {
    return states_[IndexOf(name)];
}

const ConfigControl& ConfigSheetModel::control(std::string_view name) const {
    return *controls_[IndexOf(name)];
}

std::string ConfigSheetModel::DisplayText(const HexDisplay& display) const {
    return Format(display.format, static_cast<unsigned>(Read(display.value)));
}

std::size_t ConfigSheetModel::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i]->name == name) {
            return i;
        }
    }
    throw std::out_of_range("no configuration control " + std::string(name));
}

uint8_t& ConfigSheetModel::Byte(ConfigValue value) {
    return bits_.*MemberFor(value);
}

uint8_t ConfigSheetModel::Read(ConfigValue value) const {
    return bits_.*MemberFor(value);
}

// Every check box shows its bit as the bytes now stand, so a box whose bit another click
// also set shows that too.
void ConfigSheetModel::ShowCheckBoxes(bool opening) {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ConfigControl& c = *controls_[i];
        if (c.kind != ControlKind::CheckBox) {
            continue;
        }
        const bool one = (Read(c.value) & c.bit) != 0;
        states_[i].checked = one == c.tickedIsOne;
        if (opening && c.recaptionOnOpen) {
            states_[i].caption = CaptionFor(c, states_[i].checked);
        }
    }
}

// "Program @" ticked enables the slots and the offset box; the ticked slot is the one
// chosen.
void ConfigSheetModel::ShowCalibration() {
    calibration_.program = bits_.CalProgram;
    calibration_.offsetText = Format("%.4X", static_cast<unsigned>(bits_.CalOffset));
    if (calibration_.slot >= 0) {
        bits_.CalIndex = static_cast<uint8_t>(calibration_.slot + 1);
    }
}

uint32_t ParseCalibrationOffset(std::string_view text) {
    uint32_t value = 0;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        value = (value << 4) + (c & 0x0F) + (c > '@' ? 9 : 0);
    }
    return value;
}

}  // namespace kardo
