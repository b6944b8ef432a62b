// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "buffertools/BlockEdits.h"
#include "devicedb/DeviceBuffer.h"

namespace kardo {

// What the hex editor shows and does: a page of 16 rows of 16 bytes from the view start,
// the current cell, the typing rules of its grids and address boxes, and the searches and
// block edits of its dialogs. It reads and writes the buffer only below `range`, which
// never exceeds the buffer's size, so no address the user types can reach past it.
class HexEditorModel {
  public:
    static constexpr int kRows = 16;
    static constexpr int kColumns = 16;
    static constexpr std::size_t kPage = 256;

    HexEditorModel(DeviceBuffer& buffer, std::size_t range);

    std::size_t range() const { return range_; }
    std::size_t viewStart() const { return viewStart_; }
    int row() const { return row_; }
    int column() const { return column_; }
    // 1: the next hex digit typed is the high one; 2: the low one.
    int phase() const { return phase_; }
    std::size_t CurrentIndex() const { return Index(row_, column_); }
    std::size_t Index(int row, int column) const;
    // The byte a cell shows; nullopt for a cell past the range.
    std::optional<uint8_t> ByteAt(int row, int column) const;
    // The start of the last whole page.
    std::size_t LastPageStart() const { return range_ > kPage ? range_ - kPage : 0; }

    // The scroll bar counts rows.
    std::size_t ScrollPosition() const { return viewStart_ / kColumns; }
    std::size_t ScrollMaximum() const;

    // The cursor, as a click or the grid's own movement puts it; kept within the page
    // and the range.
    void Select(int row, int column);
    void ResetPhase() { phase_ = 1; }
    void Home();
    // The navigation keys: false where the move would leave the range (nothing moves).
    bool PageUp();
    bool PageDown();
    bool Up();    // on row 0 the page moves up a row
    bool Down();  // on row 15 the page moves down a row
    bool Left();
    bool Right();
    void ScrollTo(std::size_t rowPosition);

    // A key typed into the hex grid: false (and nothing changed) for anything but a hex
    // digit. The second digit of a byte moves the cursor on.
    bool TypeHexDigit(char c);
    // A key typed into the character grid: the byte is its code; the cursor moves on.
    void TypeCharacter(uint8_t code);

    // The current-address box works in overwrite mode and always holds 8 digits. A hex
    // digit replaces the digit at the caret, the address is kept to a row within the
    // range, and the page from it is shown. nullopt (nothing changed) for anything else.
    struct AddressEntry {
        std::string text;
        int caret = 0;
    };
    std::optional<AddressEntry> TypeCurrAddDigit(const std::string& text, int caret, char c);

    // Typing into the address column: the digit position moves with the arrow keys and
    // every other navigation key sets it back to the first digit.
    void ResetAddressDigit() { addressDigit_ = 1; }
    void AddressDigitLeft();
    void AddressDigitRight();
    int addressDigit() const { return addressDigit_; }
    bool TypeRowAddressDigit(char c);

    // Searches: false when nothing matched; then the last page is shown with the cursor
    // on its last cell.
    bool FindFromStart(std::vector<uint8_t> pattern);
    bool FindAgain();
    bool HasPattern() const { return !pattern_.empty(); }

    FillResult Fill(uint32_t from, uint32_t to, uint16_t data, bool word);
    // Copies or moves, then shows the page of the destination.
    void CopyMove(uint32_t from, uint32_t count, uint32_t to, Replacement replace);

    static std::string HexText(uint8_t value);
    static char CharacterOf(uint8_t value);
    static std::string AddressText(std::size_t address);

  private:
    void Store(uint8_t value);
    void Advance();
    void GoTo(std::size_t address);
    bool SearchFrom(std::size_t position);
    void KeepCursorInRange();
    uint32_t RowWithinRange(uint32_t address) const;

    DeviceBuffer& buffer_;
    const std::size_t range_;
    std::size_t viewStart_ = 0;
    int row_ = 0;
    int column_ = 0;
    int phase_ = 1;
    int addressDigit_ = 1;
    std::string addressText_;  // empty until the address column is first typed into
    std::vector<uint8_t> pattern_;
};

}  // namespace kardo
