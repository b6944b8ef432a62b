// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "devicedb/DeviceRecord.h"
#include "fileio/FileSettings.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kardo {

// "Select File Format": after a file was picked for loading or named for saving, the
// format, and the buffer fill and load offset (load) or the address range (save). Every
// choice goes into the shared file settings at once; Cancel and Esc leave the format
// "cancelled", which makes the caller do nothing.
class TfrmFileFormat : public QDialog {
    Q_OBJECT
  public:
    enum class Mode { Load, Save };

    TfrmFileFormat(Mode mode, FileSettings& settings, const DeviceRecord& record, bool oddEven,
                   QWidget* parent);

    // The save range as typed, hexadecimal; the save handler reads them.
    std::string StartText() const;
    std::string StopText() const;

    void reject() override;

  private:
    void F3_init(const DeviceRecord& record, bool oddEven);
    void BuildControls();
    void RB_FillClick(QRadioButton* button);
    void F_FormatClick(QRadioButton* button);
    void OffSet(QRadioButton* button);
    void BitBtn1Click();
    void BitBtn2Click();

    const Mode mode_;
    FileSettings& settings_;

    QGroupBox* GroupBox1 = nullptr;  // fill
    QGroupBox* GroupBox2 = nullptr;  // format
    QGroupBox* GroupBox3 = nullptr;  // offset
    QGroupBox* GroupBox4 = nullptr;  // start - stop
    QRadioButton *RB_Default, *RB_Zero, *RB_FF, *RB_No;
    QRadioButton *RB_Intelhex, *RB_Motorola, *RB_Binary, *RB_Inh8m, *RB_Inx16;
    QRadioButton *RB_Add, *RB_Sub;
    QLineEdit *Edit1, *Edit2, *Edit3;
    QPushButton *BitBtn1, *BitBtn2;
};

}  // namespace kardo
