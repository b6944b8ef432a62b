// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "devicedb/DeviceDatabase.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace kardo {

class Dialogs;

// The device selection dialog: a device type (which picks the database file), a
// manufacturer and a device. It keeps the remembered file and indexes up to date as the
// user clicks; the caller loads the record once the dialog was confirmed.
class TfrmSelectDevice : public QDialog {
    Q_OBJECT
  public:
    struct Remembered {
        std::string& Filename;
        int& Manuf_index;
        int& Device_index;
        // The name of the device at those indexes when they were chosen; empty when
        // only the indexes are known.
        std::string& Device_name;
    };

    TfrmSelectDevice(Remembered remembered, uint8_t databaseFlags, std::filesystem::path defaultDir,
                     Dialogs& dialogs, QWidget* parent);

    // True when OK was pressed with a manufacturer and a device chosen.
    bool Confirmed() const { return confirmed_; }
    bool SelectCancelled() const { return cancelled_; }
    // The names shown for the chosen entries, valid when Confirmed().
    std::string ManufacturerName() const { return manufacturerName_; }
    std::string DeviceName() const { return deviceName_; }

  protected:
    void showEvent(QShowEvent* event) override;
    // Enter in the search field selects its one match; with several it goes to the list.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void FormShow();
    void RBClick(QRadioButton* button);
    void ListBox1Click(int row);
    void ListBox2Click(int row);
    void BitBtn1Click();
    void BitBtn2Click();

    void ReloadBothLists();
    void FollowRememberedName();
    void ReloadDeviceList();
    // The device list as the search field filters it: the matching devices of the chosen
    // manufacturer, or of every one.
    void ShowMatches(const QString& search);
    void SelectDeviceItem();
    void FitDeviceColumns();
    void FileMissing();
    std::filesystem::path CurrentFile() const { return defaultDir_ / remembered_.Filename; }

    Remembered remembered_;
    // The current file as its last read found it: both lists come from one read.
    std::optional<DeviceDatabase::Index> index_;
    uint8_t databaseFlags_;
    std::filesystem::path defaultDir_;
    Dialogs& dialogs_;

    QListWidget* ListBox1;
    QListWidget* ListBox2;  // each item knows its manufacturer and device index
    QLineEdit* SearchEdit;
    QCheckBox* AllManufacturers;
    std::array<QRadioButton*, 6> radio_{};  // RadioButton1 .. RadioButton6
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    bool ListsReady = false;
    bool reloading_ = false;  // list selection set from code, not by the user
    bool confirmed_ = false;
    bool cancelled_ = false;
    std::string manufacturerName_, deviceName_;
};

}  // namespace kardo
