// SPDX-License-Identifier: GPL-3.0-or-later
// The loader's rules on small hand-made files: every result code with its log line,
// the address records, the fill choices, the buffer sizes, and what happens to input
// that is not what it claims to be.
#include <gtest/gtest.h>

#include "common/Format.h"
#include "fileio/FileLoader.h"
#include "fileio/LoadBuffer.h"
#include "support/RecordingFileHost.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"
#include "support/TempDir.h"

namespace kardo {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

// One Intel HEX (or Inh8m/Inx16) record with its checksum, or with `checksumError`
// added to it.
std::string RecordOfLength(uint8_t length, uint16_t address, uint8_t type, const Bytes& data,
                           int checksumError = 0) {
    std::string text = Format(":%02X%04X%02X", unsigned{length}, unsigned{address}, unsigned{type});
    unsigned sum = length + (address >> 8) + (address & 0xFF) + type;
    for (const uint8_t b : data) {
        text += Format("%02X", unsigned{b});
        sum += b;
    }
    return text + Format("%02X\n", (0x100 - sum + static_cast<unsigned>(checksumError)) & 0xFFu);
}
std::string Record(uint16_t address, uint8_t type, const Bytes& data, int checksumError = 0) {
    return RecordOfLength(static_cast<uint8_t>(data.size()), address, type, data, checksumError);
}
std::string Data(uint16_t address, const Bytes& data) {
    return Record(address, 0x00, data);
}
const std::string kEnd = ":00000001FF\n";

// One S1, S2 or S3 record: 2, 3 or 4 address bytes.
std::string SRecord(char type, uint32_t address, const Bytes& data) {
    const int addressBytes = type - '0' + 1;
    const unsigned count = static_cast<unsigned>(data.size() + addressBytes) + 1;
    std::string text = Format("S%c%02X", type, count);
    unsigned sum = count;
    for (int i = addressBytes - 1; i >= 0; --i) {
        const unsigned b = (address >> (8 * i)) & 0xFF;
        text += Format("%02X", b);
        sum += b;
    }
    for (const uint8_t b : data) {
        text += Format("%02X", unsigned{b});
        sum += b;
    }
    return text + Format("%02X\n", ~sum & 0xFFu);
}
std::string S1(uint16_t address, const Bytes& data) {
    return SRecord('1', address, data);
}

Bytes Counting(std::size_t n, uint8_t from = 0) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(from + i);
    return b;
}

// A load of text or bytes written to a file of its own.
struct Load {
    test::TempDir dir;
    DeviceBuffer buffer;
    test::RecordingFileHost host;
    FileSettings settings;
    uint8_t result = 0;

    Load& Run(const DeviceRecord& record, const std::string& content, uint8_t fileFormat,
              bool oddEven = false) {
        test::WriteBytes(dir / "file", Bytes(content.begin(), content.end()));
        settings.format = fileFormat;
        result = LoadFile({dir / "file", record, settings, oddEven}, buffer, host);
        return *this;
    }
    Lines Success(Lines more = {}) const {
        Lines lines{"", " File " + (dir / "file").string() + " Loaded"};
        lines.insert(lines.end(), more.begin(), more.end());
        return lines;
    }
};

DeviceRecord Eeprom(int32_t lastAddress) {
    DeviceRecord r = test::MakeRecord('E', lastAddress, 0, "AT28C256");
    r.SetU8(field::BlankValue, 0xFF);
    return r;
}
const DeviceRecord kEeprom32K = Eeprom(0x7FFF);

TEST(LoadRules, EveryFailureHasItsCodeLineAndSound) {
    const struct {
        const char* what;
        std::string content;
        uint8_t fileFormat;
        uint8_t code;
        Lines lines;
        int sounds;
    } cases[] = {
        {"checksum",
         Data(0, {1, 2}) + Record(2, 0, {3, 4}, 1) + kEnd,
         format::IntelHex,
         load::ChecksumError,
         {" Checksum Error "},
         1},
        {"65 bytes",
         Data(0, Counting(65)) + kEnd,
         format::IntelHex,
         load::NotIntelHex,
         {" Not Intel Hex Format"},
         1},
        {"no end record",
         Data(0, {1}) + "\r\n\r\n",
         format::IntelHex,
         load::NotIntelHex,
         {" Not Intel Hex Format"},
         1},
        {"empty file", "", format::IntelHex, load::NotIntelHex, {" Not Intel Hex Format"}, 1},
        {"unknown type",
         Record(0, 0x06, {1}) + kEnd,
         format::IntelHex,
         load::NotIntelHex,
         {" Not Intel Hex Format"},
         1},
        {"a header and no data record",
         "S00600004844521B\n",
         format::Motorola,
         load::NotMotorola,
         {" Not Motorola S-record format"},
         1},
        {"Inh8m without end",
         Data(0, {1, 2}),
         format::Inh8m,
         load::NotInh8m,
         {" Not INH8M format"},
         1},
        {"Inx16 without end",
         RecordOfLength(1, 0, 0, {1, 2}),
         format::Inx16,
         load::NotInx16,
         {" Not INX16 format"},
         1},
        {"beyond the buffer",
         Record(0, 0x04, {0x00, 0x02}) + Data(0, {1}) + kEnd,
         format::IntelHex,
         load::OutsideBuffer,
         {" File doesn't fit in allocated buffer"},
         1},
        {"first character a space",
         " " + Data(0, {1}) + kEnd,
         format::IntelHex,
         load::NotThisFormat,
         {" ", " File isn't a hex file"},
         0},
        {"first character not S",
         "\nS9030000FC\n",
         format::Motorola,
         load::NotThisFormat,
         {" ", " File isn't a motorola file"},
         0},
        {"Inh8m not hex",
         "#" + kEnd,
         format::Inh8m,
         load::NotThisFormat,
         {" ", " File isn't a hex file"},
         0},
        {"cut inside a record",
         Data(0, {1, 2}) + ":0400000001",
         format::IntelHex,
         load::ReadFailure,
         {},
         1},
    };
    for (const auto& c : cases) {
        Load l;
        l.Run(kEeprom32K, c.content, c.fileFormat);
        EXPECT_EQ(l.result, c.code) << c.what;
        EXPECT_EQ(l.host.lines, c.lines) << c.what;
        EXPECT_EQ(l.host.failureSounds, c.sounds) << c.what;
        EXPECT_EQ(l.host.messages, c.code == load::ReadFailure ? Lines{"File ERROR"} : Lines{})
            << c.what;
        EXPECT_EQ(l.host.closed, 1) << c.what;
    }
}

TEST(LoadRules, BytesStoredBeforeAFailureStay) {
    Load bad;
    bad.Run(kEeprom32K,
            Data(0x10, {0xA1, 0xA2}) + Record(0x20, 0, {0xB1}, 7) + Data(0x30, {0xC1}) + kEnd,
            format::IntelHex);
    EXPECT_EQ(bad.result, load::ChecksumError);
    EXPECT_EQ(bad.buffer[0x10], 0xA1);
    EXPECT_EQ(bad.buffer[0x11], 0xA2);
    EXPECT_EQ(bad.buffer[0x30], 0xFF);  // never reached

    // A field that is not hexadecimal names itself the way the conversion does.
    Load notHex;
    notHex.Run(kEeprom32K, Data(0, {0x11}) + ":01000100G1FE\n" + kEnd, format::IntelHex);
    EXPECT_EQ(notHex.result, load::NotHexadecimal);
    EXPECT_EQ(notHex.host.messages, Lines{"'0xG1' is not a valid integer value"});
    EXPECT_TRUE(notHex.host.lines.empty());
    EXPECT_EQ(notHex.buffer[0], 0x11);
}

TEST(LoadRules, AFileThatCannotBeReadLeavesTheBufferAsItWas) {
    DeviceBuffer buffer(0x1234);
    buffer[7] = 0x77;
    test::RecordingFileHost host;
    test::TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    FileSettings settings;
    for (const auto& file : {dir / "missing.hex", dir / "folder"}) {
        EXPECT_EQ(LoadFile({file, kEeprom32K, settings}, buffer, host), load::ReadFailure);
    }
    EXPECT_EQ(host.messages, (Lines{"File ERROR", "File ERROR"}));
    EXPECT_EQ(buffer.BufferSize(), 0x1234u);
    EXPECT_EQ(buffer[7], 0x77);
    EXPECT_TRUE(host.lines.empty());
}

TEST(LoadRules, IntelHexAddressRecordsAndTheReport) {
    // 64 data bytes is the longest record taken.
    Load longest;
    longest.Run(kEeprom32K, Data(0x100, Counting(64)) + kEnd, format::IntelHex);
    EXPECT_EQ(longest.result, load::Ok);
    EXPECT_EQ(longest.host.lines,
              longest.Success({" Highest Load Address : 13F", " Lowest Load Address  : 100"}));

    // Type 02 shifts by four bits, type 04 by sixteen: both put 0x1000 / 0x0001 at 0x10000.
    for (const std::string& extended :
         {std::string(":020000021000EC\n"), std::string(":020000040001F9\n")}) {
        Load l;
        l.Run(test::MakeRecord('E', 0x1FFFF), extended + Data(0x0002, {0x5A}) + kEnd,
              format::IntelHex);
        EXPECT_EQ(l.result, load::Ok) << extended;
        EXPECT_EQ(l.buffer[0x10002], 0x5A) << extended;
        EXPECT_EQ(l.host.lines[2], " Highest Load Address : 10002");
    }

    // A start address (03) is passed over, 05 is read and ignored; lower case works.
    Load others;
    others.Run(kEeprom32K,
               ":0400000300001234b3\n" + Record(0, 0x05, {0, 0, 1, 0}) + ":01000800aa4d\n" + kEnd,
               format::IntelHex);
    EXPECT_EQ(others.result, load::Ok);
    EXPECT_EQ(others.buffer[8], 0xAA);

    // 64 KiB into a 32 KiB part: it fits the buffer, and the log says it is too big.
    std::string big;
    for (unsigned a = 0; a < 0x10000; a += 32)
        big += Data(static_cast<uint16_t>(a), Counting(32, static_cast<uint8_t>(a >> 5)));
    Load tooBig;
    tooBig.Run(kEeprom32K, big + kEnd, format::IntelHex);
    EXPECT_EQ(tooBig.result, load::Ok);
    EXPECT_EQ(tooBig.host.lines,
              tooBig.Success({" Highest Load Address : FFFF", " Lowest Load Address  : 0",
                              " File bigger than selected device"}));
    // The bar only moves forward, and stops at its end however far past the device.
    EXPECT_TRUE(std::is_sorted(tooBig.host.progress.begin(), tooBig.host.progress.end()));
    EXPECT_EQ(tooBig.host.progress.back(), 100);
    // ... unless the two halves of an odd/even pair are loaded together.
    Load pair;
    pair.Run(test::MakeRecord('R', 0x7FFF), big + kEnd, format::IntelHex, true);
    EXPECT_EQ(pair.host.lines.size(), 4u);
}

TEST(LoadRules, OffsetsMoveEveryAddressAndNeverReachBelowTheBuffer) {
    Load up;
    up.settings.offset = 0x100;
    up.Run(kEeprom32K, Data(0x10, {0x42}) + kEnd, format::IntelHex);
    EXPECT_EQ(up.buffer[0x110], 0x42);

    // "100" subtracted from a binary file of 0x80 bytes: the first byte falls below 0.
    Load below;
    below.settings.offset = -0x100;
    below.Run(kEeprom32K, std::string(0x80, 'x'), format::Binary);
    EXPECT_EQ(below.result, load::OutsideBuffer);
    EXPECT_EQ(below.host.lines, Lines{" File doesn't fit in allocated buffer"});

    Load binary;
    binary.settings.offset = 0x7FF0;
    binary.Run(kEeprom32K, std::string(0x20, 'b'), format::Binary);
    EXPECT_EQ(binary.result, load::Ok);
    EXPECT_EQ(binary.buffer[0x800F], 'b');
    EXPECT_EQ(binary.host.lines,
              binary.Success({" Highest Load Address : 800F", " Lowest Load Address  : 7FF0",
                              " File bigger than selected device"}));
    // A binary file that runs past the end of the buffer keeps what fitted.
    Load past;
    past.settings.offset = 0x1FFF0;
    past.Run(kEeprom32K, std::string(0x20, 'p'), format::Binary);
    EXPECT_EQ(past.result, load::OutsideBuffer);
    EXPECT_EQ(past.buffer[0x1FFFF], 'p');
}

TEST(LoadRules, MotorolaRecords) {
    const Bytes sixteen = Counting(16, 0x40);
    Load l;
    l.Run(kEeprom32K,
          "S00600004844521B\n" + S1(0x0000, sixteen) + "S5030001FB\n" + S1(0x0010, {0x99}) +
              "S9030000FC\n" + S1(0x0020, {0x77}),
          format::Motorola);
    EXPECT_EQ(l.result, load::Ok);
    EXPECT_TRUE(
        std::equal(sixteen.begin(), sixteen.end(), l.buffer.data()));  // count 0x13: 16 bytes
    EXPECT_EQ(l.buffer[0x10], 0x99);  // the S5 record between them changed nothing
    EXPECT_EQ(l.buffer[0x20], 0xFF);  // S9 ended the load
    EXPECT_EQ(l.host.lines, l.Success({" Highest Load Address : 10", " Lowest Load Address  : 0"}));

    // S2 and S3 carry 24- and 32-bit addresses; a wrong sum is a checksum error.
    Load wide;
    wide.Run(test::MakeRecord('E', 0x1FFFF),
             SRecord('2', 0x10010, {0x1A}) + SRecord('3', 0x10000, {0x11, 0x22}) + "S804000000FB\n",
             format::Motorola);
    EXPECT_EQ(wide.result, load::Ok);
    EXPECT_EQ(wide.buffer[0x10010], 0x1A);
    EXPECT_EQ(wide.buffer[0x10000], 0x11);
    EXPECT_EQ(wide.buffer[0x10001], 0x22);
    Load wrong;
    wrong.Run(kEeprom32K, "S1040000AA50\nS9030000FC\n", format::Motorola);
    EXPECT_EQ(wrong.result, load::ChecksumError);
}

}  // namespace
}  // namespace kardo
