// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/PicConfigModel.h"

#include <algorithm>
#include <stdexcept>

#include "common/Format.h"
#include "config/ConfigSheetModel.h"
#include "config/PicDeviceRules.h"
#include "config/PicSheetTable.h"

namespace kardo {
namespace {

bool WordsAt1000E(const DeviceRecord& r) {
    return r.ConfigCode() >= 46 && r.ConfigCode() <= 48;
}

std::vector<PicPage> PagesFor(const DeviceRecord& record) {
    std::vector<PicPage> pages;
    for (const PicPageSet& set : PicPageSets()) {
        if (std::find(set.codes.begin(), set.codes.end(), record.ConfigCode()) == set.codes.end()) {
            continue;
        }
        for (const auto& [name, caption] : set.pages) {
            PicPage page{name, pages.empty() ? record.Name() : caption, {}};
            for (const PicControlRow& row : PicControlRows()) {
                if (row.page != name) {
                    continue;
                }
                PicControl c;
                c.name = row.name;
                c.caption = row.caption;
                c.items = row.items;
                for (const std::string& effect : row.effects) {
                    c.choices.push_back(ParsePicEffect(effect));
                }
                page.controls.push_back(std::move(c));
            }
            pages.push_back(std::move(page));
        }
    }
    ApplyPicControlRules(pages, record);
    return pages;
}

// A radio group whose items are the plain values 0, 1, 2 ... of one field.
bool PlainIndexGroup(const PicControl& c) {
    const PicEffect& first = c.choices.front();
    if (first.size() != 1 || first[0].orValue != 0) {
        return false;
    }
    const uint8_t field = static_cast<uint8_t>(~first[0].andMask);
    int shift = 0;
    while (shift < 8 && !(field & (1 << shift))) {
        ++shift;
    }
    for (std::size_t i = 0; i < c.choices.size(); ++i) {
        const PicEffect& e = c.choices[i];
        if (e.size() != 1 || e[0].byte != first[0].byte || e[0].andMask != first[0].andMask ||
            e[0].orValue != ((i << shift) & 0xFF)) {
            return false;
        }
    }
    return true;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

PicConfigLayout PicLayoutFor(const DeviceRecord& record) {
    PicConfigLayout l;
    if (record.Variant() == 18) {
        l = {0xF0010, 14, 0xF0000, 1, 8};
    } else {
        const std::size_t base = WordsAt1000E(record) ? 0x10000 : 0x4000;
        l = {base + 0x0E, record.ConfigCount() >= 4 ? 4u : 2u, base + 1, 2, 4};
    }
    return l;
}

PicConfigModel::PicConfigModel(const DeviceRecord& record, DeviceBuffer& buffer)
    : record_(record), buffer_(buffer), layout_(PicLayoutFor(record)), pages_(PagesFor(record)) {
    const auto mask = record.ConfigMask();
    masks_.assign(mask.begin(), mask.begin() + std::min<std::size_t>(record.ConfigCount(), 32));
    for (const PicPage& page : pages_) {
        for (const PicControl& c : page.controls) {
            controls_.push_back(&c);
            states_.push_back({false, -1, true, c.caption});
        }
    }
}

PicBytes PicConfigModel::Bytes() {
    // Only what the buffer holds: a record whose layout lies beyond it edits nothing.
    const std::size_t wanted = record_.Variant() == 18 ? 14 : 4;
    const std::size_t size = buffer_.BufferSize();
    const std::size_t n = layout_.configAt < size ? std::min(wanted, size - layout_.configAt) : 0;
    return PicBytes(std::span<uint8_t>(buffer_.data() + (n ? layout_.configAt : 0), n), masks_);
}

void PicConfigModel::Open() {
    PicBytes bytes = Bytes();
    if (record_.Variant() != 18) {
        for (std::size_t k = 0; k < masks_.size(); ++k) {
            bytes.Apply({PicClause{static_cast<uint8_t>(k), masks_[k], 0, false, false}});
        }
    }
    idTexts_.clear();
    for (std::size_t i = 0; i < layout_.idCount; ++i) {
        const std::size_t at = layout_.idAt + i * layout_.idStep;
        const uint8_t id = at < buffer_.BufferSize() ? buffer_[at] : 0;
        const uint8_t shown = record_.Variant() == 18      ? id
                              : record_.ConfigCode() == 19 ? id & 0x0F
                                                           : id & 0x7F;
        idTexts_.push_back(Format("%.2X", static_cast<unsigned>(shown)));
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const PicControl& c = *controls_[i];
        if (c.isCheckBox()) {
            continue;
        }
        states_[i].index = StateOf(c);
    }
    ShowCheckBoxes();
    ShowCompanions();
}

// The item whose write the bytes already hold; for a check box 1 when they hold its
// ticked write.
int PicConfigModel::StateOf(const PicControl& c) {
    const PicBytes bytes = Bytes();
    if (c.reads) {
        // The control writes several copies of one field and shows the one it reads.
        for (std::size_t i = c.isCheckBox() ? 1 : 0; i < c.choices.size(); ++i) {
            if (bytes.HoldsOn(c.choices[i], c.reads->first, c.reads->second)) {
                return static_cast<int>(i);
            }
        }
        return c.isCheckBox() ? 0 : -1;
    }
    if (c.isCheckBox()) {
        return bytes.HeldChoice(c.choices) == 1 ? 1 : 0;
    }
    const int held = bytes.HeldChoice(c.choices);
    if (held < 0 && PlainIndexGroup(c)) {
        return static_cast<int>(c.choices.size()) - 1;
    }
    return held;
}

void PicConfigModel::SetTicked(std::string_view name, bool ticked) {
    const std::size_t i = IndexOf(name);
    const PicControl& c = *controls_[i];
    bool one = ticked;
    if (!c.choiceFrom.empty()) {
        one = state(c.choiceFrom).checked;
    }
    if (!c.blockedBy.empty() && state(c.blockedBy).checked) {
        one = false;
    }
    Bytes().Apply(c.choices[one ? 1 : 0]);
    states_[i].checked = ticked;
    ShowCheckBoxes();
    ShowCompanions();
}

void PicConfigModel::Choose(std::string_view name, int index) {
    const std::size_t i = IndexOf(name);
    const PicControl& c = *controls_[i];
    if (c.isCheckBox() || index < 0 || index >= static_cast<int>(c.choices.size())) {
        return;
    }
    Bytes().Apply(c.choices[static_cast<std::size_t>(index)]);
    states_[i].index = index;
    ShowCheckBoxes();
}

// Every check box shows its bits as the bytes now stand, so a box whose bit another
// control also wrote shows that too.
void PicConfigModel::ShowCheckBoxes() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const PicControl& c = *controls_[i];
        if (!c.isCheckBox()) {
            continue;
        }
        states_[i].checked = StateOf(c) == 1;
        if (!c.captionTicked.empty()) {
            states_[i].caption = states_[i].checked ? c.captionTicked : c.captionUnticked;
        }
    }
}

void PicConfigModel::ShowCompanions() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const PicControl& c = *controls_[i];
        if (!c.enables.empty()) {
            states_[IndexOf(c.enables)].enabled = states_[i].checked;
        }
    }
}

bool PicConfigModel::SetIdText(std::size_t id, std::string_view text) {
    if (id >= layout_.idCount || !std::all_of(text.begin(), text.end(), IsHexDigit)) {
        return false;
    }
    auto value = static_cast<uint8_t>(ParseCalibrationOffset(text) & 0xFF);
    if (record_.Variant() != 18) {
        value |= record_.ConfigCode() == 19 ? 0xF0 : 0x80;
    }
    const std::size_t at = layout_.idAt + id * layout_.idStep;
    if (at < buffer_.BufferSize()) {
        buffer_[at] = value;
    }
    idTexts_[id] = std::string(text);
    return true;
}

const PicControlState& PicConfigModel::state(std::string_view name) const {
    return states_[IndexOf(name)];
}

const PicControl& PicConfigModel::control(std::string_view name) const {
    return *controls_[IndexOf(name)];
}

std::vector<std::string> PicConfigModel::ByteTexts() const {
    std::vector<std::string> texts;
    for (std::size_t k = 0; k < layout_.configBytes; ++k) {
        const std::size_t at = layout_.configAt + k;
        texts.push_back(at < buffer_.BufferSize()
                            ? Format("%.2X", static_cast<unsigned>(buffer_[at]))
                            : std::string("--"));
    }
    return texts;
}

PicIdGroups PicConfigModel::IdGroupsOnOpening() const {
    return record_.Variant() == 18 ? PicIdGroups{false, true} : PicIdGroups{true, false};
}

// The ID boxes belong to a device's first sheet only.
PicIdGroups PicConfigModel::IdGroupsFor(const std::string& page, PicIdGroups before) {
    PicIdGroups g = before;
    g.id = true;
    const auto in = [&page](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(), [&](const char* n) { return page == n; });
    };
    if (in({"Page4A", "Page10A", "Page46A", "Page33A"})) {
        g.id = false;
    }
    if (in({"Page27", "Page34", "Page36"})) {
        g = {false, true};
    }
    if (in({"Page27A", "Page27B", "Page34A", "Page34B", "Page36A", "Page36B", "Page36C"})) {
        g = {false, false};
    }
    return g;
}

std::size_t PicConfigModel::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i]->name == name) {
            return i;
        }
    }
    throw std::out_of_range("no PIC configuration control " + std::string(name));
}

}  // namespace kardo
