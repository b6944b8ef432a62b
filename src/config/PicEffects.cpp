// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/PicEffects.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace kardo {
namespace {

std::optional<uint8_t> Hex2(std::string_view text) {
    if (text.size() != 2) {
        return std::nullopt;
    }
    unsigned v = 0;
    for (char c : text) {
        v <<= 4;
        if (c >= '0' && c <= '9') {
            v |= static_cast<unsigned>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            v |= static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
    }
    return static_cast<uint8_t>(v);
}

// "AA" or "mAA".
bool Value(std::string_view text, uint8_t& value, bool& masked) {
    masked = !text.empty() && text.front() == 'm';
    const auto v = Hex2(masked ? text.substr(1) : text);
    if (v) {
        value = *v;
    }
    return v.has_value();
}

}  // namespace

std::optional<uint8_t> PicByteIndex(std::string_view name) {
    if (name == "W1H")
        return 0;
    if (name == "W1L")
        return 1;
    if (name == "W2H")
        return 2;
    if (name == "W2L")
        return 3;
    if (name.size() == 8 && name.substr(0, 6) == "CONFIG" && name[6] >= '1' && name[6] <= '7' &&
        (name[7] == 'H' || name[7] == 'L')) {
        return static_cast<uint8_t>(2 * (name[6] - '1') + (name[7] == 'L' ? 1 : 0));
    }
    return std::nullopt;
}

PicEffect ParsePicEffect(std::string_view text) {
    PicEffect effect;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view clause = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        const auto amp = clause.find('&');
        const auto bar = clause.find('|');
        PicClause c;
        const auto byte =
            amp == std::string_view::npos ? std::nullopt : PicByteIndex(clause.substr(0, amp));
        if (!byte || bar == std::string_view::npos || bar < amp ||
            !Value(clause.substr(amp + 1, bar - amp - 1), c.andMask, c.andMasked) ||
            !Value(clause.substr(bar + 1), c.orValue, c.orMasked)) {
            throw std::invalid_argument("not a configuration effect: " + std::string(clause));
        }
        c.byte = *byte;
        effect.push_back(c);
    }
    return effect;
}

uint8_t PicBytes::AndOf(const PicClause& c) const {
    return c.andMasked ? static_cast<uint8_t>(c.andMask & Mask(c.byte)) : c.andMask;
}

uint8_t PicBytes::OrOf(const PicClause& c) const {
    return c.orMasked ? static_cast<uint8_t>(c.orValue & Mask(c.byte)) : c.orValue;
}

void PicBytes::Apply(const PicEffect& effect) {
    for (const PicClause& c : effect) {
        if (c.byte < bytes_.size()) {
            bytes_[c.byte] = static_cast<uint8_t>((bytes_[c.byte] & AndOf(c)) | OrOf(c));
        }
    }
}

uint8_t PicBytes::Result(const PicEffect& effect, uint8_t byte, uint8_t from) const {
    uint8_t value = from;
    for (const PicClause& c : effect) {
        if (c.byte == byte) {
            value = static_cast<uint8_t>((value & AndOf(c)) | OrOf(c));
        }
    }
    return value;
}

bool PicBytes::HoldsOn(const PicEffect& effect, uint8_t byte, uint8_t bits) const {
    return ((Result(effect, byte, Get(byte)) ^ Get(byte)) & bits) == 0;
}

int PicBytes::HeldChoice(const std::vector<PicEffect>& choices) const {
    std::vector<std::pair<uint8_t, uint8_t>> fields;  // byte, the bits the choices differ in
    for (const PicEffect& e : choices) {
        for (const PicClause& c : e) {
            uint8_t differ = 0;
            for (const PicEffect& other : choices) {
                for (const uint8_t from : {uint8_t{0x00}, uint8_t{0xFF}}) {
                    differ |= Result(e, c.byte, from) ^ Result(other, c.byte, from);
                }
            }
            fields.emplace_back(c.byte, static_cast<uint8_t>(differ & Mask(c.byte)));
        }
    }
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const bool held = std::all_of(fields.begin(), fields.end(), [&](const auto& f) {
            return HoldsOn(choices[i], f.first, f.second);
        });
        if (held) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace kardo
