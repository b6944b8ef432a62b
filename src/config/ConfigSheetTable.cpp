// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigSheetTable.h"

#include <utility>

namespace kardo {
namespace {

constexpr ConfigValue L = ConfigValue::FuseLow;
constexpr ConfigValue H = ConfigValue::FuseHigh;
constexpr ConfigValue E = ConfigValue::FuseExt;
constexpr ConfigValue K = ConfigValue::LockBits;

// Polarity: a ticked box is a programmed bit (0) unless its caption shows the raw value.
constexpr bool kTickedIs0 = false;
constexpr bool kTickedIs1 = true;

ConfigControl Box(std::string name, std::string caption, ConfigValue value, uint8_t bit,
                  bool tickedIsOne, uint8_t andMask = 0) {
    ConfigControl c;
    c.name = std::move(name);
    c.kind = ControlKind::CheckBox;
    c.caption = std::move(caption);
    c.value = value;
    c.bit = bit;
    c.setBits = bit;
    c.tickedIsOne = tickedIsOne;
    c.andMask = andMask != 0 ? andMask : static_cast<uint8_t>(~bit);
    return c;
}

ConfigControl Items(ControlKind kind, std::string name, std::string caption, ConfigValue value,
                    uint8_t andMask, std::vector<std::string> items, std::vector<uint8_t> values,
                    OpenRule open) {
    ConfigControl c;
    c.name = std::move(name);
    c.kind = kind;
    c.caption = std::move(caption);
    c.value = value;
    c.andMask = andMask;
    c.items = std::move(items);
    c.itemValues = std::move(values);
    c.open = std::move(open);
    return c;
}

ConfigControl Radio(std::string name, std::string caption, ConfigValue value, uint8_t andMask,
                    std::vector<std::string> items, std::vector<uint8_t> values, OpenRule open) {
    return Items(ControlKind::RadioGroup, std::move(name), std::move(caption), value, andMask,
                 std::move(items), std::move(values), std::move(open));
}

ConfigControl Combo(std::string name, std::string label, ConfigValue value, uint8_t andMask,
                    std::vector<std::string> items, std::vector<uint8_t> values, OpenRule open) {
    return Items(ControlKind::ComboBox, std::move(name), std::move(label), value, andMask,
                 std::move(items), std::move(values), std::move(open));
}

// The item shown is the field less `offset`.
OpenRule Field(uint8_t shift, uint8_t mask, int offset = 0) {
    return {OpenRule::Mode::Offset, shift, mask, offset, false, {}};
}
// The item shown is the one whose field value is listed at its position.
OpenRule Matching(uint8_t shift, uint8_t mask, std::vector<int> matches) {
    return {OpenRule::Mode::Match, shift, mask, 0, false, std::move(matches)};
}

ConfigControl InGroup(ConfigControl c, std::string group, std::string caption) {
    c.group = std::move(group);
    c.groupCaption = std::move(caption);
    return c;
}

ConfigControl Recaptioned(ConfigControl c, std::string ticked, std::string unticked, bool onOpen) {
    c.captionTicked = std::move(ticked);
    c.captionUnticked = std::move(unticked);
    c.recaptionOnOpen = onOpen;
    return c;
}

ConfigControl Disabled(ConfigControl c) {
    c.enabled = false;
    return c;
}

ConfigPage Page(std::string name, std::vector<uint8_t> codes) {
    ConfigPage p;
    p.name = std::move(name);
    p.codes = std::move(codes);
    return p;
}

HexDisplay Hex(std::string name, std::string label, ConfigValue value) {
    return {std::move(name), std::move(label), value, "%.2X"};
}
HexDisplay PrefixedHex(std::string name, std::string label, ConfigValue value) {
    return {std::move(name), std::move(label), value, "0x%.2X"};
}

const std::vector<std::string> kLockItems{"LB1 + LB2 on", "LB1 on", "Lock Bits off"};

// No step places the chosen calibration byte into the buffer or writes it to the chip;
// the group shows what is stored, and says why it cannot be changed.
const char* const kCalibrationNotProgrammed =
    "Not programmed: no step writes a calibration byte into the buffer or the chip, "
    "so neither the slot nor the \"Program @\" offset takes effect.";

CalibrationGroup Calibration(std::string name, int firstButton, std::string offsetBox,
                             std::string programBox) {
    CalibrationGroup g;
    g.name = std::move(name);
    g.offsetBox = std::move(offsetBox);
    g.programBox = std::move(programBox);
    g.notProgrammed = kCalibrationNotProgrammed;
    for (int i = 0; i < 4; ++i) {
        g.buttons[i] = "RadioButton" + std::to_string(firstButton + i);
    }
    return g;
}

ConfigPage Page100() {
    ConfigPage p = Page("Page100", {100, 101});
    p.controls = {
        InGroup(Box("CB100_Wpen", "WPEN", L, 0x80, kTickedIs1), "GB100_Wpen",
                " Write Protect Enable "),
        Radio("RG100", " Block-Protect ", L, 0x80, {"None", "Upper 1/4", "Upper 1/2", "All"},
              {0x00, 0x04, 0x08, 0x0C}, Field(2, 3)),
    };
    return p;
}

ConfigPage Page102() {
    ConfigPage p = Page("Page102", {102});
    ConfigControl bp =
        Radio("RG102_BP", " Block-Protect ", L, 0xC3, {"None", "Upper 1/2", "Lower 1/2", "All"},
              {0x00, 0x04, 0x24, 0x08}, Matching(2, 0x0F, {0, 1, 9, 2}));
    bp.onlyAt128KiB = true;
    p.controls = {bp, Box("CB102_SRP", "Status Register Protect", L, 0x80, kTickedIs1)};
    return p;
}

ConfigPage Page130() {
    ConfigPage p = Page("Page130", {130});
    p.controls = {Radio("RG130", " Software Data Protection  (Activated during Programming) ",
                        ConfigValue::SdpOn, 0x00, {"SDP OFF", "SDP ON"}, {0, 1}, Field(0, 1))};
    return p;
}

// Sheets 200 to 202 lock with bits 2..1 of the lock byte.
ConfigControl LockGroup2To1(std::string name, OpenRule open) {
    return Radio(std::move(name), " Lock Bits ", K, 0x00, kLockItems, {0x00, 0x04, 0x06},
                 std::move(open));
}

ConfigPage Page200() {
    ConfigPage p = Page("Page200", {200});
    // Each of these boxes also clears bits 7..5, which the part does not have.
    p.controls = {
        Box("CB200_Cksel0", "CKSEL0 ", L, 0x01, kTickedIs0, 0x1E),
        Box("CB200_Cksel1", "CKSEL1", L, 0x02, kTickedIs0, 0x1D),
        Box("CB200_Cksel2", "CKSEL2", L, 0x04, kTickedIs0, 0x1B),
        Box("CB200_Rstdisbl", "RSTDISBL", L, 0x08, kTickedIs0, 0x17),
        Box("CB200_Fstrt", "FSTRT", L, 0x10, kTickedIs0, 0x0F),
        LockGroup2To1("RG200", Matching(1, 0x7F, {0, 2, 3})),
    };
    return p;
}

ConfigPage Page201() {
    ConfigPage p = Page("Page201", {201});
    p.controls = {
        Box("CB201_Cksel0", "CKSEL0 ", L, 0x01, kTickedIs0),
        Box("CB201_Cksel1", "CKSEL1", L, 0x02, kTickedIs0),
        Box("CB201_Cksel2", "CKSEL2", L, 0x04, kTickedIs0),
        Box("CB201_Cksel3", "CKSEL3", L, 0x08, kTickedIs0),
        Box("CB201_Rstdisbl", "RSTDISBL", L, 0x10, kTickedIs0),
        Box("CB201_Spien", "SPIEN", L, 0x20, kTickedIs0),
        Box("CB201_Boden", "BODEN", L, 0x40, kTickedIs0),
        Box("CB201_Bodlevel", "BODLEVEL", L, 0x80, kTickedIs0),
        LockGroup2To1("RG201", Matching(0, 0xFF, {0x00, 0x04, 0x06})),
    };
    p.displays = {PrefixedHex("CalFactor", "Osc Calibration Factor", ConfigValue::CalValue)};
    return p;
}

ConfigPage Page202() {
    ConfigPage p = Page("Page202", {202});
    p.controls = {
        Box("CB202_Fstrt", "FSTRT", L, 0x01, kTickedIs0),
        Box("CB202_Spien", "SPIEN", L, 0x20, kTickedIs0),
        LockGroup2To1("RG202", Matching(0, 0xFF, {0x00, 0x04, 0x06})),
    };
    return p;
}

ConfigPage Page203() {
    ConfigPage p = Page("Page203", {203});
    p.controls = {
        Radio("RG203_CKSEL", "CKSEL3..0", L, 0xF0, {"0001", "0010", "0011", "0100"},
              {0x01, 0x02, 0x03, 0x04}, Field(0, 0x0F, 1)),
        Radio("RG203_SUT", "SUT1..0", L, 0xCF, {"00", "01", "10"}, {0x00, 0x10, 0x20}, Field(4, 3)),
        Box("CB203_Ckopt", "CKOPT = 1", L, 0x40, kTickedIs1),
        Box("CB203_Pllck", "PLLCK = 1", L, 0x80, kTickedIs1),
        Box("CB203_Boden", "BOD Enabled", H, 0x01, kTickedIs0),
        Box("CB203_Bodlevel", "BODLEVEL = 2.7V", H, 0x02, kTickedIs1),
        Box("CB203_Eesave", "EESAVE", H, 0x04, kTickedIs0),
        Box("CB203_Spien", "SPI Enabled", H, 0x08, kTickedIs0),
        Box("CB203_Rstdisbl", "RSTDISBL", H, 0x10, kTickedIs0),
        Radio("RG203", " Lock Bits ", K, 0x00, kLockItems, {0x00, 0x02, 0x03},
              Matching(0, 0xFF, {0x00, 0x02, 0x03})),
    };
    p.displays = {PrefixedHex("Edit1", "FuseLow", L), PrefixedHex("Edit2", "FuseHigh", H)};
    p.calibration = Calibration("GB203_C", 1, "Edit203", "CB203_Prog");
    p.keepsDataEeprom = true;
    return p;
}

ConfigPage Page204() {
    ConfigPage p = Page("Page204", {204});
    p.controls = {
        Box("CB204_Cksel0", "CKSEL0 = 1", L, 0x01, kTickedIs1),
        Box("CB204_Cksel1", "CKSEL1 = 1", L, 0x02, kTickedIs1),
        Box("CB204_Cksel2", "CKSEL2 = 1", L, 0x04, kTickedIs1),
        Box("CB204_Cksel3", "CKSEL3 = 1", L, 0x08, kTickedIs1),
        Box("CB204_Sut0", "SUT0 = 1", L, 0x10, kTickedIs1),
        Box("CB204_Sut1", "SUT1 = 1", L, 0x20, kTickedIs1),
        Box("CB204_Boden", "BODEN", L, 0x40, kTickedIs0),
        Recaptioned(Box("CB204_Bodlevel", "BODLEVEL = 1", L, 0x80, kTickedIs1), "BODLEVEL = 2.6V",
                    "BODLEVEL = 4.0V", true),
        Box("CB204_Bootrst", "BOOTRST", H, 0x01, kTickedIs0),
        Box("CB204_Bootsz0", "BOOTSZ0", H, 0x02, kTickedIs0),
        Box("CB204_Bootsz1", "BOOTSZ1", H, 0x04, kTickedIs0),
        Box("CB204_Eesave", "EESAVE", H, 0x08, kTickedIs0),
        Box("CB204_Ckopt", "CKOPT = 1", H, 0x10, kTickedIs1),
        Box("CB204_Spien", "SPIEN", H, 0x20, kTickedIs0),
        Box("CB204_Wdton", "WDTON", H, 0x40, kTickedIs0),
        Box("CB204_Rstdisbl", "RSTDISBL", H, 0x80, kTickedIs0),
    };
    p.displays = {Hex("Label13", "FuseLow", L), Hex("Label14", "FuseHigh", H)};
    return p;
}

ConfigPage Page204A() {
    ConfigPage p = Page("Page204A", {204});
    p.caption = "Page 2";
    p.controls = {
        Radio("RG204A_LB", " Memory  Lock Bits ", K, 0x3C, kLockItems, {0x00, 0x02, 0x03},
              Matching(0, 3, {0, 2, 3})),
        Radio("RG204A_Blb0", " Boot Lock Bits 0 ", K, 0x33,
              {"BLB01 + BLB02 on", "BLB02 on", "BLB01 on", "Lock Bits off"},
              {0x00, 0x04, 0x08, 0x0C}, Field(2, 3)),
        // Its mask also clears bits 7..6, which no part uses.
        Radio("RG204A_Blb1", " Boot Lock Bits 1 ", K, 0x0F,
              {"BLB11 + BLB12 on", "BLB12 on", "BLB11 on", "Lock Bits off"},
              {0x00, 0x10, 0x20, 0x30}, Field(4, 3)),
    };
    p.calibration = Calibration("GB204A_CF", 5, "Edit204A", "CB204A_Prog");
    return p;
}

// The lock combo boxes of sheets 205 and 207. The boot-lock boxes end with an empty item.
std::vector<ConfigControl> LockCombos(const std::string& mlb, const std::string& blb0,
                                      const std::string& blb1) {
    ConfigControl memory =
        Combo(mlb, "Memory Lock Bits", K, 0xFC, {"LB1 + LB2 on", "LB1 on", "Lock bits off"},
              {0x00, 0x02, 0x03}, Field(0, 3, 1));
    memory.open.belowShowsFirst = true;
    return {
        memory,
        Combo(blb0, "Boot Lock Bits 0", K, 0xF3,
              {"BLB01 + BLB02 on", "BLB02 on", "BLB01 on", "Lock Bits off", ""},
              {0x00, 0x04, 0x08, 0x0C, 0x00}, Field(2, 3)),
        Combo(blb1, "Boot Lock Bits 1", K, 0xCF,
              {"BLB11 + BLB12 on", "BLB12 on", "BLB11 on", "Lock Bits off", ""},
              {0x00, 0x10, 0x20, 0x30, 0x00}, Field(4, 3)),
    };
}

// The low fuse of sheets 205 and 207: every box shows the raw bit.
std::vector<ConfigControl> ClockBoxes(const std::string& prefix, const char* const (&cksel)[4],
                                      const char* const (&rest)[4]) {
    static const char* const kCaptions[] = {"CKSEL0 = 1", "CKSEL1 = 1", "CKSEL2 = 1", "CKSEL3 = 1",
                                            "SUT0 = 1",   "SUT1 = 1",   "CKOUT = 1",  "CKDIV8 = 1"};
    std::vector<ConfigControl> boxes;
    for (int bit = 0; bit < 8; ++bit) {
        const char* name = bit < 4 ? cksel[bit] : rest[bit - 4];
        boxes.push_back(
            Box(prefix + name, kCaptions[bit], L, static_cast<uint8_t>(1 << bit), kTickedIs1));
    }
    return boxes;
}

void Append(std::vector<ConfigControl>& to, std::vector<ConfigControl> more) {
    for (ConfigControl& c : more) {
        to.push_back(std::move(c));
    }
}

// Sheet 205 serves two layouts: the ATmega48/88/168 keep BODLEVEL in the high fuse and
// the boot bits in the extended fuse; ConfigCode 210 (ATmega328P) swaps the two bytes.
ConfigPage Page205(uint8_t code) {
    ConfigPage p = Page("Page205", {code});
    p.keepsDataEeprom = true;
    const ConfigValue bod = code == 210 ? E : H;
    const ConfigValue boot = code == 210 ? H : E;
    Append(p.controls, ClockBoxes("CB205_", {"Cksel0", "Cksel1", "Cksel2", "Cksel3"},
                                  {"Sut0", "Sut1", "Ckout", "Ckdiv8"}));
    // WDTON is a programmed-when-ticked box like its neighbours; it shares the handler
    // of sheet 204's "CKOPT = 1", but its caption names the function, not the bit.
    Append(p.controls, {
                           Box("CB205_Bodl0", "BODLEVEL0 = 1", bod, 0x01, kTickedIs1),
                           Box("CB205_Bodl1", "BODLEVEL1 = 1", bod, 0x02, kTickedIs1),
                           Box("CB205_Bodl2", "BODLEVEL2 = 1", bod, 0x04, kTickedIs1),
                           Box("CB205_Eesave", "EESAVE", H, 0x08, kTickedIs0),
                           Box("CB205_Wdton", "WDTON", H, 0x10, kTickedIs0),
                           Box("CB205_Spien", "SPIEN", H, 0x20, kTickedIs0),
                           Box("CB205_Dwen", "DWEN", H, 0x40, kTickedIs0),
                           Box("CB205_Rstdis", "RSTDISBL", H, 0x80, kTickedIs0),
                           Box("CB205_Bootrst", "BOOTRST", boot, 0x01, kTickedIs0),
                           Box("CB205_Bootsz0", "BOOTSZ0", boot, 0x02, kTickedIs0),
                           Box("CB205_Bootsz1", "BOOTSZ1", boot, 0x04, kTickedIs0),
                       });
    Append(p.controls, LockCombos("CB205_MlbBox", "CB205_Blb0box", "CB205_Blb1box"));
    p.displays = {Hex("Label13", "FuseLow", L), Hex("Label14", "FuseHigh", H),
                  Hex("Label15", "FuseExt", E)};
    return p;
}

ConfigPage Page206() {
    ConfigPage p = Page("Page206", {206});
    const auto fuse = [](std::string name, std::string caption, std::vector<std::string> items,
                         int bit) {
        ConfigControl c =
            Radio(std::move(name), std::move(caption), L, static_cast<uint8_t>(~(1 << bit) & 0x0F),
                  std::move(items), {0x00, static_cast<uint8_t>(1 << bit)},
                  Field(static_cast<uint8_t>(bit), 1));
        c.highNibbleSetForVariant34 = true;
        return c;
    };
    p.controls = {
        Disabled(fuse("RG206_F1", " Fuse 1 ", {"Serial Prog Enabled", "Serial Prog Disabled"}, 0)),
        fuse("RG206_F2", " Fuse 2 ", {"x2 Clock Enabled", "x2 Clock Disabled"}, 1),
        Disabled(
            fuse("RG206_F3", " Fuse 3 ", {"User Row Prog Enabled", "User Row Prog Disabled"}, 2)),
        fuse("RG206_F4", " Fuse 4 ", {"Ext Clock Enabled", "Xtal Clock Enabled"}, 3),
    };
    p.displays = {Hex("Label13", "FuseLow", L)};
    return p;
}

ConfigPage Page207() {
    ConfigPage p = Page("Page207", {207});
    Append(p.controls, ClockBoxes("CB207_", {"Sel0", "Sel1", "Sel2", "Sel3"},
                                  {"Sut0", "Sut1", "Ckout", "Ckdiv8"}));
    // WDTON and M161C are programmed-when-ticked boxes: their captions name functions.
    Append(p.controls, {
                           Box("CB207_btrst", "BOOTRST", H, 0x01, kTickedIs0),
                           Box("CB207_btsz0", "BOOTSZ0", H, 0x02, kTickedIs0),
                           Box("CB207_btsz1", "BOOTSZ1", H, 0x04, kTickedIs0),
                           Box("CB207_eesave", "EESAVE", H, 0x08, kTickedIs0),
                           Box("CB207_wdton", "WDTON", H, 0x10, kTickedIs0),
                           Box("CB207_spien", "SPIEN", H, 0x20, kTickedIs0),
                           Box("CB207_jtagen", "JTAGEN", H, 0x40, kTickedIs0),
                           Box("CB207_ocden", "OCDEN", H, 0x80, kTickedIs0),
                           Box("CB207_bdl0", "BODLEVEL0 = 1", E, 0x02, kTickedIs1),
                           Box("CB207_bdl1", "BODLEVEL1 = 1", E, 0x04, kTickedIs1),
                           Box("CB207_bdl2", "BODLEVEL2 = 1", E, 0x08, kTickedIs1),
                           Box("CB207_m161c", "M161C", E, 0x10, kTickedIs0),
                       });
    Append(p.controls, LockCombos("CB207_mlb", "CB207_blb0", "CB207_blb1"));
    p.displays = {Hex("Label13", "FuseLow", L), Hex("Label14", "FuseHigh", H),
                  Hex("Label15", "FuseExt", E)};
    p.calibration = Calibration("GroupBox15", 9, "CB207_edit", "CB207_Prog");
    return p;
}

ConfigPage Page208() {
    ConfigPage p = Page("Page208", {208});
    p.showTab = false;
    p.resetOnOpen = std::pair{ConfigValue::SecurityByte, uint8_t{0xFF}};
    constexpr ConfigValue S = ConfigValue::SecurityByte;
    ConfigControl seed = Box("P208S01in", "Seed 0 && 1 access inhibit", S, 0x04, kTickedIs0);
    seed.visible = false;
    ConfigControl osc = Recaptioned(Box("P208Osc", "Osc  Full Gain", S, 0x80, kTickedIs1),
                                    "Osc Full Gain", "Osc Half Gain", false);
    osc.visible = false;
    p.controls = {Box("P208Lock", "Lock Bit", S, 0x01, kTickedIs0),
                  Box("P208Movin", "MOVC inhibit", S, 0x02, kTickedIs0), seed, osc};
    p.displays = {PrefixedHex("Label5", "Security Register = ", S)};
    return p;
}

const std::vector<std::string> kCrystalItems{
    "1000 -Xtal Osc/Res 0.4-0.9 MHz",   "1001 -Xtal Osc/Res 0.4-0.9 MHz",
    "1010 -Xtal Osc/Res    0.9-3 MHz",  "1011 -Xtal Osc/Res    0.9-3 MHz",
    "1100 -Xtal Osc/Res       3-8 MHz", "1101 -Xtal Osc/Res       3-8 MHz",
    "1110 -Xtal Osc/Res     8-20 MHz",  "1111 -Xtal Osc/Res     8-20 MHz"};

// Sheet 209 serves the ATtiny25/45/85 and 261/461/861 layout (209) and the ATtiny2313's
// (211), whose high fuse has RSTDISBL at bit 0, BODLEVEL in bits 3..1 and EESAVE and
// DWEN at bits 6 and 7.
ConfigPage Page209(uint8_t code) {
    const bool tiny2313 = code == 211;
    ConfigPage p = Page("Page209", {code});
    // The ATtiny2313's buffer is the code alone (64 KB for a file load).
    p.keepsDataEeprom = !tiny2313;
    const std::vector<std::string> clocks =
        tiny2313 ? ClockItems({"0000 -External Clock", "0010 -Internal 4MHz Osc",
                               "0100 -Internal 8MHz Osc", "0110 -Internal 128KHz Osc"})
                 : ClockItems({"0000 -External Clock", "0001 -High Freq PLL Clock",
                               "0010 -Internal 8 MHz Osc", "0011 -Internal 128 KHz Osc",
                               "0100 -Low-Freq Xtal Osc"});
    // BODLEVEL 100, 101, 110 and 111 are 4.3 V, 2.7 V, 1.8 V and off on both layouts.
    ConfigControl bod = tiny2313 ? Radio("RG209_BODLVL", "BODLEVEL[2..0]", H, 0xF1,
                                         {"4.3 V", "2.7 V", "1.8 V", "BOD Disabled"},
                                         {0x08, 0x0A, 0x0C, 0x0E}, Field(1, 7, 4))
                                 : Radio("RG209_BODLVL", "BODLEVEL[2..0]", H, 0xF8,
                                         {"4.3 V", "2.7 V", "1.8 V", "BOD Disabled"},
                                         {0x04, 0x05, 0x06, 0x07}, Field(0, 7, 4));
    // "WDT always on" is ticked when the fuse is programmed, as its caption says.
    p.controls = {
        Box("CB209_CKOUT", "CKOUT Enabled", L, 0x40, kTickedIs0),
        Box("CB209_CKDIV8", "Divided Clock by 8 ", L, 0x80, kTickedIs0),
        Radio("RG209_SUT", "SUT1..0", L, 0xCF, {"00", "01", "10"}, {0x00, 0x10, 0x20}, Field(4, 3)),
        InGroup(Combo("CKSEL_CB", "", L, 0xF0, clocks, LeadingBits(clocks), {}), "GroupBox209",
                "CKSEL[3:0]"),
        Box("CB209_RSTDISBL", "RSTDISBL", H, tiny2313 ? 0x01 : 0x80, kTickedIs0),
        Box("CB209_DWEN", "debugWIRE Enabled", H, tiny2313 ? 0x80 : 0x40, kTickedIs0),
        Box("CB209_SPIEN", "SPI Enabled", H, 0x20, kTickedIs0),
        Box("CB209_WDTON", "WDT always on", H, 0x10, kTickedIs0),
        Box("CB209_EESAVE", "EESAVE", H, tiny2313 ? 0x40 : 0x08, kTickedIs0),
        bod,
        Box("CB209_SELFPRG", "SELFPRG Enabled", E, 0x01, kTickedIs0),
        Radio("RG209_LB", " Lock Bits ", K, 0x00, kLockItems, {0x00, 0x02, 0x03},
              Matching(0, 3, {0, 2, 3})),
    };
    p.displays = {Hex("FL_Value", "FuseLow: ", L), Hex("FH_Value", "FuseHigh: ", H),
                  Hex("FE_Value", "FuseExt: ", E)};
    return p;
}

ConfigPage Page212() {
    ConfigPage p = Page("Page212", {212});
    // Setting a bit also sets bits 3 and 2, the two boxes without caption.
    const auto box = [](std::string name, std::string caption, uint8_t bit) {
        ConfigControl c = Box(std::move(name), std::move(caption), L, bit, kTickedIs0);
        c.setBits = static_cast<uint8_t>(bit | 0x0C);
        return c;
    };
    p.controls = {
        box("CB212_LB1", "Lock Bit 1", 0x01),
        box("CB212_LB2", "Lock Bit 2", 0x02),
        Disabled(Box("CheckBox1", "", L, 0x04, kTickedIs0)),
        Disabled(Box("CheckBox5", "", L, 0x08, kTickedIs0)),
        box("CB212_SPIEN", "Serial Programming Enabled", 0x10),
        box("CB212_Clkx2", "x2 Clock Enabled", 0x20),
        box("CB212_URPE", "User Row Programming Enabled", 0x40),
        box("CB212_OBE", "XTAL Osc Bypass Enabled", 0x80),
    };
    return p;
}

}  // namespace

std::vector<uint8_t> LeadingBits(const std::vector<std::string>& items) {
    std::vector<uint8_t> values;
    for (const std::string& item : items) {
        uint8_t v = 0;
        for (std::size_t i = 0; i < 4 && i < item.size(); ++i) {
            v = static_cast<uint8_t>((v << 1) | (item[i] == '1' ? 1 : 0));
        }
        values.push_back(v);
    }
    return values;
}

std::vector<std::string> ClockItems(std::vector<std::string> internal) {
    internal.insert(internal.end(), kCrystalItems.begin(), kCrystalItems.end());
    return internal;
}

const std::vector<ConfigPage>& ConfigPages() {
    static const std::vector<ConfigPage> pages = [] {
        std::vector<ConfigPage> all{
            Page100(), Page102(), Page130(),    Page200(),    Page201(),    Page202(),
            Page203(), Page204(), Page204A(),   Page205(205), Page205(210), Page206(),
            Page207(), Page208(), Page209(209), Page209(211), Page212(),
        };
        for (ConfigPage& own : OwnAvrPages()) {
            all.push_back(std::move(own));
        }
        return all;
    }();
    return pages;
}

}  // namespace kardo
