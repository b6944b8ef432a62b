// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/forms/TfrmSelectDevice.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/forms/Dialogs.h"
#include "devicedb/DeviceDatabase.h"

namespace kardo {
namespace {

// Radio buttons in their order in the "Select Device Type" group; the database file
// each one stands for, if any.
struct DeviceType {
    const char* objectName;
    const char* text;
    const char* file;
};
constexpr std::array<DeviceType, 6> kDeviceTypes{{
    {"RadioButton1", "Eprom", nullptr},
    {"RadioButton2", "EEprom", kEepromDatabase},
    {"RadioButton3", "Serial EEprom", nullptr},
    {"RadioButton4", "Micro Controllers", kMicroDatabase},
    {"RadioButton5", "Pld / Bipolar", nullptr},
    {"RadioButton6", "IC Testing", nullptr},
}};

void FillList(QListWidget* list, const std::vector<std::string>& names) {
    list->clear();
    for (const auto& name : names) {
        list->addItem(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
    }
}

}  // namespace

TfrmSelectDevice::TfrmSelectDevice(Remembered remembered, uint8_t databaseFlags,
                                   std::filesystem::path defaultDir, Dialogs& dialogs,
                                   QWidget* parent)
    : QDialog(parent),
      remembered_(remembered),
      databaseFlags_(databaseFlags),
      defaultDir_(std::move(defaultDir)),
      dialogs_(dialogs) {
    setObjectName("TfrmSelectDevice");
    setWindowTitle("   Select a Device");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(680, 320);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox2 = new QListWidget(this);
    ListBox2->setObjectName("ListBox2");
    // Two columns of device names, filled top to bottom.
    ListBox2->setFlow(QListView::TopToBottom);
    ListBox2->setWrapping(true);
    ListBox2->setResizeMode(QListView::Adjust);
    ListBox2->setGridSize(QSize(150, 18));

    auto* typeGroup = new QGroupBox("Select Device Type", this);
    auto* typeLayout = new QVBoxLayout(typeGroup);
    for (std::size_t i = 0; i < kDeviceTypes.size(); ++i) {
        radio_[i] = new QRadioButton(kDeviceTypes[i].text, typeGroup);
        radio_[i]->setObjectName(kDeviceTypes[i].objectName);
        typeLayout->addWidget(radio_[i]);
        // A click runs RBClick even on the button already checked: choosing the device
        // type again starts both lists from the top.
        QRadioButton* button = radio_[i];
        connect(button, &QRadioButton::clicked, this, [this, button] { RBClick(button); });
    }
    radio_[5]->setVisible(false);  // part of the layout, never offered
    radio_[5]->setEnabled(false);

    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");

    auto* manufacturerColumn = new QVBoxLayout;
    manufacturerColumn->addWidget(new QLabel("Manufacturer", this));
    manufacturerColumn->addWidget(ListBox1);
    auto* deviceColumn = new QVBoxLayout;
    deviceColumn->addWidget(new QLabel("Device", this));
    deviceColumn->addWidget(ListBox2);
    auto* side = new QVBoxLayout;
    side->addWidget(typeGroup);
    side->addStretch();
    side->addWidget(BitBtn1);
    side->addWidget(BitBtn2);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(manufacturerColumn, 2);
    layout->addLayout(deviceColumn, 3);
    layout->addLayout(side, 0);

    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!reloading_ && row >= 0) {
            ListBox1Click(row);
        }
    });
    connect(ListBox2, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!reloading_ && row >= 0) {
            ListBox2Click(row);
        }
    });
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmSelectDevice::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmSelectDevice::BitBtn2Click);
}

void TfrmSelectDevice::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (parentWidget() != nullptr) {
        move(parentWidget()->geometry().center() - rect().center());
    }
    FormShow();
}

void TfrmSelectDevice::FormShow() {
    ListsReady = false;
    // Only the device types with a database file present can be chosen.
    const auto offer = [this](std::size_t i, uint8_t presentBit) {
        QRadioButton* button = radio_[i];
        const bool present = (databaseFlags_ & presentBit) != 0;
        button->setEnabled(present);
        if (!present) {
            return;
        }
        if (remembered_.Filename.empty()) {
            remembered_.Filename = kDeviceTypes[i].file;
        }
        if (remembered_.Filename == kDeviceTypes[i].file) {
            button->setChecked(true);
            RBClick(button);  // checking from code counts as a click
        }
    };
    radio_[0]->setEnabled(false);
    offer(1, kEepromDatabasePresent);
    radio_[2]->setEnabled(false);
    offer(3, kMicroDatabasePresent);
    radio_[4]->setEnabled(false);
    ReloadBothLists();
    ListsReady = true;
}

void TfrmSelectDevice::RBClick(QRadioButton* button) {
    for (std::size_t i = 0; i < radio_.size(); ++i) {
        if (radio_[i] == button && kDeviceTypes[i].file != nullptr) {
            remembered_.Filename = kDeviceTypes[i].file;
        }
    }
    if (ListsReady) {
        // A new device type starts at the top of both lists, even for the same file.
        remembered_.Manuf_index = 0;
        remembered_.Device_index = 0;
    }
    ReloadBothLists();
}

void TfrmSelectDevice::ListBox1Click(int row) {
    remembered_.Manuf_index = row;
    remembered_.Device_index = 0;
    ReloadDeviceList();
}

void TfrmSelectDevice::ListBox2Click(int row) { remembered_.Device_index = row; }

void TfrmSelectDevice::ReloadBothLists() {
    const auto manufacturers = DeviceDatabase::ListManufacturers(CurrentFile());
    if (!manufacturers) {
        FileMissing();
        return;
    }
    reloading_ = true;
    FillList(ListBox1, *manufacturers);
    ListBox1->setCurrentRow(remembered_.Manuf_index);
    reloading_ = false;
    ReloadDeviceList();
}

void TfrmSelectDevice::ReloadDeviceList() {
    const auto devices = DeviceDatabase::ListDevices(CurrentFile(), remembered_.Manuf_index);
    if (!devices) {
        FileMissing();
        return;
    }
    reloading_ = true;
    FillList(ListBox2, *devices);
    ListBox2->setCurrentRow(remembered_.Device_index);
    reloading_ = false;
}

void TfrmSelectDevice::FileMissing() {
    reloading_ = true;
    ListBox1->clear();
    ListBox2->clear();
    reloading_ = false;
    remembered_.Manuf_index = -1;
    remembered_.Device_index = -1;
    dialogs_.ShowMessage(this, QString::fromStdString(remembered_.Filename), " File Not Found ",
                         Dialogs::Icon::Error);
}

void TfrmSelectDevice::BitBtn1Click() {
    // Only a manufacturer and device that the lists actually show can be confirmed; an
    // index the file does not reach leaves the current device as it is.
    const int m = remembered_.Manuf_index;
    const int d = remembered_.Device_index;
    confirmed_ = m >= 0 && d >= 0 && m < ListBox1->count() && d < ListBox2->count();
    if (confirmed_) {
        manufacturerName_ = ListBox1->item(m)->text().toLatin1().toStdString();
        deviceName_ = ListBox2->item(d)->text().toLatin1().toStdString();
    }
    accept();
}

void TfrmSelectDevice::BitBtn2Click() {
    cancelled_ = true;
    reject();
}

}  // namespace kardo
