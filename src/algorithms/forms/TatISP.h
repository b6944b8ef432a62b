// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kardo {

// "ATMEL_ISP": the ISP header's pins, shown after an ISP device has been selected.
class TatISP : public QDialog {
    Q_OBJECT
  public:
    explicit TatISP(QWidget* parent);

  private:
    void BitBtn1Click();

    QLabel* Image1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
};

}  // namespace kardo
