// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kardo {

class Dialogs;

// "Search": the bytes to look for, typed as hex digits or as text. Closes with OK once
// the text makes a pattern; the editor then searches from the start of the buffer.
class TSearsForm : public QDialog {
    Q_OBJECT
  public:
    TSearsForm(Dialogs& dialogs, QWidget* parent);
    const std::vector<uint8_t>& pattern() const { return pattern_; }

  private:
    void Button1Click();
    void HexAsciiClick();
    // The toggle offers the other mode: "Ascii" while hex digits are typed.
    bool HexMode() const;

    Dialogs& dialogs_;
    std::vector<uint8_t> pattern_;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* HexAscii = nullptr;
};

}  // namespace kardo
