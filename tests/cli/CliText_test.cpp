// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the command line reads and writes for scripts: names typed in any case, the
// format a file's first bytes show, JSON that always parses, and the hash of a file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/DeviceNames.h"
#include "common/JsonText.h"
#include "common/Sha256.h"
#include "fileio/FormatDetection.h"

namespace kardo::cli {
namespace {

TEST(CliText, NamesMatchInAnyCaseAndTheClosestAreOffered) {
    EXPECT_TRUE(NameMatches("877", "MICROCHIP/PIC16F877A"));
    EXPECT_TRUE(NameMatches("pic16F8*a", "PIC16F877A"));
    EXPECT_FALSE(NameMatches("pic16F8*a", "PIC16F877"));
    EXPECT_TRUE(GlobMatches("*c2?6", "AT28C256"));
    EXPECT_FALSE(GlobMatches("*c2?6", "AT28C2561"));
    EXPECT_EQ(EditDistance("AT28C265", "at28c256"), 1u);  // a swap of neighbours is one
    EXPECT_EQ(EditDistance("", "abc"), 3u);
    const std::vector<std::string> names{"AT28C16", "AT28C256", "AT28C64", "ATmega8", "PIC16F84A"};
    EXPECT_EQ(ClosestNames("AT28C265", names, 1), std::vector<std::string>{"AT28C256"});
    EXPECT_EQ(ClosestNames("28c25", names, 5).front(), "AT28C256");  // holds what was typed
    EXPECT_TRUE(ClosestNames("XYZZY12345", names, 5).empty());
}

TEST(CliText, TheFirstBytesTellTheFormat) {
    const auto detect = [](const std::string& text) {
        return DetectFileContent(std::vector<uint8_t>(text.begin(), text.end()));
    };
    EXPECT_EQ(detect(":10000000"), FileContent::IntelHex);
    EXPECT_EQ(detect("S1130000"), FileContent::Motorola);
    EXPECT_EQ(detect(std::string("\x7F"
                                 "ELF\x01",
                                 5)),
              FileContent::Elf);
    EXPECT_EQ(detect("\x02GAL16V8*QP20*QF2194*L0000 0101*\x03"), FileContent::Jedec);
    EXPECT_EQ(detect("Made by hand\n*QF2194*"), FileContent::Jedec);
    // An 8051 image starts with its jump (0x02); a colon or an S alone is no record.
    EXPECT_EQ(detect(std::string("\x02\x00\x30\x75\x81", 5)), FileContent::Binary);
    EXPECT_EQ(detect(":x"), FileContent::Binary);
    EXPECT_EQ(detect("SOME TEXT"), FileContent::Binary);
    EXPECT_EQ(detect(""), FileContent::Binary);
}

TEST(CliText, JsonStringsAlwaysParse) {
    EXPECT_EQ(JsonString("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"");
    EXPECT_EQ(JsonString("\xC3\xA9"), "\"\xC3\xA9\"");  // UTF-8 stays
    EXPECT_EQ(JsonString("\xFF"
                         "a"),
              "\"\\ufffda\"");  // a stray byte does not
    EXPECT_EQ(JsonObject()
                  .Add("n", int64_t{-1})
                  .Add("b", true)
                  .Add("l", std::vector<std::string>{"x"})
                  .Text(),
              "{\"n\": -1, \"b\": true, \"l\": [\"x\"]}");
}

TEST(CliText, Sha256AsSha256sumPrintsIt) {
    const auto hash = [](const std::string& text) {
        return Sha256Hex(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    };
    EXPECT_EQ(hash(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hash("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length goes into a second block.
    EXPECT_EQ(hash("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(hash(std::string(1000, 'a')),
              "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
}

}  // namespace
}  // namespace kardo::cli
