// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "config/ConfigSheetModel.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QVBoxLayout;
class QWidget;

namespace kardo {

// "ID / Configuration" for parts other than PICs: the sheets of the device's ConfigCode,
// built from their tables. The model decides everything; this dialog shows it and hands
// it the clicks, each of which is stored at once. OK is the only way out.
class TfrmConfig : public QDialog {
    Q_OBJECT
  public:
    TfrmConfig(ConfigSheetModel& model, QWidget* parent);

    // No cancel: every change is already made, so Escape does not close the dialog.
    void reject() override {}

  private:
    QWidget* BuildPage(const ConfigPage& page);
    void AddCheckBox(const ConfigControl& c, QWidget* page, QVBoxLayout* column);
    void AddRadioGroup(const ConfigControl& c, QWidget* page, QVBoxLayout* column);
    void AddComboBox(const ConfigControl& c, QWidget* page, QVBoxLayout* column);
    void AddCalibration(const CalibrationGroup& group, QWidget* page, QVBoxLayout* column);
    void Render(bool withOffset);

    ConfigSheetModel& model_;
    QTabWidget* PageControl = nullptr;
    // Each control's widget, and the frame that shows or hides it with its caption.
    struct ControlWidgets {
        QWidget* frame = nullptr;
        QCheckBox* box = nullptr;
        QButtonGroup* group = nullptr;
        QComboBox* combo = nullptr;
    };
    std::map<std::string, ControlWidgets> widgets_;
    std::vector<std::pair<const HexDisplay*, QLabel*>> displays_;
    QGroupBox* calibrationGroup_ = nullptr;
    QRadioButton* slots_[4] = {};
    QLineEdit* offsetBox_ = nullptr;
    QCheckBox* programBox_ = nullptr;
};

}  // namespace kardo
