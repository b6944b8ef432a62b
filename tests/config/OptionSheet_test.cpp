// SPDX-License-Identifier: GPL-3.0-or-later
// The options dialog's logic: what a device is offered, the captions, and what each box
// does to ProgBits and the flags; and the serial numbers it switches on.
#include "config/OptionSheet.h"

#include <gtest/gtest.h>

#include "config/SerialNumber.h"
#include "devicedb/BufferRules.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"

namespace kardo {
namespace {

struct Options {
    uint8_t ProgBits = 0;
    OptionFlags flags;
    bool SoundON = true;
    SerialNumberSettings serial;
    int oddEvenTurnedOn = 0;

    OptionSheet Open(const DeviceRecord& record, uint8_t model = 24, bool erase = true) {
        OptionSheet sheet(
            record, model, erase,
            OptionTargets{ProgBits, flags, SoundON, serial, [this] { ++oddEvenTurnedOn; }});
        sheet.Open();
        return sheet;
    }
};

DeviceRecord Isp(uint8_t variant = 0, uint8_t steps = 0x4F) {
    auto r = test::MakeRecord('M', 0x1FFF, variant, "ISP");
    r.SetU8(field::ProgStepMask, steps);
    r.SetU8(field::OptionMask, 0x84);
    return r;
}

TEST(OptionSheet, GeneralOptionsFollowTheOptionMask) {
    const struct {
        OptionBox box;
        uint8_t bit;
        const char* caption;
    } kTable[] = {
        {OptionBox::CheckBox1, 0x01, "Insertion Test"},
        {OptionBox::CheckBox2, 0x02, "Bit Testing"},
        {OptionBox::CheckBox3, 0x04, "ID Check"},
        {OptionBox::CheckBox4, 0x08, "Verify @ Vmax and Vmin"},
        {OptionBox::CheckBox5, 0x10, "Memory Fill on Device Change"},
        {OptionBox::CheckBox6, 0x20, "Production Mode"},
        {OptionBox::CheckBox8, 0x80, "Serial Number Insertion"},
    };
    for (const auto& row : kTable) {
        for (const bool offered : {false, true}) {
            auto r = test::MakeRecord('E', 0x7FFF);
            r.SetU8(field::OptionMask, offered ? row.bit : uint8_t{0});
            Options o;  // every flag on, as at start
            o.serial.enabled = true;
            const OptionSheet sheet = o.Open(r);
            const OptionBoxState& s = sheet.box(row.box);
            EXPECT_EQ(s.caption, row.caption);
            EXPECT_EQ(s.enabled, offered) << row.caption;
            const bool hasFlag =
                row.bit == 0x01 || row.bit == 0x04 || row.bit == 0x08 || row.bit == 0x80;
            EXPECT_EQ(s.checked, offered && hasFlag) << row.caption;
        }
    }
    // A flag whose box is not offered is cleared.
    Options o;
    const OptionSheet sheet = o.Open(test::MakeRecord('E', 0x7FFF));
    EXPECT_FALSE(o.flags.Test_flag);
    EXPECT_FALSE(o.flags.Id_flag);
    EXPECT_FALSE(o.flags.MaxMin_flag);
    EXPECT_EQ(sheet.box(OptionBox::ChSoundON).caption, "Sound ON");
    EXPECT_EQ(sheet.box(OptionBox::OddEvenBox).caption, "Odd && Even programming");
    EXPECT_FALSE(sheet.box(OptionBox::OddEvenBox).enabled);
    EXPECT_FALSE(sheet.stepsGroupVisible());
}

TEST(OptionSheet, FlagBoxesSetTheirFlagAndSound) {
    auto r = test::MakeRecord('E', 0x7FFF);
    r.SetU8(field::OptionMask, 0x0D);
    Options o;
    o.SoundON = false;
    OptionSheet sheet = o.Open(r);
    EXPECT_FALSE(sheet.box(OptionBox::ChSoundON).checked);
    for (const OptionBox box :
         {OptionBox::CheckBox1, OptionBox::CheckBox3, OptionBox::CheckBox4, OptionBox::ChSoundON}) {
        sheet.Click(box);
    }
    EXPECT_FALSE(o.flags.Test_flag);
    EXPECT_FALSE(o.flags.Id_flag);
    EXPECT_FALSE(o.flags.MaxMin_flag);
    EXPECT_TRUE(o.SoundON);
    sheet.Click(OptionBox::CheckBox2);  // not offered here: nothing happens
    EXPECT_FALSE(sheet.box(OptionBox::CheckBox2).checked);
}

TEST(OptionSheet, IspLockBitsAreCumulative) {
    Options o;
    OptionSheet sheet = o.Open(Isp());
    EXPECT_EQ(o.ProgBits, 0x01);  // the code step is ticked at every opening
    EXPECT_TRUE(sheet.stepsGroupVisible());
    sheet.Click(OptionBox::ProgStep4);  // "Lockbit 3"
    EXPECT_EQ(sheet.box(OptionBox::ProgStep4).caption, "Lockbit 3");
    EXPECT_TRUE(sheet.box(OptionBox::ProgStep2).checked);
    EXPECT_TRUE(sheet.box(OptionBox::ProgStep3).checked);
    EXPECT_EQ(o.ProgBits, 0x0F);
    sheet.Click(OptionBox::ProgStep2);  // "Lockbit 1" off
    EXPECT_EQ(o.ProgBits, 0x01);
    EXPECT_FALSE(sheet.box(OptionBox::ProgStep3).checked);
    EXPECT_FALSE(sheet.box(OptionBox::ProgStep4).checked);
    sheet.Click(OptionBox::ProgStep3);  // "Lockbit 2" brings lock bit 1
    EXPECT_EQ(o.ProgBits, 0x07);
    sheet.Click(OptionBox::ProgStep3);  // and its removal takes lock bit 3 along
    EXPECT_EQ(o.ProgBits, 0x03);
    sheet.Click(OptionBox::ProgStep0);
    EXPECT_EQ(o.ProgBits, 0x43);

    // The opening brings a stored mask into line with the boxes.
    Options stored;
    stored.ProgBits = 0x08;
    stored.Open(Isp());
    EXPECT_EQ(stored.ProgBits, 0x0F);
}

TEST(OptionSheet, PicStepsAndTheirCaptions) {
    Options o;
    o.ProgBits = 0x10;                                   // the user had cleared the code step
    const auto pic = test::ShippedRecord("PIC16F877A");  // ProgStepMask 0x57
    OptionSheet sheet = o.Open(pic);
    EXPECT_EQ(o.ProgBits, 0x11);
    EXPECT_EQ(sheet.box(OptionBox::ProgStep1).caption, "Code Area");
    EXPECT_EQ(sheet.box(OptionBox::ProgStep2).caption, "Data Area");
    EXPECT_EQ(sheet.box(OptionBox::ProgStep3).caption, "ID Bytes");
    EXPECT_EQ(sheet.box(OptionBox::ProgStep4).caption, "Calibration");
    EXPECT_EQ(sheet.box(OptionBox::ProgStep5).caption, "Config Bytes");
    EXPECT_FALSE(sheet.box(OptionBox::ProgStep4).enabled);  // not offered: shown disabled
    EXPECT_TRUE(sheet.box(OptionBox::ProgStep4).visible);
    EXPECT_TRUE(sheet.box(OptionBox::ProgStep2).enabled);  // offered by the mask
    sheet.Click(OptionBox::ProgStep2);
    EXPECT_EQ(o.ProgBits, 0x13);
    EXPECT_EQ(sheet.box(OptionBox::ProgStep0).caption, "Erase before Program");

    // A 12-bit core: the ID step needs the code step, both ways.
    Options core12;
    OptionSheet twelve = core12.Open(test::ShippedRecord("PIC16F54"));
    twelve.Click(OptionBox::ProgStep1);
    EXPECT_EQ(core12.ProgBits, 0x00);
    twelve.Click(OptionBox::ProgStep3);
    EXPECT_EQ(core12.ProgBits, 0x05);
    EXPECT_TRUE(twelve.box(OptionBox::ProgStep1).checked);
    twelve.Click(OptionBox::ProgStep1);
    EXPECT_EQ(core12.ProgBits, 0x00);
    EXPECT_FALSE(twelve.box(OptionBox::ProgStep3).checked);
}

TEST(OptionSheet, DeviceRulesForCaptionsAndTheFuseStep) {
    Options o;
    o.ProgBits = 0x01;
    OptionSheet fuses = o.Open(Isp(35, 0x03));
    EXPECT_EQ(fuses.box(OptionBox::ProgStep2).caption, "Fuses");
    EXPECT_FALSE(fuses.box(OptionBox::ProgStep2).enabled);
    EXPECT_FALSE(fuses.box(OptionBox::ProgStep1).enabled);
    EXPECT_TRUE(fuses.box(OptionBox::ProgStep2).checked);
    EXPECT_EQ(o.ProgBits, 0x03);

    Options any;  // outlives every sheet below, which edits its values
    EXPECT_EQ(any.Open(Isp(29)).box(OptionBox::ProgStep2).caption, "Protect Mode Enable");
    EXPECT_EQ(any.Open(Isp(33)).box(OptionBox::ProgStep2).caption, "Protect Mode Enable");
    EXPECT_EQ(any.Open(Isp(14, 0x7F)).box(OptionBox::ProgStep6).caption, "Disable WDT");
    auto rb0 = Isp(25, 0x7F);
    rb0.SetU8(field::DeviceId, 0xE2);
    EXPECT_EQ(any.Open(rb0).box(OptionBox::ProgStep5).caption, "RB0");
    auto clock = Isp(25, 0x7F);
    clock.SetU8(field::DeviceId, 0x91);
    const OptionSheet doubled = any.Open(clock);
    EXPECT_EQ(doubled.box(OptionBox::ProgStep5).caption, "Clock Double");
    EXPECT_EQ(doubled.box(OptionBox::ProgStep6).caption, "SC0");
    auto d0 = Isp(0);
    d0.SetU8(field::ConfigCode, 0xD0);
    const OptionSheet movc = any.Open(d0);
    EXPECT_EQ(movc.box(OptionBox::ProgStep2).caption, "Lock Bit");
    EXPECT_EQ(movc.box(OptionBox::ProgStep3).caption, "MOVC inhibit");
    EXPECT_EQ(movc.box(OptionBox::ProgStep4).caption, "Encryption Feature");

    // EPROMs on the 65 model: odd and even programming, and the blank check steps when
    // the device can be erased.
    const auto eprom = test::MakeRecord('R', 0xFFFF);
    const OptionSheet on65 = any.Open(eprom, 65, true);
    EXPECT_TRUE(on65.box(OptionBox::OddEvenBox).enabled);
    EXPECT_TRUE(on65.stepsGroupVisible());
    EXPECT_TRUE(on65.epromLabelVisible());
    EXPECT_EQ(on65.box(OptionBox::ProgStep1).caption, "Blank Check Before Program");
    EXPECT_EQ(on65.box(OptionBox::ProgStep2).caption, "Auto Erase If Not Blank");
    const OptionSheet noErase = any.Open(eprom, 65, false);
    EXPECT_TRUE(noErase.box(OptionBox::OddEvenBox).enabled);
    EXPECT_FALSE(noErase.stepsGroupVisible());
    EXPECT_FALSE(any.Open(eprom, 40, true).box(OptionBox::OddEvenBox).enabled);
}

TEST(OptionSheet, OddEvenMakesTheNewBufferOnlyWhenItTurnsOn) {
    Options o;
    OptionSheet sheet = o.Open(test::MakeRecord('R', 0xFFFF), 65);
    sheet.Click(OptionBox::OddEvenBox);
    EXPECT_TRUE(o.flags.OddEven);
    EXPECT_EQ(o.oddEvenTurnedOn, 1);
    // Opening again with the flag on ticks the box without wiping the buffer.
    OptionSheet again = o.Open(test::MakeRecord('R', 0xFFFF), 65);
    EXPECT_TRUE(again.box(OptionBox::OddEvenBox).checked);
    EXPECT_EQ(o.oddEvenTurnedOn, 1);
    again.Click(OptionBox::OddEvenBox);
    EXPECT_FALSE(o.flags.OddEven);

    auto r = test::MakeRecord('R', 0x7FFF);
    r.SetU8(field::BlankValue, 0xFF);
    DeviceBuffer buffer(0x20000);
    ASSERT_TRUE(AllocateOddEvenBuffer(buffer, r));
    EXPECT_EQ(buffer.BufferSize(), 0x10000u);
    EXPECT_TRUE(
        std::all_of(buffer.data(), buffer.data() + 0x10000, [](uint8_t b) { return b == 0xFF; }));
    EXPECT_FALSE(AllocateOddEvenBuffer(buffer, test::MakeRecord('R', 0x7FFFFFFF)));
    EXPECT_EQ(buffer.BufferSize(), 0x10000u);
}

TEST(SerialNumber, DigitsOrderAndLimits) {
    auto r = test::MakeRecord('E', 0x7FFF);
    r.SetU8(field::OptionMask, 0x80);
    DeviceBuffer buffer(0x10000);
    SerialNumberSettings s{
        .enabled = true, .digits = 4, .increment = 3, .next = 0x1A, .address = 0x100};
    EXPECT_TRUE(WritesSerialNumber(r, s));
    SerialInsertion done = InsertSerialNumber(buffer, r, s);
    EXPECT_TRUE(done.written);
    EXPECT_EQ(done.line, " Serial Number 001A @ 0x100");
    EXPECT_EQ(std::string(buffer.data() + 0x100, buffer.data() + 0x104), "001A");
    s.msdFirst = false;
    s.hex = false;
    InsertSerialNumber(buffer, r, s);
    EXPECT_EQ(std::string(buffer.data() + 0x100, buffer.data() + 0x104), "6200");  // 26, LSD first
    AdvanceSerialNumber(s);
    EXPECT_EQ(s.next, 29u);

    s.next = 10000;  // five decimal digits in four
    const auto before = std::vector<uint8_t>(buffer.data() + 0x100, buffer.data() + 0x104);
    done = InsertSerialNumber(buffer, r, s);
    EXPECT_FALSE(done.written);
    EXPECT_EQ(done.line, " Serial Number 10000 has more than 4 digits: nothing programmed");
    EXPECT_EQ(std::vector<uint8_t>(buffer.data() + 0x100, buffer.data() + 0x104), before);
    s.next = 1;
    s.address = 0x7FFD;  // the last digit would lie beyond the device
    done = InsertSerialNumber(buffer, r, s);
    EXPECT_FALSE(done.written);
    EXPECT_EQ(done.line,
              " Serial Number 0001 does not fit the device @ 0x7FFD: nothing programmed");
    s.address = 0x7FFC;
    EXPECT_TRUE(InsertSerialNumber(buffer, r, s).written);
    s.address = 0xFFFFFFFF;  // far beyond: never an overflow
    EXPECT_FALSE(InsertSerialNumber(buffer, r, s).written);

    r.SetU8(field::OptionMask, 0x00);
    EXPECT_FALSE(WritesSerialNumber(r, s));
    EXPECT_EQ(ParseSerialNumber("ff", true), 255u);
    EXPECT_EQ(ParseSerialNumber("", false), 0u);
    EXPECT_EQ(ParseSerialNumber("1F", false), std::nullopt);
    EXPECT_EQ(ParseSerialNumber("FFFFFFFFFFFFFFFFF", true), std::nullopt);
    EXPECT_EQ(SerialNumberText(0xFFFFFFFFFFFFFFFFull, 16, true), "FFFFFFFFFFFFFFFF");
}

}  // namespace
}  // namespace kardo
