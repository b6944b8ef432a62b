// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual programmer speaks the firmware's side of every command, so the algorithm
// tests can stand on it. Each mode is checked here on its own, byte for byte.
#include "link/VirtualProgrammer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/Records.h"
#include "support/TempDir.h"

namespace kardo {
namespace {

using Bytes = std::vector<uint8_t>;

class Firmware {
  public:
    VirtualProgrammer vp;

    void Send(const Bytes& bytes) { vp.Receive(bytes.data(), bytes.size()); }
    Bytes Take(std::size_t n) {
        Bytes out(n);
        out.resize(vp.Take(out.data(), n));
        return out;
    }
    Bytes TakeAll() { return Take(vp.Available()); }
};

DeviceRecord Eeprom(int32_t last) {
    auto r = test::MakeRecord('E', last, 0, "AT28C64B");
    r.SetU8(field::BlankValue, 0xFF);
    return r;
}

DeviceRecord Pic() {
    auto r = test::MakeRecord('C', 0x11, 2, "PIC16F84A");  // 9 words of code
    r.SetU16(field::EepromSize, 3);                        // 4 bytes: 8 transferred
    r.SetU8(field::ConfigCount, 2);
    r.SetU8(field::BlankValue, 0x3F);  // a 14-bit core: erased words read 0x3FFF
    return r;
}

DeviceRecord Avr(uint8_t variant = 32, uint8_t configCode = 0xCD) {
    auto r = test::MakeRecord('M', 0xFF, variant, "ATmega168");
    r.SetU8(field::ManufId, 0x1E);
    r.SetU8(field::DeviceId, 0x94);
    r.SetU8(field::DeviceId2, 0x06);
    r.SetU8(field::ConfigCode, configCode);
    r.SetU8(field::BlankValue, 0xFF);
    return r;
}

TEST(VirtualProgrammer, VersionAndParameterUpload) {
    Firmware f;
    f.vp.firmwareVersion = 2;
    f.Send({'F'});
    EXPECT_EQ(f.TakeAll(), Bytes{2});

    f.Send({'V', 0x80, 0x00, 'E', 0});
    EXPECT_EQ(f.TakeAll(), (Bytes{'O', 'K'}));
    EXPECT_EQ(f.vp.parameters().size, 0x8000);
    EXPECT_EQ(f.vp.parameters().family, 'E');

    // A PIC upload carries four more bytes; the reply comes only after them.
    f.Send({'V', 0x08, 0x00, 'C', 2, 0x00});
    EXPECT_EQ(f.vp.Available(), 0u);
    f.Send({0x80, 0x21, 0x13});
    EXPECT_EQ(f.TakeAll(), (Bytes{'O', 'K'}));
    EXPECT_EQ(f.vp.parameters().dataCount, 0x80);
    EXPECT_EQ(f.vp.parameters().progParam, 0x21);
    EXPECT_EQ(f.vp.parameters().configCode, 0x13);

    f.vp.faults.rejectParameters = true;
    f.Send({'V', 0, 0, 'M', 32});
    EXPECT_EQ(f.TakeAll(), (Bytes{'N', 'O'}));
}

TEST(VirtualProgrammer, EepromModeReadsAndWritesInBlocks) {
    Firmware f;
    f.vp.InsertChip(Eeprom(0xFF));  // 256 bytes
    f.Send({'E'});
    EXPECT_EQ(f.TakeAll(), (Bytes{'G', 'o'}));
    f.Send({'R'});
    EXPECT_EQ(f.TakeAll(), Bytes(256, 0xFF));

    Bytes image(256);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 3);
    f.Send({'E', 'W'});
    EXPECT_EQ(f.Take(2), (Bytes{'G', 'o'}));
    f.Send(Bytes(image.begin(), image.begin() + 128));
    EXPECT_EQ(f.TakeAll().size(), 128u);  // one acknowledgement byte per byte
    f.Send(Bytes(image.begin() + 128, image.end()));
    EXPECT_EQ(f.TakeAll().size(), 128u);
    EXPECT_EQ(f.vp.chip().memory, image);

    // After the stream the programmer takes commands again.
    f.Send({'E', 'R'});
    EXPECT_EQ(f.Take(2), (Bytes{'G', 'o'}));
    EXPECT_EQ(f.TakeAll(), image);
}

TEST(VirtualProgrammer, EepromSizeNotAMultipleOf128TakesWholeBlocks) {
    Firmware f;
    f.vp.InsertChip(Eeprom(199));  // 200 bytes: two blocks, the second one reaching past
    f.Send({'E', 'W'});
    f.Send(Bytes(128, 0x11));
    f.Send(Bytes(128, 0x22));
    EXPECT_EQ(f.TakeAll().size(), 2u + 256u);
    EXPECT_EQ(f.vp.chip().memory.size(), 200u);
    EXPECT_EQ(f.vp.chip().memory[199], 0x22);
    f.Send({'F'});  // the 56 extra bytes were the stream's, not commands
    EXPECT_EQ(f.TakeAll(), Bytes{3});
}

TEST(VirtualProgrammer, PicModeAreas) {
    Firmware f;
    f.vp.InsertChip(Pic());
    // Read of the code area: 'R' and the area byte, then a trailing 'R' that is ignored.
    f.Send({'P', 'R', 'p', 'R'});
    Bytes expected{'G', 'o'};
    for (int i = 0; i < 9; ++i)
        expected.insert(expected.end(), {0x3F, 0xFF});
    EXPECT_EQ(f.TakeAll(), expected);

    // Program 18 bytes of code: one block, two acknowledgement bytes per pair.
    f.Send({'P', 'W', 'p'});
    EXPECT_EQ(f.Take(2), (Bytes{'G', 'o'}));
    Bytes code(18);
    for (std::size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<uint8_t>(i);
    f.Send(code);
    EXPECT_EQ(f.TakeAll().size(), 18u);
    EXPECT_EQ(f.vp.chip().memory, code);

    // The data area answers to 'd' and to 0x00.
    f.Send({'P', 'W', 0x00});
    f.Send(Bytes(8, 0x5A));
    EXPECT_EQ(f.TakeAll().size(), 2u + 8u);
    f.Send({'P', 'R', 'd'});
    EXPECT_EQ(f.TakeAll(), (Bytes{'G', 'o', 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A}));

    // Erase: four reply bytes, every area blank again.
    f.Send({'P', 'E'});
    EXPECT_EQ(f.TakeAll().size(), 2u + 4u);
    EXPECT_EQ(f.vp.chip().memory[0], 0x3F);
    EXPECT_EQ(f.vp.chip().data[1], 0xFF);
}

TEST(VirtualProgrammer, PicOddAreaGetsAPairOfAcknowledgementsForItsLastByte) {
    Firmware f;
    auto r = Pic();
    r.SetU8(field::ConfigCount, 9);
    f.vp.InsertChip(r);
    f.Send({'P', 'W', 'c'});
    f.Take(2);
    f.Send(Bytes(9, 0x44));
    EXPECT_EQ(f.TakeAll().size(), 10u);  // five two-byte reads' worth
}

TEST(VirtualProgrammer, IspCommands) {
    Firmware f;
    f.vp.InsertChip(Avr(0, 0));
    f.Send({'M', 'I'});
    EXPECT_EQ(f.TakeAll(), (Bytes{0x1E, 0x94, 0x06}));
    f.vp.faults.signature = std::array<uint8_t, 3>{0x1E, 0x95, 0x0F};
    f.Send({'M', 'I'});
    EXPECT_EQ(f.TakeAll(), (Bytes{0x1E, 0x95, 0x0F}));

    f.Send({'M', 'W', 'p'});
    f.Send(Bytes(128, 0x01));
    EXPECT_EQ(f.TakeAll().size(), 128u);
    f.Send(Bytes(128, 0x02));
    EXPECT_EQ(f.TakeAll().size(), 128u);
    f.Send({'M', 'R', 'p'});
    Bytes read = f.TakeAll();
    ASSERT_EQ(read.size(), 256u);
    EXPECT_EQ(read[127], 0x01);
    EXPECT_EQ(read[128], 0x02);

    f.Send({'M', 'W', 0xE1});
    EXPECT_EQ(f.TakeAll().size(), 1u);
    f.Send({'M', 'W', 0xE3});
    f.TakeAll();
    f.Send({'M', 'R', 'L'});
    EXPECT_EQ(f.TakeAll(), Bytes{0x04 | 0x10});

    f.Send({'M', 'E'});
    EXPECT_EQ(f.TakeAll(), (Bytes{'D', 'o', 'n', 'e'}));
    EXPECT_EQ(f.vp.chip().memory, Bytes(256, 0xFF));
    EXPECT_EQ(f.vp.chip().lockByte, 0);
}

TEST(VirtualProgrammer, FuseFramesFollowTheDeviceKind) {
    Firmware withExtended;
    withExtended.vp.InsertChip(Avr(32, 0xCD));
    withExtended.Send({'E', 'P', 'F', 0xE2});
    EXPECT_EQ(withExtended.TakeAll().size(), 1u);
    withExtended.Send({0xDF});
    withExtended.Send({0xF9});
    withExtended.Send({'E', 'P', 'L', 0x3F});
    EXPECT_EQ(withExtended.TakeAll().size(), 3u);
    const VirtualChip& c = withExtended.vp.chip();
    EXPECT_EQ(c.fuseLow, 0xE2);
    EXPECT_EQ(c.fuseHigh, 0xDF);
    EXPECT_EQ(c.fuseExt, 0xF9);
    EXPECT_EQ(c.lockBits, 0x3F);

    Firmware older;
    older.vp.InsertChip(Avr(30, 0xC8));  // low fuse and lock byte only
    older.Send({'E', 'P', 'F', 0xDE, 'E', 'P', 'L', 0xF9});
    EXPECT_EQ(older.TakeAll().size(), 2u);
    EXPECT_EQ(older.vp.chip().fuseLow, 0xDE);
    EXPECT_EQ(older.vp.chip().lockBits, 0xF9);
}

TEST(VirtualProgrammer, StopSelfTestAndFaults) {
    Firmware f;
    f.vp.InsertChip(Eeprom(0x1FFF));
    f.Send({'E', 'R'});
    f.Take(10);
    f.Send({'S'});  // the rest of the stream is not sent
    EXPECT_EQ(f.vp.Available(), 0u);

    f.vp.faults.selfTestNoise = 30;
    f.Send({'T', 3});
    const Bytes test = f.TakeAll();
    ASSERT_EQ(test.size(), 31u);
    EXPECT_EQ(test.back(), 'D');
    f.vp.faults.selfTestFails = true;
    f.Send({'T', 0});
    EXPECT_EQ(f.TakeAll(), Bytes(30, '.'));

    f.vp.faults.corruptAddress = 0x1A3;
    f.Send({'E', 'R'});
    const Bytes read = f.TakeAll();
    EXPECT_EQ(read[2 + 0x1A3], 0x00);
    EXPECT_EQ(read[2 + 0x1A2], 0xFF);
    EXPECT_EQ(f.vp.chip().memory[0x1A3], 0xFF);  // the chip itself is fine

    f.vp.faults.wrongHandshake = true;
    f.Send({'P'});
    EXPECT_EQ(f.Take(2), (Bytes{'N', 'o'}));

    Firmware silent;
    silent.vp.faults.silent = true;
    silent.Send({'F', 'E', 'V', 0, 0, 'E', 0});
    EXPECT_EQ(silent.vp.Available(), 0u);
}

TEST(VirtualProgrammer, ChipIsKeptInItsImageFileBetweenRuns) {
    test::TempDir dir;
    const auto image = dir / "chip.bin";
    {
        Firmware first;
        first.vp.SetImageFile(image);
        first.vp.InsertChip(Eeprom(0xFF));
        first.Send({'E', 'W'});
        first.Send(Bytes(128, 0xA1));
        first.Send(Bytes(128, 0xA2));
    }
    {
        Firmware next;  // the next run, the same device
        next.vp.SetImageFile(image);
        next.vp.InsertChip(Eeprom(0xFF));
        EXPECT_EQ(next.vp.chip().memory[0], 0xA1);
        EXPECT_EQ(next.vp.chip().memory[255], 0xA2);
        const auto kept = test::ReadBytes(image);
        next.vp.InsertChip(Eeprom(0x7FF));  // another device: a blank chip, in memory only
        EXPECT_EQ(next.vp.chip().memory[0], 0xFF);
        EXPECT_NE(next.vp.TakeImageProblem().find("holds a chip of AT28C64B of another size"),
                  std::string::npos);
        EXPECT_EQ(test::ReadBytes(image), kept);
    }
    // One of our files cut short is not taken for a chip, nor written over.
    auto bytes = test::ReadBytes(image);
    bytes.resize(bytes.size() / 2);
    test::WriteBytes(image, bytes);
    Firmware damaged;
    EXPECT_NE(damaged.vp.SetImageFile(image).find("is not a virtual chip file"), std::string::npos);
    damaged.vp.InsertChip(Eeprom(0x7FF));
    EXPECT_EQ(damaged.vp.chip().memory.size(), 0x800u);
    EXPECT_EQ(damaged.vp.chip().memory[5], 0xFF);
    damaged.Send({'E', 'W'});
    damaged.Send(Bytes(128, 0xA3));
    EXPECT_EQ(test::ReadBytes(image), bytes);
}

// A read with another device must not cost the chip that was programmed: its file is
// kept byte for byte, the user is told, and the other chip lives in memory only. Nothing
// is made, followed or removed under a fixed name beside the file.
TEST(VirtualProgrammer, AnImageOfAnotherDevicesChipIsKeptAsItIs) {
    test::TempDir dir;
    const auto image = dir / "chip.bin";
    test::WriteBytes(dir / "victim.txt", {'v'});
    std::filesystem::create_symlink(dir / "victim.txt", dir / "chip.bin.new");
    {
        Firmware first;
        EXPECT_EQ(first.vp.SetImageFile(image), "");
        first.vp.InsertChip(Eeprom(0xFF));
        first.Send({'E', 'W'});
        first.Send(Bytes(256, 0xA1));
    }
    const auto programmed = test::ReadBytes(image);
    {
        Firmware other;
        EXPECT_EQ(other.vp.SetImageFile(image), "");
        other.vp.InsertChip(test::MakeRecord('E', 0x7FFF, 0, "AT28C256"));
        EXPECT_EQ(other.vp.TakeImageProblem(),
                  "The virtual chip file " + image.string() +
                      " holds a chip of AT28C64B, not of AT28C256; it is left as it is. The chip "
                      "is kept in memory only.");
        other.Send({'E', 'W'});
        other.Send(Bytes(0x8000, 0xB2));
        EXPECT_EQ(other.vp.chip().memory[0], 0xB2);
        EXPECT_EQ(other.vp.TakeImageProblem(), "");
    }
    EXPECT_EQ(test::ReadBytes(image), programmed);
    Firmware again;  // the programmed chip is still there for its own device
    EXPECT_EQ(again.vp.SetImageFile(image), "");
    again.vp.InsertChip(Eeprom(0xFF));
    EXPECT_EQ(again.vp.chip().memory[0], 0xA1);
    EXPECT_EQ(test::ReadBytes(dir / "victim.txt"), Bytes{'v'});
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "chip.bin.new"));
}

// A chip file that cannot be used leaves the chip in memory, with the reason, and never
// touches what is there.
TEST(VirtualProgrammer, AnUnusableImageFileKeepsTheChipInMemoryAndSaysWhy) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    test::WriteBytes(dir / "notes.txt", {'h', 'e', 'l', 'l', 'o'});
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    const struct {
        std::filesystem::path file;
        const char* reason;
    } cases[] = {
        {dir / "folder", "cannot be read (it is a folder, not a file)"},
        {dir / "pipe", "cannot be read (it is not a regular file)"},
        {dir / "notes.txt", "is not a virtual chip file; it is left as it is"},
        {dir / "notes.txt" / "chip.bin", "cannot be written (Not a directory)"},
        {dir / "missing" / "chip.bin", "cannot be written (No such file or directory)"},
    };
    for (const auto& c : cases) {
        Firmware f;
        EXPECT_EQ(f.vp.SetImageFile(c.file), "The virtual chip file " + c.file.string() + " " +
                                                 c.reason + ". The chip is kept in memory only.");
        f.vp.InsertChip(Eeprom(0xFF));
        f.Send({'E', 'W'});
        f.Send(Bytes(128, 0xA1));
        f.Send(Bytes(128, 0xA2));
        EXPECT_EQ(f.vp.chip().memory[0], 0xA1) << c.file;
        EXPECT_EQ(f.vp.TakeImageProblem(), "") << c.file;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    EXPECT_EQ(test::ReadBytes(dir / "notes.txt"), (Bytes{'h', 'e', 'l', 'l', 'o'}));

    // A file that stops being writable later is given up with the reason, once.
    Firmware later;
    std::filesystem::create_directory(dir / "gone");
    EXPECT_EQ(later.vp.SetImageFile(dir / "gone" / "chip.bin"), "");
    std::filesystem::remove_all(dir / "gone");
    later.vp.InsertChip(Eeprom(0xFF));
    EXPECT_NE(later.vp.TakeImageProblem().find("cannot be written"), std::string::npos);
    later.Send({'E', 'W'});
    later.Send(Bytes(256, 0xA1));
    EXPECT_EQ(later.vp.TakeImageProblem(), "");
    EXPECT_EQ(later.vp.chip().memory[0], 0xA1);
}

}  // namespace
}  // namespace kardo
