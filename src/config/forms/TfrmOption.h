// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <array>

#include "config/OptionSheet.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kardo {

class Dialogs;

// "Options": the general options, the serial numbers and the programming steps of the
// selected device. The option sheet decides everything; this dialog shows it and hands
// it the clicks. Every change is made at once; OK only closes.
class TfrmOption : public QDialog {
    Q_OBJECT
  public:
    TfrmOption(OptionSheet& sheet, SerialNumberSettings& serial, Dialogs& dialogs, QWidget* parent);

  private:
    void BuildControls();
    void BuildSerialGroup();
    void Render();
    void FillSerialFields();
    void DigitsChange();
    void StartingNumberEdited(const QString& text);
    void BaseChanged();
    QCheckBox* Box(OptionBox box) const { return boxes_[static_cast<std::size_t>(box)]; }

    OptionSheet& sheet_;
    SerialNumberSettings& serial_;
    Dialogs& dialogs_;
    std::array<QCheckBox*, kOptionBoxCount> boxes_{};
    QGroupBox* GroupBox1 = nullptr;  // " General Options "
    QGroupBox* GroupBox2 = nullptr;  // "Serial Number Options "
    QGroupBox* GroupBox3 = nullptr;  // " Programming Options "
    QLabel* EpromLabel = nullptr;
    QComboBox* ComboBox1 = nullptr;  // number of digits
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr;
    QRadioButton *RB_Hex = nullptr, *RB_Decimal = nullptr, *RB_MsdLsd = nullptr,
                 *RB_LsdMsd = nullptr;
    QPushButton* BitBtn3 = nullptr;
};

}  // namespace kardo
