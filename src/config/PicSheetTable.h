// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kardo {

// One control of a PIC configuration sheet as the table lists it. A check box has no
// items and two effects, unticked then ticked; a radio group has one effect per item.
// An effect is a list of clauses "BYTE&AA|OO", comma separated: the byte ANDed with AA,
// then ORed with OO. BYTE is W1H, W1L, W2H, W2L, or CONFIG1L .. CONFIG7H on PIC18
// parts; a hex value written "mAA" is first ANDed with the byte's ConfigMask.
struct PicControlRow {
    std::string page;
    std::string name;
    std::string caption;
    std::vector<std::string> items;
    std::vector<std::string> effects;
};
const std::vector<PicControlRow>& PicControlRows();

// The sheets a ConfigCode shows: the first tab carries the device's name, later ones
// their captions.
struct PicPageSet {
    std::vector<uint8_t> codes;
    std::vector<std::pair<std::string, std::string>> pages;  // sheet, tab caption
};
const std::vector<PicPageSet>& PicPageSets();

}  // namespace kardo
