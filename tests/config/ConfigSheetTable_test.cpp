// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration sheets checked as tables: every control of every sheet against a
// second, independent listing of its caption, byte, bits, polarity, mask, items and
// values, and the whole table for the faults a listing cannot see: a click whose
// opening shows something else, a mask that clears a bit another control shows.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "common/Format.h"
#include "config/ConfigSheetModel.h"
#include "config/ConfigSheetTable.h"
#include "support/Records.h"

namespace kardo {
namespace {

char Letter(ConfigValue v) {
    switch (v) {
        case ConfigValue::FuseLow:
            return 'L';
        case ConfigValue::FuseHigh:
            return 'H';
        case ConfigValue::FuseExt:
            return 'E';
        case ConfigValue::LockBits:
            return 'K';
        case ConfigValue::SdpOn:
            return 'D';
        case ConfigValue::SecurityByte:
            return 'S';
        case ConfigValue::CalValue:
            return 'C';
    }
    return '?';
}

// One line per control: a check box as "name|caption|<byte><bit>|<ticked value>", with
// "|&mask" when the mask clears more than its bit and "|+bits" when it sets more; an
// item group as "name|caption|<byte>|&mask|values|items".
std::string Describe(const ConfigControl& c) {
    if (c.kind == ControlKind::CheckBox) {
        int bit = 0;
        while ((1 << bit) != c.bit) {
            ++bit;
        }
        std::string line = c.name + "|" + c.caption + "|" + Letter(c.value) + std::to_string(bit) +
                           "|" + (c.tickedIsOne ? "1" : "0");
        if (c.andMask != static_cast<uint8_t>(~c.bit)) {
            line += Format("|&%.2X", c.andMask);
        }
        if (c.setBits != c.bit) {
            line += Format("|+%.2X", c.setBits);
        }
        return line;
    }
    std::string values, items;
    for (std::size_t i = 0; i < c.items.size(); ++i) {
        values += (i ? "," : "") + Format("%.2X", c.itemValues[i]);
        items += (i ? ";" : "") + c.items[i];
    }
    return c.name + "|" + c.caption + "|" + Letter(c.value) + Format("|&%.2X|", c.andMask) +
           values + "|" + items;
}

const std::string kLock3 = "LB1 + LB2 on;LB1 on;Lock Bits off";
const std::string kBlb0 = "BLB01 + BLB02 on;BLB02 on;BLB01 on;Lock Bits off";
const std::string kBlb1 = "BLB11 + BLB12 on;BLB12 on;BLB11 on;Lock Bits off";
const std::string kCrystal =
    "1000 -Xtal Osc/Res 0.4-0.9 MHz;1001 -Xtal Osc/Res 0.4-0.9 MHz;"
    "1010 -Xtal Osc/Res    0.9-3 MHz;1011 -Xtal Osc/Res    0.9-3 MHz;"
    "1100 -Xtal Osc/Res       3-8 MHz;1101 -Xtal Osc/Res       3-8 MHz;"
    "1110 -Xtal Osc/Res     8-20 MHz;1111 -Xtal Osc/Res     8-20 MHz";
const std::string kCrystalValues = ",08,09,0A,0B,0C,0D,0E,0F";

std::vector<std::string> LowClockBoxes(const std::string& p, const std::string& sel) {
    return {p + sel + "0|CKSEL0 = 1|L0|1", p + sel + "1|CKSEL1 = 1|L1|1",
            p + sel + "2|CKSEL2 = 1|L2|1", p + sel + "3|CKSEL3 = 1|L3|1",
            p + "Sut0|SUT0 = 1|L4|1",      p + "Sut1|SUT1 = 1|L5|1",
            p + "Ckout|CKOUT = 1|L6|1",    p + "Ckdiv8|CKDIV8 = 1|L7|1"};
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::string> Sheet205(char bod, char boot) {
    const std::string b(1, bod), t(1, boot);
    return Joined(
        LowClockBoxes("CB205_", "Cksel"),
        {"CB205_Bodl0|BODLEVEL0 = 1|" + b + "0|1", "CB205_Bodl1|BODLEVEL1 = 1|" + b + "1|1",
         "CB205_Bodl2|BODLEVEL2 = 1|" + b + "2|1", "CB205_Eesave|EESAVE|H3|0",
         // WDTON is ticked when programmed, like every box named by its function.
         "CB205_Wdton|WDTON|H4|0", "CB205_Spien|SPIEN|H5|0", "CB205_Dwen|DWEN|H6|0",
         "CB205_Rstdis|RSTDISBL|H7|0", "CB205_Bootrst|BOOTRST|" + t + "0|0",
         "CB205_Bootsz0|BOOTSZ0|" + t + "1|0", "CB205_Bootsz1|BOOTSZ1|" + t + "2|0",
         "CB205_MlbBox|Memory Lock Bits|K|&FC|00,02,03|LB1 + LB2 on;LB1 on;Lock bits off",
         "CB205_Blb0box|Boot Lock Bits 0|K|&F3|00,04,08,0C,00|" + kBlb0 + ";",
         "CB205_Blb1box|Boot Lock Bits 1|K|&CF|00,10,20,30,00|" + kBlb1 + ";"});
}

std::vector<std::string> Sheet209(bool tiny2313) {
    const std::string clocks =
        tiny2313 ? "00,02,04,06" + kCrystalValues +
                       "|0000 -External Clock;0010 -Internal 4MHz Osc;0100 -Internal 8MHz Osc;"
                       "0110 -Internal 128KHz Osc;" +
                       kCrystal
                 : "00,01,02,03,04" + kCrystalValues +
                       "|0000 -External Clock;0001 -High Freq PLL Clock;0010 -Internal 8 MHz Osc;"
                       "0011 -Internal 128 KHz Osc;0100 -Low-Freq Xtal Osc;" +
                       kCrystal;
    return {
        "CB209_CKOUT|CKOUT Enabled|L6|0",
        "CB209_CKDIV8|Divided Clock by 8 |L7|0",
        "RG209_SUT|SUT1..0|L|&CF|00,10,20|00;01;10",
        "CKSEL_CB||L|&F0|" + clocks,
        tiny2313 ? "CB209_RSTDISBL|RSTDISBL|H0|0" : "CB209_RSTDISBL|RSTDISBL|H7|0",
        tiny2313 ? "CB209_DWEN|debugWIRE Enabled|H7|0" : "CB209_DWEN|debugWIRE Enabled|H6|0",
        "CB209_SPIEN|SPI Enabled|H5|0",
        // Ticked when the watchdog is forced on, that is when the fuse is programmed.
        "CB209_WDTON|WDT always on|H4|0",
        tiny2313 ? "CB209_EESAVE|EESAVE|H6|0" : "CB209_EESAVE|EESAVE|H3|0",
        // The ATtiny2313's BODLEVEL values are those of the datasheet: 100 to 111.
        tiny2313 ? "RG209_BODLVL|BODLEVEL[2..0]|H|&F1|08,0A,0C,0E|4.3 V;2.7 V;1.8 V;BOD Disabled"
                 : "RG209_BODLVL|BODLEVEL[2..0]|H|&F8|04,05,06,07|4.3 V;2.7 V;1.8 V;BOD Disabled",
        "CB209_SELFPRG|SELFPRG Enabled|E0|0",
        "RG209_LB| Lock Bits |K|&00|00,02,03|" + kLock3,
    };
}

// The controls of each ConfigCode, sheet after sheet.
const std::map<int, std::vector<std::string>>& Expected() {
    static const std::map<int, std::vector<std::string>> expected{
        {100,
         {"CB100_Wpen|WPEN|L7|1",
          "RG100| Block-Protect |L|&80|00,04,08,0C|None;Upper 1/4;Upper 1/2;All"}},
        {102,
         {"RG102_BP| Block-Protect |L|&C3|00,04,24,08|None;Upper 1/2;Lower 1/2;All",
          "CB102_SRP|Status Register Protect|L7|1"}},
        {130,
         {"RG130| Software Data Protection  (Activated during Programming) |D|&00|00,01|SDP "
          "OFF;SDP ON"}},
        {200,
         {"CB200_Cksel0|CKSEL0 |L0|0|&1E", "CB200_Cksel1|CKSEL1|L1|0|&1D",
          "CB200_Cksel2|CKSEL2|L2|0|&1B", "CB200_Rstdisbl|RSTDISBL|L3|0|&17",
          "CB200_Fstrt|FSTRT|L4|0|&0F", "RG200| Lock Bits |K|&00|00,04,06|" + kLock3}},
        {201,
         {"CB201_Cksel0|CKSEL0 |L0|0", "CB201_Cksel1|CKSEL1|L1|0", "CB201_Cksel2|CKSEL2|L2|0",
          "CB201_Cksel3|CKSEL3|L3|0", "CB201_Rstdisbl|RSTDISBL|L4|0", "CB201_Spien|SPIEN|L5|0",
          "CB201_Boden|BODEN|L6|0", "CB201_Bodlevel|BODLEVEL|L7|0",
          "RG201| Lock Bits |K|&00|00,04,06|" + kLock3}},
        {202,
         {"CB202_Fstrt|FSTRT|L0|0", "CB202_Spien|SPIEN|L5|0",
          "RG202| Lock Bits |K|&00|00,04,06|" + kLock3}},
        {203,
         {"RG203_CKSEL|CKSEL3..0|L|&F0|01,02,03,04|0001;0010;0011;0100",
          "RG203_SUT|SUT1..0|L|&CF|00,10,20|00;01;10", "CB203_Ckopt|CKOPT = 1|L6|1",
          "CB203_Pllck|PLLCK = 1|L7|1", "CB203_Boden|BOD Enabled|H0|0",
          "CB203_Bodlevel|BODLEVEL = 2.7V|H1|1", "CB203_Eesave|EESAVE|H2|0",
          "CB203_Spien|SPI Enabled|H3|0", "CB203_Rstdisbl|RSTDISBL|H4|0",
          "RG203| Lock Bits |K|&00|00,02,03|" + kLock3}},
        {204,
         {"CB204_Cksel0|CKSEL0 = 1|L0|1", "CB204_Cksel1|CKSEL1 = 1|L1|1",
          "CB204_Cksel2|CKSEL2 = 1|L2|1", "CB204_Cksel3|CKSEL3 = 1|L3|1",
          "CB204_Sut0|SUT0 = 1|L4|1", "CB204_Sut1|SUT1 = 1|L5|1", "CB204_Boden|BODEN|L6|0",
          "CB204_Bodlevel|BODLEVEL = 1|L7|1", "CB204_Bootrst|BOOTRST|H0|0",
          "CB204_Bootsz0|BOOTSZ0|H1|0", "CB204_Bootsz1|BOOTSZ1|H2|0", "CB204_Eesave|EESAVE|H3|0",
          "CB204_Ckopt|CKOPT = 1|H4|1", "CB204_Spien|SPIEN|H5|0", "CB204_Wdton|WDTON|H6|0",
          "CB204_Rstdisbl|RSTDISBL|H7|0", "RG204A_LB| Memory  Lock Bits |K|&3C|00,02,03|" + kLock3,
          "RG204A_Blb0| Boot Lock Bits 0 |K|&33|00,04,08,0C|" + kBlb0,
          "RG204A_Blb1| Boot Lock Bits 1 |K|&0F|00,10,20,30|" + kBlb1}},
        {205, Sheet205('H', 'E')},
        {210, Sheet205('E', 'H')},
        {206,
         {"RG206_F1| Fuse 1 |L|&0E|00,01|Serial Prog Enabled;Serial Prog Disabled",
          "RG206_F2| Fuse 2 |L|&0D|00,02|x2 Clock Enabled;x2 Clock Disabled",
          "RG206_F3| Fuse 3 |L|&0B|00,04|User Row Prog Enabled;User Row Prog Disabled",
          "RG206_F4| Fuse 4 |L|&07|00,08|Ext Clock Enabled;Xtal Clock Enabled"}},
        {207,
         Joined(
             LowClockBoxes("CB207_", "Sel"),
             {"CB207_btrst|BOOTRST|H0|0", "CB207_btsz0|BOOTSZ0|H1|0", "CB207_btsz1|BOOTSZ1|H2|0",
              "CB207_eesave|EESAVE|H3|0", "CB207_wdton|WDTON|H4|0", "CB207_spien|SPIEN|H5|0",
              "CB207_jtagen|JTAGEN|H6|0", "CB207_ocden|OCDEN|H7|0", "CB207_bdl0|BODLEVEL0 = 1|E1|1",
              "CB207_bdl1|BODLEVEL1 = 1|E2|1", "CB207_bdl2|BODLEVEL2 = 1|E3|1",
              // Ticked when the compatibility mode is on, as the caption says.
              "CB207_m161c|M161C|E4|0",
              "CB207_mlb|Memory Lock Bits|K|&FC|00,02,03|LB1 + LB2 on;LB1 on;Lock bits off",
              "CB207_blb0|Boot Lock Bits 0|K|&F3|00,04,08,0C,00|" + kBlb0 + ";",
              "CB207_blb1|Boot Lock Bits 1|K|&CF|00,10,20,30,00|" + kBlb1 + ";"})},
        {208,
         {"P208Lock|Lock Bit|S0|0", "P208Movin|MOVC inhibit|S1|0",
          "P208S01in|Seed 0 && 1 access inhibit|S2|0", "P208Osc|Osc  Full Gain|S7|1"}},
        {209, Sheet209(false)},
        {211, Sheet209(true)},
        {212,
         {"CB212_LB1|Lock Bit 1|L0|0|+0D", "CB212_LB2|Lock Bit 2|L1|0|+0E", "CheckBox1||L2|0",
          "CheckBox5||L3|0", "CB212_SPIEN|Serial Programming Enabled|L4|0|+1C",
          "CB212_Clkx2|x2 Clock Enabled|L5|0|+2C",
          "CB212_URPE|User Row Programming Enabled|L6|0|+4C",
          "CB212_OBE|XTAL Osc Bypass Enabled|L7|0|+8C"}},
    };
    return expected;
}

DeviceRecord WithCode(int code, int32_t lastAddress = 0x1FFFF) {
    auto r = test::MakeRecord('M', lastAddress, 32, "PART");
    r.SetU8(field::ConfigCode, static_cast<uint8_t>(code));
    return r;
}

std::set<int> Codes(const std::vector<ConfigPage>& pages) {
    std::set<int> codes;
    for (const ConfigPage& page : pages) {
        codes.insert(page.codes.begin(), page.codes.end());
    }
    return codes;
}

std::set<int> TableCodes() {
    return Codes(ConfigPages());
}

// The program's own AVR sheets are held against avr-libc's fuse bit names by the
// toolchain check, not listed here again.
const std::set<int>& OwnCodes() {
    static const std::set<int> codes = Codes(OwnAvrPages());
    return codes;
}

TEST(ConfigSheetTable, EveryControlIsAsListed) {
    ConfigBits bits;
    for (int code = 0; code < 256; ++code) {
        ConfigSheetModel model(WithCode(code), bits);
        std::vector<std::string> actual;
        for (const ConfigPage& page : model.pages()) {
            for (const ConfigControl& c : page.controls) {
                actual.push_back(Describe(c));
            }
        }
        if (OwnCodes().contains(code)) {
            continue;
        }
        const auto want = Expected().find(code == 101 ? 100 : code);
        EXPECT_EQ(actual, want == Expected().end() ? std::vector<std::string>{} : want->second)
            << "ConfigCode " << code;
    }
}

TEST(ConfigSheetTable, SheetsTabsAndDisplays) {
    const std::map<int, std::string> pages{
        {100, "Page100"},          {101, "Page100"}, {102, "Page102"}, {130, "Page130"},
        {200, "Page200"},          {201, "Page201"}, {202, "Page202"}, {203, "Page203"},
        {204, "Page204 Page204A"}, {205, "Page205"}, {210, "Page205"}, {206, "Page206"},
        {207, "Page207"},          {208, "Page208"}, {209, "Page209"}, {211, "Page209"},
        {212, "Page212"},
    };
    const std::map<int, std::string> displays{
        {201, "CalFactor=0x00"},
        {203, "Edit1=0x00 Edit2=0x00"},
        {204, "Label13=00 Label14=00"},
        {205, "Label13=00 Label14=00 Label15=00"},
        {210, "Label13=00 Label14=00 Label15=00"},
        {206, "Label13=00"},
        {207, "Label13=00 Label14=00 Label15=00"},
        {208, "Label5=0xFF"},
        {209, "FL_Value=00 FH_Value=00 FE_Value=00"},
        {211, "FL_Value=00 FH_Value=00 FE_Value=00"},
    };
    EXPECT_EQ(TableCodes().size(), pages.size() + OwnCodes().size());
    for (const auto& [code, names] : pages) {
        ConfigBits bits;
        ConfigSheetModel model(WithCode(code), bits);
        model.Open();
        std::string shown, values;
        for (const ConfigPage& page : model.pages()) {
            shown += (shown.empty() ? "" : " ") + page.name;
            EXPECT_EQ(page.showTab, code != 208);
            EXPECT_EQ(page.caption, page.name == "Page204A" ? "Page 2" : code == 208 ? "" : "PART");
            for (const HexDisplay& d : page.displays) {
                values += (values.empty() ? "" : " ") + d.name + "=" + model.DisplayText(d);
            }
        }
        EXPECT_EQ(shown, names) << code;
        EXPECT_EQ(values, displays.count(code) ? displays.at(code) : "") << code;
    }
}

// The own sheets: their codes follow the original ones; each is one tab with the
// device's name, one box per fuse bit ticked when the bit is programmed (0), and a hex
// display for exactly the fuse bytes it edits, the extended one where the fuse step
// sends it. A fresh opening (all bytes 0) shows every lock group on its first item.
TEST(ConfigSheetTable, OwnSheetsShowEachFuseByteTheyEditAndTheLockByte) {
    ASSERT_FALSE(OwnCodes().empty());
    EXPECT_GT(*OwnCodes().begin(), 212);
    for (const int code : OwnCodes()) {
        ConfigBits bits;
        ConfigSheetModel model(WithCode(code), bits);
        model.Open();
        ASSERT_EQ(model.pages().size(), 1u) << code;
        const ConfigPage& page = model.pages().front();
        EXPECT_EQ(page.caption, "PART");
        std::set<ConfigValue> edited, shown;
        int lockGroups = 0;
        for (const ConfigControl& c : page.controls) {
            if (c.kind == ControlKind::CheckBox) {
                EXPECT_FALSE(c.tickedIsOne) << c.name;
                std::string name = "CB";
                name += std::to_string(code) + "_" + c.caption;
                EXPECT_EQ(c.name, name);
                EXPECT_TRUE(model.state(c.name).checked) << c.name;
                edited.insert(c.value);
            } else {
                EXPECT_EQ(c.value, ConfigValue::LockBits) << c.name;
                EXPECT_EQ(model.state(c.name).index, 0) << c.name;
                ++lockGroups;
            }
        }
        for (const HexDisplay& d : page.displays) {
            shown.insert(d.value);
        }
        EXPECT_EQ(shown, edited) << code;
        EXPECT_TRUE(edited.contains(ConfigValue::FuseHigh)) << code;
        EXPECT_TRUE(lockGroups == 1 || lockGroups == 3) << code;
    }
}

// What a click writes, the opening shows again: a wrong value or opening rule on either
// side breaks this for some item or box.
TEST(ConfigSheetTable, EveryClickIsWhatTheNextOpeningShows) {
    for (const int code : TableCodes()) {
        for (const uint8_t start : {uint8_t{0x00}, uint8_t{0xFF}}) {
            const DeviceRecord record = WithCode(code);
            ConfigBits seed{start, start, start, start, start, start};
            const ConfigSheetModel shape(record, seed);
            for (const ConfigPage& page : shape.pages()) {
                for (const ConfigControl& c : page.controls) {
                    const int choices = c.kind == ControlKind::CheckBox ? 2 : int(c.items.size());
                    for (int choice = 0; choice < choices; ++choice) {
                        ConfigBits bits = seed;
                        ConfigSheetModel clicked(record, bits);
                        clicked.Open();
                        if (c.kind == ControlKind::CheckBox) {
                            clicked.SetTicked(c.name, choice == 1);
                        } else {
                            clicked.Choose(c.name, choice);
                        }
                        if (code == 208) {
                            continue;  // every opening restarts from 0xFF
                        }
                        ConfigSheetModel reopened(record, bits);
                        reopened.Open();
                        const ControlState& s = reopened.state(c.name);
                        const std::string where = c.name + " choice " + std::to_string(choice) +
                                                  " from " + std::to_string(start);
                        if (c.kind == ControlKind::CheckBox) {
                            EXPECT_EQ(s.checked, choice == 1) << where;
                        } else if (c.open.mode == OpenRule::Mode::None) {
                            EXPECT_EQ(s.index, -1) << where;
                        } else if (c.items[choice].empty()) {
                            EXPECT_EQ(s.index, 0) << where;  // the empty item writes item 0's bits
                        } else {
                            EXPECT_EQ(s.index, choice) << where;
                        }
                    }
                }
            }
        }
    }
}

// The bits a control shows.
uint8_t Shown(const ConfigControl& c) {
    return c.kind == ControlKind::CheckBox ? c.bit
                                           : static_cast<uint8_t>(c.open.mask << c.open.shift);
}

// No control clears or sets a bit that another control shows. Sheet 212 is the one
// exception: setting a bit sets the bits of its two disabled boxes too.
TEST(ConfigSheetTable, NoControlWritesAnotherControlsBits) {
    for (const int code : TableCodes()) {
        ConfigBits bits;
        const ConfigSheetModel model(WithCode(code), bits);
        std::vector<const ConfigControl*> all;
        for (const ConfigPage& page : model.pages()) {
            for (const ConfigControl& c : page.controls) {
                all.push_back(&c);
            }
        }
        for (const ConfigControl* a : all) {
            uint8_t written = static_cast<uint8_t>(~a->andMask | a->setBits);
            for (uint8_t v : a->itemValues) {
                written |= v;
            }
            if (code == 212) {
                written &= static_cast<uint8_t>(~0x0C);
            }
            for (const ConfigControl* b : all) {
                if (a != b && a->value == b->value && Shown(*b) != 0) {
                    EXPECT_EQ(written & Shown(*b), 0) << a->name << " writes bits of " << b->name;
                }
            }
        }
    }
}

}  // namespace
}  // namespace kardo
