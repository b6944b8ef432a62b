// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "devicedb/DeviceRecord.h"

class QLineEdit;
class QRadioButton;
class QPushButton;

namespace kardo {

class Dialogs;
class HexEditorModel;

// "Buffer Fill": a stretch of the buffer, From to To, set to one byte or one word. OK
// fills (or says why not) and closes.
class TfrmFill : public QDialog {
    Q_OBJECT
  public:
    TfrmFill(HexEditorModel& model, const DeviceRecord& record, Dialogs& dialogs, QWidget* parent);

  private:
    void FormCreate(const DeviceRecord& record);
    void RadioButton1Click();
    void RadioButton2Click();
    void BitBtn1Click();

    HexEditorModel& model_;
    Dialogs& dialogs_;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr;
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;
};

}  // namespace kardo
