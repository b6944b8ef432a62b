// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <map>
#include <string>
#include <vector>

#include "config/PicConfigModel.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QWidget;

namespace kardo {

class Dialogs;

// "ID / Configuration" for PICs: the ID locations and the sheets of the device's
// ConfigCode, built from their tables. The model decides everything and writes the
// buffer at once; this dialog shows it and hands it the clicks. OK is the only way out.
class TfrmPicConfig : public QDialog {
    Q_OBJECT
  public:
    TfrmPicConfig(PicConfigModel& model, Dialogs& dialogs, QWidget* parent);

    // No cancel: every change is already in the buffer, so Escape does not close it.
    void reject() override {}

  private:
    QGroupBox* BuildIdGroup(const char* name, const char* caption, std::vector<QLineEdit*>& boxes,
                            const std::vector<std::string>& names, std::size_t firstId);
    QWidget* BuildPage(const PicPage& page);
    void IdChange(std::size_t id, const QString& text);
    void PageControlChange(int index);
    void Render();

    PicConfigModel& model_;
    Dialogs& dialogs_;
    QTabWidget* PageControl = nullptr;
    QGroupBox* GB_ID = nullptr;
    QGroupBox* GB_18F = nullptr;
    std::vector<QLineEdit*> idBoxes_;
    struct ControlWidgets {
        QWidget* frame = nullptr;
        QCheckBox* box = nullptr;
        QButtonGroup* group = nullptr;
    };
    std::map<std::string, ControlWidgets> widgets_;
    std::vector<QLabel*> byteLabels_;  // Label13 onwards
    PicIdGroups idGroups_;
};

}  // namespace kardo
