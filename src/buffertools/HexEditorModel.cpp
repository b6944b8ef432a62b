// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffertools/HexEditorModel.h"

#include <algorithm>
#include <functional>

#include "buffertools/HexEntry.h"
#include "common/Format.h"
#include "common/HexText.h"

namespace kardo {

HexEditorModel::HexEditorModel(DeviceBuffer& buffer, std::size_t range)
    : buffer_(buffer), range_(std::min(range, buffer.BufferSize())) {}

std::size_t HexEditorModel::Index(int row, int column) const {
    return viewStart_ + static_cast<std::size_t>(row) * kColumns + static_cast<std::size_t>(column);
}

std::optional<uint8_t> HexEditorModel::ByteAt(int row, int column) const {
    const std::size_t i = Index(row, column);
    if (i >= range_) {
        return std::nullopt;
    }
    return buffer_[i];
}

std::size_t HexEditorModel::ScrollMaximum() const {
    const std::size_t rows = range_ / kColumns;
    return rows > kRows ? rows - kRows : 0;
}

void HexEditorModel::Select(int row, int column) {
    row_ = std::clamp(row, 0, kRows - 1);
    column_ = std::clamp(column, 0, kColumns - 1);
    KeepCursorInRange();
}

// Only a range shorter than a page leaves cells without a byte; the cursor stays off them.
void HexEditorModel::KeepCursorInRange() {
    if (range_ == 0 || CurrentIndex() < range_) {
        return;
    }
    const std::size_t last = range_ - 1 - viewStart_;
    row_ = static_cast<int>(last / kColumns);
    column_ = static_cast<int>(last % kColumns);
}

void HexEditorModel::Home() {
    viewStart_ = 0;
    Select(0, 0);
}

bool HexEditorModel::PageUp() {
    phase_ = 1;
    if (viewStart_ < kPage) {
        return false;
    }
    viewStart_ -= kPage;
    return true;
}

bool HexEditorModel::PageDown() {
    phase_ = 1;
    if (viewStart_ + 2 * kPage > range_) {
        return false;
    }
    viewStart_ += kPage;
    return true;
}

bool HexEditorModel::Up() {
    phase_ = 1;
    if (row_ > 0) {
        --row_;
        return true;
    }
    if (viewStart_ < kColumns) {
        return false;
    }
    viewStart_ -= kColumns;
    return true;
}

bool HexEditorModel::Down() {
    phase_ = 1;
    if (row_ < kRows - 1) {
        if (Index(row_ + 1, column_) >= range_) {
            return false;
        }
        ++row_;
        return true;
    }
    if (viewStart_ + kPage + kColumns > range_) {
        return false;
    }
    viewStart_ += kColumns;
    return true;
}

bool HexEditorModel::Left() {
    phase_ = 1;
    if (column_ == 0) {
        return false;
    }
    --column_;
    return true;
}

bool HexEditorModel::Right() {
    phase_ = 1;
    if (column_ == kColumns - 1 || Index(row_, column_ + 1) >= range_) {
        return false;
    }
    ++column_;
    return true;
}

void HexEditorModel::ScrollTo(std::size_t rowPosition) {
    const std::size_t start = rowPosition * kColumns;
    if (start < range_) {
        viewStart_ = std::min(start, LastPageStart());
        KeepCursorInRange();
    }
}

void HexEditorModel::Store(uint8_t value) {
    const std::size_t i = CurrentIndex();
    if (i < range_) {
        buffer_[i] = value;
    }
}

// After a byte is complete: the next column, else the start of the next row, scrolling a
// row at the foot of the page. On the last byte of the range the cursor stays.
void HexEditorModel::Advance() {
    if (column_ < kColumns - 1 && Index(row_, column_ + 1) < range_) {
        ++column_;
    } else if (row_ < kRows - 1 && Index(row_ + 1, 0) < range_) {
        column_ = 0;
        ++row_;
    } else if (row_ == kRows - 1 && viewStart_ + kPage + kColumns <= range_) {
        viewStart_ += kColumns;
        column_ = 0;
    }
}

bool HexEditorModel::TypeHexDigit(char c) {
    const std::optional<uint8_t> current = ByteAt(row_, column_);
    if (!IsHexDigit(c) || !current) {
        return false;
    }
    const auto digit = static_cast<uint8_t>(ParseHexText(std::string_view(&c, 1)));
    if (phase_ == 1) {
        Store(static_cast<uint8_t>((digit << 4) | (*current & 0x0F)));
        phase_ = 2;
    } else {
        Store(static_cast<uint8_t>((*current & 0xF0) | digit));
        phase_ = 1;
        Advance();
    }
    return true;
}

void HexEditorModel::TypeCharacter(uint8_t code) {
    if (!ByteAt(row_, column_)) {
        return;
    }
    Store(code);
    phase_ = 1;
    Advance();
}

// Addresses typed into the boxes are kept to the start of a row within the range: a
// digit above the range's width is dropped, as a mask of the range would drop it, and
// what is left beyond the range's end (a range that is no power of two, as code with a
// data EEPROM after it) goes to its last row.
uint32_t HexEditorModel::RowWithinRange(uint32_t address) const {
    if (range_ < kColumns) {
        return 0;
    }
    uint64_t width = 1;
    while (width < range_) {
        width <<= 1;
    }
    constexpr uint64_t kRowStart = ~uint64_t{kColumns - 1};
    const uint64_t kept = address & (width - 1) & kRowStart;
    return static_cast<uint32_t>(std::min<uint64_t>(kept, (range_ - kColumns) & kRowStart));
}

void HexEditorModel::GoTo(std::size_t address) {
    if (address > LastPageStart()) {
        viewStart_ = LastPageStart();
        Select(kRows - 1, 0);
    } else {
        viewStart_ = address;
        Select(0, 0);
    }
}

std::optional<HexEditorModel::AddressEntry> HexEditorModel::TypeCurrAddDigit(
    const std::string& text, int caret, char c) {
    if (!IsHexDigit(c)) {
        return std::nullopt;
    }
    std::string digits = text;
    digits.resize(8, '0');
    const auto at = static_cast<std::size_t>(std::clamp(caret, 0, 7));
    digits[at] = c;
    const uint32_t address = IsHexText(digits) ? RowWithinRange(ParseHexText(digits)) : 0;
    GoTo(address);
    return AddressEntry{AddressText(address), static_cast<int>(at) + 1};
}

void HexEditorModel::AddressDigitLeft() {
    addressDigit_ = std::max(addressDigit_ - 1, 1);
}

void HexEditorModel::AddressDigitRight() {
    addressDigit_ = std::min(addressDigit_ + 1, 8);
}

bool HexEditorModel::TypeRowAddressDigit(char c) {
    if (!IsHexDigit(c)) {
        return false;
    }
    // The first digit typed edits the address the row shows.
    if (addressText_.empty()) {
        addressText_ = AddressText(Index(row_, 0));
    }
    const auto at = static_cast<std::size_t>(std::min(addressDigit_, 8) - 1);
    addressText_[at] = c;
    const uint32_t address = RowWithinRange(ParseHexText(addressText_));
    addressText_ = AddressText(address);
    addressDigit_ = std::min(addressDigit_ + 1, 9);
    const std::size_t above = static_cast<std::size_t>(row_) * kColumns;
    if (address < above) {
        viewStart_ = 0;
        Select(0, 0);
    } else if (address - above > LastPageStart()) {
        viewStart_ = LastPageStart();
        Select(kRows - 1, kColumns - 1);
    } else {
        viewStart_ = address - above;
    }
    return true;
}

bool HexEditorModel::FindFromStart(std::vector<uint8_t> pattern) {
    pattern_ = std::move(pattern);
    return SearchFrom(0);
}

bool HexEditorModel::FindAgain() {
    std::size_t position = CurrentIndex() + 1;
    if (position >= range_) {
        position = 0;
    }
    return SearchFrom(position);
}

bool HexEditorModel::SearchFrom(std::size_t position) {
    phase_ = 1;
    const std::size_t length = pattern_.size();
    if (length != 0 && length <= range_ && position <= range_ - length) {
        const uint8_t* begin = buffer_.data();
        const uint8_t* end = begin + range_;
        const uint8_t* hit =
            std::search(begin + position, end,
                        std::boyer_moore_horspool_searcher(pattern_.begin(), pattern_.end()));
        if (hit != end) {
            const auto h = static_cast<std::size_t>(hit - begin);
            viewStart_ = h < LastPageStart() ? h - h % kColumns : LastPageStart();
            const std::size_t offset = h - viewStart_;
            Select(static_cast<int>(offset / kColumns), static_cast<int>(offset % kColumns));
            return true;
        }
    }
    viewStart_ = LastPageStart();
    Select(kRows - 1, kColumns - 1);
    return false;
}

FillResult HexEditorModel::Fill(uint32_t from, uint32_t to, uint16_t data, bool word) {
    return FillBlock(buffer_, range_, from, to, data, word);
}

void HexEditorModel::CopyMove(uint32_t from, uint32_t count, uint32_t to, Replacement replace) {
    CopyMoveBlock(buffer_, range_, from, count, to, replace);
    viewStart_ = std::min<std::size_t>(to - to % kColumns, LastPageStart());
    phase_ = 1;
    Select(0, 0);
}

std::string HexEditorModel::HexText(uint8_t value) {
    return Format("%.2X", value);
}

char HexEditorModel::CharacterOf(uint8_t value) {
    return value >= 0x20 && value <= 0x7A ? static_cast<char>(value) : '.';
}

std::string HexEditorModel::AddressText(std::size_t address) {
    return Format("%.8X", static_cast<unsigned>(address));
}

}  // namespace kardo
