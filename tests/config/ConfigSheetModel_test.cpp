// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration sheets as a user meets them: what a sheet shows for the bytes it
// opens on, what a click writes, the device-dependent captions, the calibration group,
// and the factory bytes a newly selected part starts from.
#include "config/ConfigSheetModel.h"

#include <gtest/gtest.h>

#include <tuple>

#include "app/Selection.h"
#include "config/FactoryFuses.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"

namespace kardo {
namespace {

DeviceRecord Part(int code, uint8_t id = 0, uint8_t id2 = 0, const std::string& name = "PART",
                  int32_t lastAddress = 0x1FFF) {
    auto r = test::MakeRecord('M', lastAddress, 32, name);
    r.SetU8(field::ConfigCode, static_cast<uint8_t>(code));
    r.SetU8(field::DeviceId, id);
    r.SetU8(field::DeviceId2, id2);
    return r;
}

struct Opened {
    ConfigBits bits;
    std::unique_ptr<ConfigSheetModel> model;

    explicit Opened(const DeviceRecord& record, ConfigBits start = {}) : bits(start) {
        model = std::make_unique<ConfigSheetModel>(record, bits);
        model->Open();
    }
    ConfigSheetModel* operator->() { return model.get(); }
};

TEST(ConfigSheets, Sheet201OnZeroBytesShowsEveryFuseProgrammedAndBothLockBits) {
    Opened s(Part(201));
    for (const char* box : {"CB201_Cksel0", "CB201_Cksel1", "CB201_Cksel2", "CB201_Cksel3",
                            "CB201_Rstdisbl", "CB201_Spien", "CB201_Boden", "CB201_Bodlevel"}) {
        EXPECT_TRUE(s->state(box).checked) << box;
    }
    EXPECT_EQ(s->state("RG201").index, 0);  // "LB1 + LB2 on"
    s->Choose("RG201", 1);
    EXPECT_EQ(s.bits.LockBits, 0x04);
    s.bits.LockBits = 0x05;
    EXPECT_EQ(Opened(Part(201), s.bits)->state("RG201").index, -1);
}

TEST(ConfigSheets, Sheet200NeverSetsBits7To5) {
    for (const char* box :
         {"CB200_Cksel0", "CB200_Cksel1", "CB200_Cksel2", "CB200_Rstdisbl", "CB200_Fstrt"}) {
        for (const bool ticked : {true, false}) {
            Opened s(Part(200), ConfigBits{.FuseLow = 0xFF});
            s->SetTicked(box, ticked);
            EXPECT_EQ(s.bits.FuseLow & 0xE0, 0) << box;
            EXPECT_EQ(s.bits.FuseLow, ticked ? 0x1F & s->control(box).andMask : 0x1F) << box;
        }
    }
    Opened lock(Part(200), ConfigBits{.LockBits = 0x04});
    EXPECT_EQ(lock->state("RG200").index, 2 - 1);  // 0x04 >> 1 = 2: "LB1 on"
}

TEST(ConfigSheets, Sheet100BlockProtectKeepsWriteProtect) {
    Opened s(Part(100));
    s->SetTicked("CB100_Wpen", true);
    s->Choose("RG100", 3);  // "All"
    EXPECT_EQ(s.bits.FuseLow, 0x8C);
    s->SetTicked("CB100_Wpen", false);
    EXPECT_EQ(s.bits.FuseLow, 0x0C);
    s.bits.FuseLow = 0xF7;  // other bits are cleared by a choice
    s->Choose("RG100", 1);
    EXPECT_EQ(s.bits.FuseLow, 0x84);
    EXPECT_TRUE(s->control("CB100_Wpen").visible);
    EXPECT_FALSE(Opened(Part(101))->control("CB100_Wpen").visible);
}

TEST(ConfigSheets, Sheet102BlockProtectOnlyOnThe128KiBPart) {
    const uint8_t written[] = {0x00, 0x04, 0x24, 0x08};
    for (int item = 0; item < 4; ++item) {
        Opened big(Part(102, 0, 0, "PART", 0x1FFFF), ConfigBits{.FuseLow = 0xBC});
        big->Choose("RG102_BP", item);
        EXPECT_EQ(big.bits.FuseLow, 0x80 | written[item]);
        EXPECT_EQ(Opened(Part(102, 0, 0, "PART", 0x1FFFF), big.bits)->state("RG102_BP").index,
                  item);

        Opened small(Part(102, 0, 0, "PART", 0xFFFF), ConfigBits{.FuseLow = 0xBC});
        small->Choose("RG102_BP", item);
        EXPECT_EQ(small.bits.FuseLow, 0x80);
    }
    EXPECT_EQ(Opened(Part(102, 0, 0, "PART", 0xFFFF))->state("RG102_BP").index, -1);
    Opened srp(Part(102, 0, 0, "PART", 0x1FFFF), ConfigBits{.FuseLow = 0x80 | (3 << 2)});
    EXPECT_EQ(srp->state("RG102_BP").index, -1);  // field 3 is none of the four
    EXPECT_TRUE(srp->state("CB102_SRP").checked);
}

TEST(ConfigSheets, Sheet212SetsItsBitWithBits3And2) {
    Opened s(Part(212));
    s->SetTicked("CB212_LB1", false);
    EXPECT_EQ(s.bits.FuseLow, 0x0D);
    s->SetTicked("CB212_LB1", true);
    EXPECT_EQ(s.bits.FuseLow, 0x0C);
    // The two boxes without caption show what that did to their bits.
    EXPECT_FALSE(s->state("CheckBox1").checked);
    EXPECT_FALSE(s->control("CheckBox5").enabled);
}

TEST(ConfigSheets, Sheet209BrownOutLevelsOnBothLayouts) {
    Opened tiny85(Part(209), ConfigBits{.FuseHigh = 0x00});
    tiny85->Choose("RG209_BODLVL", 3);  // "BOD Disabled"
    EXPECT_EQ(tiny85.bits.FuseHigh, 0x07);
    tiny85->Choose("RG209_BODLVL", 0);  // "4.3 V"
    EXPECT_EQ(tiny85.bits.FuseHigh, 0x04);
    EXPECT_EQ(Opened(Part(209), ConfigBits{.FuseHigh = 0xF3})->state("RG209_BODLVL").index, -1);

    // The ATtiny2313's BODLEVEL2..0 sit in bits 3..1 with the same values: 111 is off.
    Opened tiny2313(Part(211), ConfigBits{.FuseHigh = 0xF1});
    tiny2313->Choose("RG209_BODLVL", 3);
    EXPECT_EQ(tiny2313.bits.FuseHigh, 0xFF);
    tiny2313->Choose("RG209_BODLVL", 1);  // "2.7 V" = 101
    EXPECT_EQ(tiny2313.bits.FuseHigh, 0xFB);
    EXPECT_EQ(Opened(Part(211), ConfigBits{.FuseHigh = 0xDF})->state("RG209_BODLVL").index, 3);
    // Its reset-disable, debugWIRE and EESAVE bits.
    Opened bits(Part(211), ConfigBits{.FuseHigh = 0xFF});
    bits->SetTicked("CB209_RSTDISBL", true);
    bits->SetTicked("CB209_DWEN", true);
    bits->SetTicked("CB209_EESAVE", true);
    EXPECT_EQ(bits.bits.FuseHigh, 0x3E);
}

TEST(ConfigSheets, Sheet209ClockListWritesTheDigitsItShows) {
    Opened s(Part(211), ConfigBits{.FuseLow = 0xFF});
    EXPECT_EQ(s->state("CKSEL_CB").index, -1);
    EXPECT_EQ(s->control("CKSEL_CB").items[2], "0100 -Internal 8MHz Osc");
    s->Choose("CKSEL_CB", 2);
    EXPECT_EQ(s.bits.FuseLow, 0xF4);
    s->SetTicked("CB209_CKDIV8", true);
    s->SetTicked("CB209_WDTON", true);  // forced on = programmed
    EXPECT_EQ(s.bits.FuseLow, 0x74);
    EXPECT_EQ(s->DisplayText(s->pages()[0].displays[0]), "74");
    EXPECT_EQ(s.bits.FuseHigh & 0x10, 0);
}

TEST(ConfigSheets, Sheet209ClockListsByFamily) {
    for (const auto& [id, id2] : {std::pair{0x91, 0x08}, {0x92, 0x06}, {0x93, 0x0B}}) {
        Opened s(Part(209, uint8_t(id), uint8_t(id2)), ConfigBits{.FuseLow = 0xFF});
        const ConfigControl& clocks = s->control("CKSEL_CB");
        ASSERT_EQ(clocks.items.size(), 14u);
        EXPECT_EQ(clocks.items[4], "0100 -Internal 128 KHz Osc");
        s->Choose("CKSEL_CB", 5);
        EXPECT_EQ(s.bits.FuseLow, 0xF6);  // 0110, the low-frequency crystal
    }
    // The ATtiny24/44/84: no PLL clock, 0011 the 128 kHz oscillator.
    for (const auto& [id, id2] : {std::pair{0x91, 0x0B}, {0x92, 0x07}, {0x93, 0x0C}}) {
        Opened s(Part(209, uint8_t(id), uint8_t(id2)), ConfigBits{.FuseLow = 0xFF});
        const ConfigControl& clocks = s->control("CKSEL_CB");
        ASSERT_EQ(clocks.items.size(), 12u);
        EXPECT_EQ(clocks.items[1], "0010 -Internal 8 MHz Osc");
        s->Choose("CKSEL_CB", 2);
        EXPECT_EQ(s.bits.FuseLow, 0xF3);
        s->Choose("CKSEL_CB", 3);
        EXPECT_EQ(s.bits.FuseLow, 0xF6);
    }
    // The ATtiny261/461/861 keep the sheet's own list.
    EXPECT_EQ(Opened(Part(209, 0x91, 0x0C))->control("CKSEL_CB").items[4],
              "0100 -Low-Freq Xtal Osc");
}

TEST(ConfigSheets, Sheet204AOnlyItsOwnLockBits) {
    Opened s(Part(204), ConfigBits{.LockBits = 0xC3});
    s->Choose("RG204A_Blb1", 3);  // "Lock Bits off"; bits 7..6 go too
    EXPECT_EQ(s.bits.LockBits, 0x33);
    s->Choose("RG204A_LB", 1);  // "LB1 on" = 10
    EXPECT_EQ(s.bits.LockBits, 0x32);
    s->Choose("RG204A_Blb0", 2);
    EXPECT_EQ(s.bits.LockBits, 0x3A);
    Opened again(Part(204), s.bits);
    EXPECT_EQ(again->state("RG204A_LB").index, 1);
    EXPECT_EQ(again->state("RG204A_Blb0").index, 2);
    EXPECT_EQ(again->state("RG204A_Blb1").index, 3);
    EXPECT_EQ(Opened(Part(204), ConfigBits{.LockBits = 0x01})->state("RG204A_LB").index, -1);
}

TEST(ConfigSheets, Sheet204CaptionsByPartAndBrownOutLevel) {
    Opened mega8(Part(204, 0x93, 0x07, "ATmega8"), ConfigBits{.FuseLow = 0xE1, .FuseHigh = 0xD9});
    EXPECT_EQ(mega8->state("CB204_Bodlevel").caption, "BODLEVEL = 2.6V");
    EXPECT_EQ(mega8->state("CB204_Wdton").caption, "WDTON");
    EXPECT_TRUE(mega8->pages()[1].calibration->visible);
    mega8->SetTicked("CB204_Bodlevel", false);
    EXPECT_EQ(mega8->state("CB204_Bodlevel").caption, "BODLEVEL = 4.0V");
    EXPECT_EQ(mega8.bits.FuseLow, 0x61);
    mega8->SetTicked("CB204_Ckopt", true);  // "CKOPT = 1"
    EXPECT_EQ(mega8.bits.FuseHigh, 0xD9 | 0x10);

    for (const auto& [id, id2] : {std::pair{0x94, 0x03}, {0x94, 0x06}, {0x95, 0x02}}) {
        Opened jtag(Part(204, uint8_t(id), uint8_t(id2)));
        EXPECT_EQ(jtag->state("CB204_Wdton").caption, "JTAGEN");
        EXPECT_EQ(jtag->state("CB204_Rstdisbl").caption, "OCDEN");
        EXPECT_FALSE(jtag->pages()[1].calibration->visible);
    }
    EXPECT_EQ(Opened(Part(204, 0x93, 0x08, "PART"))->state("CB204_Rstdisbl").caption, "S8535C");
    EXPECT_EQ(Opened(Part(204, 0x93, 0x06, "ATmega8515"))->state("CB204_Rstdisbl").caption,
              "S8515C");
}

TEST(ConfigSheets, Sheet205BootAndBrownOutBytesByLayout) {
    // ATmega168 layout: BODLEVEL in the high fuse, the boot bits in the extended one.
    Opened m168(Part(205), ConfigBits{.FuseLow = 0x62, .FuseHigh = 0xDF, .FuseExt = 0xF9});
    EXPECT_TRUE(m168->state("CB205_Bootsz0").checked);  // 0xF9: BOOTSZ1..0 = 00
    EXPECT_FALSE(m168->state("CB205_Bootrst").checked);
    m168->SetTicked("CB205_Bootrst", true);
    m168->SetTicked("CB205_Bodl1", false);
    EXPECT_EQ(m168.bits.FuseExt, 0xF8);
    EXPECT_EQ(m168.bits.FuseHigh, 0xDD);
    // ATmega328P layout: the other way round.
    Opened m328(Part(210), ConfigBits{.FuseLow = 0x62, .FuseHigh = 0xD9, .FuseExt = 0xFF});
    m328->SetTicked("CB205_Bootrst", true);
    m328->SetTicked("CB205_Bodl1", false);
    EXPECT_EQ(m328.bits.FuseHigh, 0xD8);
    EXPECT_EQ(m328.bits.FuseExt, 0xFD);
    std::string labels;
    for (const HexDisplay& d : m328->pages()[0].displays) {
        labels += m328->DisplayText(d) + " ";
    }
    EXPECT_EQ(labels, "62 D8 FD ");
    // WDTON is ticked when the watchdog is forced on.
    EXPECT_FALSE(m328->state("CB205_Wdton").checked);
    m328->SetTicked("CB205_Wdton", true);
    EXPECT_EQ(m328.bits.FuseHigh & 0x10, 0);
}

TEST(ConfigSheets, Sheet205And207LockComboBoxes) {
    for (const int code : {205, 207}) {
        const std::string mlb = code == 205 ? "CB205_MlbBox" : "CB207_mlb";
        const std::string blb0 = code == 205 ? "CB205_Blb0box" : "CB207_blb0";
        Opened s(Part(code), ConfigBits{.LockBits = 0xFF});
        EXPECT_EQ(s->state(mlb).index, 2);  // "Lock bits off"
        s->Choose(mlb, 1);
        EXPECT_EQ(s.bits.LockBits, 0xFE);
        s->Choose(mlb, 0);
        EXPECT_EQ(s.bits.LockBits, 0xFC);
        s->Choose(blb0, 4);  // the empty item writes 00
        EXPECT_EQ(s.bits.LockBits, 0xF0);
        for (const auto& [lock, index] : {std::pair{0x00, 0}, {0x01, 0}, {0x02, 1}, {0x03, 2}}) {
            EXPECT_EQ(Opened(Part(code), ConfigBits{.LockBits = uint8_t(lock)})->state(mlb).index,
                      index);
        }
    }
    // Found by signature: every name of the part, whatever it is called.
    for (const auto& [name, id, id2] : {std::tuple{"ATmega48A", 0x92, 0x05},
                                        {"ATmega48PA", 0x92, 0x0A},
                                        {"ATtiny861A", 0x93, 0x0D}}) {
        Opened noBoot(Part(205, uint8_t(id), uint8_t(id2), name));
        EXPECT_EQ(noBoot->state("CB205_Bootrst").caption, "SELFPRGEN") << name;
        for (const char* hidden :
             {"CB205_Bootsz0", "CB205_Bootsz1", "CB205_Blb0box", "CB205_Blb1box"}) {
            EXPECT_FALSE(noBoot->control(hidden).visible) << name << " " << hidden;
        }
    }
    EXPECT_EQ(Opened(Part(205, 0x94, 0x06, "ATmega168"))->state("CB205_Bootrst").caption,
              "BOOTRST");
    EXPECT_TRUE(Opened(Part(207))->control("CB207_blb0").visible);
}

TEST(ConfigSheets, Sheet203ClockSelectionOutOfRange) {
    EXPECT_EQ(Opened(Part(203), ConfigBits{.FuseLow = 0x00})->state("RG203_CKSEL").index, -1);
    EXPECT_EQ(Opened(Part(203), ConfigBits{.FuseLow = 0x0F})->state("RG203_CKSEL").index, 3);
    EXPECT_EQ(Opened(Part(203), ConfigBits{.FuseLow = 0x30})->state("RG203_SUT").index, 2);
    Opened s(Part(203), ConfigBits{.FuseLow = 0xFF});
    s->Choose("RG203_CKSEL", 0);
    s->Choose("RG203_SUT", 1);
    EXPECT_EQ(s.bits.FuseLow, 0xD1);
    EXPECT_EQ(s->DisplayText(s->pages()[0].displays[0]), "0xD1");
}

TEST(ConfigSheets, Sheet206FusesAndVariant34) {
    Opened plain(Part(206), ConfigBits{.FuseLow = 0xFF});
    plain->Choose("RG206_F2", 0);
    EXPECT_EQ(plain.bits.FuseLow, 0x0D);
    EXPECT_FALSE(plain->control("RG206_F1").enabled);

    auto v34 = Part(206);
    v34.SetU8(field::Variant, 34);
    Opened s(v34, ConfigBits{.FuseLow = 0x00});
    EXPECT_EQ(s->control("RG206_F4").items[0], "System Clock Out Enable");
    EXPECT_EQ(s->control("RG206_F2").items[1], "XTAL Osc Bypass Disable");
    s->Choose("RG206_F4", 1);
    EXPECT_EQ(s.bits.FuseLow, 0xF8);
}

TEST(ConfigSheets, Sheet208RestartsFromAllOnesAtEveryOpening) {
    ConfigBits bits;
    {
        ConfigSheetModel first(Part(208, 0xE0), bits);
        first.Open();
        EXPECT_EQ(bits.SecurityByte, 0xFF);
        first.SetTicked("P208Lock", true);
        first.SetTicked("P208Osc", false);
        EXPECT_EQ(first.state("P208Osc").caption, "Osc Half Gain");
        EXPECT_EQ(bits.SecurityByte, 0x7E);
    }
    ConfigSheetModel second(Part(208, 0xE0), bits);
    second.Open();
    EXPECT_EQ(bits.SecurityByte, 0xFF);
    EXPECT_FALSE(second.state("P208Lock").checked);
    EXPECT_TRUE(second.state("P208Osc").checked);
    EXPECT_EQ(second.state("P208Osc").caption, "Osc  Full Gain");
    EXPECT_TRUE(second.control("P208Osc").visible);
    EXPECT_EQ(second.control("P208S01in").caption, "Encryption");

    Opened encryptionOnly(Part(208, 0x62));
    EXPECT_FALSE(encryptionOnly->control("P208Osc").visible);
    EXPECT_TRUE(encryptionOnly->control("P208S01in").visible);
    Opened neither(Part(208, 0x51));
    EXPECT_FALSE(neither->control("P208S01in").visible);
    EXPECT_EQ(neither->control("P208S01in").caption, "Seed 0 && 1 access inhibit");
}

TEST(ConfigSheets, OtherSheetsAndCodesWithout) {
    Opened sdp(Part(130), ConfigBits{.SdpOn = 3});
    EXPECT_EQ(sdp->state("RG130").index, 1);
    sdp->Choose("RG130", 0);
    EXPECT_EQ(sdp.bits.SdpOn, 0);
    EXPECT_TRUE(Opened(Part(0))->pages().empty());
    EXPECT_TRUE(Opened(Part(213))->pages().empty());
    EXPECT_EQ(Opened(Part(202, 0x91, 0x03))->state("CB202_Fstrt").caption, "RCEN");
}

TEST(ConfigSheets, CalibrationGroup) {
    ConfigBits start{.CalSlots = {0x9A, 0x9B, 0x9C, 0x9D}};
    Opened s(Part(207), start);
    EXPECT_FALSE(s->calibration().program);
    EXPECT_EQ(s->calibration().slot, -1);
    s->SetCalibrationProgram(true);
    EXPECT_TRUE(s.bits.CalProgram);
    s->ChooseCalibrationSlot(2);
    EXPECT_EQ(s.bits.CalValue, 0x9C);
    EXPECT_EQ(s.bits.CalIndex, 3);
    s->SetCalibrationOffset("1ffe");
    EXPECT_EQ(s.bits.CalOffset, 0x1FFEu);
    // Reopened on sheet 203: the same slot and offset, as four upper-case digits.
    Opened again(Part(203), s.bits);
    EXPECT_EQ(again->calibration().slot, 2);
    EXPECT_EQ(again->calibration().offsetText, "1FFE");
    EXPECT_TRUE(again->calibration().program);
    // Sheet 201 shows the chosen byte.
    Opened shown(Part(201), s.bits);
    EXPECT_EQ(shown->DisplayText(shown->pages()[0].displays[0]), "0x9C");

    EXPECT_EQ(ParseCalibrationOffset(""), 0u);
    EXPECT_EQ(ParseCalibrationOffset("09AF"), 0x09AFu);
    EXPECT_EQ(ParseCalibrationOffset("G"), 16u);                  // not rejected: 7 + 9
    EXPECT_EQ(ParseCalibrationOffset("123456789"), 0x23456789u);  // the top digit falls out
}

// Every shipped part with fuses has its factory bytes, and its sheet shows them as the
// datasheet does: the reset pin and serial programming enabled, no lock bit programmed.
TEST(FactoryFuses, EveryShippedPartWithFusesStartsWorkingAndUnlocked) {
    int parts = 0;
    for (const DeviceRecord& record : test::ShippedRecords()) {
        if (record.Family() != 'M' || (record.Variant() != 30 && record.Variant() != 32)) {
            EXPECT_FALSE(FactoryFuses(record)) << record.Name();
            continue;
        }
        ++parts;
        ConfigBits bits;
        ASSERT_TRUE(StartFromFactoryFuses(bits, record)) << record.Name();
        ConfigSheetModel sheet(record, bits);
        sheet.Open();
        ASSERT_FALSE(sheet.pages().empty()) << record.Name();
        for (const ConfigPage& page : sheet.pages()) {
            for (const ConfigControl& c : page.controls) {
                const ControlState& s = sheet.state(c.name);
                const std::string where = record.Name() + " " + c.name;
                if (c.caption.find("RSTDISBL") != std::string::npos) {
                    EXPECT_FALSE(s.checked) << where;
                }
                if (c.caption.find("SPI") != std::string::npos) {
                    EXPECT_TRUE(s.checked) << where;
                }
                if (c.value == ConfigValue::LockBits && c.visible) {
                    ASSERT_GE(s.index, 0) << where;
                    std::string item = c.items[static_cast<std::size_t>(s.index)];
                    EXPECT_EQ(item.substr(item.size() - 3), "off") << where;
                }
            }
        }
    }
    EXPECT_GE(parts, 60);  // the loop saw the AVRs
}

TEST(FactoryFuses, ANewPartStartsFromItsOwnTheSamePartKeepsTheChoice) {
    const auto find = test::ShippedRecord;
    AppState state;
    state.buffer.Allocate(0x20000);
    state.record = find("ATmega8");
    PrepareSelectedDevice(state, true);
    EXPECT_EQ(state.configBits.FuseHigh, 0xD9);
    state.configBits.FuseHigh = 0xC9;  // EESAVE programmed in Config
    state.configBits.CalOffset = 0x1FFF;
    PrepareSelectedDevice(state, false);  // the same part again
    EXPECT_EQ(state.configBits.FuseHigh, 0xC9);
    state.record = find("ATtiny2313");  // bit 0 of its high fuse is RSTDISBL
    PrepareSelectedDevice(state, true);
    EXPECT_EQ(state.configBits.FuseHigh, 0xDF);
    EXPECT_EQ(state.configBits.FuseLow, 0x64);
    EXPECT_EQ(state.configBits.CalOffset, 0x1FFFu);  // only the fuse and lock bytes change
    state.record = find("AT89S52");                  // no fuses: the bytes stay
    PrepareSelectedDevice(state, true);
    EXPECT_EQ(state.configBits.FuseLow, 0x64);
}

}  // namespace
}  // namespace kardo
