// SPDX-License-Identifier: GPL-3.0-or-later
// The buffer checksum of every family.
#include "devicedb/Checksum.h"

#include <gtest/gtest.h>

#include "devicedb/BufferRules.h"
#include "support/Records.h"

namespace kardo {
namespace {

using test::MakeRecord;

DeviceBuffer Zeroed(std::size_t size) { return DeviceBuffer(size); }

TEST(Checksum, PicSumsHighFirstWordsPlusTheMaskedConfigWord) {
    auto pic = MakeRecord('C', 0x7FF);  // 1024 words
    pic.SetU8(field::BlankValue, 0x3F);
    pic.bytes()[field::ConfigMask.offset] = 0x3F;
    pic.bytes()[field::ConfigMask.offset + 1] = 0x1F;
    DeviceBuffer buffer(*BufferSizeFor(pic));
    FillErased(buffer, pic);
    // Erased: every word 0x3FFF, and the config word 0x3FFF masked to 0x3F1F.
    EXPECT_EQ(ComputeChecksum(pic, buffer), 1024u * 0x3FFF + 0x3F1F);

    buffer[0] = 0x12;
    buffer[1] = 0x34;
    buffer[0x400E] = 0xFF;
    buffer[0x400F] = 0xF0;
    EXPECT_EQ(ComputeChecksum(pic, buffer), 1023u * 0x3FFF + 0x1234 + (0x3F1Fu & 0xFFF0));
    EXPECT_EQ(ChecksumText(ComputeChecksum(pic, buffer)),
              ChecksumText((1023u * 0x3FFF + 0x1234 + (0x3F1Fu & 0xFFF0)) & 0xFFFF));
}

TEST(Checksum, Pic18TakesItsConfigWordFromTheHighImage) {
    auto pic18 = MakeRecord('C', 0x3, 18);
    pic18.bytes()[field::ConfigMask.offset] = 0xFF;
    pic18.bytes()[field::ConfigMask.offset + 1] = 0x0F;
    DeviceBuffer buffer(*BufferSizeFor(pic18));
    buffer[0] = 0x01;  // words 0x0100 and 0x0002
    buffer[3] = 0x02;
    buffer[0x400E] = 0xFF;  // ignored for PIC18
    buffer[0xF0010] = 0xAB;
    buffer[0xF0011] = 0xCD;
    EXPECT_EQ(ComputeChecksum(pic18, buffer), 0x0100u + 0x0002 + 0xAB0D);
}

TEST(Checksum, ByteFamiliesAddEveryByteOfTheDevice) {
    for (char family : {'E', 'F', 'L', 'M', 'R'}) {
        const auto r = MakeRecord(family, 2);
        DeviceBuffer buffer = Zeroed(0x10000);
        buffer[0] = 0xFF;
        buffer[2] = 0x01;
        buffer[3] = 0x80;  // beyond LastAddress
        EXPECT_EQ(ComputeChecksum(r, buffer), 0x100u) << family;
    }
}

TEST(Checksum, LowFirstWordFamiliesPutTheSecondByteHigh) {
    for (char family : {'O', 'Y'}) {
        const auto r = MakeRecord(family, 3);
        DeviceBuffer buffer = Zeroed(0x10000);
        buffer[0] = 0x34;
        buffer[1] = 0x12;
        buffer[2] = 0x01;
        EXPECT_EQ(ComputeChecksum(r, buffer), 0x1234u + 0x0001) << family;
    }
}

TEST(Checksum, FuseMapsWeighEachNonZeroFuseByItsPlaceInAGroupOfEight) {
    const auto r = MakeRecord('P', 24);  // positions 0..23 counted
    DeviceBuffer buffer = Zeroed(0x10000);
    std::fill(buffer.data(), buffer.data() + 0x10000, '1');
    EXPECT_EQ(ComputeChecksum(r, buffer), 3u * 255);
    buffer[0] = '0';
    buffer[9] = '0';
    EXPECT_EQ(ComputeChecksum(r, buffer), 3u * 255 - 1 - 2);
    buffer[24] = '0';  // LastAddress itself is not counted
    EXPECT_EQ(ComputeChecksum(r, buffer), 3u * 255 - 1 - 2);
}

TEST(Checksum, SerialMemoriesTakeTwoBytesPerStepAtWidth16) {
    auto r = MakeRecord('S', 1);  // two steps
    DeviceBuffer buffer = Zeroed(0x10000);
    buffer[0] = 1;
    buffer[1] = 2;
    buffer[2] = 4;
    buffer[3] = 8;
    EXPECT_EQ(ComputeChecksum(r, buffer), 3u);
    r.SetU16(field::DataWidth, 16);
    EXPECT_EQ(ComputeChecksum(r, buffer), 15u);
}

TEST(Checksum, NeverReadsBeyondTheBuffer) {
    // A 16-bit serial memory of 64 Ki steps would take 128 KiB from a 64 KiB buffer.
    auto serial = MakeRecord('S', 0xFFFF);
    serial.SetU16(field::DataWidth, 16);
    DeviceBuffer buffer(*BufferSizeFor(serial));
    std::fill(buffer.data(), buffer.data() + buffer.BufferSize(), 1);
    EXPECT_EQ(ComputeChecksum(serial, buffer), 0x10000u);

    // Records that claim more than the buffer holds.
    for (char family : {'C', 'E', 'O', 'P'}) {
        DeviceBuffer small(16);
        std::fill(small.data(), small.data() + 16, 1);
        EXPECT_NO_FATAL_FAILURE(ComputeChecksum(MakeRecord(family, 0x3FFFFF), small)) << family;
    }
    EXPECT_EQ(ComputeChecksum(MakeRecord('E', -5), buffer), 0u);
    EXPECT_EQ(ComputeChecksum(MakeRecord('Z', 10), buffer), 0u);
}

}  // namespace
}  // namespace kardo
