// SPDX-License-Identifier: GPL-3.0-or-later
// Fill, copy and move over the buffer, with the limits of the editor's range.
#include "buffertools/BlockEdits.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace kardo {
namespace {

DeviceBuffer Counting(std::size_t size) {
    DeviceBuffer buffer(size);
    std::iota(buffer.data(), buffer.data() + size, uint8_t{0});
    return buffer;
}

std::vector<uint8_t> At(const DeviceBuffer& b, std::size_t from, std::size_t n) {
    return std::vector<uint8_t>(b.data() + from, b.data() + from + n);
}

TEST(Fill, BytesAndWordsHighByteFirst) {
    DeviceBuffer b(0x1000);
    EXPECT_EQ(FillBlock(b, 0x1000, 0x10, 0x13, 0x1234, true), FillResult::Filled);
    EXPECT_EQ(At(b, 0x0F, 6), (std::vector<uint8_t>{0, 0x12, 0x34, 0x12, 0x34, 0}));
    EXPECT_EQ(FillBlock(b, 0x1000, 0x10, 0x14, 0x1234, true), FillResult::Filled);
    EXPECT_EQ(At(b, 0x10, 6), (std::vector<uint8_t>{0x12, 0x34, 0x12, 0x34, 0x12, 0}));
    EXPECT_EQ(FillBlock(b, 0x1000, 0x20, 0x20, 0x12AB, false), FillResult::Filled);
    EXPECT_EQ(At(b, 0x1F, 3), (std::vector<uint8_t>{0, 0xAB, 0}));
    // The whole range, up to its last byte.
    EXPECT_EQ(FillBlock(b, 0x1000, 0, 0xFFF, 0x55, false), FillResult::Filled);
    EXPECT_EQ(b[0xFFF], 0x55);
}

TEST(Fill, RefusedBelowFromAndPastTheRangeWithNothingWritten) {
    DeviceBuffer b = Counting(0x2000);
    const DeviceBuffer before = b;
    EXPECT_EQ(FillBlock(b, 0x1000, 0x13, 0x10, 0xFF, false), FillResult::ToBelowFrom);
    EXPECT_EQ(FillBlock(b, 0x1000, 0x10, 0x1000, 0xFF, false), FillResult::BeyondRange);
    EXPECT_EQ(FillBlock(b, 0x1000, 0x1000, 0x1001, 0xFF, false), FillResult::BeyondRange);
    EXPECT_EQ(FillBlock(b, 0x1000, 0, 0xFFFFFFFF, 0xFF, false), FillResult::BeyondRange);
    // A range said to be larger than the buffer still ends with the buffer.
    EXPECT_EQ(FillBlock(b, 0x100000, 0, 0x2000, 0xFF, false), FillResult::BeyondRange);
    EXPECT_EQ(At(b, 0, 0x2000), At(before, 0, 0x2000));
}

TEST(CopyMove, OverlapIsEverySharedByteEvenAtTheTopOfTheAddressSpace) {
    EXPECT_TRUE(BlocksOverlap(0, 0x10, 0x08));
    EXPECT_FALSE(BlocksOverlap(0, 0x10, 0x10));
    EXPECT_TRUE(BlocksOverlap(0x10, 0x10, 0x08));
    EXPECT_FALSE(BlocksOverlap(0x10, 0x10, 0));
    EXPECT_FALSE(BlocksOverlap(5, 0, 5));
    // 32-bit sums would wrap and call these apart.
    EXPECT_TRUE(BlocksOverlap(0xFFFFFFF0, 0x20, 0xFFFFFFF8));
    EXPECT_TRUE(BlocksOverlap(0x10, 0xFFFFFFFF, 0x20));
}

TEST(CopyMove, ReplaceValueIsNothingOrTwoDigits) {
    EXPECT_FALSE(ParseReplacement("")->value.has_value());
    EXPECT_EQ(ParseReplacement("fF")->value, 0xFF);
    EXPECT_EQ(ParseReplacement("0a")->value, 0x0A);
    EXPECT_FALSE(ParseReplacement("F"));
    EXPECT_FALSE(ParseReplacement("FFF"));
    EXPECT_FALSE(ParseReplacement("G0"));
}

TEST(CopyMove, ACopyLeavesTheSourceAMoveReplacesIt) {
    DeviceBuffer b = Counting(0x1000);
    EXPECT_EQ(CopyMoveBlock(b, 0x1000, 0x100, 4, 0x200, {}), 4u);
    EXPECT_EQ(At(b, 0x200, 5), (std::vector<uint8_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(At(b, 0x100, 4), (std::vector<uint8_t>{0, 1, 2, 3}));

    b = Counting(0x1000);
    CopyMoveBlock(b, 0x1000, 0x100, 4, 0x200, Replacement{0xFF});
    EXPECT_EQ(At(b, 0x100, 5), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 4}));
    EXPECT_EQ(At(b, 0x200, 5), (std::vector<uint8_t>{0, 1, 2, 3, 4}));
}

TEST(CopyMove, AnOverlappingMoveKeepsTheFormerBytesAtItsDestination) {
    DeviceBuffer b = Counting(0x1000);
    CopyMoveBlock(b, 0x1000, 0, 8, 4, Replacement{0x00});
    EXPECT_EQ(At(b, 0, 13), (std::vector<uint8_t>{0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 12}));
}

TEST(CopyMove, StopsAtTheEndOfTheRangeOnBothSides) {
    DeviceBuffer b = Counting(0x2000);
    // Only the 4 bytes below the range are read, and overwritten.
    EXPECT_EQ(CopyMoveBlock(b, 0x1000, 0xFFC, 0x100, 0x10, Replacement{0xEE}), 4u);
    EXPECT_EQ(At(b, 0x10, 5), (std::vector<uint8_t>{0xFC, 0xFD, 0xFE, 0xFF, 0x14}));
    EXPECT_EQ(At(b, 0xFFC, 5), (std::vector<uint8_t>{0xEE, 0xEE, 0xEE, 0xEE, 0x00}));
    // The bytes that would land at or past the end are dropped.
    b = Counting(0x2000);
    CopyMoveBlock(b, 0x1000, 0, 0x10, 0xFFA, {});
    EXPECT_EQ(At(b, 0xFFA, 7), (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 0x00}));
    EXPECT_EQ(b[0x1000], 0x00);
    // Sources and destinations past the end, huge counts: nothing outside is touched.
    const DeviceBuffer before = b;
    EXPECT_EQ(CopyMoveBlock(b, 0x1000, 0x1000, 0x10, 0, {}), 0u);
    CopyMoveBlock(b, 0x1000, 0, 0xFFFFFFFF, 0xFFFFFFFF, Replacement{});
    EXPECT_EQ(At(b, 0, 0x2000), At(before, 0, 0x2000));
    CopyMoveBlock(b, 0x100000, 0x1F00, 0xFFFFFFFF, 0x1FF0, Replacement{});
    EXPECT_EQ(b[0x1FF0], 0x00);
    EXPECT_EQ(b[0x1FFF], 0x0F);
}

}  // namespace
}  // namespace kardo
