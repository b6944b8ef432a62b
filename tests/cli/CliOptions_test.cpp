// SPDX-License-Identifier: GPL-3.0-or-later
// What a script types is read exactly one way: the option parser, the numbers, the
// format choice, and the operation options that change what reaches the chip.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/Selection.h"
#include "cli/CliArguments.h"
#include "cli/FileOptions.h"
#include "cli/OperationOptions.h"
#include "devicedb/BufferRules.h"
#include "support/ShippedRecords.h"

namespace kardo::cli {
namespace {

constexpr std::array<std::string_view, 3> kOptions{"--fill", "--offset", "--fuses"};

Invocation Parse(std::vector<std::string> words) {
    return ParseInvocation(words, kOptions);
}

TEST(CliArguments, OptionsTakeTheirValueEitherWayAndOnlyKnownOnesAreAccepted) {
    const Invocation i = Parse({"ATMEL/AT28C256", "--fill", "ff", "in.hex", "--offset=-100", "-h"});
    EXPECT_EQ(i.positional, (std::vector<std::string>{"ATMEL/AT28C256", "in.hex"}));
    EXPECT_EQ(i.Option("--fill"), "ff");
    EXPECT_EQ(i.Option("--offset"), "-100");
    EXPECT_FALSE(i.Option("--fuses"));
    EXPECT_TRUE(i.help);

    // After "--" a word that starts with a dash is a file name; "-" alone is one too.
    EXPECT_EQ(Parse({"--", "--fill", "-"}).positional, (std::vector<std::string>{"--fill", "-"}));

    EXPECT_THROW(Parse({"--bogus", "1"}), UsageError);
    EXPECT_THROW(Parse({"--fill"}), UsageError);  // no value
    EXPECT_THROW(Parse({"--fill", "ff", "--fill=00"}), UsageError);
}

TEST(CliArguments, NumbersAreWholeAndInTheirBase) {
    EXPECT_EQ(ParseHex("1A3", "x"), 0x1A3u);
    EXPECT_EQ(ParseHex("0x1a3", "x"), 0x1A3u);
    EXPECT_EQ(ParseNumber("100", "x"), 100u);
    EXPECT_EQ(ParseNumber("0x100", "x"), 0x100u);
    for (const char* bad : {"", "0x", "12 ", "-1", "1G", "99999999999999999999"}) {
        EXPECT_THROW(ParseHex(bad, "x"), UsageError) << bad;
        EXPECT_THROW(ParseNumber(bad, "x"), UsageError) << bad;
    }
    EXPECT_THROW(ParseNumber("1A", "x"), UsageError);  // decimal without its prefix
}

TEST(CliFileOptions, TheFormatComesFromTheOptionThenTheExtensionThenTheFamily) {
    const DeviceRecord eeprom = test::ShippedRecord("AT28C256");
    const DeviceRecord pic = test::ShippedRecord("PIC16F84A");
    const DeviceRecord gal = test::ShippedRecord("GAL16V8");
    EXPECT_EQ(FormatFor("a.hex", eeprom, std::nullopt, true), format::IntelHex);
    EXPECT_EQ(FormatFor("a.HEX", pic, std::nullopt, true), format::Inh8m);  // PIC toolchains
    EXPECT_EQ(FormatFor("a.S19", eeprom, std::nullopt, true), format::Motorola);
    EXPECT_EQ(FormatFor("a.bin", pic, std::nullopt, true), format::Binary);
    EXPECT_EQ(FormatFor("a.elf", eeprom, std::nullopt, true), kElfFormat);
    EXPECT_EQ(FormatFor("a.hex", pic, "inx16", true), format::Inx16);
    EXPECT_EQ(FormatFor("a.data", eeprom, std::nullopt, true), format::IntelHex);
    EXPECT_EQ(FormatFor("a.data", pic, std::nullopt, true), format::Inh8m);
    EXPECT_EQ(FormatFor("a.data", gal, std::nullopt, true), format::Jedec);
    EXPECT_EQ(FormatFor("a.hex", eeprom, "SREC", false), format::Motorola);
    // ELF is read, never written.
    EXPECT_THROW(FormatFor("a.elf", eeprom, std::nullopt, false), UsageError);
    EXPECT_THROW(FormatFor("a.hex", eeprom, "elf", false), UsageError);
    EXPECT_THROW(FormatFor("a.hex", eeprom, "pdf", true), UsageError);
}

TEST(CliFileOptions, FillOffsetAndRange) {
    const DeviceRecord eeprom = test::ShippedRecord("AT28C256");
    const auto settings = [&](std::vector<std::string> words) {
        return LoadSettingsFrom(Parse(std::move(words)), "a.hex", eeprom);
    };
    EXPECT_EQ(settings({}).fill, fill::DeviceDefault);
    EXPECT_EQ(settings({}).offset, 0);
    EXPECT_EQ(settings({"--fill", "none"}).fill, fill::Disable);
    EXPECT_EQ(settings({"--fill", "FF"}).fill, fill::FF);
    EXPECT_EQ(settings({"--offset", "-8000"}).offset, -0x8000);
    EXPECT_EQ(settings({"--offset", "0x10"}).offset, 0x10);
    EXPECT_THROW(settings({"--fill", "55"}), UsageError);
    EXPECT_THROW(settings({"--offset", "100000000"}), UsageError);

    EXPECT_EQ(SaveRangeFrom(std::nullopt, eeprom).stop, 0x7FFFu);
    const SaveRange range = SaveRangeFrom("10:1F", eeprom);
    EXPECT_EQ(range.start, 0x10u);
    EXPECT_EQ(range.stop, 0x1Fu);
    // An ATtiny85 is saved with its data EEPROM after the code, as the save dialog says.
    EXPECT_EQ(SaveRangeFrom(std::nullopt, test::ShippedRecord("ATtiny85")).stop, 0x1FFFu + 0x200u);
    EXPECT_THROW(SaveRangeFrom("10", eeprom), UsageError);
    EXPECT_THROW(SaveRangeFrom("10:1G", eeprom), UsageError);
}

struct Selected {
    AppState state;
    explicit Selected(const char* name) {
        state.record = test::ShippedRecord(name);
        state.buffer.Allocate(*BufferSizeFor(*state.record));
        PrepareSelectedDevice(state, true);
    }
};

TEST(CliOperationOptions, FuseBytesAreNeverLeftToChance) {
    Selected avr("ATmega328P");
    // The fuse step always follows the code: without chosen values there is no Program.
    EXPECT_THROW(ApplyOperationOptions(avr.state, Parse({}), 'P', false), UsageError);
    EXPECT_NO_THROW(ApplyOperationOptions(avr.state, Parse({}), 'P', true));  // from the ELF
    EXPECT_NO_THROW(ApplyOperationOptions(avr.state, Parse({}), 'V', false));

    ApplyOperationOptions(avr.state, Parse({"--fuses", "e2:0xD9:fd:3F"}), 'P', false);
    EXPECT_EQ(avr.state.configBits.FuseLow, 0xE2);
    EXPECT_EQ(avr.state.configBits.FuseHigh, 0xD9);
    EXPECT_EQ(avr.state.configBits.FuseExt, 0xFD);
    EXPECT_EQ(avr.state.configBits.LockBits, 0x3F);
    for (const char* bad : {"E2:D9:FD", "E2:D9:FD:3F:00", "E2:D9:FD:100", "E2::FD:3F", ""}) {
        Selected fresh("ATmega328P");
        EXPECT_THROW(ApplyOperationOptions(fresh.state, Parse({"--fuses", bad}), 'P', false),
                     UsageError)
            << bad;
    }
    // A part without a fuse step programs without them.
    Selected eeprom("AT28C256");
    EXPECT_NO_THROW(ApplyOperationOptions(eeprom.state, Parse({}), 'P', false));
}

}  // namespace
}  // namespace kardo::cli
