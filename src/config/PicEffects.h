// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kardo {

// One step of a control's effect on a configuration byte: AND, then OR. The byte is
// counted in buffer order from the first configuration byte: W1H 0, W1L 1, W2H 2, W2L 3;
// on PIC18 parts CONFIGnH is 2(n-1) and CONFIGnL 2(n-1) + 1.
struct PicClause {
    uint8_t byte = 0;
    uint8_t andMask = 0xFF;
    uint8_t orValue = 0;
    bool andMasked = false;  // AND also with the byte's ConfigMask
    bool orMasked = false;   // OR only the bits the ConfigMask has
};
using PicEffect = std::vector<PicClause>;

// "W1L&F7|08,W1H&00|m3F" into its clauses; throws std::invalid_argument on anything else.
PicEffect ParsePicEffect(std::string_view text);
std::optional<uint8_t> PicByteIndex(std::string_view name);

// The configuration bytes as a control sees them, with their masks.
class PicBytes {
  public:
    PicBytes(std::span<uint8_t> bytes, std::span<const uint8_t> masks)
        : bytes_(bytes), masks_(masks) {}
    uint8_t Mask(uint8_t byte) const { return byte < masks_.size() ? masks_[byte] : 0xFF; }
    uint8_t Get(uint8_t byte) const { return byte < bytes_.size() ? bytes_[byte] : 0; }

    void Apply(const PicEffect& effect);
    // What the effect makes of `from` as the value of `byte`.
    uint8_t Result(const PicEffect& effect, uint8_t byte, uint8_t from) const;
    // Whether the bytes already hold what the effect writes on `bits` of `byte`.
    bool HoldsOn(const PicEffect& effect, uint8_t byte, uint8_t bits) const;
    // The choice of a control whose write the bytes hold, on the bits in which its
    // choices differ and the part implements; -1 for none.
    int HeldChoice(const std::vector<PicEffect>& choices) const;

  private:
    uint8_t AndOf(const PicClause& c) const;
    uint8_t OrOf(const PicClause& c) const;
    std::span<uint8_t> bytes_;
    std::span<const uint8_t> masks_;
};

}  // namespace kardo
