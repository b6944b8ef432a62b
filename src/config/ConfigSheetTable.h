// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kardo {

// The value of ConfigBits a control edits or a display shows.
enum class ConfigValue : uint8_t {
    FuseLow,
    FuseHigh,
    FuseExt,
    LockBits,
    SdpOn,
    SecurityByte,
    CalValue
};

enum class ControlKind : uint8_t { CheckBox, RadioGroup, ComboBox };

// How a radio group or combo box finds its item in its byte when the dialog opens. The
// field is (value >> shift) AND mask.
struct OpenRule {
    enum class Mode : uint8_t {
        None,    // the box starts with nothing chosen
        Offset,  // item = field - offset; below 0 none (or the first item), past the end the last
        Match,   // the item whose entry in `matches` is the field; none when no entry is
    };
    Mode mode = Mode::None;
    uint8_t shift = 0;
    uint8_t mask = 0;
    int offset = 0;
    bool belowShowsFirst = false;
    std::vector<int> matches;
};

// One check box, radio group or combo box of a sheet: what it shows and which bits of
// which byte it writes. A change first ANDs the byte with `andMask`; a check box then
// ORs in `setBits` when its state calls for 1 under its polarity, an item group the
// value of the chosen item.
struct ConfigControl {
    std::string name;
    ControlKind kind = ControlKind::CheckBox;
    std::string caption;  // check box text, group caption, or a combo box's label
    ConfigValue value = ConfigValue::FuseLow;
    uint8_t andMask = 0xFF;

    // Check boxes: the bit they show, the bits a 1 sets, and the polarity.
    uint8_t bit = 0;
    uint8_t setBits = 0;
    bool tickedIsOne = false;
    // A caption that follows the box's state (empty: the caption stays), and whether
    // the opening already applies it or only a click does.
    std::string captionTicked, captionUnticked;
    bool recaptionOnOpen = false;

    // Radio groups and combo boxes.
    std::vector<std::string> items;
    std::vector<uint8_t> itemValues;
    OpenRule open;
    // The block-protect bits exist only on the 128 KiB part: other sizes write none and
    // show no choice.
    bool onlyAt128KiB = false;
    // The fuse byte of these parts keeps its upper four bits at 1.
    bool highNibbleSetForVariant34 = false;

    // The group box a check box sits in, if any.
    std::string group, groupCaption;
    bool visible = true;
    bool enabled = true;
};

// A read-only hexadecimal display beside its label ("FuseLow", "Security Register = ").
struct HexDisplay {
    std::string name;
    std::string label;
    ConfigValue value;
    const char* format;  // "%.2X" or "0x%.2X"
};

// The " Calibration Factors " group: four slot buttons, the offset box, "Program @".
struct CalibrationGroup {
    std::string name;
    std::array<std::string, 4> buttons;
    std::string offsetBox;
    std::string programBox;
    bool visible = true;
    // Why the group is shown disabled: no step writes what it chooses, so offering the
    // choice would promise a programmed byte that never arrives. Empty: it is offered.
    std::string notProgrammed;
};

struct ConfigPage {
    std::string name;            // "Page204A"
    std::vector<uint8_t> codes;  // the ConfigCodes that show it
    std::string caption;         // empty: the device's name is the tab caption
    bool showTab = true;         // sheet 208 is shown without its tab
    // The ISP parts of this sheet keep their data EEPROM in the buffer after the code.
    bool keepsDataEeprom = false;
    std::optional<std::pair<ConfigValue, uint8_t>> resetOnOpen;  // a byte each opening restarts
    std::vector<ConfigControl> controls;
    std::vector<HexDisplay> displays;
    std::optional<CalibrationGroup> calibration;
};

// Every sheet of the configuration dialog, as shown before any device rule applies.
const std::vector<ConfigPage>& ConfigPages();

// The program's own AVR sheets (see OwnAvrSheets.cpp), which ConfigPages() ends with.
std::vector<ConfigPage> OwnAvrPages();

// The clock list of sheet 209: the given items, then the eight crystal ranges. Each
// item writes the four binary digits it starts with.
std::vector<std::string> ClockItems(std::vector<std::string> internal);
std::vector<uint8_t> LeadingBits(const std::vector<std::string>& items);

}  // namespace kardo
