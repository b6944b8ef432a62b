// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <filesystem>

class QLabel;
class QPushButton;

namespace kardo {

// "Jumper Set": where the jumpers go for the selected PIC or 28C EEPROM, shown after the
// selection on the first programmer board.
class TJumperSet : public QDialog {
    Q_OBJECT
  public:
    TJumperSet(const std::filesystem::path& picture, QWidget* parent);

  private:
    void OKbtClick();

    QLabel* Image1 = nullptr;
    QPushButton* OKbt = nullptr;
};

}  // namespace kardo
