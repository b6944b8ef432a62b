// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/forms/TfrmSelectDevice.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "common/forms/Dialogs.h"
#include "devicedb/DeviceDatabase.h"
#include "devicedb/forms/DeviceListItems.h"

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
    // The names in rows of two columns (one, when a name would not fit in half the
    // width), scrolled up and down only: every name is seen whole.
    ListBox2->setFlow(QListView::LeftToRight);
    ListBox2->setWrapping(true);
    ListBox2->setResizeMode(QListView::Adjust);
    ListBox2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName("SearchEdit");
    SearchEdit->setPlaceholderText("type part of a device name");
    SearchEdit->setClearButtonEnabled(true);
    AllManufacturers = new QCheckBox("all manufacturers", this);
    AllManufacturers->setObjectName("AllManufacturers");

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
    auto* lists = new QHBoxLayout;
    lists->addLayout(manufacturerColumn, 2);
    lists->addLayout(deviceColumn, 3);
    auto* searchRow = new QHBoxLayout;
    auto* searchLabel = new QLabel("&Find:", this);
    searchLabel->setBuddy(SearchEdit);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(SearchEdit, 1);
    searchRow->addWidget(AllManufacturers);
    auto* main = new QVBoxLayout;
    main->addLayout(searchRow);
    main->addLayout(lists, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(main, 1);
    layout->addLayout(side, 0);

    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!reloading_ && row >= 0) {
            ListBox1Click(row);
        }
    });
    connect(SearchEdit, &QLineEdit::textChanged, this, [this] {
        if (ListsReady) {
            ReloadDeviceList();
        }
    });
    connect(AllManufacturers, &QCheckBox::toggled, this, [this] {
        if (ListsReady) {
            ReloadDeviceList();
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
    FitDeviceColumns();
    SearchEdit->setFocus();
}

void TfrmSelectDevice::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && SearchEdit->hasFocus() && !SearchEdit->text().isEmpty()) {
        if (ListBox2->count() == 1) {
            BitBtn1Click();
        } else if (ListBox2->count() > 1) {
            ListBox2->setFocus();  // the user picks one of them there
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmSelectDevice::FitDeviceColumns() {
    const int width = ListBox2->viewport()->width();
    int widest = 0;
    for (int i = 0; i < ListBox2->count(); ++i) {
        widest =
            std::max(widest, ListBox2->fontMetrics().horizontalAdvance(ListBox2->item(i)->text()));
    }
    constexpr int kItemMargin = 12;  // the item's own padding and focus frame
    const int columns = widest + kItemMargin <= width / 2 ? 2 : 1;
    ListBox2->setGridSize(QSize(width / columns, ListBox2->fontMetrics().height() + 4));
}

void TfrmSelectDevice::FormShow() {
    ListsReady = false;
    index_.reset();
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
    // Checking the remembered type has just read its file and filled both lists.
    if (!index_) {
        ReloadBothLists();
    }
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
        remembered_.Device_name.clear();
    }
    ReloadBothLists();
}

void TfrmSelectDevice::ListBox1Click(int row) {
    remembered_.Manuf_index = row;
    remembered_.Device_index = 0;
    remembered_.Device_name.clear();
    ReloadDeviceList();
}

void TfrmSelectDevice::ListBox2Click(int row) {
    const QListWidgetItem* item = ListBox2->item(row);
    const int manufacturer = item->data(kManufacturerRole).toInt();
    if (manufacturer != remembered_.Manuf_index) {  // a match of another manufacturer
        remembered_.Manuf_index = manufacturer;
        reloading_ = true;
        ListBox1->setCurrentRow(manufacturer);
        reloading_ = false;
    }
    remembered_.Device_index = item->data(kDeviceRole).toInt();
    remembered_.Device_name = item->data(kNameRole).toString().toLatin1().toStdString();
}

void TfrmSelectDevice::ReloadBothLists() {
    index_ = DeviceDatabase::Index::Read(CurrentFile());
    if (!index_) {
        FileMissing();
        return;
    }
    FollowRememberedName();
    reloading_ = true;
    FillList(ListBox1, index_->Manufacturers());
    ListBox1->setCurrentRow(remembered_.Manuf_index);
    reloading_ = false;
    ReloadDeviceList();
}

// A newer database may list devices before the remembered one, which moves it down its
// manufacturer's list: the name kept with the indexes finds it again, so the dialog does
// not offer its neighbour instead.
void TfrmSelectDevice::FollowRememberedName() {
    const int m = remembered_.Manuf_index;
    if (remembered_.Device_name.empty() ||
        index_->DeviceName(m, remembered_.Device_index) == remembered_.Device_name) {
        return;
    }
    if (const auto k = index_->FindDevice(m, remembered_.Device_name)) {
        remembered_.Device_index = *k;
    }
}

void TfrmSelectDevice::ReloadDeviceList() {
    const QString search = SearchEdit->text().trimmed();
    if (!search.isEmpty()) {
        ShowMatches(search);
        return;
    }
    if (!index_) {
        FileMissing();
        return;
    }
    reloading_ = true;
    ListBox2->clear();
    const int m = remembered_.Manuf_index;
    for (int k = 0; k < index_->DeviceCount(m); ++k) {
        const QString name = Latin1(index_->DeviceName(m, k));
        AddDevice(ListBox2, name, name, m, k);
    }
    ListBox2->setCurrentRow(remembered_.Device_index);
    reloading_ = false;
    FitDeviceColumns();
}

void TfrmSelectDevice::ShowMatches(const QString& search) {
    const bool everyone = AllManufacturers->isChecked();
    reloading_ = true;
    ListBox2->clear();
    for (int m = 0; index_ && m < ListBox1->count(); ++m) {
        if (!everyone && m != remembered_.Manuf_index) {
            continue;
        }
        for (int d = 0; d < index_->DeviceCount(m); ++d) {
            const QString name = Latin1(index_->DeviceName(m, d));
            if (name.contains(search, Qt::CaseInsensitive)) {
                const QString text =
                    everyone ? name + "  (" + ListBox1->item(m)->text() + ")" : name;
                AddDevice(ListBox2, text, name, m, d);
            }
        }
    }
    reloading_ = false;
    SelectDeviceItem();
    FitDeviceColumns();
}

// Keeps the remembered device when the filter shows it; otherwise the first match of
// the chosen manufacturer, else the first match, becomes the choice.
void TfrmSelectDevice::SelectDeviceItem() {
    int row = -1, firstOfManufacturer = -1;
    for (int i = 0; i < ListBox2->count(); ++i) {
        const QListWidgetItem* item = ListBox2->item(i);
        const int m = item->data(kManufacturerRole).toInt();
        if (m == remembered_.Manuf_index) {
            if (firstOfManufacturer < 0) {
                firstOfManufacturer = i;
            }
            if (item->data(kDeviceRole).toInt() == remembered_.Device_index) {
                row = i;
            }
        }
    }
    if (row < 0) {
        row = firstOfManufacturer >= 0 ? firstOfManufacturer : (ListBox2->count() > 0 ? 0 : -1);
    }
    if (row < 0) {
        return;  // nothing matches: nothing shown can be confirmed
    }
    reloading_ = true;
    ListBox2->setCurrentRow(row);
    reloading_ = false;
    ListBox2Click(row);
}

void TfrmSelectDevice::FileMissing() {
    reloading_ = true;
    ListBox1->clear();
    ListBox2->clear();
    reloading_ = false;
    remembered_.Manuf_index = -1;
    remembered_.Device_index = -1;
    remembered_.Device_name.clear();
    dialogs_.ShowMessage(this, QString::fromStdString(remembered_.Filename), " File Not Found ",
                         Dialogs::Icon::Error);
}

void TfrmSelectDevice::BitBtn1Click() {
    // Only a manufacturer and device that the lists actually show can be confirmed; an
    // index the file does not reach, or a device the search field hides, leaves the
    // current device as it is.
    const int m = remembered_.Manuf_index;
    const int d = remembered_.Device_index;
    const QListWidgetItem* shown = nullptr;
    for (int i = 0; i < ListBox2->count() && m >= 0 && d >= 0 && m < ListBox1->count(); ++i) {
        const QListWidgetItem* item = ListBox2->item(i);
        if (item->data(kManufacturerRole).toInt() == m && item->data(kDeviceRole).toInt() == d) {
            shown = item;
        }
    }
    confirmed_ = shown != nullptr;
    if (confirmed_) {
        manufacturerName_ = ListBox1->item(m)->text().toLatin1().toStdString();
        deviceName_ = shown->data(kNameRole).toString().toLatin1().toStdString();
    }
    accept();
}

void TfrmSelectDevice::BitBtn2Click() {
    cancelled_ = true;
    reject();
}

}  // namespace kardo
