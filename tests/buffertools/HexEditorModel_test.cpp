// SPDX-License-Identifier: GPL-3.0-or-later
// The hex editor's page, cursor, typing and searches, on a buffer of its own.
#include "buffertools/HexEditorModel.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kardo {
namespace {

struct Editor {
    explicit Editor(std::size_t range, std::size_t size = 0) : buffer(size ? size : range) {
        std::iota(buffer.data(), buffer.data() + buffer.BufferSize(), uint8_t{0});
    }
    DeviceBuffer buffer;
    HexEditorModel m{buffer, buffer.BufferSize()};
};

TEST(HexEditorModel, PagingStopsAtBothEndsOfTheRange) {
    Editor e(0x1000);
    HexEditorModel& m = e.m;
    EXPECT_FALSE(m.PageUp());
    EXPECT_FALSE(m.Up());
    EXPECT_EQ(m.viewStart(), 0u);
    EXPECT_EQ(m.ScrollMaximum(), 0x100u - 16);
    for (int i = 0; i < 15; ++i) {
        EXPECT_TRUE(m.PageDown());
    }
    EXPECT_EQ(m.viewStart(), 0xF00u);
    EXPECT_FALSE(m.PageDown());
    m.Select(15, 3);
    EXPECT_FALSE(m.Down());
    EXPECT_EQ(m.CurrentIndex(), 0xFF3u);
    EXPECT_TRUE(m.PageUp());
    EXPECT_TRUE(m.Down());  // row 15 of a page with rows below: a row further
    EXPECT_EQ(m.viewStart(), 0xE10u);
    EXPECT_EQ(m.row(), 15);
    m.Select(0, 0);
    EXPECT_TRUE(m.Up());
    EXPECT_EQ(m.viewStart(), 0xE00u);
    // The scroll bar: rows, never further than the last page.
    m.ScrollTo(0x20);
    EXPECT_EQ(m.viewStart(), 0x200u);
    m.ScrollTo(0xFF);
    EXPECT_EQ(m.viewStart(), 0xF00u);
    m.ScrollTo(0x100);
    EXPECT_EQ(m.viewStart(), 0xF00u);
}

TEST(HexEditorModel, TwoDigitsMakeAByteAndMoveTheCursorOn) {
    Editor e(0x1000);
    HexEditorModel& m = e.m;
    m.Select(0, 4);
    EXPECT_TRUE(m.TypeHexDigit('a'));
    EXPECT_EQ(e.buffer[4], 0xA4);  // the high digit reaches the buffer at once
    EXPECT_EQ(m.phase(), 2);
    EXPECT_FALSE(m.TypeHexDigit('G'));
    EXPECT_EQ(e.buffer[4], 0xA4);
    EXPECT_EQ(m.phase(), 2);
    EXPECT_TRUE(m.TypeHexDigit('5'));
    EXPECT_EQ(e.buffer[4], 0xA5);
    EXPECT_EQ(m.column(), 5);
    EXPECT_EQ(m.phase(), 1);
    EXPECT_EQ(HexEditorModel::CharacterOf(0xA5), '.');
    EXPECT_EQ(HexEditorModel::CharacterOf('z'), 'z');
    EXPECT_EQ(HexEditorModel::CharacterOf('{'), '.');
    EXPECT_EQ(HexEditorModel::CharacterOf(' '), ' ');
    // Past column 15 to the next row; past row 15 the page moves a row.
    m.Select(3, 15);
    m.TypeCharacter('A');
    EXPECT_EQ(e.buffer[0x3F], 0x41);
    EXPECT_EQ(m.row(), 4);
    EXPECT_EQ(m.column(), 0);
    m.Select(15, 15);
    m.TypeCharacter('B');
    EXPECT_EQ(m.viewStart(), 0x10u);
    EXPECT_EQ(m.CurrentIndex(), 0x100u);
    // The very last byte keeps the cursor.
    m.ScrollTo(0xFF);
    m.Select(15, 15);
    m.TypeHexDigit('1');
    m.TypeHexDigit('2');
    EXPECT_EQ(e.buffer[0xFFF], 0x12);
    EXPECT_EQ(m.CurrentIndex(), 0xFFFu);
}

TEST(HexEditorModel, TheAddressBoxOverwritesAndKeepsToARowOfTheRange) {
    Editor e(0x10000);
    HexEditorModel& m = e.m;
    HexEditorModel::AddressEntry box{"00000000", 4};
    for (char c : {'1', '2', '3', '4'}) {
        box = *m.TypeCurrAddDigit(box.text, box.caret, c);
    }
    EXPECT_EQ(box.text, "00001230");
    EXPECT_EQ(box.caret, 8);
    EXPECT_EQ(m.viewStart(), 0x1230u);
    EXPECT_EQ(m.CurrentIndex(), 0x1230u);
    EXPECT_EQ(m.TypeCurrAddDigit("00000000", 0, '7')->text, "00000000");
    EXPECT_FALSE(m.TypeCurrAddDigit("00000000", 0, 'x'));
    // Past the last page: the last page, on its last row.
    box = *m.TypeCurrAddDigit("00000000", 4, 'f');
    EXPECT_EQ(box.text, "0000F000");
    box = *m.TypeCurrAddDigit(box.text, 5, 'F');
    EXPECT_EQ(box.text, "0000FF00");
    EXPECT_EQ(m.viewStart(), 0xFF00u);
    box = *m.TypeCurrAddDigit(box.text, 6, 'F');
    EXPECT_EQ(box.text, "0000FFF0");
    EXPECT_EQ(m.viewStart(), 0xFF00u);
    EXPECT_EQ(m.row(), 15);
}

// Code with a data EEPROM after it: a range of 0x8400 bytes, no power of two. Every row
// can be typed; what lies beyond the range goes to its last row.
TEST(HexEditorModel, TypedAddressesReachEveryRowOfARangeThatIsNoPowerOfTwo) {
    const struct {
        const char* typed;
        const char* box;
        std::size_t view;
    } cases[] = {
        {"00001000", "00001000", 0x1000}, {"00007FF0", "00007FF0", 0x7FF0},
        {"00008000", "00008000", 0x8000}, {"000083FF", "000083F0", 0x8300},
        {"00009", "000083F0", 0x8300},    {"70000000", "00000000", 0},
    };
    for (const auto& c : cases) {
        Editor e(0x8400);
        HexEditorModel::AddressEntry box{"00000000", 0};
        for (const char* digit = c.typed; *digit != 0; ++digit) {
            box = *e.m.TypeCurrAddDigit(box.text, box.caret, *digit);
        }
        EXPECT_EQ(box.text, c.box) << c.typed;
        EXPECT_EQ(e.m.viewStart(), c.view) << c.typed;
        // The same address typed into the first row's address cell.
        Editor column(0x8400);
        for (const char* digit = c.typed; *digit != 0; ++digit) {
            column.m.TypeRowAddressDigit(*digit);
        }
        EXPECT_EQ(column.m.viewStart(), c.view) << c.typed;
    }
}

TEST(HexEditorModel, TheAddressColumnMovesThePageUnderTheRow) {
    Editor e(0x10000);
    HexEditorModel& m = e.m;
    m.Select(2, 7);
    // Row 2 shows 00000020; digits typed from the fifth position make it 00004560.
    for (int i = 0; i < 4; ++i) {
        m.AddressDigitRight();
    }
    EXPECT_EQ(m.addressDigit(), 5);
    for (char c : {'4', '5', '6', '7'}) {
        EXPECT_TRUE(m.TypeRowAddressDigit(c));
    }
    EXPECT_EQ(m.viewStart(), 0x4560u - 0x20);
    EXPECT_EQ(m.row(), 2);
    // Below the row's own offset: the first page; beyond the last page: the last one.
    m.ResetAddressDigit();
    for (int i = 0; i < 4; ++i) {
        m.TypeRowAddressDigit('0');
    }
    m.TypeRowAddressDigit('0');
    m.TypeRowAddressDigit('0');
    m.TypeRowAddressDigit('1');
    EXPECT_EQ(m.viewStart(), 0u);
    EXPECT_EQ(m.CurrentIndex(), 0u);
    m.Select(0, 0);
    m.ResetAddressDigit();
    for (char c : {'0', '0', '0', '0', 'F', 'F', 'F', 'F'}) {
        m.TypeRowAddressDigit(c);
    }
    EXPECT_EQ(m.viewStart(), 0xFF00u);
    EXPECT_EQ(m.CurrentIndex(), 0xFFFFu);
    EXPECT_FALSE(m.TypeRowAddressDigit('-'));
}

TEST(HexEditorModel, FindPlacesTheHitAndAgainFindsTheNextOne) {
    Editor e(0x1000);
    HexEditorModel& m = e.m;
    std::fill_n(e.buffer.data(), 0x1000, uint8_t{0});
    const std::vector<uint8_t> abc{'A', 'B', 'C'};
    std::copy(abc.begin(), abc.end(), e.buffer.data() + 0x123);
    std::copy(abc.begin(), abc.end(), e.buffer.data() + 0x456);
    std::copy(abc.begin(), abc.end(), e.buffer.data() + 0xFFD);  // ends on the last byte
    ASSERT_TRUE(m.FindFromStart(abc));
    EXPECT_EQ(m.viewStart(), 0x120u);
    EXPECT_EQ(m.row(), 0);
    EXPECT_EQ(m.column(), 3);
    ASSERT_TRUE(m.FindAgain());
    EXPECT_EQ(m.CurrentIndex(), 0x456u);
    ASSERT_TRUE(m.FindAgain());
    EXPECT_EQ(m.viewStart(), 0xF00u);
    EXPECT_EQ(m.row(), 15);
    EXPECT_EQ(m.column(), 13);
    // No further one: the last page, on its last cell. From the last byte Again starts over.
    EXPECT_FALSE(m.FindAgain());
    EXPECT_EQ(m.CurrentIndex(), 0xFFFu);
    EXPECT_TRUE(m.FindAgain());
    EXPECT_EQ(m.CurrentIndex(), 0x123u);
    EXPECT_FALSE(m.FindFromStart({'a', 'b', 'c'}));
    EXPECT_FALSE(m.FindFromStart(std::vector<uint8_t>(0x1001, 0)));
}

TEST(HexEditorModel, ASearchNeverLooksPastTheRange) {
    DeviceBuffer buffer(0x2000);
    buffer[0x1000] = 0x5A;
    buffer[0xFFF] = 0x5A;
    HexEditorModel m(buffer, 0x1000);
    EXPECT_FALSE(m.FindFromStart({0x5A, 0x5A}));
    EXPECT_TRUE(m.FindFromStart({0x00, 0x5A}));
    EXPECT_EQ(m.CurrentIndex(), 0xFFEu);
}

TEST(HexEditorModel, ARangeOfLessThanAPageKeepsTheCursorOnItsBytes) {
    DeviceBuffer buffer(40);
    HexEditorModel m(buffer, 0x1000);
    EXPECT_EQ(m.range(), 40u);
    EXPECT_FALSE(m.ByteAt(2, 8).has_value());
    m.Select(15, 15);
    EXPECT_EQ(m.CurrentIndex(), 39u);
    EXPECT_FALSE(m.Down());
    m.TypeHexDigit('F');
    m.TypeHexDigit('F');
    EXPECT_EQ(buffer[39], 0xFF);
    EXPECT_FALSE(m.FindFromStart({0x01}));
    EXPECT_EQ(m.CurrentIndex(), 39u);
    m.CopyMove(0, 0xFFFF, 0x30, {});
    EXPECT_EQ(m.viewStart(), 0u);
}

TEST(HexEditorModel, CopyMoveShowsTheDestinationsPage) {
    Editor e(0x1000);
    e.m.CopyMove(0x100, 4, 0x235, {});
    EXPECT_EQ(e.m.viewStart(), 0x230u);
    EXPECT_EQ(e.m.CurrentIndex(), 0x230u);
    e.m.CopyMove(0x100, 4, 0xFF8, {});
    EXPECT_EQ(e.m.viewStart(), 0xF00u);
}

}  // namespace
}  // namespace kardo
